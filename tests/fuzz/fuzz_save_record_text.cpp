// SaveRecordText on any six cells and tick states.
// Input: the tick states (the last byte: bits 0-4 are the five check boxes in the order of
// SaveCheck), then the six cells in column order (ConsumeText each, the last one the rest);
// layout in fuzz_support.h.
// Properties: the record is empty exactly when cell 0 is empty. Otherwise it is a sequence of
// lines, one for App Name and one for each ticked field, in column order, each line being its
// label, the cell as it stands and CR LF; then one empty line (CR LF) and nothing more. So the
// record holds no CR and no LF beyond the cells' own and the two per line plus the last two.
#include <algorithm>
#include <cstdint>
#include <string>

#include "export/save_format.h"
#include "fuzz_support.h"

namespace {

size_t CountLineBreaks(TextView text) {
    return size_t(std::count_if(text.begin(), text.end(),
                                [](char16_t c) { return c == u'\r' || c == u'\n'; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const uint8_t ticks = provider.ConsumeIntegral<uint8_t>();
    SaveChecks checks{};
    for (size_t i = 0; i < checks.size(); ++i) checks[i] = (ticks >> i) & 1;
    SaveRowCells cells;
    for (size_t column = 0; column < cells.size(); ++column) {
        cells[column] =
            column + 1 < cells.size() ? fuzz::ConsumeText(provider) : fuzz::RemainingText(provider);
    }

    const Text record = SaveRecordText(cells, checks);
    const std::string shown = "ticks " + std::to_string(ticks & 31) + ", cell 0 " +
                              fuzz::Printable(cells[0]) + " gave " + fuzz::Printable(record);
    if (cells[0].empty()) {
        FUZZ_CHECK(record.empty(), shown);
        return 0;
    }

    // The check box of each column; App Name has none and is always written.
    const int columnCheck[] = {SaveInstallType,     -1,
                               SaveVersion,         SaveInstallDate,
                               SaveInstallLocation, SaveUninstallCommand};
    TextView rest(record);
    size_t expectedBreaks = 2;  // the empty line that ends the record
    for (size_t column = 0; column < cells.size(); ++column) {
        if (columnCheck[column] >= 0 && !checks[size_t(columnCheck[column])]) continue;
        const Text line = Text(kSaveColumns[column].label) + cells[column] + Text(kSaveLineEnd);
        FUZZ_CHECK(rest.starts_with(line), shown + ", line of column " + std::to_string(column));
        rest.remove_prefix(line.size());
        expectedBreaks += 2 + CountLineBreaks(cells[column]);
    }
    FUZZ_CHECK(rest == u"\r\n", shown + ", left " + fuzz::Printable(rest));
    FUZZ_CHECK(CountLineBreaks(record) == expectedBreaks, shown);
    return 0;
}
