// The exported files: the batch file has its fixed layout, and every text of the shell script that
// came from a configuration stands inside single quotes (or is the script's own "$1").
#include "batchfile.h"
#include "linebuffer.h"

#include <cstdlib>

namespace {

// Reads a sh word list as the shell would for the plain quoting the script uses: single-quoted
// parts and backslash-escaped quotes only; anything else outside quotes is the script's own.
bool unquote(const QByteArray &line, QList<QByteArray> &words)
{
    QByteArray word;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\'') {
            const qsizetype end = line.indexOf('\'', i + 1);
            if (end < 0)
                return false;
            word += line.mid(i + 1, end - i - 1);
            inWord = true;
            i = end;
        } else if (c == '\\' && i + 1 < line.size() && line[i + 1] == '\'') {
            word += '\'';
            inWord = true;
            ++i;
        } else if (c == ' ') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Three texts without line breaks (configuration lines never hold one), split at NULs.
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0');
    auto part = [&](int i) {
        QByteArray p = parts.value(i);
        p.replace('\r', ' ').replace('\n', ' ');
        return p;
    };
    const BatchFile::Launch launch{part(0), part(1), part(2)};
    if (launch.emulator.isEmpty())
        return 0;

    const QList<QByteArray> lines = BatchFile::batchLines(launch);
    if (lines.size() != (launch.gameArchive.isEmpty() ? 11 : 6) || lines.first() != "@echo off")
        abort();

    const QByteArray script = BatchFile::shellScript(launch);
    const QList<QByteArray> scriptLines = script.split('\n');
    const QByteArray exec = scriptLines.at(scriptLines.size() - 2);
    QList<QByteArray> words;
    if (!exec.startsWith("exec ") || !unquote(exec.mid(5), words))
        abort();
    if (words.value(0) != launch.emulator)
        abort();
    if (launch.gameArchive.isEmpty() && words.value(1) != "\"$1\"")
        abort();
    return 0;
}
