#include "listsort/row_sort.h"

#include <algorithm>
#include <vector>

#include "listsort/date_masks.h"

namespace {

// The texts of the three rows whose cells decide a column's kind and date mask: the first, the
// last and the middle one (row count / 2), each whole. In an empty list all three are empty; in
// a list of one row they are that row's.
struct ProbeTexts {
    TextView first, last, middle;
};

ProbeTexts ReadProbeTexts(const ListRows& rows, size_t column) {
    const size_t count = rows.RowCount();
    if (count == 0) return {};
    return {rows.CellText(0, column), rows.CellText(count - 1, column),
            rows.CellText(count / 2, column)};
}

// Orders order[begin, end) as a merge sort: a row of the right half goes before a row of the left
// half only when the comparison puts the left one after it (1), so rows that compare as 0 keep
// their order. Whatever the comparisons answer, the result is an order of all rows.
void MergeRows(const SortRequest& request, const std::vector<SortKey>& keys,
               std::vector<size_t>& order, std::vector<size_t>& scratch, size_t begin, size_t end) {
    if (end - begin < 2) return;
    size_t middle = begin + (end - begin) / 2;
    MergeRows(request, keys, order, scratch, begin, middle);
    MergeRows(request, keys, order, scratch, middle, end);
    size_t left = begin, right = middle, out = begin;
    while (left < middle && right < end) {
        if (CompareSortKeys(keys[order[left]], keys[order[right]], request) > 0) {
            scratch[out++] = order[right++];
        } else {
            scratch[out++] = order[left++];
        }
    }
    while (left < middle) scratch[out++] = order[left++];
    while (right < end) scratch[out++] = order[right++];
    std::copy(scratch.begin() + std::ptrdiff_t(begin), scratch.begin() + std::ptrdiff_t(end),
              order.begin() + std::ptrdiff_t(begin));
}

}  // namespace

SortKey SortKeyOf(TextView text, const SortRequest& request, const FoldTable& fold) {
    SortKey key;
    key.text = text;
    switch (request.kind) {
        case ColumnKind::PlainText:
            key.folded = FoldedText(text, fold);
            break;
        case ColumnKind::WholeNumber:
            key.number = TextToInteger(text);
            break;
        case ColumnKind::DecimalNumber:
            key.decimal = DecimalNumberKey(text);
            break;
        case ColumnKind::Size:
            key.number = SizeInBytes(text);
            break;
        case ColumnKind::Date:
            key.number = DateValue(request.dateMask, text);
            break;
    }
    return key;
}

int CompareSortKeys(const SortKey& a, const SortKey& b, const SortRequest& request) {
    if (a.text == b.text) return 0;
    switch (request.kind) {
        case ColumnKind::PlainText:
            return CompareFoldedTexts(a.folded, b.folded, request.direction);
        case ColumnKind::DecimalNumber:
            return CompareKeys(a.decimal, b.decimal, request.direction);
        case ColumnKind::WholeNumber:
        case ColumnKind::Size:
        case ColumnKind::Date:
            return CompareKeys(a.number, b.number, request.direction);
    }
    return 0;
}

ColumnKind DetectColumnKind(const ListRows& rows, size_t column) {
    const ProbeTexts probes = ReadProbeTexts(rows, column);
    const ColumnKind first = DetectCellKind(probes.first);
    if (DetectCellKind(probes.last) != first || DetectCellKind(probes.middle) != first) {
        return ColumnKind::PlainText;
    }
    return first;
}

bool SortRowsByColumn(ListRows& rows, size_t column, ColumnKind kind, SortDirection direction,
                      CodeUnitMap fold) {
    SortRequest request{column, kind, direction, Text()};
    if (kind == ColumnKind::Date) {
        const ProbeTexts probes = ReadProbeTexts(rows, column);
        request.dateMask = ChooseColumnDateMask(probes.first, probes.last, probes.middle);
        if (request.dateMask.empty()) request.kind = ColumnKind::PlainText;
    }
    const size_t count = rows.RowCount();
    std::vector<size_t> order(count);
    // Each row's key is worked out once; the rows do not change while the order is decided.
    std::vector<SortKey> keys;
    keys.reserve(count);
    const FoldTable table(fold);
    for (size_t row = 0; row < count; ++row) {
        order[row] = row;
        keys.push_back(SortKeyOf(SortedCellText(rows.CellText(row, column)), request, table));
    }
    std::vector<size_t> scratch(count);
    MergeRows(request, keys, order, scratch, 0, count);
    return rows.Reorder(order);
}
