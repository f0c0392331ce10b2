// The Emulator Options page's figures: built for 0.251's 270 options on its first showing, one
// Find keystroke over it, and the editor opened with and without it.
#pragma once

#include "bench_catalogue.h"

#include <vector>

std::vector<CatalogueRow> optionsRows(int runs);
