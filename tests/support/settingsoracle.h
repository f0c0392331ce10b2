// The ROM path rewrite done the plain way: the file split into lines and their line ends, the
// target line replaced in the list, the lines joined again. The byte walk of
// SettingsFile::rewritten must give exactly what this gives; the tests and the fuzz target hold
// it to that.
#pragma once

#include "errors.h"
#include "linebuffer.h"
#include "settingsfile.h"

namespace SettingsOracle {

struct Line {
    QByteArray text;
    QByteArray end; // "\r\n", "\r", "\n" or nothing (the last line)
};

// The lines of a text, split where LineBuffer splits them, each with its line end.
inline QList<Line> split(const QByteArray &text)
{
    QList<Line> lines;
    qsizetype begin = 0;
    while (begin < text.size()) {
        qsizetype end = begin;
        while (end < text.size() && text.at(end) != '\r' && text.at(end) != '\n')
            ++end;
        qsizetype after = end;
        if (after < text.size())
            after += text.at(after) == '\r' && after + 1 < text.size() && text.at(after + 1) == '\n' ? 2 : 1;
        lines.append({text.mid(begin, end - begin), text.mid(end, after - end)});
        begin = after;
    }
    return lines;
}

inline QByteArray join(const QList<Line> &lines)
{
    QByteArray out;
    for (const Line &l : lines)
        out += l.text + l.end;
    return out;
}

// The text of a settings file with its ROM path line pointed at `romPath`. With exactly as many
// lines as the target line number the new line is appended with the file's first line end; with
// fewer it throws "Unable to insert a line".
inline QByteArray rewritten(const QByteArray &text, SettingsFile::Style style, const QByteArray &romPath)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    QList<Line> lines = split(text);
    QList<QByteArray> texts;
    for (const Line &l : lines)
        texts.append(l.text);
    const int n = SettingsFile::targetLine(texts, style);
    if (n > lines.size())
        Errors::unableToInsert();
    SettingsFile::checkRomPath(romPath);
    QByteArray line = SettingsFile::romPathLine(style, romPath);
    if (n < lines.size()) {
        if (n == 0 && lines.at(0).text.startsWith(utf8Bom))
            line.prepend(utf8Bom);
        lines[n].text = line;
        return join(lines);
    }
    QByteArray firstEnd = "\n";
    for (const Line &l : lines)
        if (!l.end.isEmpty()) {
            firstEnd = l.end;
            break;
        }
    if (!lines.isEmpty() && lines.last().end.isEmpty())
        lines.last().end = firstEnd;
    lines.append({line, firstEnd});
    return join(lines);
}

} // namespace SettingsOracle
