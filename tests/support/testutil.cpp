#include "testutil.h"

#include "fileio.h"
#include "linebuffer.h"

#include <QDir>
#include <QTest>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TestUtil {

namespace {

// Removes a directory tree by its bytes: Qt's own removal cannot name what does not decode.
void removeTree(const QByteArray &path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        ::chmod(path.constData(), 0700);
        for (const QByteArray &name : entries(path))
            removeTree(path + '/' + name);
        ::rmdir(path.constData());
    } else {
        ::unlink(path.constData());
    }
}

} // namespace

ScratchDir::ScratchDir() : m_path(QFile::encodeName(m_dir.path())) {}

ScratchDir::~ScratchDir()
{
    removeTree(m_path);
}

QByteArray ScratchDir::mkdir(const QByteArray &name) const
{
    const QByteArray p = file(name);
    FileIO::makeDirectories(p);
    return p;
}

void writeFile(const QByteArray &path, const QByteArray &content)
{
    if (!FileIO::writeAtomically(path, content))
        QTest::qFail(qPrintable("cannot write test file " + QString::fromUtf8(path)), __FILE__, __LINE__);
}

QByteArray readFile(const QByteArray &path)
{
    return FileIO::read(path).value_or(QByteArray("<missing>"));
}

QByteArray crlf(const QList<QByteArray> &lines)
{
    return LineBuffer::join(lines);
}

QList<QByteArray> configLines(int count, const QList<QPair<int, QByteArray>> &set)
{
    QList<QByteArray> lines(count);
    for (const auto &[n, text] : set)
        lines[n] = text;
    return lines;
}

QList<QByteArray> numbered(int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i)
        lines << "n" + QByteArray::number(i);
    return lines;
}

QList<QByteArray> replaced(QList<QByteArray> lines, int n, const QByteArray &text)
{
    if (n == lines.size())
        lines << text;
    else
        lines[n] = text;
    return lines;
}

QList<QByteArray> entries(const QByteArray &directory)
{
    QList<QByteArray> names;
    if (DIR *dir = ::opendir(directory.constData())) {
        while (const dirent *e = ::readdir(dir)) {
            const QByteArray n(e->d_name);
            if (n != "." && n != "..")
                names << n;
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

Environment::~Environment()
{
    for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
        if (it->wasSet)
            qputenv(it->name, it->value);
        else
            qunsetenv(it->name);
    }
}

void Environment::set(const char *name, const QByteArray &value)
{
    m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    qputenv(name, value);
}

void Environment::unset(const char *name)
{
    m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    qunsetenv(name);
}

QByteArray ownHome(const ScratchDir &root, Environment &environment)
{
    const QByteArray home = root.mkdir("home");
    environment.set("HOME", home);
    environment.set("XDG_CACHE_HOME", root.mkdir("home/.cache"));
    environment.set("XDG_CONFIG_HOME", root.mkdir("home/.config"));
    return home;
}

QByteArray ownHeadlessHome(const ScratchDir &root, Environment &environment)
{
    environment.set("SDL_VIDEODRIVER", "dummy");
    environment.set("SDL_AUDIODRIVER", "dummy");
    return ownHome(root, environment);
}

CurrentDir::CurrentDir(const QByteArray &path) : m_previous(FileIO::currentDirectory())
{
    FileIO::changeDirectory(path);
}

CurrentDir::~CurrentDir()
{
    FileIO::changeDirectory(m_previous);
}

} // namespace TestUtil
