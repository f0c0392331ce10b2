#include "pathrules.h"

#include <QTest>

using PathRules::Style;

class TestPathRules : public QObject {
    Q_OBJECT
private slots:
    void parts_data();
    void parts();
    void join();
};

void TestPathRules::parts_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("withoutExtension");
    const int win = int(Style::Windows), posix = int(Style::Posix);
    QTest::newRow("win file in dir") << win << QByteArray("C:\\MAME\\MAME.EXE") << QByteArray("C:\\MAME")
                                     << QByteArray("MAME.EXE") << QByteArray("C:\\MAME\\MAME");
    QTest::newRow("win file in root") << win << QByteArray("C:\\MAME.EXE") << QByteArray("C:\\")
                                      << QByteArray("MAME.EXE") << QByteArray("C:\\MAME");
    QTest::newRow("win drive relative") << win << QByteArray("C:MAME.EXE") << QByteArray("C:")
                                        << QByteArray("MAME.EXE") << QByteArray("C:MAME");
    QTest::newRow("win unc keeps double") << win << QByteArray("\\\\x") << QByteArray("\\\\")
                                          << QByteArray("x") << QByteArray("\\\\x");
    QTest::newRow("win dot in directory") << win << QByteArray("C:\\a.b\\mame") << QByteArray("C:\\a.b")
                                          << QByteArray("mame") << QByteArray("C:\\a.b\\mame");
    QTest::newRow("win bare name") << win << QByteArray("pacman.zip") << QByteArray()
                                   << QByteArray("pacman.zip") << QByteArray("pacman");
    QTest::newRow("posix file in dir") << posix << QByteArray("/opt/mame/mame") << QByteArray("/opt/mame")
                                       << QByteArray("mame") << QByteArray("/opt/mame/mame");
    QTest::newRow("posix root") << posix << QByteArray("/mame") << QByteArray("/") << QByteArray("mame")
                                << QByteArray("/mame");
    QTest::newRow("posix bare name") << posix << QByteArray("my.game.zip") << QByteArray()
                                     << QByteArray("my.game.zip") << QByteArray("my.game");
    QTest::newRow("posix backslash is a name byte") << posix << QByteArray("/a/b\\c.zip") << QByteArray("/a")
                                                    << QByteArray("b\\c.zip") << QByteArray("/a/b\\c");
    QTest::newRow("posix dot dir") << posix << QByteArray("./x.d/run") << QByteArray("./x.d")
                                   << QByteArray("run") << QByteArray("./x.d/run");
    QTest::newRow("posix trailing slash") << posix << QByteArray("/opt/mame/") << QByteArray("/opt/mame")
                                          << QByteArray() << QByteArray("/opt/mame/");
}

void TestPathRules::parts()
{
    QFETCH(int, style);
    QFETCH(QByteArray, path);
    const auto s = Style(style);
    QTEST(PathRules::directoryPart(path, s), "directory");
    QTEST(PathRules::namePart(path, s), "name");
    QTEST(PathRules::withoutExtension(path, s), "withoutExtension");
}

void TestPathRules::join()
{
    QCOMPARE(PathRules::join("/a", "roms", Style::Posix), QByteArray("/a/roms"));
    QCOMPARE(PathRules::join("/", "roms", Style::Posix), QByteArray("/roms"));
    QCOMPARE(PathRules::join("", "ROMS", Style::Posix), QByteArray("/ROMS"));
    QCOMPARE(PathRules::join("C:\\", "ROMS", Style::Windows), QByteArray("C:\\ROMS"));
    QCOMPARE(PathRules::join("C:\\MAME", "ROMS", Style::Windows), QByteArray("C:\\MAME\\ROMS"));
    QCOMPARE(PathRules::shortForm("/nonexistent/path/x"), QByteArray());
    QCOMPARE(PathRules::shortForm("/"), QByteArray("/"));
}

QTEST_GUILESS_MAIN(TestPathRules)
#include "tst_pathrules.moc"
