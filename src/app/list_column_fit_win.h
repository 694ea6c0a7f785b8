// The column fit of a report list over every row: what LVSCW_AUTOSIZE gives a plain list, for
// an owner-data list, which on Windows measures only the rows in view.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "common/text.h"

// The text a cell of the list shows; it stays valid during the call that asks for it.
using CellTextSource = std::function<TextView(size_t row, int column)>;

// Gives the columns of list the widths that LVSCW_AUTOSIZE gives a plain report list of the same
// font, styles and columns holding all rowCount rows. The widest few texts of each column are
// found with the list's font (GetTextExtentPoint32W); a hidden plain list of the same kind,
// holding just those, sizes its columns with LVSCW_AUTOSIZE, and its widths are copied. Other
// columns keep their widths.
void FitColumnsToAllRows(HWND list, const std::vector<int>& columns, size_t rowCount,
                         const CellTextSource& cell);
