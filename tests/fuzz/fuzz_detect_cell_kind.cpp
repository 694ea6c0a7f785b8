// DetectCellKind, CountNonDigits and IsDigitAt on any text.
// Input: the whole input is the text (decoding in fuzz_support.h).
// Properties: the kind is one of the five; a text detected as Date has a date mask (DateMaskOf is
// not empty), the length of one of the three date shapes and digits everywhere except at the
// separator positions; a text of digits only is a WholeNumber; a DecimalNumber holds exactly one
// non-digit, a "," or a "."; CountNonDigits and IsDigitAt agree with each other, and IsDigitAt
// is false outside the text.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "listsort/date_masks.h"
#include "listsort/value_kinds.h"

namespace {

bool IsSeparatorPosition(size_t length, size_t position) {
    return position == 3 || position == 6 || (length >= 16 && (position == 11 || position == 14)) ||
           (length == 19 && position == 17);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text = fuzz::DecodeText({reinterpret_cast<const char*>(data), size});
    const ColumnKind kind = DetectCellKind(text);
    const std::string shown = fuzz::Printable(text);
    const std::string kindName = std::to_string(int(kind));

    size_t digits = 0;
    for (size_t p = 1; p <= text.size(); ++p) digits += IsDigitAt(text, p) ? 1 : 0;
    const size_t nonDigits = CountNonDigits(text);
    FUZZ_CHECK(nonDigits + digits == text.size(), shown);
    FUZZ_CHECK(!IsDigitAt(text, 0) && !IsDigitAt(text, text.size() + 1), shown);

    FUZZ_CHECK(kind == ColumnKind::PlainText || kind == ColumnKind::WholeNumber ||
                   kind == ColumnKind::DecimalNumber || kind == ColumnKind::Date ||
                   kind == ColumnKind::Size,
               shown + " gave kind " + kindName);
    if (nonDigits == 0) FUZZ_CHECK(kind == ColumnKind::WholeNumber, shown + " gave " + kindName);
    if (kind == ColumnKind::DecimalNumber) {
        FUZZ_CHECK(nonDigits == 1 && text.find_first_of(u",.") != TextView::npos, shown);
    }
    if (kind == ColumnKind::Date) {
        FUZZ_CHECK(text.size() == 10 || text.size() == 16 || text.size() == 19, shown);
        for (size_t p = 1; p <= text.size(); ++p) {
            FUZZ_CHECK(IsDigitAt(text, p) != IsSeparatorPosition(text.size(), p),
                       shown + " at position " + std::to_string(p));
        }
        FUZZ_CHECK(!DateMaskOf(text).empty(), shown + " is a Date without a date mask");
    }
    return 0;
}
