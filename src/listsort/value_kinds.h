// Value kinds of list columns: classifying one cell text, converting cell texts to sort keys and
// comparing two cells of a column by those keys. Platform-free: texts in, values out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

// The kind of values a column holds, as detected from its cells. Stored in 8 bits by the sorter.
enum class ColumnKind : uint8_t {
    PlainText = 0,
    WholeNumber = 1,
    DecimalNumber = 2,
    Date = 3,
    Size = 4
};

// Direction of a sort. The sorter passes 0 when the column's header cannot be read; every value
// other than Ascending compares as descending.
enum class SortDirection : uint8_t { Ascending = 1, Descending = 2 };

// Number of code units of the text that are not one of the ten ASCII digits (0 for the empty text).
[[nodiscard]] size_t CountNonDigits(TextView text);

// True when the code unit at the 1-based position is one of the ten ASCII digits. A position
// outside the text (0, or beyond its length) holds no digit and gives false.
[[nodiscard]] bool IsDigitAt(TextView text, size_t position);

// Classifies one cell text: Size when it ends in a size unit (its upper-cased last three code
// units occur in " KB MB GB TB"), WholeNumber when it holds only digits (the empty text included),
// DecimalNumber / WholeNumber / Text for one non-digit (a "," or "." / a leading "$" or "%" /
// anything else), Date for the shapes dd.mm.yyyy, dd.mm.yyyy hh:ii and dd.mm.yyyy hh:ii:ss with
// any separators, and Text for everything else.
[[nodiscard]] ColumnKind DetectCellKind(TextView text);

// The leading decimal number of a text as single precision, independent of any process locale.
// The whole texts "+Infinity", "-Infinity" and "NaN" (any case) give infinity and a quiet NaN.
// Otherwise: C white space skipped, an optional sign, digits with "." as the only decimal point
// (at least one digit), and an exponent only when "e"/"E" and an optional sign are followed by a
// digit. No hexadecimal numbers and no "inf"/"nan" words. No number gives 0. The value is rounded
// to double precision first and then to single precision (magnitudes beyond the single range
// become infinity exactly as IEEE rounding does; magnitudes beyond the double range give infinity
// or 0).
[[nodiscard]] float TextToFloat(TextView text);

// Number of bytes a size text denotes. A text ending in TB, GB, MB or KB (any case) gives its
// leading decimal number (TextToFloat) times 2^40, 2^30, 2^20 or 1024, computed in double
// precision and rounded to the nearest integer, halves to even; a product beyond the 64-bit range
// saturates to its minimum or maximum (infinities too) and a NaN gives 0. Any other text gives
// TextToInteger of the text.
int64_t SizeInBytes(TextView text);

// The direction rule shared by every comparison of sort keys: Ascending gives -1 when a < b, else
// 1; every other direction gives -1 when a > b, else 1. Equal (or unordered) keys give 1 whatever
// the direction, so the result is never 0 (kept on purpose: docs/behaviour.md).
template <typename Key>
[[nodiscard]] constexpr int CompareKeys(const Key& a, const Key& b, SortDirection direction) {
    if (direction == SortDirection::Ascending) return a < b ? -1 : 1;
    return a > b ? -1 : 1;
}

// Compares two texts whose code units were already mapped by a case fold (the lower-case mapping
// of the user's locale): as unsigned 16-bit values, a prefix being smaller. Ascending gives -1
// when the first text is smaller, else 1; every other direction gives -1 when it is larger,
// else 1.
[[nodiscard]] int CompareFoldedTexts(TextView a, TextView b, SortDirection direction);

// The key of a decimal number: TextToFloat (single precision, kept on purpose: docs/behaviour.md)
// of the text with its first "," replaced by ".", so 2,5 and 2.5 are equal.
[[nodiscard]] float DecimalNumberKey(TextView text);
