// A stand-in for the service control program sc in the end-to-end tests. Put at
// C:\windows\system32\sc.exe (Wine runs it instead of its own sc under WINEDLLOVERRIDES
// "sc.exe=n"), it appends its exact command line, UTF-8, one line per run, to sc-log.txt beside
// itself, so a scenario can check what the program asked for to the character. Wine's own sc
// knows neither "config" nor a leading \\server argument, so the stand-in does their work itself,
// as strictly as Windows' sc: "config NAME start= demand" makes the service NAME start on demand
// (the option's value is a word of its own: anything else, "start=demand" in one piece too,
// prints the usage and fails with 1639 as Windows' sc does, changing nothing); "start NAME"
// starts the service NAME. The exit code is 0 on success, the Windows error otherwise.
//
// Anywhere else (planted beside the program, where a search for "sc" would find it first) it
// records "planted" and its command line in sc-log.txt beside itself and does nothing more.
//
// Build (console program):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -municode -static
//     -DUNICODE -D_UNICODE -o sc.exe tests/e2e/sc_standin.cpp -lshell32 -ladvapi32
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <string>

namespace {

std::wstring FolderOfProgram() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool AppendLog(const std::wstring& line) {
    const std::wstring path = FolderOfProgram() + L"sc-log.txt";
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::wstring text = line + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Starts the service and returns 0, or the Windows error.
DWORD StartNamedService(const wchar_t* name) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return GetLastError();
    SC_HANDLE service = OpenServiceW(manager, name, SERVICE_START);
    DWORD result = service != nullptr && StartServiceW(service, 0, nullptr) ? 0 : GetLastError();
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return result;
}

// Makes the service start on demand as "config NAME start= demand" asks, the program's only
// config; any other option, value or form prints sc's usage and gives ERROR_INVALID_COMMAND_LINE.
DWORD ConfigureService(const wchar_t* name, int count, wchar_t** options) {
    if (count != 2 || _wcsicmp(options[0], L"start=") != 0 ||
        _wcsicmp(options[1], L"demand") != 0) {
        std::fputws(
            L"USAGE: sc <server> config [service name] start= demand\n"
            L"An option's name ends with its equal sign; a blank comes before its value.\n",
            stdout);
        return ERROR_INVALID_COMMAND_LINE;
    }
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return GetLastError();
    SC_HANDLE service = OpenServiceW(manager, name, SERVICE_CHANGE_CONFIG);
    DWORD result = 0;
    if (service == nullptr ||
        !ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_DEMAND_START, SERVICE_NO_CHANGE,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
        result = GetLastError();
    }
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return result;
}

bool InSystemDirectory() {
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    return _wcsicmp((std::wstring(system, length) + L"\\").c_str(), FolderOfProgram().c_str()) == 0;
}

}  // namespace

int wmain() {
    const wchar_t* commandLine = GetCommandLineW();
    if (!InSystemDirectory()) return AppendLog(std::wstring(L"planted ") + commandLine) ? 1 : 2;
    if (!AppendLog(commandLine)) return 2;
    int count = 0;
    wchar_t** words = CommandLineToArgvW(commandLine, &count);
    if (words == nullptr) return 2;
    int first = 1;
    if (first < count && words[first][0] == L'\\' && words[first][1] == L'\\') ++first;
    DWORD result = 0;
    if (first + 1 < count && _wcsicmp(words[first], L"start") == 0) {
        result = StartNamedService(words[first + 1]);
    } else if (first + 1 < count && _wcsicmp(words[first], L"config") == 0) {
        result = ConfigureService(words[first + 1], count - first - 2, words + first + 2);
    }
    LocalFree(words);
    return int(result);
}
