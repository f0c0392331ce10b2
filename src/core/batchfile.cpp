#include "batchfile.h"

#include "commandline.h"
#include "pathrules.h"

#include <cctype>

namespace BatchFile {

namespace {

// A path from the old platform ("C:\MAME\MAME.EXE") keeps that platform's rules.
PathRules::Style styleOf(const QByteArray &path)
{
    const bool drive = path.size() >= 2 && path.at(1) == ':' && std::isalpha(static_cast<unsigned char>(path.at(0)));
    return (drive || path.contains('\\')) ? PathRules::Style::Windows : PathRules::Native;
}

QByteArray gameName(const QByteArray &archive)
{
    return PathRules::withoutExtension(archive, styleOf(archive));
}

const QByteArray Banner1 = "MADE USING MAME TRELVO";
const QByteArray Banner2 = "========================";
const QByteArray Hint = "TYPE THE NAME OF THE GAME AFTER THE NAME OF THE FILE";

} // namespace

QList<QByteArray> batchLines(const Launch &launch)
{
    const QByteArray directory = PathRules::directoryPart(launch.emulator, styleOf(launch.emulator));
    QList<QByteArray> lines = {"@echo off", "echo. " + Banner1, "echo. " + Banner2, "ECHO."};
    if (launch.gameArchive.isEmpty()) {
        lines << "if \"%1\" == \"\" goto erro"
              << "cd " + directory
              << launch.emulator + " %1 " + launch.optionString
              << "goto sair"
              << ":erro"
              << "echo. " + Hint
              << ":sair";
    } else {
        lines << "cd " + directory
              << CommandLine::joined(launch.emulator, gameName(launch.gameArchive), launch.optionString);
    }
    return lines;
}

QByteArray shellQuote(const QByteArray &text)
{
    QByteArray out = "'";
    for (const char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + '\'';
}

QByteArray shellScript(const Launch &launch, const QByteArray &workingDirectory)
{
    const QByteArray directory = workingDirectory.isEmpty() ? PathRules::directoryPart(launch.emulator) : workingDirectory;
    QByteArray game;
    QByteArray script = "#!/bin/sh\n"
                        "echo ' " + Banner1 + "'\n"
                        "echo ' " + Banner2 + "'\n"
                        "echo\n";
    if (launch.gameArchive.isEmpty()) {
        script += "if [ -z \"$1\" ]; then\n"
                  "    echo ' " + Hint + "'\n"
                  "    exit 1\n"
                  "fi\n";
        game = "\"$1\"";
    } else {
        game = shellQuote(gameName(launch.gameArchive));
    }
    if (!directory.isEmpty())
        script += "cd " + shellQuote(directory) + " || exit 1\n";
    script += "exec " + shellQuote(launch.emulator) + ' ' + game;
    for (const QByteArray &word : CommandLine::words(launch.optionString))
        script += ' ' + shellQuote(word);
    script += '\n';
    return script;
}

QByteArray withDefaultExtension(const QByteArray &path, int filterIndex)
{
    if (!PathRules::extension(path).isEmpty())
        return path;
    return path + (filterIndex == 2 ? ".sh" : ".BAT");
}

bool isShellScript(const QByteArray &path)
{
    return path.endsWith(".sh");
}

} // namespace BatchFile
