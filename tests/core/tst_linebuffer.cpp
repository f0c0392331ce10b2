#include "errors.h"
#include "fileio.h"
#include "linebuffer.h"
#include "testutil.h"

#include <QScopeGuard>
#include <QTest>

using TestUtil::ScratchDir;

class TestLineBuffer : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void readingAndReplacing();
    void loadAndSaveKeepBytes();
    void loadFailures();
    void saveFailureKeepsOldFile_data();
    void saveFailureKeepsOldFile();
    void bigInputs();
};

void TestLineBuffer::split_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("lines");
    using L = QList<QByteArray>;
    QTest::newRow("empty") << QByteArray() << L{};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << L{"a", "b"};
    QTest::newRow("lone cr and lf") << QByteArray("a\rb\nc") << L{"a", "b", "c"};
    QTest::newRow("lf cr is two line ends") << QByteArray("a\n\rb") << L{"a", "", "b"};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n\r\n") << L{"", "", "x", ""};
    QTest::newRow("only a line end") << QByteArray("\r\n") << L{""};
    QTest::newRow("nul ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << L{"a", "b"};
    QTest::newRow("high bytes kept") << QByteArray("caf\xe9\r\n\xc3\xa9") << L{"caf\xe9", "\xc3\xa9"};
}

void TestLineBuffer::split()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(LineBuffer::split(text), lines);
}

void TestLineBuffer::readingAndReplacing()
{
    LineBuffer b({"zero", "one"});
    QCOMPARE(b.at(1), QByteArray("one"));
    try {
        b.at(2);
        QFAIL("missing line read");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("List index out of bounds (2)"));
    }
    b.replace(1, "uno");
    QCOMPARE(b.lines(), (QList<QByteArray>{"zero", "uno"}));
    b.replace(2, "two"); // exactly N lines: appends
    QCOMPARE(b.count(), 3);
    try {
        b.replace(4, "four");
        QFAIL("replaced past the end");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("Unable to insert a line"));
    }
    QCOMPARE(b.count(), 3);
    // A line break would split the line when the buffer is read back: refused.
    for (const QByteArray text : {"a\nb", "a\rb", "\r\n"}) {
        try {
            b.append(text);
            QFAIL("appended a line break");
        } catch (const CommandError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Cannot store a text holding a line break: a")) || text == "\r\n");
        }
        QVERIFY_THROWS_EXCEPTION(CommandError, b.replace(0, text));
    }
    QCOMPARE(b.lines(), (QList<QByteArray>{"zero", "uno", "two"}));
}

void TestLineBuffer::loadAndSaveKeepBytes()
{
    ScratchDir dir;
    const QByteArray path = dir.file("x.tvo");
    TestUtil::writeFile(path, QByteArray("d\xe9scription\nline\r\rlast"));
    LineBuffer b;
    b.load(path);
    QCOMPARE(b.lines(), (QList<QByteArray>{"d\xe9scription", "line", "", "last"}));
    b.save(path);
    QCOMPARE(TestUtil::readFile(path), QByteArray("d\xe9scription\r\nline\r\n\r\nlast\r\n"));

    // A settings file keeps a NUL byte when asked to.
    TestUtil::writeFile(path, QByteArray("a\0b\nc", 5));
    b.load(path, LineBuffer::Nul::Kept);
    QCOMPARE(b.lines(), (QList<QByteArray>{QByteArray("a\0b", 3), "c"}));
}

void TestLineBuffer::loadFailures()
{
    ScratchDir dir;
    LineBuffer b({"kept"});
    for (const QByteArray &path : {dir.file("missing"), dir.mkdir("adir")}) {
        try {
            b.load(path);
            QFAIL("loaded something unreadable");
        } catch (const CommandError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot open file ") + QString::fromUtf8(path));
        }
        QCOMPARE(b.lines(), QList<QByteArray>{"kept"});
    }
}

void TestLineBuffer::saveFailureKeepsOldFile_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("step"); // WriteInPlace: the temporary is refused as well
    QTest::newRow("in place") << QByteArray("keep.tvo") << int(FileIO::WriteStep::WriteInPlace);
    QTest::newRow("write") << QByteArray("keep.tvo") << int(FileIO::WriteStep::Write);
    QTest::newRow("flush") << QByteArray("keep.tvo") << int(FileIO::WriteStep::Flush);
    QTest::newRow("commit, a name holding %2") << QByteArray("x%2 & \\.tvo") << int(FileIO::WriteStep::Commit);
}

void TestLineBuffer::saveFailureKeepsOldFile()
{
    QFETCH(QByteArray, name);
    QFETCH(int, step);
    ScratchDir dir;
    const QByteArray path = dir.file(name);
    TestUtil::writeFile(path, "old content\r\n");
    FileIO::setFaultInjector([step](FileIO::WriteStep s, const QByteArray &) {
        return int(s) == step || (step == int(FileIO::WriteStep::WriteInPlace) && s == FileIO::WriteStep::CreateTemporary);
    });
    auto restore = qScopeGuard([] { FileIO::setFaultInjector({}); });
    try {
        LineBuffer({"new"}).save(path);
        QFAIL("a failed write reported success");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), "Cannot create file " + QString::fromUtf8(path) + ": Input/output error");
    }
    FileIO::setFaultInjector({});
    QCOMPARE(TestUtil::readFile(path), QByteArray("old content\r\n"));
    QCOMPARE(TestUtil::entries(dir.path()), QList<QByteArray>{name}); // no temporary left
}

void TestLineBuffer::bigInputs()
{
    // A 10 MB line and 100,000 short lines load and save without trouble.
    ScratchDir dir;
    const QByteArray path = dir.file("big");
    QByteArray huge(10 * 1024 * 1024, 'x');
    TestUtil::writeFile(path, huge + "\r\nsecond");
    LineBuffer b;
    b.load(path);
    QCOMPARE(b.count(), 2);
    QCOMPARE(b.at(0).size(), huge.size());
    QByteArray many;
    for (int i = 0; i < 100000; ++i)
        many += "l\n";
    TestUtil::writeFile(path, many);
    b.load(path);
    QCOMPARE(b.count(), 100000);
}

QTEST_GUILESS_MAIN(TestLineBuffer)
#include "tst_linebuffer.moc"
