// Reads an emulator's "-listxml" answer as it comes, piece by piece, into a CatalogueWriter:
// the whole answer (a quarter of a gigabyte for 0.251) is never held. Parsed with expat, which
// reads it several times faster than QXmlStreamReader.
//
// The answer is a <mame> root holding one <machine> (<game> in old versions) per system. A
// machine counts once its end tag is read; one cut short, with an unusable name (empty, longer
// than 64 bytes, with characters other than letters, digits and "_-+." or a leading "."), with
// an unusable ROM, disk, device or parent name (control characters, "\", a leading "/", a ".."
// part), or larger than MaxMachineBytes is left out. Texts are cut at MaxTextBytes and their
// control characters become spaces.
//
// Reading stops at the first fault: a document that is no XML, has another root, declares
// entities (no emulator does; it is how a document makes itself huge), nests deeper than
// MaxDepth or holds one tag longer than MaxTokenBytes; or when the writer is full. What was read
// completely until then stays.
#pragma once

#include "cataloguewriter.h"

#include <QByteArrayView>
#include <QString>
#include <memory>

class ListXmlReader {
public:
    static constexpr int MaxTextBytes = 4096;
    static constexpr qint64 MaxMachineBytes = qint64(1) << 20;
    static constexpr int MaxDepth = 64;
    static constexpr qint64 MaxTokenBytes = qint64(1) << 20;

    enum class Fault {
        None,
        NotCatalogue, // no <mame> root: another program's text, or an emulator without -listxml
        Damaged,      // not well-formed, cut mid-element, entities, too deep, a tag too long
        TooLarge,     // the writer is full
    };

    explicit ListXmlReader(CatalogueWriter &writer);
    ~ListXmlReader();
    ListXmlReader(const ListXmlReader &) = delete;
    ListXmlReader &operator=(const ListXmlReader &) = delete;

    // Reads the next piece; false once reading has stopped (a fault), when more is of no use.
    bool feed(QByteArrayView bytes);
    // The answer is over. With `atEnd` (the program ended by itself), an answer cut short is a
    // fault; without, reading just stops where it is.
    void finish(bool atEnd);

    Fault fault() const { return m_fault; }
    // The fault as a short text ("line 12: mismatched tag"); empty without one.
    QString faultText() const { return m_faultText; }
    bool sawRoot() const;
    // Machines kept and machines left out so far.
    int machines() const;
    int skipped() const;

private:
    struct State;
    std::unique_ptr<State> m;
    Fault m_fault = Fault::None;
    QString m_faultText;
    void stop(Fault fault, const QString &text);
    friend struct ListXmlHandlers;
};
