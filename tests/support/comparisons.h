// The sort's comparisons and the search's match of two texts, each as one call, for the tests:
// the program works them out on keys made once per cell (SortKeyOf) and on a search text folded
// once (FindLastFolded).
#pragma once

#include "common/text.h"
#include "inventory/search.h"
#include "listsort/date_masks.h"
#include "listsort/value_kinds.h"

// Compares two texts without regard to case: every code unit is mapped by fold (a null fold means
// AsciiLower), then CompareFoldedTexts.
inline int CompareText(TextView a, TextView b, SortDirection direction, CodeUnitMap fold) {
    if (fold == nullptr) fold = AsciiLower;
    return CompareFoldedTexts(FoldedText(a, fold), FoldedText(b, fold), direction);
}

// The direction rule (CompareKeys) on TextToInteger, DecimalNumberKey, SizeInBytes and DateValue
// of both texts.
inline int CompareWholeNumbers(TextView a, TextView b, SortDirection direction) {
    return CompareKeys(TextToInteger(a), TextToInteger(b), direction);
}
inline int CompareDecimalNumbers(TextView a, TextView b, SortDirection direction) {
    return CompareKeys(DecimalNumberKey(a), DecimalNumberKey(b), direction);
}
inline int CompareSizes(TextView a, TextView b, SortDirection direction) {
    return CompareKeys(SizeInBytes(a), SizeInBytes(b), direction);
}
inline int CompareDates(TextView a, TextView b, SortDirection direction, TextView mask) {
    return CompareKeys(DateValue(mask, a), DateValue(mask, b), direction);
}

// FindLastFolded of find, folded, in text.
inline size_t FindLastNoCase(TextView text, TextView find, CodeUnitMap fold) {
    return FindLastFolded(text, FoldedText(find, fold), FoldTable(fold));
}
