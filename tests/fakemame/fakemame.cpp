// A stand-in for the emulator, for tests. Plain C++ and POSIX, no Qt.
//
// Every call is recorded: when FAKEMAME_LOG names a file, one line is appended to it holding the
// working directory and then each argument, separated by tabs.
//
// It knows the options of Debian's mame 0.251: "-showconfig" prints that emulator's listing
// (showconfig0251.h), or FAKEMAME_SHOWCONFIG_STDOUT instead, which then describes another
// emulator. Right after the recording, the options of every call are checked against the listing
// as the real emulator checks them:
//   - a word starting with "-" must be a listed name, "-noNAME" for a NAME listed as 0 or 1, or
//     one of the commands -list, -listfull, -listxml, -showconfig, -showusage, -createconfig, -help,
//     -version, -verifyroms; else
//     "Error: unknown option: -x" on the error output and status 6;
//   - a listed name whose value is not 0 or 1 takes the next word as its value, whatever it is
//     (none left: "Error: option -x expected a parameter", status 6; -prescale outside 1..8 is
//     told of as 0.251 words it, and the call goes on); so do the few that 0.251
//     lists as 0 or 1 but reads as numbers (-frameskip, -flicker ...: see takesNumber);
//   - in a call without a command, the first other word is the system name and a second one
//     ends it with "Error: unknown option: WORD" and status 3.
// The check is skipped when the listing is no vocabulary, as the program reads it (no "rompath"
// line, or FAKEMAME_SHOWCONFIG_EXIT not 0), and when FAKEMAME_OLD=1: an old emulator, which takes
// everything and prints only FAKEMAME_SHOWCONFIG_STDOUT (nothing by default) for "-showconfig".
//
// What a call does is told by environment variables named after its command: the first argument
// when it starts with "-" ("-list" gives LIST, "-createconfig" CREATECONFIG, "-showconfig"
// SHOWCONFIG), GAME when the first argument is a game name, NONE without arguments;
// "-noreadconfig -showconfig" prints the listing too, "-showusage" 0.251's usage (showusage0251.h),
// "-version" "0.251 (fake)". For a
// command X, in this order:
//   FAKEMAME_X_FILE and FAKEMAME_X_FROM  copy the file FROM to FILE (relative to the working
//                                        directory), as the emulator writes its settings file
//   FAKEMAME_X_STDIN                     read the standard input to its end first
//   FAKEMAME_X_STDOUT_FILE               print this file's content to the standard output (a
//                                        catalogue the test wrote; then held by a FIFO, it is
//                                        an answer that stops half-way)
//   FAKEMAME_X_FIFO                      read this named pipe to its end first (a game that
//                                        runs until the test lets it end)
//   FAKEMAME_X_STDOUT                    print this text to the standard output (for
//                                        SHOWCONFIG in place of the listing)
//   FAKEMAME_X_LINES                     print this many lines to the standard output
//   FAKEMAME_X_STDERR                    print this text to the error output
//   FAKEMAME_X_ERRLINES                  print this many lines to the error output
//   FAKEMAME_X_EXIT                      exit with this status (0 otherwise)
#include "showconfig0251.h"
#include "showusage0251.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
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

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The options a listing names, with their values; empty when the listing is no vocabulary.
std::map<std::string, std::string> vocabularyOf(const std::string &listing)
{
    std::map<std::string, std::string> values;
    bool rompath = false;
    size_t at = 0;
    while (at < listing.size()) {
        size_t end = listing.find('\n', at);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t start = 0;
        while (start < line.size() && isBlank(line[start]))
            ++start;
        if (start == line.size() || line[start] == '#')
            continue;
        size_t nameEnd = start;
        while (nameEnd < line.size() && !isBlank(line[nameEnd]))
            ++nameEnd;
        size_t valueStart = nameEnd, valueEnd = line.size();
        while (valueStart < valueEnd && isBlank(line[valueStart]))
            ++valueStart;
        while (valueEnd > valueStart && isBlank(line[valueEnd - 1]))
            --valueEnd;
        const std::string name = line.substr(start, nameEnd - start);
        values.emplace(name, line.substr(valueStart, valueEnd - valueStart));
        if (name == "rompath" && nameEnd < line.size())
            rompath = true;
    }
    return rompath ? values : std::map<std::string, std::string>();
}

// Options whose default is 0 or 1 but which take a number, as 0.251 reads them: the listing
// does not tell them from the on/off ones.
bool takesNumber(const std::string &name)
{
    static const char *const names[] = {
        "frameskip", "seconds_to_run", "intscalex", "intscaley", "beam_intensity_weight", "flicker",
        "volume", "speaker_report", "coin_impulse", "autoboot_delay", "debugger_font_size", "watchdog",
        "bench", "numscreens", "prescale", "gl_glsl_filter", "pa_latency"};
    for (const char *n : names)
        if (name == n)
            return true;
    return false;
}

bool isOnOff(const std::map<std::string, std::string> &values, const std::string &name)
{
    const auto it = values.find(name);
    return it != values.end() && (it->second == "0" || it->second == "1") && !takesNumber(name);
}

// The real emulator's status for these arguments when they are wrong, else 0.
int checkOptions(int argc, char **argv, const std::map<std::string, std::string> &values)
{
    static const char *const commands[] = {"-list", "-listfull", "-listxml", "-showconfig", "-showusage", "-createconfig", "-help", "-version", "-verifyroms"};
    bool hasCommand = false;
    for (int i = 1; i < argc; ++i)
        for (const char *c : commands)
            hasCommand = hasCommand || std::strcmp(argv[i], c) == 0;
    bool system = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] != '-') {
            if (system && !hasCommand) {
                writeAll(2, "Error: unknown option: " + word + "\n");
                return 3;
            }
            system = true;
            continue;
        }
        bool command = false;
        for (const char *c : commands)
            command = command || word == c;
        const std::string name = word.substr(1);
        if (command || isOnOff(values, name) || (name.compare(0, 2, "no") == 0 && isOnOff(values, name.substr(2))))
            continue;
        if (values.count(name) == 0) {
            writeAll(2, "Error: unknown option: " + word + "\n");
            return 6;
        }
        if (i + 1 == argc) {
            writeAll(2, "Error: option " + word + " expected a parameter\n");
            return 6;
        }
        ++i;
        // As 0.251 judges a number out of its range: said, and the default taken.
        if (name == "prescale" && (std::atoi(argv[i]) < 1 || std::atoi(argv[i]) > 8))
            writeAll(2, std::string("Out-of-range integer value for prescale: \"") + argv[i]
                            + "\" (must be between 1 and 8, inclusive); reverting to 1\n");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    record(argc, argv);
    const std::string command = commandOf(argc, argv);
    const char *old = std::getenv("FAKEMAME_OLD");
    const bool isOld = old && std::strcmp(old, "1") == 0;
    const char *listing = setting("SHOWCONFIG", "STDOUT");
    if (!listing)
        listing = isOld ? "" : ShowConfig0251;
    const char *listingStatus = setting("SHOWCONFIG", "EXIT");
    if (!isOld && (!listingStatus || std::atoi(listingStatus) == 0)) {
        const std::map<std::string, std::string> values = vocabularyOf(listing);
        if (!values.empty())
            if (const int status = checkOptions(argc, argv, values))
                return status;
    }

    if (setting(command, "STDIN")) {
        char buffer[4096];
        while (::read(0, buffer, sizeof buffer) > 0 || errno == EINTR) {
        }
    }
    if (const char *path = setting(command, "STDOUT_FILE")) {
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        char buffer[65536];
        ssize_t n;
        while (fd >= 0 && ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
            if (n > 0 && !writeAll(1, std::string(buffer, size_t(n))))
                return 91;
        if (fd >= 0)
            ::close(fd);
    }
    if (const char *fifo = setting(command, "FIFO")) {
        const int fd = ::open(fifo, O_RDONLY | O_CLOEXEC);
        char buffer[4096];
        while (fd >= 0 && (::read(fd, buffer, sizeof buffer) > 0 || errno == EINTR)) {
        }
        if (fd >= 0)
            ::close(fd);
    }
    const char *file = setting(command, "FILE");
    const char *from = setting(command, "FROM");
    if (file && from && !copyFile(from, file))
        return 90;
    const char *text = command == "SHOWCONFIG" ? listing : setting(command, "STDOUT");
    // "-noreadconfig -showconfig": the listing before any mame.ini is read, the same by default.
    if (command == "NOREADCONFIG" && argc > 2 && std::strcmp(argv[2], "-showconfig") == 0 && !text)
        text = listing;
    // "-showusage": 0.251's headings and descriptions; an old emulator has none.
    if (command == "SHOWUSAGE" && !text)
        text = isOld ? nullptr : ShowUsage0251;
    if (command == "VERSION" && !text && !isOld)
        text = "0.251 (fake)";
    if (text)
        writeAll(1, text);
    if (const char *lines = setting(command, "LINES")) {
        const long count = std::strtol(lines, nullptr, 10);
        for (long i = 0; i < count; ++i)
            if (!writeAll(1, "game" + std::to_string(i) + "    \"A game of the long list\"\n"))
                return 91;
    }
    if (const char *text = setting(command, "STDERR"))
        writeAll(2, text);
    if (const char *lines = setting(command, "ERRLINES")) {
        const long count = std::strtol(lines, nullptr, 10);
        for (long i = 0; i < count; ++i)
            if (!writeAll(2, "error " + std::to_string(i) + " of the long list\n"))
                return 92;
    }
    const char *status = setting(command, "EXIT");
    return status ? std::atoi(status) : 0;
}
