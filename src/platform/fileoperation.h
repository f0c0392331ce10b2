// A file operation (copy, rename, delete, move) on a list of files, asking the user first unless
// told not to. The program uses it to delete single files.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

enum class TATOpChoice { opCopy, opRename, opDelete, opMove };

enum TATFileOpFlags : std::uint16_t {
    foAllowUndo = 1u << 0,
    foConfirmMouse = 1u << 1,
    foFilesOnly = 1u << 2,
    foMultiDestFiles = 1u << 3,
    foNoConfirmation = 1u << 4,
    foNoConfirmMkDir = 1u << 5,
    foRenameOnCollision = 1u << 6,
    foSilent = 1u << 7,
    foSimpleProgress = 1u << 8,
};
// A set of TATFileOpFlags.
using TATSetFileOpFlag = std::uint16_t;

// The shell's function codes and flag bits, as the old platform's shell defines them.
namespace ShellCodes {
int function(TATOpChoice operation);             // FO_MOVE 1, FO_COPY 2, FO_DELETE 3, FO_RENAME 4
std::uint16_t flags(TATSetFileOpFlag options);   // FOF_MULTIDESTFILES 0x1, ... FOF_NOCONFIRMMKDIR 0x200
} // namespace ShellCodes

class TATSHFileOperation {
public:
    TATOpChoice Operation = TATOpChoice::opCopy;
    TATSetFileOpFlag Options = foMultiDestFiles;
    QList<QByteArray> SourceFiles;
    QList<QByteArray> TargetFiles;
    QString ProgressTitle;
    int Handle = 0;

    // Makes SourceFiles a one-line list holding `path`.
    void setSourceFile(const QByteArray &path) { SourceFiles = {path}; }

    // The shell's list form: every line followed by a NUL, then one more NUL.
    static QByteArray doubleNulList(const QList<QByteArray> &lines);
    // The lines the shell reads back from that form: an empty line ends the list.
    static QList<QByteArray> readDoubleNulList(const QByteArray &buffer);

    // Runs the operation once. 0 on success, otherwise non-zero (the user declined, or a file
    // could not be handled). Asks a yes/no question first unless foNoConfirmation is set.
    int Execute();
};
