// What the software list paints beyond the list view's own drawing: each row's own background
// and the grid lines.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <functional>

#include "app/colour_rules.h"

// The answer to the list's NM_CUSTOMDRAW: each row drawn on background(row) (CLR_DEFAULT: the
// list's own; kHoverColour stands for the hover highlight, drawn in colours' hover pair), and
// after the list has painted, grid lines in colours' grid colour at every row boundary from
// headerBottom() down to the bottom of the client area and at every column boundary. The header's
// place is asked for only then: under Wine it costs a few server calls, once per paint rather than
// once per row.
[[nodiscard]] LRESULT PaintSoftwareList(NMLVCUSTOMDRAW& draw, const ListColours& colours,
                                        const std::function<int()>& headerBottom,
                                        const std::function<COLORREF(size_t row)>& background);
