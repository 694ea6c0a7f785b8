// The handle kinds the program owns, one UniqueHandle each, and scoped guards for what is no
// handle of its own.
#pragma once

#include <windows.h>

#include "common/unique_handle.h"

using UniqueRegKey = UniqueHandle<HKEY, RegCloseKey>;
using UniqueServiceHandle = UniqueHandle<SC_HANDLE, CloseServiceHandle>;
// Process, thread and event handles: null when absent.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;
// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
using UniqueFileHandle = UniqueHandle<HANDLE, CloseHandle, -1>;
using UniqueFindHandle = UniqueHandle<HANDLE, FindClose, -1>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, DeleteObject>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueAccelerators = UniqueHandle<HACCEL, DestroyAcceleratorTable>;
// Memory that is freed unless the clipboard took it (release).
using UniqueGlobalMemory = UniqueHandle<HGLOBAL, GlobalFree>;
// Memory that a call allocated for the program (FormatMessageW's text).
using UniqueLocalMemory = UniqueHandle<HLOCAL, LocalFree>;
// Windows the program creates for a moment of its own (a hidden helper control).
using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;

// Selects object into dc for the guard's lifetime, then puts back what it replaced.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};
