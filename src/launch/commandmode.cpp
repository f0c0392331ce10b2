#include "commandmode.h"

#include "auditcommand.h"
#include "commandline.h"
#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "launcher.h"
#include "linebuffer.h"
#include "modals.h"
#include "pathrules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace CommandMode {

namespace {

void printTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printTo(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// No one to ask here: messages go to the error output, questions are answered no, dialogs
// cancelled, and a wait simply waits (the bounds of each run still hold).
class ConsoleModals final : public Modals {
public:
    void message(const QString &text) override { printTo(stderr, text + QLatin1Char('\n')); }
    void error(const QString &text) override { printTo(stderr, text + QLatin1Char('\n')); }
    void exclamation(const QString &, const QString &text) override { printTo(stderr, text + QLatin1Char('\n')); }
    bool question(const QString &) override { return false; }
    std::optional<FileDialogResult> file(const FileDialogRequest &) override { return std::nullopt; }
    std::optional<QByteArray> folder(const QString &, const QByteArray &, QWidget *) override { return std::nullopt; }
    bool wait(const QString &, Waitable &work) override
    {
        if (!work.isFinished()) {
            QEventLoop loop;
            QObject::connect(&work, &Waitable::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return true;
    }
    NoticeAnswer notice(const NoticeRequest &) override { return {true, false}; }
};

// This program's own options, as the parser below takes them.
const char *const OwnOptions[] = {"--print-command", "--run", "--audit", "--verify", "--emulator", "--help", "-h",
                                  "--help-all", "--version", "-v"};

bool isOwnOption(const QByteArray &argument)
{
    for (const char *option : OwnOptions)
        if (argument == option)
            return true;
    return false;
}

// Qt's options of the windows, which it takes with one dash or two; `takesValue` tells whether the
// next argument is their value (none when it follows "=").
bool isQtOption(QByteArray argument, bool *takesValue)
{
    static const char *const withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                            "display", "geometry", "name", "title", "visual", "style",
                                            "stylesheet"};
    static const char *const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability",
                                        "qmljsdebugger"};
    if (argument.startsWith("--"))
        argument.remove(0, 1);
    if (!argument.startsWith('-'))
        return false;
    const qsizetype equals = argument.indexOf('=');
    const QByteArray name = argument.mid(1, equals < 0 ? -1 : equals - 1);
    for (const char *option : withValue)
        if (name == option) {
            *takesValue = equals < 0;
            return true;
        }
    for (const char *option : flags)
        if (name == option) {
            *takesValue = false;
            return true;
        }
    return false;
}

// The arguments without Qt's options and their values.
QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList out;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool takesValue = false;
        if (i > 0 && isQtOption(arguments.at(i).toLocal8Bit(), &takesValue))
            i += takesValue ? 1 : 0;
        else
            out.append(arguments.at(i));
    }
    return out;
}

struct Failure {
    int status;
    QString message;
};

[[noreturn]] void fail(int status, const QString &message)
{
    throw Failure{status, message};
}

// `positional`: the configuration, then the game when one is given.
int execute(const QStringList &positional, bool running)
{
    if (positional.isEmpty() || positional.size() > 2)
        fail(Usage, QStringLiteral("give one configuration file, and optionally a game"));
    const QByteArray file = QFile::encodeName(positional.at(0));
    const std::optional<QByteArray> content = FileIO::read(file);
    if (!content) {
        const int error = !FileIO::exists(file) ? ENOENT : FileIO::isDirectory(file) ? EISDIR : EACCES;
        fail(NoInput, QStringLiteral("Cannot open file %1: %2")
                          .arg(Errors::pathText(file), QString::fromLocal8Bit(std::strerror(error))));
    }
    LineBuffer lines(LineBuffer::split(*content));
    // Printed or run, a file is judged alike: what the run would stop at, the print refuses too.
    if (!Config::hasLayout(lines.count()))
        fail(NoInput, QStringLiteral("%1 has %2 lines; a configuration has %3 or %4")
                          .arg(Errors::pathText(file), QString::number(lines.count()),
                               QString::number(Config::OldLineCount), QString::number(Config::LineCount)));

    const bool gameGiven = positional.size() > 1;
    const QByteArray game = gameGiven ? QFile::encodeName(positional.at(1))
                                      : PathRules::withoutExtension(lines.at(Config::Game));
    if (game.isEmpty())
        fail(Usage, QStringLiteral("%1 names no game: give one after it").arg(Errors::pathText(file)));
    // Before anything runs or is written: a wrong game on the command line is a usage error, one
    // of the configuration a failure before the game starts.
    try {
        CommandLine::checkGame(game);
    } catch (const CommandError &e) {
        fail(gameGiven ? Usage : Software, e.message());
    }

    // Relative paths in the configuration are taken from its own directory, as the windows take
    // them from the directory they list.
    QByteArray absolute = file.startsWith('/') ? file : PathRules::join(FileIO::currentDirectory(), file);
    Launcher launcher(nullptr, PathRules::directoryPart(absolute));
    try {
        // A command that could not start is no command Run would use: printing one would only
        // show the switches untranslated, since a missing emulator lists no options.
        Launcher::checkProgram(launcher.emulatorProgram(lines));
        if (running)
            launcher.preparesettings(lines);
        const Launcher::Command command = launcher.command(lines, game);
        if (!command.notes.isEmpty())
            printTo(stderr, Switches::describe(command.notes) + QLatin1Char('\n'));
        if (!running) {
            printTo(stdout, command.text() + '\n');
            return 0;
        }
        QString ending;
        const int status = launcher.runAndWait(command, &ending);
        if (!ending.isEmpty())
            printTo(stderr, QStringLiteral("trelvo-mame: %1\n").arg(ending));
        return status;
    } catch (const CommandError &e) {
        fail(Software, Errors::boxText(e.message()));
    } catch (const CommandStopped &) {
        fail(Software, QStringLiteral("Stopped"));
    }
}

// Where the arguments list the configuration and then an argument beginning with "-" that is no
// option of this program, that argument is the game: the parser would take "-help" for the short
// options h, e, l, p. Its position; -1 for none.
qsizetype dashedGame(const QStringList &arguments)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            const QString &next = arguments.at(i + 1);
            const bool dashed = next.startsWith(QLatin1Char('-')) && next != QLatin1String("-")
                             && next != QLatin1String("--");
            return dashed && !isOwnOption(next.toLocal8Bit()) ? i + 1 : -1;
        }
        if (argument == QLatin1String("--"))
            return -1;
    }
    return -1;
}

} // namespace

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        bool takesValue = false;
        if (isQtOption(argv[i], &takesValue))
            i += takesValue ? 1 : 0;
        else if (isOwnOption(argv[i]) || (std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0'))
            return true;
    }
    return false;
}

bool hasDisplay(int argc, char **argv)
{
    // Qt's own choice: the last -platform, else QT_QPA_PLATFORM; a list such as "wayland;xcb" is
    // tried in turn, and "name:arguments" names the platform by what stands before the colon.
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            platforms = argv[++i];
    const bool x11 = !qgetenv("DISPLAY").isEmpty();
    const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty();
    if (platforms.isEmpty())
        return x11 || wayland;
    for (const QByteArray &entry : platforms.split(';')) {
        const qsizetype colon = entry.indexOf(':');
        const QByteArray name = (colon < 0 ? entry : entry.left(colon)).trimmed();
        if (name == "xcb" ? x11 : name.startsWith("wayland") ? wayland : !name.isEmpty())
            return true;
    }
    return false;
}

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trelvo-mame"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRELVO_VERSION));
    ConsoleModals console;
    Modals *previous = Modals::install(&console);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "MAME Trelvo: runs MAME with a configuration's switches, translated for the emulator it names.\n"
        "Without options it opens its window on the configurations of the current directory.\n"
        "The window needs a display; --print-command and --run need none."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption print(QStringLiteral("print-command"),
                                   QStringLiteral("Print the command line Run would use for the configuration, "
                                                  "and on the error output what it leaves out and why."));
    const QCommandLineOption runOption(QStringLiteral("run"),
                                       QStringLiteral("Prepare the emulator's settings file as Run does, run the game, "
                                                      "wait for it and exit with its status."));
    const QCommandLineOption auditOption(QStringLiteral("audit"),
                                         QStringLiteral("Audit the ROM folder given instead of a configuration: one line "
                                                        "per set (name, state, reason) and a summary; exit 0 when every "
                                                        "game set is playable, 1 when some are not."));
    const QCommandLineOption verifyOption(QStringLiteral("verify"),
                                          QStringLiteral("With --audit, read every file and check its SHA-1."));
    const QCommandLineOption emulatorOption(QStringLiteral("emulator"),
                                            QStringLiteral("With --audit, the emulator whose catalogue counts (else the "
                                                           "first configuration's, else mame along PATH)."),
                                            QStringLiteral("PROGRAM"));
    parser.addOption(print);
    parser.addOption(runOption);
    parser.addOption(auditOption);
    parser.addOption(verifyOption);
    parser.addOption(emulatorOption);
    parser.addPositionalArgument(QStringLiteral("FILE.tvo"), QStringLiteral("The configuration."));
    parser.addPositionalArgument(QStringLiteral("GAME"), QStringLiteral("The game, when the configuration names none "
                                                                        "or another one is wanted."),
                                 QStringLiteral("[GAME]"));

    // Qt's options of the windows mean nothing here; a game beginning with "-" is no option.
    QStringList arguments = withoutQtOptions(QCoreApplication::arguments());
    const qsizetype gameAt = dashedGame(arguments);
    const QString game = gameAt < 0 ? QString() : arguments.takeAt(gameAt);

    int status = 0;
    try {
        if (!parser.parse(arguments))
            fail(Usage, parser.errorText());
        if (parser.isSet(QStringLiteral("help-all"))) {
            // The help with the options Qt itself takes; the parser prints it and exits.
            parser.process(arguments);
        } else if (parser.isSet(help)) {
            printTo(stdout, parser.helpText());
        } else if (parser.isSet(version)) {
            printTo(stdout, QStringLiteral("trelvo-mame %1\n").arg(QCoreApplication::applicationVersion()));
        } else if (parser.isSet(auditOption)) {
            const QStringList positional = parser.positionalArguments();
            if (parser.isSet(print) || parser.isSet(runOption) || positional.size() != 1 || gameAt >= 0)
                fail(Usage, QStringLiteral("give --audit one ROM folder (--help tells more)"));
            int failure = Software;
            try {
                status = AuditCommand::run(QFile::encodeName(positional.first()), parser.isSet(verifyOption),
                                           QFile::encodeName(parser.value(emulatorOption)), &failure);
            } catch (const CommandError &e) {
                fail(failure, e.message());
            }
        } else if (parser.isSet(verifyOption) || parser.isSet(emulatorOption)) {
            fail(Usage, QStringLiteral("--verify and --emulator go with --audit"));
        } else if (parser.isSet(print) == parser.isSet(runOption)) {
            fail(Usage, QStringLiteral("give --print-command or --run (--help tells more)"));
        } else {
            QStringList positional = parser.positionalArguments();
            if (gameAt >= 0)
                positional.insert(std::min<qsizetype>(1, positional.size()), game);
            status = execute(positional, parser.isSet(runOption));
        }
    } catch (const Failure &failure) {
        printTo(stderr, QStringLiteral("trelvo-mame: %1\n").arg(failure.message));
        status = failure.status;
    }
    Modals::install(previous);
    return status;
}

} // namespace CommandMode
