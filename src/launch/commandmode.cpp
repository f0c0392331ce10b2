#include "commandmode.h"

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

struct Failure {
    int status;
    QString message;
};

[[noreturn]] void fail(int status, const QString &message)
{
    throw Failure{status, message};
}

int execute(const QCommandLineParser &parser, bool running)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.size() > 2)
        fail(Usage, QStringLiteral("give one configuration file, and optionally a game"));
    const QByteArray file = QFile::encodeName(positional.at(0));
    const std::optional<QByteArray> content = FileIO::read(file);
    if (!content)
        fail(NoInput, QStringLiteral("Cannot open file %1: %2")
                          .arg(Errors::pathText(file),
                               QString::fromLocal8Bit(std::strerror(FileIO::exists(file) ? EACCES : ENOENT))));
    LineBuffer lines(LineBuffer::split(*content));

    // Relative paths in the configuration are taken from its own directory, as the windows take
    // them from the directory they list.
    QByteArray absolute = file.startsWith('/') ? file : PathRules::join(FileIO::currentDirectory(), file);
    Launcher launcher(nullptr, PathRules::directoryPart(absolute));
    try {
        QByteArray game = positional.size() > 1 ? QFile::encodeName(positional.at(1))
                                                : PathRules::withoutExtension(lines.at(Config::Game));
        if (game.isEmpty())
            fail(Usage, QStringLiteral("%1 names no game: give one after it").arg(Errors::pathText(file)));
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
        return launcher.runAndWait(command);
    } catch (const CommandError &e) {
        fail(Software, Errors::boxText(e.message()));
    } catch (const CommandStopped &) {
        fail(Software, QStringLiteral("Stopped"));
    }
}

} // namespace

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--", 2) == 0 || std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "-v") == 0)
            return true;
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
        "Without options it opens its window on the configurations of the current directory."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption print(QStringLiteral("print-command"),
                                   QStringLiteral("Print the command line Run would use for the configuration, "
                                                  "and on the error output what it leaves out and why."));
    const QCommandLineOption runOption(QStringLiteral("run"),
                                       QStringLiteral("Prepare the emulator's settings file as Run does, run the game, "
                                                      "wait for it and exit with its status."));
    parser.addOption(print);
    parser.addOption(runOption);
    parser.addPositionalArgument(QStringLiteral("FILE.tvo"), QStringLiteral("The configuration."));
    parser.addPositionalArgument(QStringLiteral("GAME"), QStringLiteral("The game, when the configuration names none "
                                                                        "or another one is wanted."),
                                 QStringLiteral("[GAME]"));

    int status = 0;
    try {
        if (!parser.parse(QCoreApplication::arguments()))
            fail(Usage, parser.errorText());
        if (parser.isSet(QStringLiteral("help-all"))) {
            // The help with the options Qt itself takes; the parser prints it and exits.
            parser.process(QCoreApplication::arguments());
        } else if (parser.isSet(help)) {
            printTo(stdout, parser.helpText());
        } else if (parser.isSet(version)) {
            printTo(stdout, QStringLiteral("trelvo-mame %1\n").arg(QCoreApplication::applicationVersion()));
        } else if (parser.isSet(print) == parser.isSet(runOption)) {
            fail(Usage, QStringLiteral("give --print-command or --run (--help tells more)"));
        } else {
            status = execute(parser, parser.isSet(runOption));
        }
    } catch (const Failure &failure) {
        printTo(stderr, QStringLiteral("trelvo-mame: %1\n").arg(failure.message));
        status = failure.status;
    }
    Modals::install(previous);
    return status;
}

} // namespace CommandMode
