// Copying from the list: its context menu (a cell, a row, every shown row), Ctrl+C, and the
// clipboard.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include "common/text.h"

class MainWindow;
class SoftwareListOwner;

// The items of the copy menu, by command.
enum CopyCommand : UINT { kCopyCell = 1, kCopyRow, kCopyAllRows };

// The copy menu for row (-1: none) and column of list: "Copy " + the column's title and "Copy
// Row" for a row, then "Copy All Shown Rows", greyed when the list shows no row. The caller
// destroys it.
HMENU CopyMenu(const SoftwareListOwner& list, int row, int column);

// The list's context menu, asked for at the screen point packed as WM_CONTEXTMENU packs it, or
// from the keyboard (-1). A right click on a row selects it first and offers "Copy " + the
// clicked column's title, "Copy Row" and "Copy All Shown Rows"; the keyboard offers the same for
// the selected row with column 1 as the column; without a row only the last item is offered,
// greyed when the list shows no row. The chosen text goes on the clipboard; when it cannot, the
// status line says so.
void ShowCopyMenu(MainWindow& window, int packedPoint);

// Ctrl+C: the selected row, as "Copy Row" copies it; nothing without a selected row.
void CopySelectedRow(MainWindow& window);

// Puts text on the clipboard as Unicode text (CF_UNICODETEXT), owned by owner. Another program
// may hold the clipboard open for a moment, so opening it is tried for about 100 ms. False when
// the text is not on the clipboard.
bool CopyToClipboard(HWND owner, TextView text);
