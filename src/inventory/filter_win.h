// The search filter: rebuilds the list view from SoftwareList, keeping the entries one of whose
// fields contains the search text without regard to case.
#pragma once

#include "common/text.h"

class MainWindow;

void FilterSoftwareList(MainWindow& window, TextView searchText);
