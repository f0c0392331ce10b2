// The catalogue's figures: reading it from Debian's mame against a bare parse of the same
// stream, and loading a kept one against reading its file's bytes.
#pragma once

#include <QByteArray>
#include <memory>
#include <vector>

class Catalogue;
class RomList;

struct CatalogueRow {
    const char *what;
    double figure;
    double baseline;
    double bound; // 0: a reference figure
};

// The rows; notes for rows that cannot be measured here go to the standard output.
std::vector<CatalogueRow> catalogueRows(int runs);

// An answer like 0.251's, `count` machines named game000000 on, with a few ROMs and devices each;
// every fifth a parent, the others its clones.
QByteArray generatedAnswer(int count);

// The catalogue and ROM list read from an answer, as the program keeps them.
struct CatalogueBuilt {
    std::shared_ptr<const Catalogue> catalogue;
    std::shared_ptr<const RomList> roms;
};
CatalogueBuilt buildCatalogue(const QByteArray &answer);
