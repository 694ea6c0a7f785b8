// Column-click sorting of report list views: a click on a column header sorts the rows by that
// column's values (kind detected from three probe rows), ascending first and then alternating,
// with the sort arrow in the header as the only record of the sort.
//
// A list is named by its control number (its control ID) under the window that receives its
// notifications, which is how the program addresses its controls.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <cstdint>
#include <functional>
#include <vector>

#include "common/text.h"
#include "listsort/value_kinds.h"

// Makes the list with this control number under parent sortable by header clicks: installs the
// notification hook on the list's parent window (subclass id 0, reference data 0) and enters the
// number in the process's table of sortable lists, where it stays until the process ends.
// Returns false, and registers nothing, when parent has no such control or the hook cannot be
// installed (SetWindowSubclass not found in the loaded common controls, or failing).
bool EnableColumnSort(HWND parent, int listNumber);

// A list with owner data (LVS_OWNERDATA) holds no rows that the sort could move, so its owner
// moves them: a click first has showAll give the list every row the owner holds (an owner that
// is still adding rows tells the list of them only now and then, and a sort covers the rows
// found so far), then the sort decides the order, calls reorder with it (the row now at
// order[k] goes to position k) and moves the selection and focus states to where their rows
// went. Until a list has an owner, sorting it decides an order and leaves the rows as they are.
using RowReorder = std::function<void(const std::vector<int>& order)>;
struct OwnerDataRows {
    std::function<void()> showAll;  // may be empty: the list already knows every row
    RowReorder reorder;
};
void SetOwnerDataRows(int listNumber, OwnerDataRows owner);

// Handles a click on header item column of the list listNumber under parent: ignored unless the
// list is registered and exists; otherwise sorts the rows by the column in the direction the
// header's arrow calls for (ascending unless the column shows an up arrow), moves the arrow there
// and scrolls the selected row, if any, into view.
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

// One sort: which list and column, the kind of the column's values, the direction and, for
// dates only, the column's date mask. Built for each sort and released when it ends.
struct SortRequest {
    HWND list = nullptr;
    int64_t column = 0;
    ColumnKind kind = ColumnKind::Text;
    SortDirection direction = Ascending;
    Text dateMask;
};

// Reorders the rows of list by column. A Date column whose probe rows give no date mask is
// sorted as Text. The order is decided first, by CompareRows on the rows as they stand (a merge
// sort in which rows comparing as 0 keep their order), and then the rows are moved: every cell
// text in full and the item data (lParam, states such as the selection, image, indent) move
// with their row (for an owner-data list, its owner moves them). The list view's own LVM_SORTITEMSEX is not used because Wine's list view
// passes its comparison callback indices of a private copy while LVM_GETITEMTEXTW still reads
// the old order, so a comparison that reads cells by index sorts wrongly there.
void SortListByColumn(HWND list, int column, ColumnKind kind, SortDirection direction);

// Compares rows first and second of the request's list by the request's column: 0 when both
// cells read the same text (case matters), otherwise the -1 (first goes before second) or 1 of
// the kind's comparison in the request's direction; 0 for a kind outside ColumnKind. Reads and
// converts both cells afresh on every call.
int CompareRows(int first, int second, const SortRequest& request);

// The text of the request's column in row, as the sort sees it: at most 254 code units (the
// list view fills a 256-unit buffer announced as 255), the empty text when the cell is empty or
// cannot be read.
Text ReadCellForSort(const SortRequest& request, int row);
