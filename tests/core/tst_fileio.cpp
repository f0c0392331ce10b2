#include "fileio.h"
#include "testutil.h"
#include "textcodec.h"

#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using TestUtil::ScratchDir;

class TestFileIO : public QObject {
    Q_OBJECT
private slots:
    void listFiles();
    void masks_data();
    void masks();
    void atomicWriteKeepsLinksAndModes();
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

void TestFileIO::atomicWriteKeepsLinksAndModes()
{
    ScratchDir dir;
    const QByteArray real = dir.file("real.ini"), link = dir.file("mame.ini");
    TestUtil::writeFile(real, "old");
    QVERIFY(::chmod(real.constData(), 0640) == 0);
    QVERIFY(::symlink("real.ini", link.constData()) == 0);
    QVERIFY(FileIO::writeAtomically(link, "new"));
    struct stat st;
    QVERIFY(::lstat(link.constData(), &st) == 0 && S_ISLNK(st.st_mode));
    QCOMPARE(TestUtil::readFile(real), QByteArray("new"));
    QVERIFY(::stat(real.constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 0777), 0640);
    QVERIFY(!FileIO::writeAtomically(dir.path(), "a directory is no file"));
    QVERIFY(!FileIO::writeAtomically(dir.file("no/such/dir"), "x"));
    QCOMPARE(TestUtil::entries(dir.path()), (QList<QByteArray>{"mame.ini", "real.ini"}));
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
