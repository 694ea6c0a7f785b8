// A stand-in for the service control program sc in the end-to-end tests. Put at
// C:\windows\system32\sc.exe (Wine runs it instead of its own sc under WINEDLLOVERRIDES
// "sc.exe=n"), it appends its exact command line, UTF-8, one line per run, to sc-log.txt beside
// itself, so a scenario can check what the program asked for to the character. Wine's own sc
// knows neither "config" nor a leading \\server argument, so the stand-in does their work itself,
// as strictly as Windows' sc: "config NAME start= demand" makes the service NAME start on demand
// (the option's value is a word of its own: anything else, "start=demand" in one piece too,
// prints the usage and fails with 1639 as Windows' sc does, changing nothing); "start NAME"
// starts the service NAME. The exit code is 0 on success, the Windows error otherwise, and a
// failure prints what Windows' sc prints: "[SC] StartService FAILED 5:", a blank line and the
// system's text of the error.
//
// An optional file sc-behaviour.txt beside it (ASCII, one instruction a line; blank lines and
// lines starting with '#' are ignored) changes what a verb does, to stand for a remote
// computer that refuses or answers slowly:
//   VERB exit CODE   (VERB: config or start) record the command line, print the FAILED line of
//                    CODE (ChangeServiceConfig for config, StartService for start) and exit with
//                    CODE without doing the work, as Windows' sc does when the call fails
//   VERB sleep MS    record the command line, sleep MS milliseconds, then go on (both lines may
//                    be given for a verb: it sleeps, then fails)
// A line it does not understand is recorded in sc-log.txt ("bad sc-behaviour.txt line N") and
// the run fails with ERROR_INVALID_DATA, so that a scenario's expected log tells at once.
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
#include <cstdlib>
#include <sstream>
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

// What a run of sc comes to: 0, or the Windows error and the call that failed with it.
struct Outcome {
    DWORD code = 0;
    const wchar_t* call = L"";
};

// The last error of a failed call.
Outcome Failed(const wchar_t* call) {
    return {GetLastError(), call};
}

// Prints a failure as Windows' sc does: the call and the error, a blank line, the system's text
// of the error, a blank line.
void PrintFailure(const Outcome& outcome) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, outcome.code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n')) {
        message.pop_back();  // stdout's text mode makes each \n a line break of its own
    }
    std::fwprintf(stdout, L"[SC] %ls FAILED %lu:\n\n%ls\n\n", outcome.call, outcome.code,
                  message.c_str());
}

// Starts the service.
Outcome StartNamedService(const wchar_t* name) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return Failed(L"OpenSCManager");
    SC_HANDLE service = OpenServiceW(manager, name, SERVICE_START);
    Outcome result = service == nullptr                    ? Failed(L"OpenService")
                     : !StartServiceW(service, 0, nullptr) ? Failed(L"StartService")
                                                           : Outcome{};
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return result;
}

// Makes the service start on demand as "config NAME start= demand" asks, the program's only
// config; any other option, value or form prints sc's usage and gives ERROR_INVALID_COMMAND_LINE.
Outcome ConfigureService(const wchar_t* name, int count, wchar_t** options) {
    if (count != 2 || _wcsicmp(options[0], L"start=") != 0 ||
        _wcsicmp(options[1], L"demand") != 0) {
        std::fputws(
            L"USAGE: sc <server> config [service name] start= demand\n"
            L"An option's name ends with its equal sign; a blank comes before its value.\n",
            stdout);
        return {ERROR_INVALID_COMMAND_LINE, nullptr};
    }
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return Failed(L"OpenSCManager");
    SC_HANDLE service = OpenServiceW(manager, name, SERVICE_CHANGE_CONFIG);
    Outcome result;
    if (service == nullptr) {
        result = Failed(L"OpenService");
    } else if (!ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_DEMAND_START,
                                     SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr)) {
        result = Failed(L"ChangeServiceConfig");
    }
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return result;
}

// What sc-behaviour.txt asks of a verb.
struct Behaviour {
    DWORD exitCode = 0;  // 0: do the work
    DWORD sleepMs = 0;
    std::wstring error;  // why the file cannot be used
};

// A whole word as a decimal number above 0, or 0.
DWORD PositiveNumber(const std::string& word) {
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != word.npos) {
        return 0;
    }
    return DWORD(std::strtoul(word.c_str(), nullptr, 10));
}

Behaviour ReadBehaviour(const wchar_t* verb) {
    Behaviour behaviour;
    const std::wstring path = FolderOfProgram() + L"sc-behaviour.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return behaviour;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string name, kind, value, more;
        words >> name >> kind >> value >> more;
        if (name.empty() || name[0] == '#') continue;
        const DWORD amount = PositiveNumber(value);
        if ((name != "config" && name != "start") || (kind != "exit" && kind != "sleep") ||
            amount == 0 || !more.empty()) {
            behaviour.error = L"bad sc-behaviour.txt line " + std::to_wstring(number);
            return behaviour;
        }
        if (std::wstring(name.begin(), name.end()) != verb) continue;
        (kind == "exit" ? behaviour.exitCode : behaviour.sleepMs) = amount;
    }
    return behaviour;
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
    const bool start = first + 1 < count && _wcsicmp(words[first], L"start") == 0;
    const bool config = first + 1 < count && _wcsicmp(words[first], L"config") == 0;
    Behaviour behaviour = ReadBehaviour(start ? L"start" : config ? L"config" : L"");
    Outcome result;
    if (!behaviour.error.empty()) {
        AppendLog(behaviour.error);
        result.code = ERROR_INVALID_DATA;
    } else {
        if (behaviour.sleepMs > 0) Sleep(behaviour.sleepMs);
        if (behaviour.exitCode != 0) {
            result = {behaviour.exitCode, start ? L"StartService" : L"ChangeServiceConfig"};
        } else if (start) {
            result = StartNamedService(words[first + 1]);
        } else if (config) {
            result = ConfigureService(words[first + 1], count - first - 2, words + first + 2);
        }
        if (result.code != 0 && result.call != nullptr) PrintFailure(result);
    }
    LocalFree(words);
    return int(result.code);
}
