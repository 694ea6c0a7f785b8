// FindLastNoCase, and the search filter built on it (FilteredEntryIndexes).
// Input: a fold byte (the last byte; fuzz::ChooseFold), then the search text (ConsumeText), then
// up to twelve field texts (ConsumeText each, the last one the rest) that fill two entries in
// column order, missing fields empty; layout in fuzz_support.h.
// Properties, for every field as text (length m) and the search as find: the result is 0 or
// within 1..m+1; when it is not 0, the folded text at that position equals the folded find and
// no later position matches; when it is 0, no position matches at all. The filter shows exactly
// the entries with a field in which FindLastNoCase finds the search, in list order (its table of
// folded Latin-1 code units must give the same answers as the fold itself).
#include <cstdint>
#include <string>
#include <vector>

#include "comparisons.h"
#include "fuzz_support.h"
#include "inventory/search.h"
#include "inventory/software.h"

namespace {

Text& FieldOf(SoftwareEntry& entry, size_t field) {
    Text* fields[] = {&entry.InstallType, &entry.AppName,         &entry.AppVersion,
                      &entry.InstallDate, &entry.InstallLocation, &entry.UninstallString};
    return *fields[field];
}

void CheckFindLast(TextView text, TextView find, CodeUnitMap fold) {
    const size_t position = FindLastNoCase(text, find, fold);
    const size_t m = text.size();
    const size_t n = find.size();
    const std::string shown = "FindLastNoCase(" + fuzz::Printable(text) + ", " +
                              fuzz::Printable(find) + ") = " + std::to_string(position);
    FUZZ_CHECK(position <= m + 1, shown);
    const Text foldedText = fuzz::Folded(text, fold);
    const Text foldedFind = fuzz::Folded(find, fold);
    auto matchesAt = [&](size_t start) {  // 0-based start
        return start + n <= m && TextView(foldedText).substr(start, n) == foldedFind;
    };
    if (position != 0) FUZZ_CHECK(matchesAt(position - 1), shown);
    for (size_t start = position; start + n <= m; ++start) {
        FUZZ_CHECK(!matchesAt(start), shown + ", also found at " + std::to_string(start + 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const CodeUnitMap fold = fuzz::ChooseFold(provider.ConsumeIntegral<uint8_t>());
    const Text search = fuzz::ConsumeText(provider);
    SoftwareList list(2);
    for (size_t i = 0; i < 2 * SoftwareEntry::kFieldCount && provider.remaining_bytes() > 0; ++i) {
        const bool last = i + 1 == 2 * SoftwareEntry::kFieldCount;
        FieldOf(list[i / SoftwareEntry::kFieldCount], i % SoftwareEntry::kFieldCount) =
            last ? fuzz::RemainingText(provider) : fuzz::ConsumeText(provider);
    }

    std::vector<size_t> expected;
    for (size_t i = 0; i < list.size(); ++i) {
        bool shown = false;
        for (size_t field = 0; field < SoftwareEntry::kFieldCount; ++field) {
            CheckFindLast(list[i].Field(field), search, fold);
            shown = shown || FindLastNoCase(list[i].Field(field), search, fold) != 0;
        }
        if (shown) expected.push_back(i);
    }
    // The search is found in itself at 1, and in the empty text only when it is empty (at 1).
    FUZZ_CHECK(FindLastNoCase(search, search, fold) == 1, fuzz::Printable(search));
    FUZZ_CHECK(FindLastNoCase(u"", search, fold) == (search.empty() ? 1 : 0),
               fuzz::Printable(search));

    const std::vector<size_t> shownIndexes = FilteredEntryIndexes(list, search, fold);
    FUZZ_CHECK(shownIndexes == expected, "FilteredEntryIndexes for " + fuzz::Printable(search) +
                                             " showed " + std::to_string(shownIndexes.size()) +
                                             " entries, expected " +
                                             std::to_string(expected.size()));
    return 0;
}
