// System libraries that are not Windows' known DLLs, loaded from the system directory only. A
// DLL named in the import table, or loaded by name alone, is searched for in the program's
// folder first, where anyone who can write to a download folder could have left one.
#pragma once

#include <windows.h>

#include <string>

// The system directory (GetSystemDirectoryW), without a trailing backslash; the empty string
// when it cannot be read.
[[nodiscard]] std::wstring SystemDirectory();

// Makes every later library load of the process search the system directory only
// (SetDefaultDllDirectories with LOAD_LIBRARY_SEARCH_SYSTEM32). Looked up by name: Windows 7
// has the function only with update KB2533623. False when it is missing or fails.
bool RestrictLibrarySearchToSystem();

// The library name (a file name such as L"iphlpapi.dll") from the system directory, never
// freed; null when it cannot be loaded. Where LoadLibraryExW does not
// know LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 7 without KB2533623), the library is loaded by its
// full path in the system directory instead.
[[nodiscard]] HMODULE SystemLibrary(const wchar_t* name);

// A function of a library, by name; null when the library is null or lacks it.
template <typename Function>
[[nodiscard]] Function LibraryFunction(HMODULE library, const char* name) {
    if (library == nullptr) return nullptr;
    FARPROC address = GetProcAddress(library, name);
    if (address == nullptr) return nullptr;
    // Through the generic function pointer type, which GCC accepts without a cast warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
