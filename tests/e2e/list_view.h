// The program's software list, read across processes: its rows and cells, the selected row,
// where a row or a header item shows on the screen.
#pragma once

#include "session.h"

namespace e2e {

// The list's header control, or nullopt.
std::optional<HWND> ListHeader(HWND list);
// Header item column of the list: the header and the item's rectangle in its client coordinates.
Outcome HeaderItem(const Session& s, int column, HWND& list, HWND& header, RECT& item);
// The screen rectangle of the part of header item column that shows: inside the header and
// inside the list, which clips it when the columns are scrolled.
Outcome VisibleHeaderItem(const Session& s, int column, HWND& header, RECT& visible);
// The screen rectangle of the part of list row `row` that shows inside the list's client area
// below the header; fails when the row does not exist or none of it shows.
Outcome VisibleRow(const Session& s, long long row, HWND& list, RECT& visible);
// Every cell of the list, or only those of column onlyColumn (each row then holds one).
Outcome ReadRows(const Session& s, Rows& rows, int onlyColumn = -1);

}  // namespace e2e
