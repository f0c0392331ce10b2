#include "fileoperation.h"

#include "fileio.h"
#include "modals.h"
#include "pathrules.h"
#include "textcodec.h"

#include <cerrno>
#include <cstdio>

namespace ShellCodes {

int function(TATOpChoice operation)
{
    switch (operation) {
    case TATOpChoice::opMove: return 1;
    case TATOpChoice::opCopy: return 2;
    case TATOpChoice::opDelete: return 3;
    case TATOpChoice::opRename: return 4;
    }
    return 0;
}

std::uint16_t flags(TATSetFileOpFlag options)
{
    static const struct { TATFileOpFlags member; std::uint16_t bit; } table[] = {
        {foAllowUndo, 0x40},      {foConfirmMouse, 0x2},       {foFilesOnly, 0x80},
        {foMultiDestFiles, 0x1},  {foNoConfirmation, 0x10},    {foNoConfirmMkDir, 0x200},
        {foRenameOnCollision, 0x8}, {foSilent, 0x4},           {foSimpleProgress, 0x100},
    };
    std::uint16_t word = 0;
    for (const auto &entry : table)
        if (options & entry.member)
            word |= entry.bit;
    return word;
}

} // namespace ShellCodes

QByteArray TATSHFileOperation::doubleNulList(const QList<QByteArray> &lines)
{
    QByteArray buffer;
    for (const QByteArray &line : lines) {
        buffer.append(line);
        buffer.append('\0');
    }
    buffer.append('\0');
    return buffer;
}

QList<QByteArray> TATSHFileOperation::readDoubleNulList(const QByteArray &buffer)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < buffer.size()) {
        const qsizetype end = buffer.indexOf('\0', start);
        const QByteArray line = buffer.mid(start, (end < 0 ? buffer.size() : end) - start);
        if (line.isEmpty())
            break;
        lines.append(line);
        if (end < 0)
            break;
        start = end + 1;
    }
    return lines;
}

int TATSHFileOperation::Execute()
{
    const QList<QByteArray> sources = readDoubleNulList(doubleNulList(SourceFiles));
    const QList<QByteArray> targets = readDoubleNulList(doubleNulList(TargetFiles));
    if (sources.isEmpty())
        return 0;

    if (!(Options & foNoConfirmation)) {
        QString question;
        if (Operation == TATOpChoice::opDelete) {
            question = sources.size() == 1
                ? QStringLiteral("Are you sure you want to permanently delete \"%1\"?")
                      .arg(TextCodec::decode(PathRules::namePart(sources.constFirst())))
                : QStringLiteral("Are you sure you want to permanently delete these %1 files?")
                      .arg(sources.size());
        } else {
            question = QStringLiteral("Are you sure you want to change these %1 files?").arg(sources.size());
        }
        if (!Modals::current().question(question))
            return ECANCELED;
    }

    int result = 0;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QByteArray &source = sources.at(i);
        if (Operation == TATOpChoice::opDelete) {
            if (!FileIO::remove(source))
                result = result ? result : (errno ? errno : EIO);
            continue;
        }
        // Copy, move and rename take the matching target, or the only one for all sources.
        const QByteArray target = i < targets.size() ? targets.at(i) : targets.value(0);
        if (target.isEmpty()) {
            result = result ? result : EINVAL;
            continue;
        }
        const QByteArray destination = FileIO::isDirectory(target)
            ? PathRules::join(target, PathRules::namePart(source)) : target;
        bool ok;
        if (Operation == TATOpChoice::opCopy) {
            const auto content = FileIO::read(source);
            ok = content && FileIO::writeAtomically(destination, *content);
        } else {
            ok = std::rename(source.constData(), destination.constData()) == 0;
        }
        if (!ok)
            result = result ? result : EIO;
    }
    return result;
}
