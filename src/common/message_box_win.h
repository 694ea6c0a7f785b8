// The program's message boxes.
#pragma once

#include <windows.h>

#include "common/handles_win.h"
#include "common/text.h"
#include "common/wide_win.h"

// A modal box owned by owner; the button the operator pressed.
inline int ShowMessageBox(HWND owner, TextView text, TextView title, UINT style) {
    return MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), style);
}

// Windows' own text for an error (the system's message, its line end removed); empty when it
// has none.
[[nodiscard]] inline Text WindowsErrorText(uint32_t error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owned(buffer);
    Text text = buffer != nullptr ? FromWide(buffer, length) : Text();
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
        text.pop_back();
    }
    return text;
}
