// The six columns of the software list, in order, and their titles, which the list, the copy menu
// and a copied list's title line show. The window's widths are in app/controls_win.h, the saved
// file's labels in export/save_format.h.
#pragma once

#include <array>
#include <cstddef>

#include "common/text.h"

inline constexpr std::array<TextView, 6> kColumnTitles{
    u"Install Type", u"App Name",         u"App Version",
    u"Install Date", u"Install Location", u"Uninstall String",
};
inline constexpr size_t kColumnCount = kColumnTitles.size();

// A row whose Install Type is empty is no program's row (a saved file leaves it out).
inline constexpr size_t kInstallTypeColumn = 0;
// The column a copy asked for from the keyboard names.
inline constexpr size_t kAppNameColumn = 1;
