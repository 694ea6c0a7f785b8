// Column-click sorting of a report list view: a click on a column header sorts the rows by that
// column's values (kind detected from three probe rows), ascending first and then alternating,
// with the sort arrow in the header as the only record of the sort.
//
// The sorter belongs to the window that owns the list, which hands it the list's notifications.
// It reads and reorders the rows through their owner (ListRows), never through the list view:
// Windows' list view neither hands out the cell texts of an owner-data list nor sorts one.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "common/list_rows.h"
#include "common/text.h"
#include "listsort/value_kinds.h"

class ColumnSorter {
  public:
    // Sorts rows, which must outlive the sorter, once Attach named their list.
    explicit ColumnSorter(ListRows& rows) : rows_(rows) {}
    ColumnSorter(const ColumnSorter&) = delete;
    ColumnSorter& operator=(const ColumnSorter&) = delete;

    void Attach(HWND list) { list_ = list; }

    // Sorts on a header click of the list (LVN_COLUMNCLICK from it), before the caller goes on
    // with the notification. False for every other notification, which it leaves alone.
    [[nodiscard]] bool OnNotify(const NMHDR& header);

    // Sorts the rows by column in the direction the header's arrow calls for (ascending unless
    // the column shows an up arrow), moves the arrow there and scrolls the selected row, if any,
    // into view. When the rows cannot be reordered, the arrows, the selection and the scroll
    // position stay as they were.
    void OnColumnClick(int column);

    // The arrow shown on header item column: -1 when there is no list or the item cannot be
    // read, 0 for no arrow, 1 for the up arrow (tested first), 2 for the down arrow.
    [[nodiscard]] int HeaderArrow(int column) const;

    // Shows the arrow of direction (1 up, 2 down) on header item column and clears it from every
    // other item; direction 0 clears every item's arrow. Every other format flag stays as it
    // was. False when there is no list.
    bool SetHeaderArrows(int column, SortDirection direction);

  private:
    ListRows& rows_;
    HWND list_ = nullptr;
};
