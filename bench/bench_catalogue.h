// The catalogue's figures: reading it from Debian's mame against a bare parse of the same
// stream, and loading a kept one against reading its file's bytes.
#pragma once

#include <QByteArray>
#include <vector>

struct CatalogueRow {
    const char *what;
    double figure;
    double baseline;
    double bound; // 0: a reference figure
};

// The rows; notes for rows that cannot be measured here go to the standard output.
std::vector<CatalogueRow> catalogueRows(int runs);

// An answer like 0.251's, `count` machines (game000000 on) with a few ROMs and devices each;
// four in five are clones of game000000.
QByteArray generatedAnswer(int count);
