// The titles of an emulator's systems, from its "-listfull" answer: a header line
// ("Name:             Description:"), then one line per system, its name, blanks, and its title
// in double quotes ("pacman            "Pac-Man (Midway)""). Inner quotes are not escaped, so the
// title is the rest of the line without one leading and one trailing quote.
//
// The answer is kept whole and the table points into it: a full romset's 45,000 titles are read
// from the cache in a few milliseconds and cost little more memory than the answer itself.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <string_view>
#include <unordered_map>

class Titles {
public:
    // No titles.
    Titles() = default;
    // The titles of a "-listfull" run that printed `output` and ended with `exitStatus` (-1 when
    // it did not end by itself); none unless it ended with 0 and printed the header first.
    static Titles fromListFull(QByteArray output, int exitStatus);

    bool isEmpty() const { return m_titles.empty(); }
    int size() const { return int(m_titles.size()); }
    // The title of the system a game archive names ("pacman.zip", "Galaga.ZIP": the name without
    // its extension, in any letter case), as UTF-8 bytes; empty when the emulator knows none.
    QByteArrayView titleOfArchive(QByteArrayView archive) const;
    // The title of a system name as the emulator writes it; empty when unknown.
    QByteArrayView title(QByteArrayView name) const;

private:
    QByteArray m_text;
    std::unordered_map<std::string_view, std::string_view> m_titles;
};
