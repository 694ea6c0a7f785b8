#include "inventory/filter_win.h"

#include <windows.h>
#include <commctrl.h>

#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "common/case_win.h"
#include "inventory/search.h"

void FilterSoftwareList(MainWindow& window, TextView searchText) {
    HWND list = window.Control(SoftwareListView);
    const SoftwareList& entries = window.State().SoftwareList;
    std::vector<size_t> shown = FilteredEntryIndexes(entries, searchText, LocaleLower);

    // One repaint for the whole rebuild instead of one per row.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    window.ClearRows();
    SendMessageW(list, LVM_SETITEMCOUNT, shown.size(), 0);
    for (size_t index : shown) window.AddRow(entries[index]);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}
