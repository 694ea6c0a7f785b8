// The cell comparisons of the column sort: CompareText, CompareWholeNumbers,
// CompareDecimalNumbers, CompareSizes and CompareDates.
// Input: a direction byte and a fold byte (the last two bytes, in that order from the end), then
// the texts a (ConsumeText) and b (the rest); layout in fuzz_support.h. The direction byte is
// passed as it is (1 is Ascending, every other value compares as descending); the fold byte
// chooses CompareText's case mapping (fuzz::ChooseFold, or a null fold when it is 255). The
// dates are compared under DateMaskOf(a), else DateMaskOf(b), else %dd.%mm.%yyyy.
// Properties, for each comparison with its own keys (computed here from the documented
// conversions): every result is -1 or 1, never 0; a text compared with itself gives 1 in both
// directions; equal or unordered keys (a NaN) give 1 in both directions and both orders; ordered
// keys give -1 exactly when the first key is smaller (Ascending) or larger (any other
// direction), so swapping the texts or the direction swaps the result.
#include <cstdint>
#include <string>

#include "comparisons.h"
#include "fuzz_support.h"
#include "listsort/date_masks.h"
#include "listsort/value_kinds.h"

namespace {

constexpr SortDirection kUnreadHeader = SortDirection(0);

template <typename Compare, typename Key>
void CheckComparison(const char* name, Compare compare, TextView a, TextView b,
                     SortDirection direction, Key keyA, Key keyB) {
    const std::string shown = std::string(name) + " of " + fuzz::Printable(a) + " and " +
                              fuzz::Printable(b) + ", direction " + std::to_string(int(direction));
    const SortDirection directions[] = {direction, SortDirection::Ascending,
                                        SortDirection::Descending, kUnreadHeader};
    for (SortDirection d : directions) {
        const int forward = compare(a, b, d);
        const int backward = compare(b, a, d);
        FUZZ_CHECK(forward == -1 || forward == 1, shown + ": " + std::to_string(forward));
        FUZZ_CHECK(backward == -1 || backward == 1, shown + ": " + std::to_string(backward));
        FUZZ_CHECK(compare(a, a, d) == 1 && compare(b, b, d) == 1, shown + ": text with itself");
        const bool equalKeys = !(keyA < keyB) && !(keyB < keyA);
        if (equalKeys) {
            FUZZ_CHECK(forward == 1 && backward == 1, shown + ": equal keys");
            continue;
        }
        const bool firstGoesFirst = d == SortDirection::Ascending ? keyA < keyB : keyB < keyA;
        FUZZ_CHECK(forward == (firstGoesFirst ? -1 : 1), shown + ": " + std::to_string(forward));
        FUZZ_CHECK(backward == -forward, shown + ": swapped " + std::to_string(backward));
    }
}

// The decimal key: the first "," counts as the decimal point.
float DecimalKey(TextView text) {
    Text pointed(text);
    const size_t comma = pointed.find(u',');
    if (comma != Text::npos) pointed[comma] = u'.';
    return TextToFloat(pointed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const SortDirection direction = SortDirection(provider.ConsumeIntegral<uint8_t>());
    const uint8_t foldChoice = provider.ConsumeIntegral<uint8_t>();
    const Text a = fuzz::ConsumeText(provider);
    const Text b = fuzz::RemainingText(provider);

    const CodeUnitMap fold = foldChoice == 255 ? nullptr : fuzz::ChooseFold(foldChoice);
    const CodeUnitMap keyFold = fold == nullptr ? AsciiLower : fold;
    // Text keys: the order of the folded texts as unsigned code units, a prefix first.
    const int textOrder = fuzz::Folded(a, keyFold).compare(fuzz::Folded(b, keyFold));
    CheckComparison(
        "CompareText",
        [fold](TextView x, TextView y, SortDirection d) { return CompareText(x, y, d, fold); }, a,
        b, direction, textOrder, 0);

    CheckComparison("CompareWholeNumbers", CompareWholeNumbers, a, b, direction, TextToInteger(a),
                    TextToInteger(b));
    CheckComparison("CompareDecimalNumbers", CompareDecimalNumbers, a, b, direction, DecimalKey(a),
                    DecimalKey(b));
    CheckComparison("CompareSizes", CompareSizes, a, b, direction, SizeInBytes(a), SizeInBytes(b));

    Text mask = DateMaskOf(a);
    if (mask.empty()) mask = DateMaskOf(b);
    if (mask.empty()) mask = u"%dd.%mm.%yyyy";
    CheckComparison(
        "CompareDates",
        [&mask](TextView x, TextView y, SortDirection d) { return CompareDates(x, y, d, mask); }, a,
        b, direction, DateValue(mask, a), DateValue(mask, b));
    return 0;
}
