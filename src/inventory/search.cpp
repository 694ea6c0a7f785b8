#include "inventory/search.h"

size_t FindLastFolded(TextView text, TextView foldedFind, const FoldTable& fold) {
    const size_t n = foldedFind.size();
    const size_t m = text.size();
    if (n > m) return 0;
    if (n == 0) return m + 1;
    const char16_t* const units = text.data();
    const char16_t* const needle = foldedFind.data();
    const char16_t first = needle[0];
    // Candidates run from m - n down to 0; counting with candidate + 1 keeps the loop unsigned.
    for (size_t next = m - n + 1; next > 0; --next) {
        const size_t candidate = next - 1;
        if (fold(units[candidate]) != first) continue;
        size_t k = 1;
        while (k < n && fold(units[candidate + k]) == needle[k]) ++k;
        if (k == n) return candidate + 1;
    }
    return 0;
}

std::vector<size_t> FilteredEntryIndexes(const SoftwareList& list, TextView search,
                                         CodeUnitMap fold) {
    std::vector<size_t> shown;
    if (list.empty()) return shown;
    const FoldTable table(fold);
    const Text foldedSearch = FoldedText(search, table);
    shown.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        // Fields are tested in column order and the first hit decides, as the rows are built.
        for (size_t field = 0; field < SoftwareEntry::kFieldCount; ++field) {
            if (FindLastFolded(list[i].Field(field), foldedSearch, table) != 0) {
                shown.push_back(i);
                break;
            }
        }
    }
    return shown;
}
