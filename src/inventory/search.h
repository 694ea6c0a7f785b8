// The search filter's choice of entries: which entries of the last scan a search text shows.
#pragma once

#include <cstddef>
#include <vector>

#include "common/text.h"
#include "inventory/software.h"

// 1-based position, in UTF-16 code units, of the last occurrence of find in text, comparing the
// two code unit by code unit after mapping both through fold; 0 when find does not occur. The
// search runs from the end, so an empty find is found at text.size() + 1 (also in an empty
// text) and a find longer than text is never found.
size_t FindLastNoCase(TextView text, TextView find, CodeUnitMap fold);

// Indexes into list of the entries the filter shows for search, in list (scan) order: an entry
// is shown when FindLastNoCase finds search in any of its six fields, each field tested on its
// own (no match spans two fields). An empty search shows every entry. fold must be a pure
// mapping; it is consulted once per distinct code unit below 256 and per use above that.
std::vector<size_t> FilteredEntryIndexes(const SoftwareList& list, TextView search,
                                         CodeUnitMap fold);
