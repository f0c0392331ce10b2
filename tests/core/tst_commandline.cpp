#include "commandline.h"
#include "testutil.h"

#include <QProcess>
#include <QTest>

using Words = QList<QByteArray>;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void shellQuoted_data();
    void shellQuoted();
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
