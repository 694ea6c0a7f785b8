// What the program keeps for the whole run, owned by the shell and handed to the operations that
// need it.
#pragma once

#include <windows.h>

#include <climits>

#include "common/text.h"
#include "inventory/scan_outcome.h"
#include "inventory/software.h"

struct AppState {
    Text ComputerName;  // the checked name of the last list request (CheckComputerName)
    int HoverRow = 0;   // the row last given the hover colour
    // The screen position of the last mouse move the window received, acted on or dropped
    // (during a scan, an sc run or a wait); none at first.
    POINT LastCursorPoint = {INT_MIN, INT_MIN};
    ::SoftwareList SoftwareList;
    ::ProgressDots ProgressDots;  // survives from one scan to the next
    HANDLE IcmpHandle = nullptr;  // opened once at start, never closed; null when it failed
};
