// The search filter's choice of entries: which entries of the last scan a search text shows.
#pragma once

#include <cstddef>
#include <vector>

#include "common/text.h"
#include "inventory/software.h"

// 1-based position, in UTF-16 code units, of the last occurrence of foldedFind (already mapped
// through fold) in text, comparing code unit by code unit after mapping text's through fold; 0
// when it does not occur. The search runs from the end, so an empty find is found at
// text.size() + 1 (also in an empty text) and a find longer than text is never found.
[[nodiscard]] size_t FindLastFolded(TextView text, TextView foldedFind, const FoldTable& fold);

// Indexes into list of the entries the filter shows for search, in list (scan) order: an entry
// is shown when one of its six fields, each tested on its own (no match spans two fields),
// contains search without regard to case: both mapped through fold, a pure mapping, consulted
// once per distinct code unit below 256 and per use above that. An empty search shows every
// entry.
[[nodiscard]] std::vector<size_t> FilteredEntryIndexes(const SoftwareList& list, TextView search,
                                                       CodeUnitMap fold);
