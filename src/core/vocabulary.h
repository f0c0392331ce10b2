// What an emulator says it knows: the options it lists in its "-showconfig" answer, one "name
// value" line each, and the values it lists for them (its inipath, artpath, ctrlrpath ...).
//
// The answer counts as a vocabulary when the run ended with status 0 and listed a "rompath"
// line. Then a name is known when it stands first on a line that is no comment, and "-noNAME"
// is known when NAME is listed with the value 0 or 1. Commands ("-list", "-createconfig") and
// short aliases ("-sr", "-joy") are not listed, and so are not known. An emulator without such an
// answer (an old version, a script) has an unknown vocabulary, which takes every switch.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <optional>

class Vocabulary {
public:
    // The unknown vocabulary.
    Vocabulary() = default;
    // The vocabulary of a "-showconfig" run that printed `output` and ended with `exitStatus`
    // (-1 when it did not end by itself).
    static Vocabulary fromShowConfig(const QByteArray &output, int exitStatus);

    bool isKnown() const { return m_known; }
    // Whether the emulator takes `word` ("-name" or "-noname") as an option; always true while the
    // vocabulary is unknown.
    bool takes(QByteArrayView word) const;
    // Whether `name` (without its "-") is an on/off option: one the emulator said takes "-noNAME"
    // (setSwitches), or until it has said, one listed with the value 0 or 1.
    bool isSwitch(QByteArrayView name) const;
    // The names listed with the value 0 or 1, in the answer's order: those that may be on/off.
    QList<QByteArray> onOffCandidates() const { return m_candidates; }
    // What the emulator said of them: the names, one a line, of those that take "-noNAME".
    void setSwitches(const QByteArray &names);
    bool switchesKnown() const { return m_switchesKnown; }
    // The value listed for `name` as the emulator reads it (see unquoted); nothing when it is not
    // listed. Values are read from any "name value" line, also when the answer is no vocabulary.
    std::optional<QByteArray> value(QByteArrayView name) const;
    // A value's text as the emulator reads it: blanks around it removed, and the double quotes
    // around it taken off (it prints a value that holds a blank as "/a b;/c").
    static QByteArray unquoted(QByteArrayView text);
    // How many names are listed (0 while unknown).
    int size() const { return m_known ? int(m_values.size()) : 0; }

private:
    QHash<QByteArray, QByteArray> m_values;
    QList<QByteArray> m_candidates;
    QSet<QByteArray> m_switches;
    bool m_known = false;
    bool m_switchesKnown = false;
};
