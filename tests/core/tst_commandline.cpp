#include "commandline.h"
#include "errors.h"
#include "testutil.h"

#include <QProcess>
#include <QTest>

using Words = QList<QByteArray>;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void shellQuoted_data();
    void shellQuoted();
    void gameNames_data();
    void gameNames();
};

void TestCommandLine::shellQuoted_data()
{
    QTest::addColumn<Words>("words");
    QTest::addColumn<QByteArray>("quoted");
    QTest::newRow("bare") << Words{"/usr/games/mame", "-gamma", "1.2", "a_@%+=:,./-Z9"}
                          << QByteArray("/usr/games/mame -gamma 1.2 a_@%+=:,./-Z9");
    QTest::newRow("shell text") << Words{"my emu", "", "it's", "$HOME", "~", "*", "a;b", "\t", "\xE9"}
                                << QByteArray("'my emu' '' 'it'\\''s' '$HOME' '~' '*' 'a;b' '\t' '\xE9'");
    QTest::newRow("keyword first") << Words{"if", "if"} << QByteArray("'if' if");
    QTest::newRow("assignment first") << Words{"A=b", "A=b", "./A=b"} << QByteArray("'A=b' A=b ./A=b");
}

void TestCommandLine::shellQuoted()
{
    QFETCH(Words, words);
    QFETCH(QByteArray, quoted);
    QCOMPARE(CommandLine::shellQuoted(words), quoted);
    // sh reads the words back as they were; a script file carries bytes that are no text.
    TestUtil::ScratchDir dir;
    TestUtil::writeFile(dir.file("words.sh"), "set -- " + quoted + "\nprintf '[%s]' \"$@\"\n");
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QString::fromUtf8(dir.file("words.sh"))});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.readAllStandardOutput(), '[' + words.join("][") + ']');
}

void TestCommandLine::gameNames_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a name") << QByteArray("pacman") << true;
    QTest::newRow("no game") << QByteArray() << true;
    QTest::newRow("dashes and dots inside") << QByteArray("my.game-2_b") << true;
    QTest::newRow("not UTF-8, or UTF-8") << QByteArray("\xE9t\xC3\xA9") << true;
    QTest::newRow("shell text is only text") << QByteArray("$(touch${IFS}x)") << true;
    QTest::newRow("a command") << QByteArray("-createconfig") << false;
    QTest::newRow("a long option") << QByteArray("--help") << false;
    QTest::newRow("a dash alone") << QByteArray("-") << false;
    QTest::newRow("a blank") << QByteArray("my game") << false;
    QTest::newRow("a tab") << QByteArray("a\tb") << false;
    QTest::newRow("a line break") << QByteArray("pacman\n-createconfig") << false;
    QTest::newRow("an escape") << QByteArray("a\x1b[2J") << false;
    QTest::newRow("a delete") << QByteArray("a\x7f") << false;
}

void TestCommandLine::gameNames()
{
    QFETCH(QByteArray, game);
    QFETCH(bool, taken);
    QCOMPARE(CommandLine::isGameName(game), taken);
    try {
        CommandLine::checkGame(game);
        QVERIFY(taken);
    } catch (const CommandError &e) {
        QVERIFY(!taken);
        QCOMPARE(e.message(), Errors::pathText(game) + " cannot be a game name: the emulator would read it as an option.");
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
