// What the software list paints beyond the list view's own drawing: each row's own background
// and the grid lines.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <functional>

// The answer to the list's NM_CUSTOMDRAW: each row drawn on background(row) (CLR_DEFAULT: the
// list's own), and after the list has painted, grid lines at every row boundary from headerBottom
// down to the bottom of the client area and at every column boundary.
LRESULT PaintSoftwareList(NMLVCUSTOMDRAW& draw, int headerBottom,
                          const std::function<COLORREF(size_t row)>& background);
