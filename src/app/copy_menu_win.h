// The list's context menu (copying a cell, a row, every shown row; sorting by a column) and
// Ctrl+C.
#pragma once

#include <windows.h>

#include "app/main_window_win.h"
#include "common/handles_win.h"

// The list menu's commands: the copy items, then a sort item per column in order from the first.
enum ListMenuCommand : UINT { CopyCell = 1, CopyRow, CopyAllRows, SortByFirstColumn = 16 };

// The list's menu for row (-1: none) and column of list (see ShowListMenu), with "Sort by " + each
// column's title and its shortcut Ctrl+1 to Ctrl+6 after a separator.
[[nodiscard]] UniqueMenu ListMenu(const SoftwareListOwner& list, int row, int column);

// The list's context menu, asked for at the screen point packed as WM_CONTEXTMENU packs it, or
// from the keyboard (-1). A right click on a row selects it first and offers "Copy " + the
// clicked column's title, "Copy Row" and "Copy All Shown Rows"; the keyboard offers the same for
// the selected row with App Name as the column; without a row only the last copy item is
// offered, greyed when the list shows no row. The sort items follow in every case. The chosen
// text goes on the clipboard (when it cannot, the status line says so); a sort item sorts as a
// click on its column's header does.
void ShowListMenu(MainWindow& window, int packedPoint);

// Ctrl+C: the selected row, as "Copy Row" copies it; nothing without a selected row.
void CopySelectedRow(MainWindow& window);
