// The audit's figures: a quick audit of 40,000 archives named after Debian's emulator's machines
// against a bare read of every archive's central directory, and the audit again with its kept
// verdicts after one archive changed.
#pragma once

#include "bench_catalogue.h"

#include <vector>

// The rows; none, with a note on the standard output, when Debian's mame is not installed.
std::vector<CatalogueRow> auditRows(int runs);
