#include "inventory/filter_win.h"

#include "app/main_window_win.h"
#include "common/case_win.h"
#include "inventory/search.h"

void FilterSoftwareList(MainWindow& window, TextView searchText) {
    window.List().ShowEntries(
        FilteredEntryIndexes(window.State().SoftwareList, searchText, LocaleLower));
}
