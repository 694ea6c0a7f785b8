// Everything the program keeps for the whole run, owned by the shell and handed to the
// operations that need it.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "inventory/software.h"

struct AppState {
    Text ComputerName;       // the checked name of the last list request (CheckComputerName)
    Text addressText;        // result of the last host resolution
    int64_t probeResult = 0;  // result of the last echo probe
    Text searchText;         // SearchField's text at its last change
    int HoverRow = 0;        // the row last given the hover colour
    ::SoftwareList SoftwareList;
    ProgressDots progressDots;  // survives from one scan to the next
    void* icmpHandle = nullptr;  // opened once at start, never closed; null when it failed
};
