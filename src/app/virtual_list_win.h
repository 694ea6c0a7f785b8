// What an owner-data (virtual) report list leaves to its owner on Windows: a virtual list holds
// no texts, so Windows' list view measures only the rows in view when it fits a column and asks
// its owner to find a row when the operator types its first letters.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <functional>

#include "common/text.h"

// The text a cell of the list shows (see ShownCellText); it must stay valid during the call that
// asks for it.
using CellTextSource = std::function<TextView(size_t row, int column)>;

// Gives columns first to last of list the widths that LVSCW_AUTOSIZE gives a plain report list of
// the same font, styles and columns holding all rowCount rows. The widest few texts of each
// column are found with the list's font (GetTextExtentPoint32W); a hidden plain list of the
// same kind, holding just those, sizes its columns with LVSCW_AUTOSIZE, and its widths are
// copied. Other columns keep their widths.
void FitColumnsToAllRows(HWND list, int first, int last, size_t rowCount,
                         const CellTextSource& cell);

// The answer to a list's LVN_ODFINDITEMW, as a plain list finds an item: by text (LVFI_STRING
// for the whole text, LVFI_PARTIAL or LVFI_SUBSTRING for its beginning; either of those alone
// also means by text, which is how Wine's list asks while the operator types), compared after
// fold, against firstColumn(row), from request.iStart on and, with LVFI_WRAP, on from row 0.
// The row, or -1 when none matches or the request is not by text (item data, position).
int AnswerFindItem(const NMLVFINDITEMW& request, size_t rowCount,
                   const std::function<TextView(size_t row)>& firstColumn, CodeUnitMap fold);
