// A stand-in for the service control program sc in the end-to-end tests, placed as sc.exe
// beside listsoftware.exe, where the program's search for "sc" finds it first. It appends its
// exact command line, UTF-8, one line per run, to sc-log.txt beside itself, so a scenario can
// check what the program asked for to the character. Wine's own sc knows neither "config" nor
// a leading \\server argument: "config" is only recorded, every other command is handed to the
// real sc of the system folder without the \\server argument, and its exit code is returned.
//
// Build (console program):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -municode -static
//     -DUNICODE -D_UNICODE -o sc.exe tests/e2e/sc_standin.cpp
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

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

// Runs the system's own sc with the arguments and returns its exit code.
DWORD RunRealSc(const std::wstring& arguments) {
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::wstring program = std::wstring(system, length) + L"\\sc.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace

int wmain() {
    const wchar_t* commandLine = GetCommandLineW();
    if (!AppendLog(commandLine)) return 2;
    int count = 0;
    wchar_t** words = CommandLineToArgvW(commandLine, &count);
    if (words == nullptr) return 2;
    int first = 1;
    if (first < count && words[first][0] == L'\\' && words[first][1] == L'\\') ++first;
    if (first >= count || _wcsicmp(words[first], L"config") == 0) {
        LocalFree(words);
        return 0;
    }
    std::wstring arguments;
    for (int i = first; i < count; ++i) {
        if (!arguments.empty()) arguments += L' ';
        arguments += words[i];
    }
    LocalFree(words);
    return int(RunRealSc(arguments));
}
