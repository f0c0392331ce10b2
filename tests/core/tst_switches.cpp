#include "switches.h"

#include "../fakemame/showconfig0251.h"

#include <QProcess>
#include <QTest>

class TestSwitches : public QObject {
    Q_OBJECT
private slots:
    void translate_data();
    void translate();
    void fakeEmulatorTakesIt_data();
    void fakeEmulatorTakesIt();
};

namespace {

// A lookup that finds the files named in `files`, each as "pathoption/filename".
Switches::FileLookup finding(const QByteArray &files)
{
    return [files](const QByteArray &path, const QByteArray &file) { return files.split(' ').contains(path + '/' + file); };
}

const char *const EveryLine = // line 41 with every switch the editor writes, as it writes it
    "-cheat -resolution 640x480 -nostrech -depth 16 -gamma 1.2 -scanlines -monitor pal -ror  -flipx "
    "-soundcard 1 -ym3812opl -nostereo -joy 4button -hotrod -hotrodse -steadykey -nomouse -tweak "
    "-alwayssynced -tripplebuffer -vsync -noantialias -waitinterlace -ntsc -notranslucency -skiplines  2 "
    "-skipcolumns 3 -centerx   1 -centery   -1 -sr 22050 -frameskip 1 -beam 1.5 -flicker 0.5 -log "
    "-norotate -vgafreq 1 -vesamode vesa2b  ";

} // namespace

void TestSwitches::translate_data()
{
    QTest::addColumn<QByteArray>("optionString");
    QTest::addColumn<QByteArray>("listing");   // the emulator's -showconfig answer
    QTest::addColumn<QByteArray>("files");     // what lies along its paths
    QTest::addColumn<QByteArray>("arguments"); // joined by "|"
    QTest::addColumn<QStringList>("notes");    // L(eft out), C(hanged) or U(nlisted), then describe()'s line
    const QByteArray real = ShowConfig0251;
    const QByteArray all = "artpath/scanlines.png ctrlrpath/hotrod.cfg ctrlrpath/hotrodse.cfg";
    const QString stray = ": a stray word: the emulator would take it for a second system name";
    using S = QStringList;
    QTest::newRow("as written") << QByteArray("-cheat\t-resolution 640x480 -rol -frameskip -1 -norotate") << real << all
                                << QByteArray("-cheat|-resolution|640x480|-rol|-frameskip|-1|-norotate") << S{};
    QTest::newRow("current forms") << QByteArray("-vsync -sr 441 -beam 1.5 -soundcard 0 -soundcard 3 -noscanlines -joy auto")
                                   << real << QByteArray()
                                   << QByteArray("-waitvsync|-samplerate|441|-beam_width_min|1.5|-beam_width_max|1.5|"
                                                 "-sound|none|-sound|auto|-effect|none|-joystick") << S{};
    QTest::newRow("changed") << QByteArray("-scanlines -joy 4button") << real << QByteArray()
                             << QByteArray("-effect|scanlines|-joystick")
                             << S{"C -scanlines: no scanlines.png along the emulator's artpath: it shows no scanlines",
                                  "C -joy 4button: the joystick type is the emulator's own choice now"};
    QTest::newRow("both hotrods") << QByteArray("-hotrod -hotrodse") << real << all << QByteArray("-ctrlr|hotrodse")
                                  << S{"L -hotrod: the later -hotrodse replaces it"};
    QTest::newRow("both hotrods, later without file")
        << QByteArray("-hotrod -hotrodse") << real << QByteArray("ctrlrpath/hotrod.cfg") << QByteArray("-ctrlr|hotrod")
        << S{"L -hotrodse: no hotrodse.cfg along the emulator's ctrlrpath"};
    QTest::newRow("no counterpart, runs of blanks")
        << QByteArray(" -depth 16 -skiplines  \t2") << real << QByteArray() << QByteArray()
        << S{"L -depth 16: has no counterpart in this emulator", "L -skiplines 2: has no counterpart in this emulator"};
    QTest::newRow("empty value, stray words")
        << QByteArray("-gamma -scanlines 1 -resolution 640 480 -frameskip") << real << all
        << QByteArray("-effect|scanlines|-resolution|640")
        << S{"L -gamma: no value given", "L 1" + stray, "L 480" + stray, "L -frameskip: no value given"};
    QTest::newRow("extra commands") << QByteArray("pac -cart x.bin y -window -r 640x480 --x ;rm") << real << QByteArray()
                                    << QByteArray("pac|-cart|x.bin|y|-window|-r|640x480|--x|;rm")
                                    << S{"U -cart: not listed by this emulator", "U -r: not listed by this emulator"};
    QTest::newRow("old emulator") << QByteArray("-scanlines -soundcard 3 -joy 4button -hotrod -depth 16")
                                  << QByteArray("rompath roms\nscanlines 1\nsoundcard 1\njoy x\nhotrod 0\ndepth 16\n")
                                  << QByteArray() << QByteArray("-scanlines|-soundcard|3|-joy|4button|-hotrod|-depth|16")
                                  << S{};
    QTest::newRow("neither form") << QByteArray("-cheat -vsync -beam 2 -hotrod") << QByteArray("rompath roms\n") << all
                                  << QByteArray()
                                  << S{"L -cheat: the emulator does not know it",
                                       "L -vsync: the emulator knows neither it nor -waitvsync",
                                       "L -beam 2: the emulator knows neither it nor -beam_width_min nor -beam_width_max",
                                       "L -hotrod: the emulator knows neither it nor -ctrlr"};
    QTest::newRow("unknown vocabulary") << QByteArray("-gamma -depth 16 1 -scanlines x") << QByteArray() << QByteArray()
                                        << QByteArray("-gamma|-depth|16|1|-scanlines|x") << S{};
}

void TestSwitches::translate()
{
    QFETCH(QByteArray, optionString);
    QFETCH(QByteArray, listing);
    QFETCH(QByteArray, files);
    QFETCH(QByteArray, arguments);
    QFETCH(QStringList, notes);
    const Switches::Translation t =
        Switches::translate(optionString, Vocabulary::fromShowConfig(listing, 0), finding(files));
    QCOMPARE(t.arguments.join('|'), arguments);
    QStringList noted;
    for (const Switches::Note &n : t.notes)
        noted << QStringLiteral("LCU").at(int(n.kind)) + QLatin1Char(' ') + Switches::describe({n});
    QCOMPARE(noted, notes);
    QCOMPARE(Switches::describe(t.notes).split('\n', Qt::SkipEmptyParts).size(), notes.size());
}

void TestSwitches::fakeEmulatorTakesIt_data()
{
    QTest::addColumn<bool>("old");
    QTest::addColumn<bool>("translated");
    QTest::addColumn<int>("status");
    QTest::newRow("0.251, as written") << false << false << 6;
    QTest::newRow("0.251, translated") << false << true << 0;
    QTest::newRow("old, translated") << true << true << 0;
}

// The vocabulary comes from the stand-in emulator itself, which refuses what 0.251 refuses.
void TestSwitches::fakeEmulatorTakesIt()
{
    QFETCH(bool, old);
    QFETCH(bool, translated);
    QFETCH(int, status);
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FAKEMAME_OLD"), old ? QStringLiteral("1") : QString());
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(FAKEMAME_PATH), {QStringLiteral("-showconfig")});
    QVERIFY(p.waitForFinished(30000));
    const Vocabulary vocabulary = Vocabulary::fromShowConfig(p.readAllStandardOutput(), p.exitCode());
    QCOMPARE(vocabulary.isKnown(), !old);
    const QList<QByteArray> words = translated ? Switches::translate(EveryLine, vocabulary, finding("ctrlrpath/hotrod.cfg")).arguments
                                               : QByteArray(EveryLine).simplified().split(' ');
    QStringList arguments{QStringLiteral("pacman")};
    for (const QByteArray &w : words)
        arguments << QString::fromLatin1(w);
    p.start(QStringLiteral(FAKEMAME_PATH), arguments);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), status);
}

QTEST_GUILESS_MAIN(TestSwitches)
#include "tst_switches.moc"
