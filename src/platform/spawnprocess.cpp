#include "spawnprocess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace Spawn {

namespace {

struct Actions {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    Actions()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~Actions()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

Started spawn(const QByteArray &program, const QList<QByteArray> &arguments, const Options &options,
              int outputPipe)
{
    if (program.isEmpty() || program.contains('\0'))
        return {-1, ENOENT};
    Actions a;
    posix_spawn_file_actions_addopen(&a.actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputPipe >= 0)
        posix_spawn_file_actions_adddup2(&a.actions, outputPipe, 1);
    else if (options.discardOutput)
        posix_spawn_file_actions_addopen(&a.actions, 1, "/dev/null", O_WRONLY, 0);
    if (options.errorOutput >= 0)
        posix_spawn_file_actions_adddup2(&a.actions, options.errorOutput, 2);
    else if (options.discardErrorOutput)
        posix_spawn_file_actions_addopen(&a.actions, 2, "/dev/null", O_WRONLY, 0);
    if (!options.workingDirectory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&a.actions, options.workingDirectory.constData());

    // The new program starts with every signal at its default and none blocked, whatever this
    // program set for itself; SIGPIPE ignored when asked, as a disposition of "ignored" is the one
    // that a new program inherits.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    if (options.ignoreBrokenPipe) {
        static const bool ignored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
        if (ignored)
            sigdelset(&all, SIGPIPE);
    }
    posix_spawnattr_setsigdefault(&a.attributes, &all);
    posix_spawnattr_setsigmask(&a.attributes, &none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (options.newSession)
        flags |= POSIX_SPAWN_SETSID;
    else if (options.newProcessGroup) {
        flags |= POSIX_SPAWN_SETPGROUP;
        posix_spawnattr_setpgroup(&a.attributes, 0); // a group named after the process itself
    }
    posix_spawnattr_setflags(&a.attributes, flags);

    std::vector<QByteArray> storage;
    storage.reserve(size_t(arguments.size()) + 1);
    storage.push_back(program);
    for (const QByteArray &argument : arguments)
        storage.push_back(argument);
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    Started started;
    started.error = (options.searchPath ? posix_spawnp : posix_spawn)(&started.pid, program.constData(), &a.actions,
                                                                      &a.attributes, argv.data(), environ);
    if (started.error)
        started.pid = -1;
    return started;
}

} // namespace

Started start(const QByteArray &program, const QList<QByteArray> &arguments, const Options &options)
{
    return spawn(program, arguments, options, options.standardOutput);
}

} // namespace Spawn
