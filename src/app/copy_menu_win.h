// Copying from the list: its context menu (a cell, a row, every shown row) and Ctrl+C.
#pragma once

#include <windows.h>

#include "app/main_window_win.h"
#include "common/handles_win.h"

// The items of the copy menu, by command.
enum CopyCommand : UINT { CopyCell = 1, CopyRow, CopyAllRows };

// The copy menu for row (-1: none) and column of list: "Copy " + the column's title and "Copy
// Row" for a row, then "Copy All Shown Rows", greyed when the list shows no row.
UniqueMenu CopyMenu(const SoftwareListOwner& list, int row, int column);

// The list's context menu, asked for at the screen point packed as WM_CONTEXTMENU packs it, or
// from the keyboard (-1). A right click on a row selects it first and offers "Copy " + the
// clicked column's title, "Copy Row" and "Copy All Shown Rows"; the keyboard offers the same for
// the selected row with App Name as the column; without a row only the last item is offered,
// greyed when the list shows no row. The chosen text goes on the clipboard; when it cannot, the
// status line says so.
void ShowCopyMenu(MainWindow& window, int packedPoint);

// Ctrl+C: the selected row, as "Copy Row" copies it; nothing without a selected row.
void CopySelectedRow(MainWindow& window);
