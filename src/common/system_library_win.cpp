#include "common/system_library_win.h"

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(path, length);
}

bool RestrictLibrarySearchToSystem() {
    auto set = LibraryFunction<decltype(&::SetDefaultDllDirectories)>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    return set != nullptr && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE SystemLibrary(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        const std::wstring directory = SystemDirectory();
        if (!directory.empty()) library = LoadLibraryW((directory + L"\\" + name).c_str());
    }
    return library;
}
