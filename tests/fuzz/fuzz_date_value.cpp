// ChooseColumnDateMask of three probe texts, and DateValue under that mask and under any mask.
// Input: the texts first, last, middle, cell (ConsumeText each) and then a free mask (the rest);
// layout in fuzz_support.h.
// Properties: the column mask is empty exactly when one of the probes has no DateMaskOf; else it
// is one of the three probes' masks, it is the first probe's mask unless it is month first, and
// it is month first whenever a probe's mask is. DateValue under the column mask and under the
// free mask, of each of the four texts, is -1 or a moment between 1601-01-01 00:00:00 and
// 9999-12-31 23:59:59; such a moment, written back under the same mask with every field at full
// width, reads back to the same value. An empty mask or text gives -1.
#include <cstdint>
#include <string>

#include "fuzz_dates.h"
#include "fuzz_support.h"
#include "listsort/date_masks.h"

namespace {

void CheckDateValue(TextView mask, TextView text) {
    const int64_t value = DateValue(mask, text);
    const std::string shown = "DateValue(" + fuzz::Printable(mask) + ", " + fuzz::Printable(text) +
                              ") = " + std::to_string(value);
    FUZZ_CHECK(value == -1 || (value >= fuzz::kFirstDateValue && value <= fuzz::kLastDateValue),
               shown);
    if (mask.empty() || text.empty()) FUZZ_CHECK(value == -1, shown);
    if (value == -1) return;
    const Text written = fuzz::FormatUnderMask(mask, value);
    const int64_t again = DateValue(mask, written);
    FUZZ_CHECK(again == value, shown + ", written back as " + fuzz::Printable(written) + " = " +
                                   std::to_string(again));
}

bool IsMonthFirst(TextView mask) {
    return mask.starts_with(u"%mm");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const Text first = fuzz::ConsumeText(provider);
    const Text last = fuzz::ConsumeText(provider);
    const Text middle = fuzz::ConsumeText(provider);
    const Text cell = fuzz::ConsumeText(provider);
    const Text freeMask = fuzz::RemainingText(provider);

    const Text mask = ChooseColumnDateMask(first, last, middle);
    const Text probeMasks[] = {DateMaskOf(first), DateMaskOf(last), DateMaskOf(middle)};
    const std::string shown = "probes " + fuzz::Printable(first) + " " + fuzz::Printable(last) +
                              " " + fuzz::Printable(middle) + " gave " + fuzz::Printable(mask);
    const bool anyEmpty = probeMasks[0].empty() || probeMasks[1].empty() || probeMasks[2].empty();
    FUZZ_CHECK(mask.empty() == anyEmpty, shown);
    if (!mask.empty()) {
        FUZZ_CHECK(mask == probeMasks[0] || mask == probeMasks[1] || mask == probeMasks[2], shown);
        FUZZ_CHECK(mask == probeMasks[0] || IsMonthFirst(mask), shown);
        const bool anyMonthFirst = IsMonthFirst(probeMasks[0]) || IsMonthFirst(probeMasks[1]) ||
                                   IsMonthFirst(probeMasks[2]);
        FUZZ_CHECK(IsMonthFirst(mask) == anyMonthFirst, shown);
    }

    for (TextView text : {TextView(first), TextView(last), TextView(middle), TextView(cell)}) {
        CheckDateValue(mask, text);
        CheckDateValue(freeMask, text);
    }
    // The start of 1970 written under the free mask reads back as 0 whatever the mask names.
    const Text epoch = fuzz::FormatUnderMask(freeMask, 0);
    if (!freeMask.empty()) {
        FUZZ_CHECK(DateValue(freeMask, epoch) == 0,
                   fuzz::Printable(freeMask) + " on " + fuzz::Printable(epoch));
    }
    return 0;
}
