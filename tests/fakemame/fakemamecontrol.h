// Test side of the stand-in emulator: a scratch emulator directory holding it under a chosen
// name, what it is told to do through its environment variables, and the calls it recorded.
#pragma once

#include "fileio.h"
#include "pathrules.h"
#include "testutil.h"

#include <QByteArray>
#include <QList>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct FakeCall {
    QByteArray directory;        // the working directory of the call
    QList<QByteArray> arguments;
};

class FakeMame {
public:
    // Puts the fake emulator into `directory` (made when missing) as `name`.
    explicit FakeMame(const QByteArray &directory, const QByteArray &name = "mame")
        : directory(directory), program(PathRules::join(directory, name)), log(m_side.file("calls.log"))
    {
        link(directory, name);
        set("FAKEMAME_LOG", log);
    }
    // One more copy of the fake emulator, recording into the same log; returns its path.
    QByteArray link(const QByteArray &otherDirectory, const QByteArray &name)
    {
        FileIO::makeDirectories(otherDirectory);
        const QByteArray path = PathRules::join(otherDirectory, name);
        if (::symlink(FAKEMAME_PATH, path.constData()) != 0)
            QTest::qFail("cannot link the fake emulator", __FILE__, __LINE__);
        return path;
    }
    ~FakeMame()
    {
        for (const QByteArray &name : m_set)
            qunsetenv(name.constData());
    }
    FakeMame(const FakeMame &) = delete;
    FakeMame &operator=(const FakeMame &) = delete;

    // FAKEMAME_<command>_<what> = value, for the life of this object.
    void on(const QByteArray &command, const QByteArray &what, const QByteArray &value)
    {
        set("FAKEMAME_" + command + "_" + what, value);
    }
    // An old emulator for the life of this object: it takes every option and lists none.
    void old() { set("FAKEMAME_OLD", "1"); }
    // Makes the emulator a copy of the stand-in of its own, not a link to the shared one, so that
    // its file can change; and changes it (another size, a later time), as a new version would.
    void ownCopy()
    {
        ::unlink(program.constData());
        TestUtil::writeFile(program, TestUtil::readFile(FAKEMAME_PATH));
        if (::chmod(program.constData(), 0755) != 0)
            QTest::qFail("cannot make the emulator's copy runnable", __FILE__, __LINE__);
    }
    void newVersion() { TestUtil::writeFile(program, TestUtil::readFile(program) + "another version"); }
    // The emulator writes `fileName` into its working directory, holding `content`, on `command`.
    void writes(const QByteArray &command, const QByteArray &fileName, const QByteArray &content)
    {
        const QByteArray source = m_side.file(command + ".template");
        TestUtil::writeFile(source, content);
        on(command, "FILE", fileName);
        on(command, "FROM", source);
    }

    // The calls, without the program's questions of the emulator (isQuestion), which allCalls()
    // has too: most tests are about what comes after, and the questions come in the background.
    QList<FakeCall> calls() const
    {
        QList<FakeCall> result;
        for (const FakeCall &call : allCalls())
            if (!isQuestion(call.arguments))
                result << call;
        return result;
    }
    // What the program asks the emulator of itself, in the background, whenever it likes: its
    // version, built-in settings, usage, catalogue, and which options are on/off
    // ("-noreadconfig -noA -noB ... -showconfig").
    static bool isQuestion(const QList<QByteArray> &arguments)
    {
        if (arguments == QList<QByteArray>{"-version"} || arguments == QList<QByteArray>{"-showusage"}
            || arguments == QList<QByteArray>{"-listxml"})
            return true;
        if (arguments.size() < 2 || arguments.first() != "-noreadconfig" || arguments.last() != "-showconfig")
            return false;
        for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
            if (!arguments.at(i).startsWith("-no"))
                return false;
        return true;
    }
    QList<FakeCall> allCalls() const
    {
        QList<FakeCall> result;
        const std::optional<QByteArray> text = FileIO::read(log);
        if (!text)
            return result;
        for (const QByteArray &line : text->split('\n')) {
            if (line.isEmpty())
                continue;
            QList<QByteArray> fields = line.split('\t');
            FakeCall call;
            call.directory = fields.takeFirst();
            call.arguments = fields;
            result << call;
        }
        return result;
    }
    // The arguments of every call, one list per call.
    QList<QList<QByteArray>> argumentLists() const
    {
        QList<QList<QByteArray>> result;
        for (const FakeCall &call : calls())
            result << call.arguments;
        return result;
    }

private:
    TestUtil::ScratchDir m_side; // the log and the file templates; made before the paths below

public:
    const QByteArray directory;
    const QByteArray program;
    const QByteArray log;

private:
    void set(const QByteArray &name, const QByteArray &value)
    {
        qputenv(name.constData(), value);
        m_set << name;
    }

    QList<QByteArray> m_set;
};

// Waits for processes that were started detached, without a clock: they inherit the write end
// of a pipe, and its read end reaches its end once every one of them has ended.
class ExitWatch {
public:
    ExitWatch()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            QTest::qFail("no pipe", __FILE__, __LINE__);
        m_read = fds[0];
        m_write = fds[1];
        ::fcntl(m_read, F_SETFD, FD_CLOEXEC);
    }
    ~ExitWatch()
    {
        closeWrite();
        ::close(m_read);
    }
    ExitWatch(const ExitWatch &) = delete;
    ExitWatch &operator=(const ExitWatch &) = delete;

    // After the starts: returns when every process started since this object was made has ended.
    void wait()
    {
        closeWrite();
        char buffer[64];
        for (;;) {
            const ssize_t n = ::read(m_read, buffer, sizeof buffer);
            if (n > 0 || (n < 0 && errno == EINTR))
                continue;
            break;
        }
    }

private:
    void closeWrite()
    {
        if (m_write >= 0)
            ::close(m_write);
        m_write = -1;
    }
    int m_read = -1;
    int m_write = -1;
};
