// What an emulator's "-showusage" answer says of its options: its headings ("# CORE SEARCH PATH
// OPTIONS") and, under each, every option with its one-line description, in the emulator's order.
// The answer is the emulator's and treated as hostile: lines and options are read within bounds.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

class Usage {
public:
    struct Option {
        QByteArray name;        // without its "-"
        QByteArray description; // as printed, blanks around it removed
        int heading;            // index into headings()
    };
    static constexpr int MaxOptions = 4000;
    static constexpr int MaxLineBytes = 1024;

    Usage() = default;
    // The usage of a run that printed `output`; empty when it lists no option.
    static Usage fromShowUsage(const QByteArray &output);

    bool isEmpty() const { return m_options.isEmpty(); }
    const QList<QByteArray> &headings() const { return m_headings; }
    const QList<Option> &options() const { return m_options; }
    // The option named `name` (without "-"); nullptr when none is.
    const Option *option(QByteArrayView name) const;
    // Whether a description offers a choice of words, as the emulator words it: "method: none,
    // soft or bgfx", "type of UI (simple|cabinet)", "backend to use (d3d9, d3d11, opengl)".
    static bool offersChoice(QByteArrayView description);

private:
    QList<QByteArray> m_headings;
    QList<Option> m_options;
    QHash<QByteArray, int> m_index;
};
