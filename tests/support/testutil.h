// Small helpers shared by the tests: scratch directories and files on byte paths.
#pragma once

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

namespace TestUtil {

// A fresh scratch directory, removed with the object (names that are no valid UTF-8 included).
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    QByteArray path() const { return m_path; }
    QByteArray file(const QByteArray &name) const { return m_path + '/' + name; }
    QByteArray mkdir(const QByteArray &name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

void writeFile(const QByteArray &path, const QByteArray &content);
QByteArray readFile(const QByteArray &path);
// Lines joined with CR LF after each.
QByteArray crlf(const QList<QByteArray> &lines);
// A configuration of `count` lines, all empty but those given.
QList<QByteArray> configLines(int count, const QList<QPair<int, QByteArray>> &set = {});
// Settings lines "n0", "n1", ... (no ROM path line among them).
QList<QByteArray> numbered(int count);
// `lines` with line n set to `text` (appended when n is one past the end).
QList<QByteArray> replaced(QList<QByteArray> lines, int n, const QByteArray &text);
// Names of the entries of a directory (hidden ones included), sorted.
QList<QByteArray> entries(const QByteArray &directory);

// Sets environment variables for the life of the object, then restores what they were.
class Environment {
public:
    Environment() = default;
    Environment(const Environment &) = delete;
    Environment &operator=(const Environment &) = delete;
    ~Environment();
    void set(const char *name, const QByteArray &value);
    void unset(const char *name);

private:
    struct Saved { const char *name; QByteArray value; bool wasSet; };
    QList<Saved> m_saved;
};

// Makes a home of its own under `root` (with its cache and settings directories) and points
// HOME and the XDG directories at it through `environment`, so that nothing a test runs touches
// the user's: the emulator's mame.ini, the kept answers of emulators, put-away notices.
QByteArray ownHome(const ScratchDir &root, Environment &environment);
// The same, with SDL's dummy drivers: the real emulator runs without a screen or sound card.
QByteArray ownHeadlessHome(const ScratchDir &root, Environment &environment);

// Makes a directory current for the life of the object, then restores the previous one.
class CurrentDir {
public:
    explicit CurrentDir(const QByteArray &path);
    ~CurrentDir();
private:
    QByteArray m_previous;
};

} // namespace TestUtil
