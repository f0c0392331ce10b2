#include "pageoptions.h"

#include "config.h"
#include "switches.h"

namespace PageOptions {

namespace {

std::optional<Options::Page> pageOfLine(int line)
{
    for (const Options::RadioGroup &g : Options::RadioGroups)
        if (g.line == line)
            return g.page;
    for (const Options::Check &c : Options::Checks)
        if (c.line == line)
            return c.page;
    for (const Options::Field &f : Options::Fields)
        if (f.line == line)
            return f.page;
    return std::nullopt;
}

QMap<QByteArray, Options::Page> collect()
{
    QMap<QByteArray, Options::Page> out;
    for (const Switches::Row &row : Switches::Table) {
        const std::optional<Options::Page> page = pageOfLine(row.line);
        if (!page)
            continue;
        for (const QByteArray &name : Switches::optionsOf(row))
            out.insert(name, *page);
    }
    if (const std::optional<Options::Page> page = pageOfLine(Config::RomDirectory))
        out.insert("rompath", *page);
    return out;
}

} // namespace

const QMap<QByteArray, Options::Page> &all()
{
    static const QMap<QByteArray, Options::Page> options = collect();
    return options;
}

} // namespace PageOptions
