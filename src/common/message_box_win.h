// The program's message boxes.
#pragma once

#include <windows.h>

#include "common/text.h"
#include "common/wide_win.h"

// A modal box owned by owner; the button the operator pressed.
inline int ShowMessageBox(HWND owner, TextView text, TextView title, UINT style) {
    return MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), style);
}
