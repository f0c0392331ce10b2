// A stand-in for the emulator, for tests. Plain C++ and POSIX, no Qt.
//
// Every call is recorded: when FAKEMAME_LOG names a file, one line is appended to it holding the
// working directory and then each argument, separated by tabs.
//
// What a call does is told by environment variables named after its command: the first argument
// when it starts with "-" ("-list" gives LIST, "-createconfig" CREATECONFIG, "-showconfig"
// SHOWCONFIG), GAME when the first argument is a game name, NONE without arguments. For a
// command X, in this order:
//   FAKEMAME_X_FILE and FAKEMAME_X_FROM  copy the file FROM to FILE (relative to the working
//                                        directory), as the emulator writes its settings file
//   FAKEMAME_X_STDIN                     read the standard input to its end first
//   FAKEMAME_X_STDOUT                    print this text to the standard output
//   FAKEMAME_X_LINES                     print this many lines to the standard output
//   FAKEMAME_X_STDERR                    print this text to the error output
//   FAKEMAME_X_EXIT                      exit with this status (0 otherwise)
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

const char *setting(const std::string &command, const char *what)
{
    const std::string name = "FAKEMAME_" + command + "_" + what;
    return std::getenv(name.c_str());
}

bool writeAll(int fd, const std::string &text)
{
    const char *data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= size_t(n);
    }
    return true;
}

std::string workingDirectory()
{
    std::string buffer(4096, '\0');
    while (!::getcwd(&buffer[0], buffer.size())) {
        if (errno != ERANGE)
            return "?";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
}

void record(int argc, char **argv)
{
    const char *log = std::getenv("FAKEMAME_LOG");
    if (!log || !*log)
        return;
    std::string line = workingDirectory();
    for (int i = 1; i < argc; ++i)
        line += std::string("\t") + argv[i];
    line += "\n";
    const int fd = ::open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    writeAll(fd, line); // one write: records of calls never interleave
    ::close(fd);
}

bool copyFile(const char *from, const char *to)
{
    const int in = ::open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    std::string content;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(in, buffer, sizeof buffer)) > 0)
        content.append(buffer, size_t(n));
    ::close(in);
    const int out = ::open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    const bool ok = writeAll(out, content);
    return ::close(out) == 0 && ok;
}

std::string commandOf(int argc, char **argv)
{
    if (argc < 2)
        return "NONE";
    if (argv[1][0] != '-')
        return "GAME";
    std::string command;
    for (const char *c = argv[1] + 1; *c; ++c)
        command += char(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c);
    return command;
}

} // namespace

int main(int argc, char **argv)
{
    record(argc, argv);
    const std::string command = commandOf(argc, argv);

    if (setting(command, "STDIN")) {
        char buffer[4096];
        while (::read(0, buffer, sizeof buffer) > 0 || errno == EINTR) {
        }
    }
    const char *file = setting(command, "FILE");
    const char *from = setting(command, "FROM");
    if (file && from && !copyFile(from, file))
        return 90;
    if (const char *text = setting(command, "STDOUT"))
        writeAll(1, text);
    if (const char *lines = setting(command, "LINES")) {
        const long count = std::strtol(lines, nullptr, 10);
        for (long i = 0; i < count; ++i)
            if (!writeAll(1, "game" + std::to_string(i) + "    \"A game of the long list\"\n"))
                return 91;
    }
    if (const char *text = setting(command, "STDERR"))
        writeAll(2, text);
    const char *status = setting(command, "EXIT");
    return status ? std::atoi(status) : 0;
}
