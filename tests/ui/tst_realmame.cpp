// The settings file prepared with the real emulator (Debian's "mame" package): after the
// preparation the emulator itself reports the configuration's ROM directory in its ROM path.
// Skipped where the emulator is not installed. The emulator only writes and shows its settings
// here; it never starts a game or opens a window.
#include "application.h"
#include "fileio.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "tvm.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <unistd.h>

using namespace TestUtil;

namespace {

const QByteArray Emulator = "/usr/games/mame";
const QByteArray SystemSettings = "/etc/mame/mame.ini";

// Sets environment variables for the life of the object.
class Environment {
public:
    void set(const char *name, const QByteArray &value)
    {
        m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    ~Environment()
    {
        for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved { const char *name; QByteArray value; bool wasSet; };
    QList<Saved> m_saved;
};

} // namespace

class TestRealMame : public QObject {
    Q_OBJECT
private slots:
    void emulatorReadsRewrittenRomPath();
};

void TestRealMame::emulatorReadsRewrittenRomPath()
{
    if (!FileIO::isFile(Emulator))
        QSKIP("the emulator is not installed (Debian package \"mame\")");

    ScratchDir root;
    Environment environment;
    environment.set("HOME", root.mkdir("home"));
    environment.set("SDL_VIDEODRIVER", "dummy");
    environment.set("SDL_AUDIODRIVER", "dummy");
    const QByteArray systemBefore = readFile(SystemSettings);

    const QByteArray configurationDirectory = root.mkdir("configs");
    const QByteArray emulatorDirectory = root.mkdir("emu");
    const QByteArray romDirectory = root.mkdir("my roms");
    const QByteArray program = emulatorDirectory + "/mame";
    QVERIFY(::symlink(Emulator.constData(), program.constData()) == 0);

    {
        CurrentDir current(configurationDirectory);
        ScriptedModals modals;
        ApplicationWindows windows;
        TForm1 &main = *windows.Form1;
        main.dados = LineBuffer(configLines(54, {{40, program}, {52, romDirectory}}));
        main.preparesettings();
        QCOMPARE(modals.shown.size(), 0);
        QCOMPARE(FileIO::currentDirectory(), configurationDirectory);
    }

    const QByteArray settings = emulatorDirectory + "/mame.ini";
    QVERIFY2(FileIO::isFile(settings), "the emulator wrote no settings file in its directory");
    const QList<QByteArray> lines = LineBuffer::split(readFile(settings), LineBuffer::Nul::Kept);
    QVERIFY(lines.contains("rompath ROMS;" + romDirectory));

    QProcess mame;
    mame.setProgram(QFile::decodeName(Emulator));
    mame.setArguments({QStringLiteral("-inipath"), QFile::decodeName(emulatorDirectory), QStringLiteral("-showconfig")});
    mame.setWorkingDirectory(QFile::decodeName(emulatorDirectory));
    mame.setStandardInputFile(QProcess::nullDevice());
    mame.start();
    QVERIFY(mame.waitForFinished(-1));
    QCOMPARE(mame.exitStatus(), QProcess::NormalExit);
    QByteArray reported;
    for (const QByteArray &line : mame.readAllStandardOutput().split('\n'))
        if (line.startsWith("rompath "))
            reported = line.mid(8).trimmed();
    QVERIFY2(reported.contains("ROMS;" + romDirectory), reported.constData());

    QCOMPARE(readFile(SystemSettings), systemBefore);
}

QTEST_MAIN(TestRealMame)
#include "tst_realmame.moc"
