// The details pane's figures: its text after an arrow key, with a 200 KB PNG snapshot of each
// game to come, over a catalogue of 45,000 machines.
#pragma once

#include "bench_catalogue.h"

#include <vector>

std::vector<CatalogueRow> detailsRows();
