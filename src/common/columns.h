// The six columns of the software list, in order, as the one table every reader takes them from:
// the list's titles and starting widths, the copy menu and a copied list's title line, the labels
// of a saved file's lines and the check box that chooses each line, and the columns the fit sizes.
#pragma once

#include <array>
#include <cstddef>

#include "common/text.h"

struct ColumnSpec {
    TextView title;
    int width;           // pixels, until the fit after a scan
    TextView saveLabel;  // a saved line is this label, then the cell's text
    int saveCheck;       // the index of the save check box that chooses the line; -1: always saved
    bool fitted;         // sized to its widest text after a scan
};

inline constexpr std::array kColumns{
    ColumnSpec{u"Install Type", 85, u"App Type: ", 0, false},
    ColumnSpec{u"App Name", 200, u"App Name: ", -1, true},
    ColumnSpec{u"App Version", 150, u"App Version: ", 1, true},
    ColumnSpec{u"Install Date", 150, u"Install Date: ", 2, true},
    ColumnSpec{u"Install Location", 200, u"Install Location: ", 3, true},
    ColumnSpec{u"Uninstall String", 345, u"Uninstall Command: ", 4, true},
};
inline constexpr size_t kColumnCount = kColumns.size();

// A row whose Install Type is empty is no program's row (a saved file leaves it out).
inline constexpr size_t kInstallTypeColumn = 0;
// The column a copy asked for from the keyboard names.
inline constexpr size_t kAppNameColumn = 1;
