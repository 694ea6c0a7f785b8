// What the program keeps for the whole run, owned by the shell and handed to the operations that
// need it.
#pragma once

#include <windows.h>

#include "common/text.h"
#include "inventory/scan_outcome.h"

// The entries and the rows they show belong to the window's list (SoftwareListOwner).
struct AppState {
    Text ComputerName;            // the checked name of the last list request (CheckComputerName)
    ::ProgressDots ProgressDots;  // survives from one scan to the next
    HANDLE IcmpHandle = nullptr;  // opened once at start, never closed; null when it failed
};
