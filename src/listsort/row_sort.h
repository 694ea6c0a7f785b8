// Sorting the rows of a list by one column: the column's kind from three probe rows, each row's
// key, and a stable order of the rows. Platform-free: the rows come through ListRows and the case
// fold is handed in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/list_rows.h"
#include "common/text.h"
#include "listsort/value_kinds.h"

// One sort: which column, the kind of the column's values, the direction and, for dates only,
// the column's date mask.
struct SortRequest {
    size_t column = 0;
    ColumnKind kind = ColumnKind::PlainText;
    SortDirection direction = SortDirection::Ascending;
    Text dateMask;
};

// The common kind of the column's first, last and middle (count / 2) rows, each read whole, or
// Text when they differ; the middle row is read only when the first two agree. An empty list
// reads three empty texts.
[[nodiscard]] ColumnKind DetectColumnKind(const ListRows& rows, size_t column);

// Reorders rows by column. The kind comes from DetectColumnKind; a Date column whose probe rows
// give no date mask is sorted as Text, whose texts are compared after fold. The order is a merge
// sort over each row's SortedCellText, in which rows comparing as 0 keep their order. False when
// rows refused the order (nothing moved).
[[nodiscard]] bool SortRowsByColumn(ListRows& rows, size_t column, ColumnKind kind,
                                    SortDirection direction, CodeUnitMap fold);

// One cell as the sort compares it: its sort text and the key its column's kind orders it by,
// worked out once per cell rather than at every comparison (a 10,000-row sort makes about
// 130,000 comparisons).
struct SortKey {
    TextView text;
    Text folded;         // Text
    int64_t number = 0;  // WholeNumber (TextToInteger), Size (SizeInBytes), Date (DateValue)
    float decimal = 0;   // DecimalNumber
};

[[nodiscard]] SortKey SortKeyOf(TextView text, const SortRequest& request, const FoldTable& fold);

// 0 when both keys are of the same text (case matters), otherwise the -1 (a goes before b) or 1
// of the request's kind in its direction; 0 for a kind outside ColumnKind.
[[nodiscard]] int CompareSortKeys(const SortKey& a, const SortKey& b, const SortRequest& request);
