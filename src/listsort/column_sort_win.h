// Column-click sorting of report list views: a click on a column header sorts the rows by that
// column's values (kind detected from three probe rows), ascending first and then alternating,
// with the sort arrow in the header as the only record of the sort.
//
// A list is named by its control number (its control ID) under the window that receives its
// notifications, which is how the program addresses its controls. The sort reads and reorders
// the rows through their owner (ListRows), never through the list view: Windows' list view
// neither hands out the cell texts of an owner-data list nor sorts one.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <cstddef>
#include <vector>

#include "app/list_rows.h"
#include "common/text.h"
#include "listsort/value_kinds.h"

// Makes the list with this control number under parent sortable by header clicks on the rows
// that rows holds (rows must outlive the list): installs the notification hook on the list's
// parent window (subclass id 0, reference data 0) and enters the number in the process's table
// of sortable lists, where it stays until the process ends. Returns false, and registers
// nothing, when parent has no such control or the hook cannot be installed.
bool EnableColumnSort(HWND parent, int listNumber, ListRows& rows);

// Handles a click on header item column of the list listNumber under parent: ignored unless the
// list is registered and is the window registered under that number; otherwise sorts the rows by
// the column in the direction the header's arrow calls for (ascending unless the column shows an
// up arrow), moves the arrow there and scrolls the selected row, if any, into view. When the
// rows cannot be reordered, the arrows, the selection and the scroll position stay as they were.
void OnColumnClick(HWND parent, int listNumber, int column);

// The arrow shown on header item column: -1 when the list does not exist or the item cannot be
// read, 0 for no arrow, 1 for the up arrow (tested first), 2 for the down arrow.
int GetHeaderArrow(HWND parent, int listNumber, int column);

// Shows the arrow of direction (1 up, 2 down) on header item column and clears it from every
// other item; direction 0 clears every item's arrow. Every other format flag stays as it was.
// Returns false when the list does not exist.
bool SetHeaderArrows(HWND parent, int listNumber, int column, SortDirection direction);

// Scrolls row into view (a partly visible row is enough). Returns false when the list does not
// exist.
bool ShowSelectedRow(HWND parent, int listNumber, int row);

// One sort: which column, the kind of the column's values, the direction and, for dates only,
// the column's date mask.
struct SortRequest {
    size_t column = 0;
    ColumnKind kind = ColumnKind::Text;
    SortDirection direction = Ascending;
    Text dateMask;
};

// Reorders rows by column. The kind comes from DetectColumnKind; a Date column whose probe rows
// give no date mask is sorted as Text. The order is a merge sort over each row's
// SortedCellText, in which rows comparing as 0 keep their order. False when rows refused the
// order (nothing moved).
bool SortRowsByColumn(ListRows& rows, size_t column, ColumnKind kind, SortDirection direction);

// The common kind of the column's first, last and middle (count / 2) rows, each read whole, or
// Text when they differ; the middle row is read only when the first two agree. An empty list
// reads three empty texts.
ColumnKind DetectColumnKind(const ListRows& rows, size_t column);

// Compares two cells as the sort sees them (SortedCellText): 0 when both are the same text (case
// matters), otherwise the -1 (a goes before b) or 1 of the request's kind in its direction; 0 for
// a kind outside ColumnKind.
int CompareSortTexts(TextView a, TextView b, const SortRequest& request);
