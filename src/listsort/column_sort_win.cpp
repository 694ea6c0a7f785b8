#include "listsort/column_sort_win.h"

#include <cstdint>

#include "common/case_win.h"
#include "listsort/row_sort.h"

bool ColumnSorter::OnNotify(const NMHDR& header) {
    if (list_ == nullptr || header.hwndFrom != list_ || header.code != UINT(LVN_COLUMNCLICK)) {
        return false;
    }
    OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    return true;
}

void ColumnSorter::OnColumnClick(int column) {
    // The arrow the column shows now decides: an up arrow turns into a descending sort, no arrow
    // or a down arrow into an ascending one; an unreadable header gives direction 0.
    const int arrow = HeaderArrow(column);
    SortDirection direction = arrow == 1    ? SortDirection::Descending
                              : arrow == -1 ? SortDirection(0)
                                            : SortDirection::Ascending;
    // A column the rows do not have reads as empty texts everywhere.
    const size_t cells = column >= 0 ? size_t(column) : SIZE_MAX;
    if (!SortRowsByColumn(rows_, cells, DetectColumnKind(rows_, cells), direction, LocaleLower)) {
        return;
    }
    SetHeaderArrows(column, direction);
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (selected >= 0) ListView_EnsureVisible(list_, selected, TRUE);
}

int ColumnSorter::HeaderArrow(int column) const {
    HWND header = list_ != nullptr ? ListView_GetHeader(list_) : nullptr;
    if (header == nullptr) return -1;
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, column, &item)) return -1;
    if (item.fmt & HDF_SORTUP) return 1;
    if (item.fmt & HDF_SORTDOWN) return 2;
    return 0;
}

bool ColumnSorter::SetHeaderArrows(int column, SortDirection direction) {
    if (list_ == nullptr) return false;
    HWND header = ListView_GetHeader(list_);
    const int count = header != nullptr ? Header_GetItemCount(header) : 0;
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        // An item that cannot be read is left alone rather than overwritten with made-up flags.
        if (!Header_GetItem(header, i, &item)) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column && direction == SortDirection::Ascending) item.fmt |= HDF_SORTUP;
        if (i == column && direction == SortDirection::Descending) item.fmt |= HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
    return true;
}
