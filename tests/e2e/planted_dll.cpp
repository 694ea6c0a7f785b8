// A library planted beside the program under the name of a system library (iphlpapi.dll,
// wsock32.dll) in the end-to-end tests: when any process loads it, it appends its own path to
// planted-dll-log.txt beside itself, so a scenario can tell that the program never loaded it.
// It exports nothing.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    std::wstring own(path, length);
    std::wstring log = own.substr(0, own.find_last_of(L'\\') + 1) + L"planted-dll-log.txt";
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    std::string line(own.begin(), own.end());  // the paths here are ASCII
    line += "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
