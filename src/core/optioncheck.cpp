#include "optioncheck.h"

#include "extracommands.h"
#include "textcodec.h"

namespace OptionCheck {

namespace {

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

QByteArray nameAt(const QByteArray &line, qsizetype from)
{
    qsizetype to = from;
    while (to < line.size() && isNameChar(line[to]))
        ++to;
    return line.mid(from, to - from);
}

// The option a complaint names: "unknown option: -X", "option -X expected", "value for X:".
QByteArray namedOption(const QByteArray &line, const IsOption &isOption)
{
    QByteArray name;
    for (const char *marker : {"unknown option: -", "option -"}) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 0) {
            name = nameAt(line, at + qsizetype(qstrlen(marker)));
            break;
        }
    }
    if (name.isEmpty()) {
        const qsizetype at = line.indexOf(" value for ");
        if (at >= 0)
            name = nameAt(line, at + 11);
    }
    if (name.isEmpty())
        return {};
    name = ExtraCommands::canonical(name);
    // "-noNAME" refused: NAME is the option, one that takes no such form.
    if (!isOption(name) && name.startsWith("no") && isOption(ExtraCommands::canonical(QByteArrayView(name).sliced(2))))
        return ExtraCommands::canonical(QByteArrayView(name).sliced(2));
    return name;
}

} // namespace

Result read(const QByteArray &output, const IsOption &isOption)
{
    Result r;
    int notes = 0;
    qsizetype at = 0;
    while (at < output.size() && notes < MaxNotes) {
        qsizetype end = output.indexOf('\n', at);
        if (end < 0)
            end = output.size();
        const QByteArray line = output.mid(at, qMin<qsizetype>(end - at, MaxLineBytes)).trimmed();
        at = end + 1;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        // A settings line: "name value".
        const QByteArray first = nameAt(line, 0);
        if (isOption(first) && (line.size() == first.size() || line[first.size()] == ' ' || line[first.size()] == '\t'))
            continue;
        const QString text = TextCodec::decode(line);
        const QByteArray name = namedOption(line, isOption);
        if (!name.isEmpty() && isOption(name))
            r.byOption[name] << text;
        else
            r.general << text;
        ++notes;
    }
    return r;
}

} // namespace OptionCheck
