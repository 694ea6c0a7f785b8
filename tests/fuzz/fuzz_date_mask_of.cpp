// DateMaskOf on any text, read back with DateValue.
// Input: the whole input is the text (decoding in fuzz_support.h).
// Properties of a non-empty mask: the text has 10, 16 or 19 code units; the mask is the tokens
// %dd %mm (or %mm %dd when the second field is 13 or more) %yyyy [%hh %ii [%ss]] with exactly one
// literal between neighbouring tokens, and those literals are the text's own code units at
// positions 3, 6 [, 11, 14 [, 17]]; DateValue of the mask on the text is -1 or a moment of the
// years 1601 to 9999. When the text has digits everywhere else (a Date cell), the mask reads it
// back exactly: DateValue is the moment its fields name (by the standard library's calendar),
// or -1 when they name none.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_dates.h"
#include "fuzz_support.h"
#include "listsort/date_masks.h"
#include "listsort/value_kinds.h"

namespace {

int64_t DigitsAt(TextView text, size_t position, size_t count) {
    int64_t value = 0;
    for (size_t i = 0; i < count; ++i) value = value * 10 + (text[position - 1 + i] - u'0');
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text = fuzz::DecodeText({reinterpret_cast<const char*>(data), size});
    const Text mask = DateMaskOf(text);
    if (mask.empty()) return 0;
    const std::string shown = fuzz::Printable(text) + " gave the mask " + fuzz::Printable(mask);

    const size_t length = text.size();
    FUZZ_CHECK(length == 10 || length == 16 || length == 19, shown);

    const bool monthFirst = TextToInteger(text.substr(3, 2)) >= 13;
    std::vector<TextView> tokens{monthFirst ? u"%mm" : u"%dd", monthFirst ? u"%dd" : u"%mm",
                                 u"%yyyy"};
    std::vector<size_t> separators{3, 6};
    if (length >= 16) {
        tokens.insert(tokens.end(), {u"%hh", u"%ii"});
        separators.insert(separators.end(), {11, 14});
    }
    if (length == 19) {
        tokens.push_back(u"%ss");
        separators.push_back(17);
    }
    const std::vector<fuzz::MaskPiece> pieces = fuzz::MaskPieces(mask);
    FUZZ_CHECK(pieces.size() == 2 * tokens.size() - 1, shown);
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i % 2 == 0) {
            FUZZ_CHECK(pieces[i].isToken && pieces[i].text == tokens[i / 2],
                       shown + ", piece " + std::to_string(i));
        } else {
            FUZZ_CHECK(!pieces[i].isToken && pieces[i].text[0] == text[separators[i / 2] - 1],
                       shown + ", piece " + std::to_string(i));
        }
    }

    const int64_t value = DateValue(mask, text);
    FUZZ_CHECK(value == -1 || (value >= fuzz::kFirstDateValue && value <= fuzz::kLastDateValue),
               shown + ", value " + std::to_string(value));

    if (DetectCellKind(text) != ColumnKind::Date) return 0;
    const int64_t first = DigitsAt(text, 1, 2);
    const int64_t second = DigitsAt(text, 4, 2);
    const std::optional<int64_t> expected = fuzz::CivilSeconds(
        DigitsAt(text, 7, 4), monthFirst ? first : second, monthFirst ? second : first,
        length >= 16 ? DigitsAt(text, 12, 2) : 0, length >= 16 ? DigitsAt(text, 15, 2) : 0,
        length == 19 ? DigitsAt(text, 18, 2) : 0);
    FUZZ_CHECK(value == expected.value_or(-1), shown + ", value " + std::to_string(value) +
                                                   ", expected " +
                                                   std::to_string(expected.value_or(-1)));
    return 0;
}
