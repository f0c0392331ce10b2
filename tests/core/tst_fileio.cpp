#include "fileio.h"
#include "testutil.h"
#include "textcodec.h"

#include <QScopeGuard>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using FileIO::WriteStep;
using TestUtil::ScratchDir;

class TestFileIO : public QObject {
    Q_OBJECT
private slots:
    void listFiles();
    void masks_data();
    void masks();
    void atomicWrite_data();
    void atomicWrite();
    void decoding_data();
    void decoding();
};

void TestFileIO::listFiles()
{
    ScratchDir dir;
    for (const QByteArray name : {"b.tvo", "A.tvo", "c.TVO", ".hidden.tvo", "notes.txt", "a.tvo"})
        TestUtil::writeFile(dir.file(name), "x");
    TestUtil::writeFile(dir.file("caf\xe9.tvo"), "latin-1 name");
    dir.mkdir("folder.tvo");
    QVERIFY(::symlink("nowhere", dir.file("dangling.tvo").constData()) == 0);
    QVERIFY(::symlink("b.tvo", dir.file("link.tvo").constData()) == 0);

    const QList<QByteArray> names = FileIO::listFiles(dir.path(), "*.tvo");
    QCOMPARE(names, (QList<QByteArray>{"A.tvo", "a.tvo", "b.tvo", "c.TVO", "caf\xe9.tvo", "link.tvo"}));
    QVERIFY(FileIO::read(dir.file("caf\xe9.tvo")).has_value());
    // A named pipe is no file to read: reading it must not wait for a writer.
    QVERIFY(::mkfifo(dir.file("pipe.tvo").constData(), 0600) == 0);
    QVERIFY(!FileIO::read(dir.file("pipe.tvo")).has_value());
    QVERIFY(!FileIO::listFiles(dir.path(), "*.tvo").contains("pipe.tvo"));
    QCOMPARE(FileIO::listFiles(dir.file("missing"), "*"), QList<QByteArray>());
}

void TestFileIO::masks_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<bool>("match");
    QTest::newRow("ext") << QByteArray("pacman.zip") << QByteArray("*.zip") << true;
    QTest::newRow("ext case") << QByteArray("PACMAN.ZIP") << QByteArray("*.zip") << true;
    QTest::newRow("other ext") << QByteArray("pacman.zip.txt") << QByteArray("*.zip") << false;
    QTest::newRow("contains") << QByteArray("groovymame64") << QByteArray("*mame*") << true;
    QTest::newRow("star") << QByteArray("anything") << QByteArray("*") << true;
    QTest::newRow("question") << QByteArray("a1.zip") << QByteArray("a?.zip") << true;
    QTest::newRow("too short") << QByteArray(".zi") << QByteArray("*.zip") << false;
}

void TestFileIO::masks()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, mask);
    QTEST(FileIO::matchesMask(name, mask), "match");
}

void TestFileIO::atomicWrite_data()
{
    QTest::addColumn<int>("mode");    // of the file there before, which it keeps; -1: none
    QTest::addColumn<bool>("linked"); // written through a symbolic link to it
    QTest::addColumn<int>("step");    // the seam fails it with ENOSPC; WriteInPlace: CreateTemporary too
    QTest::addColumn<int>("error");   // the write's answer; 0: written
    const int none = -1, refused = int(WriteStep::CreateTemporary), inPlace = int(WriteStep::WriteInPlace);
    QTest::newRow("through a link") << 0640 << true << none << 0;
    QTest::newRow("no write bit: read-only, root too") << 0444 << false << none << EACCES;
    QTest::newRow("read-only through a link") << 0555 << true << none << EACCES;
    QTest::newRow("others' write bit: not read-only") << 0402 << false << none << 0;
    QTest::newRow("read-only in a refusing directory") << 0444 << false << refused << EACCES;
    QTest::newRow("refusing directory: in place") << 0640 << true << refused << 0;
    QTest::newRow("in place fails part-way: old bytes back") << 0604 << true << inPlace << ENOSPC;
    QTest::newRow("refusing directory, no file") << -1 << false << refused << ENOSPC;
}

void TestFileIO::atomicWrite()
{
    QFETCH(int, mode);
    QFETCH(bool, linked);
    QFETCH(int, step);
    QFETCH(int, error);
    ScratchDir dir;
    const QByteArray real = dir.file("real.ini"), link = dir.file("mame.ini");
    const QByteArray old = "old bytes\r\n", wanted = "the new bytes, longer\r\n";
    if (mode >= 0) {
        TestUtil::writeFile(real, old);
        QVERIFY(::chmod(real.constData(), mode_t(mode)) == 0);
    }
    QVERIFY(!linked || ::symlink("real.ini", link.constData()) == 0);
    const QList<QByteArray> before = TestUtil::entries(dir.path());
    QByteArray struck; // the file when the write in place fails
    FileIO::setFaultInjector([&](WriteStep at, const QByteArray &) {
        if (at == WriteStep::WriteInPlace)
            struck = TestUtil::readFile(real);
        const bool fails = int(at) == step || (step == int(WriteStep::WriteInPlace) && at == WriteStep::CreateTemporary);
        return fails ? FileIO::Fault::withError(ENOSPC) : FileIO::Fault(false);
    });
    auto restore = qScopeGuard([] { FileIO::setFaultInjector({}); });
    const FileIO::WriteResult written = FileIO::writeAtomically(linked ? link : real, wanted);
    FileIO::setFaultInjector({});

    QCOMPARE(written.error, error);
    QCOMPARE(TestUtil::readFile(real), error ? (mode < 0 ? QByteArray("<missing>") : old) : wanted);
    QVERIFY(step != int(WriteStep::WriteInPlace) || (struck != old && struck != wanted));
    struct stat st;
    QCOMPARE(::stat(real.constData(), &st) == 0 ? int(st.st_mode & 07777) : -1, mode);
    QVERIFY(!linked || (::lstat(link.constData(), &st) == 0 && S_ISLNK(st.st_mode)));
    // Nothing temporary is left behind.
    QCOMPARE(TestUtil::entries(dir.path()), error || mode >= 0 ? before : QList<QByteArray>{"real.ini"});
    QCOMPARE(FileIO::writeAtomically(dir.path(), "a directory is no file").error, EISDIR);
    QCOMPARE(FileIO::writeAtomically(dir.file("no/such/dir"), "x").error, ENOENT);
}

void TestFileIO::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("plain") << QStringLiteral("plain");
    QTest::newRow("utf-8") << QByteArray("Diret\xc3\xb3rio") << QStringLiteral("Diretório");
    QTest::newRow("latin-1") << QByteArray("Diret\xf3rio") << QStringLiteral("Diretório");
    QTest::newRow("1252 quotes") << QByteArray("\x93hi\x94 \x80") << QStringLiteral("“hi” €");
    QTest::newRow("acute accent") << QByteArray("doesn\xb4t") << QStringLiteral("doesn´t");
    QTest::newRow("overlong is not utf-8") << QByteArray("\xc0\xaf") << QStringLiteral("À¯");
    QTest::newRow("surrogate is not utf-8") << QByteArray("\xed\xa0\x80") << QStringLiteral("í\u00a0€");
}

void TestFileIO::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TextCodec::decode(bytes), text);
    // An unchanged text keeps its bytes; a changed one becomes UTF-8.
    QCOMPARE(TextCodec::encodeEdited(text, bytes), bytes);
    QCOMPARE(TextCodec::encodeEdited(text + "!", bytes), (text + "!").toUtf8());
}

QTEST_GUILESS_MAIN(TestFileIO)
#include "tst_fileio.moc"
