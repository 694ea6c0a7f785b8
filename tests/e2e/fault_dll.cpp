// A library of the end-to-end tests that makes the running program's calls to Windows fail or
// slow down, the way a remote computer's failures and slow links do. The driver loads it into
// the program ("inject PATH"); when it is loaded, it reads faults.txt beside itself and points
// slots of the program's import address table (its main module's, matched by the imported
// function's name in whichever library it is imported from: advapi32.dll or an api-set name)
// at stand-ins of its own. The stand-ins are as strict as Windows: they return what the real
// function returns on failure and set the last error as it does, and they keep the last error
// that the real function left when they only delay or log.
//
// Whatever faults.txt says, RegConnectRegistryW is as strict as Windows: Windows serves another
// computer's registry only while its Remote Registry service runs, and Wine's answers whenever
// the name is this computer's. So every call fails with 53 (ERROR_BAD_NETPATH) unless this
// machine's "remoteregistry" service runs.
//
// faults.txt (ASCII or UTF-8), one instruction a line; blank lines and lines whose first
// non-blank character is '#' are ignored:
//   OpenSCManagerW CODE        every call fails: returns NULL, last error CODE
//   OpenServiceW CODE          the same
//   QueryServiceStatus CODE    every call fails: returns FALSE, last error CODE, the status
//                              record untouched
//   RegConnectRegistryW CODE   every call returns CODE without connecting; the last error and
//                              *phkResult are left as they were (Microsoft documents nothing
//                              about *phkResult on failure; Wine's own leaves it untouched too)
//   NAME [CODE] [after=N] [delay=MS]  from call N + 1 of NAME on, each call waits MS (as for a
//                              network time-out), then fails with CODE as above, if given
//   delay-registry MS          every call of the registry functions that the program imports
//                              (RegConnectRegistryW, RegOpenKeyW, RegOpenKeyExW,
//                              RegQueryValueExW, RegEnumKeyExW, RegCloseKey) sleeps MS, then
//                              calls the real function (or fails as above)
//   delay-service MS           the same for OpenSCManagerW, OpenServiceW, QueryServiceStatus and
//                              CloseServiceHandle
//   trace NAME                 only log the calls of NAME (one of the functions above)
//   winreg-acl                 the account is outside the rights of the registry's winreg key:
//                              connections are made, and every RegOpenKeyW fails with 5, as
//                              Windows checks those rights key by key and none of the keys the
//                              program reads is among its exceptions (docs/windows-and-wine.md)
//   vanish TEXT [after=N]      the computer goes away during a call: the call of RegEnumKeyExW
//                              or RegQueryValueExW on a key whose path holds TEXT (without
//                              regard to case) after N such calls fails with 1726 (the remote
//                              procedure call failed), and so does every later one of them;
//                              every later RegConnectRegistryW fails with 53
// winreg-acl and vanish take every key the program opens for one of another computer: a remote
// scenario's program reads no other registry.
// CODE and MS are decimal numbers above 0. Every call of a patched function appends a line to
// fault-log.txt beside the library: the milliseconds since it was loaded, the name and what the
// call returned, e.g. "1520 OpenSCManagerW(testpc) -> NULL, error 5".
//
// The library refuses to load (LoadLibraryW returns NULL, and fault-log.txt says why) when
// faults.txt is missing, a line is not understood, or a function it names is not imported by the
// program: a fault that was asked for is never silently left out. Once loaded it stays loaded.
// To change the faults while the program runs, load a copy from another folder, with a
// faults.txt of its own; its stand-ins then wrap those of the first copy.
//
// Build (a DLL, static runtime):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -shared -static
//     -o fault_dll.dll tests/e2e/fault_dll.cpp
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum class Group { Registry, Service };

// One function the library can stand in for.
struct Hook {
    const char* name;
    Group group;
    void* standIn;
    bool canFail;          // a CODE line may name it
    bool wanted = false;   // faults.txt names it or its group
    bool named = false;    // faults.txt names it itself: it must be imported
    DWORD failCode = 0;    // 0: call the real function
    DWORD code = 0;        // the CODE, failCode once more than `after` calls were made
    DWORD after = 0;       // calls left alone before code and delayMs apply
    DWORD delayMs = 0;     // each call's wait from then on
    DWORD calls = 0;       // made so far
    void* real = nullptr;  // what the program's slot held before
    std::vector<void**> slots;
};

enum HookId {
    kRegConnectRegistryW,
    kRegOpenKeyW,
    kRegOpenKeyExW,
    kRegQueryValueExW,
    kRegEnumKeyExW,
    kRegCloseKey,
    kOpenSCManagerW,
    kOpenServiceW,
    kQueryServiceStatus,
    kCloseServiceHandle,
    kHookCount
};

DWORD registryDelayMs = 0;
DWORD serviceDelayMs = 0;
std::wstring folder;  // of the library, with its final backslash
ULONGLONG loadedAt = 0;
bool winregAcl = false;
std::string vanishText;  // lower case; empty: the computer never goes away
DWORD vanishAfter = 0;
DWORD vanishCalls = 0;
bool lastOpenVanishes = false;  // the last key opened holds vanishText
bool gone = false;

std::string ToUtf8(const wchar_t* text) {
    if (text == nullptr) return "(null)";
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(size_t(size) - 1);
    return out;
}

// Appends a line to fault-log.txt, keeping the caller's last error.
void Log(const std::string& text) {
    const DWORD lastError = GetLastError();
    HANDLE file = CreateFileW((folder + L"fault-log.txt").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        std::string line = std::to_string(GetTickCount64() - loadedAt) + " " + text + "\n";
        DWORD written = 0;
        WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    SetLastError(lastError);
}

std::string ErrorText(DWORD code) {
    return "error " + std::to_string(code);
}
std::string HandleResult(const void* handle, DWORD lastError) {
    return handle != nullptr ? "handle" : "NULL, " + ErrorText(lastError);
}

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Whether this call on the last key opened is one during which, or after which, the computer is
// gone; it then fails with 1726.
bool Vanished(const char* name) {
    gone = gone || (lastOpenVanishes && ++vanishCalls > vanishAfter);
    if (gone) Log(std::string(name) + " -> 1726 (the computer went away)");
    return gone;
}

// The stand-ins. Each one first waits its group's delay and its own (Sleep keeps the last
// error): Enter waits and hands back the hook, Real waits and hands back the real function.
Hook& Enter(HookId id);

// Whether this machine's remoteregistry service (tests/e2e/fake_service.cpp) runs: it holds this
// event while it does. (Asking the service manager costs 18 ms a call under Wine.)
bool RemoteRegistryRuns() {
    HANDLE serves = OpenEventW(SYNCHRONIZE, FALSE, L"Global\\ls-e2e-remoteregistry-serves");
    if (serves != nullptr) CloseHandle(serves);
    return serves != nullptr;
}

template <typename Function>
Function Real(HookId id) {
    return reinterpret_cast<Function>(Enter(id).real);
}

LSTATUS WINAPI StandInRegConnectRegistryW(LPCWSTR machine, HKEY root, PHKEY result) {
    Hook& hook = Enter(kRegConnectRegistryW);
    const std::string call = std::string(hook.name) + "(" + ToUtf8(machine) + ") -> ";
    if (hook.failCode != 0) {
        Log(call + std::to_string(hook.failCode) + " (not connected)");
        return LSTATUS(hook.failCode);
    }
    if (gone) {
        Log(call + "53 (not connected: the computer went away)");
        return ERROR_BAD_NETPATH;
    }
    if (!RemoteRegistryRuns()) {
        Log(call + "53 (not connected: remoteregistry does not run)");
        return ERROR_BAD_NETPATH;
    }
    LSTATUS status =
        reinterpret_cast<decltype(&RegConnectRegistryW)>(hook.real)(machine, root, result);
    Log(call + std::to_string(status));
    return status;
}

LSTATUS WINAPI StandInRegOpenKeyW(HKEY key, LPCWSTR subkey, PHKEY result) {
    const auto real = Real<decltype(&RegOpenKeyW)>(kRegOpenKeyW);
    const std::string path = Lower(ToUtf8(subkey));
    lastOpenVanishes = !vanishText.empty() && path.find(vanishText) != std::string::npos;
    if (winregAcl) {
        Log("RegOpenKeyW(" + path + ") -> 5 (outside the winreg exceptions)");
        return ERROR_ACCESS_DENIED;
    }
    LSTATUS status = real(key, subkey, result);
    Log("RegOpenKeyW -> " + std::to_string(status));
    return status;
}

LSTATUS WINAPI StandInRegOpenKeyExW(HKEY key, LPCWSTR subkey, DWORD options, REGSAM access,
                                    PHKEY result) {
    LSTATUS status =
        Real<decltype(&RegOpenKeyExW)>(kRegOpenKeyExW)(key, subkey, options, access, result);
    Log("RegOpenKeyExW -> " + std::to_string(status));
    return status;
}

LSTATUS WINAPI StandInRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                       LPBYTE data, LPDWORD size) {
    if (Vanished("RegQueryValueExW")) return RPC_S_CALL_FAILED;
    LSTATUS status =
        Real<decltype(&RegQueryValueExW)>(kRegQueryValueExW)(key, name, reserved, type, data, size);
    Log("RegQueryValueExW -> " + std::to_string(status));
    return status;
}

LSTATUS WINAPI StandInRegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD length,
                                    LPDWORD reserved, LPWSTR className, LPDWORD classLength,
                                    PFILETIME lastWrite) {
    if (Vanished("RegEnumKeyExW")) return RPC_S_CALL_FAILED;
    LSTATUS status = Real<decltype(&RegEnumKeyExW)>(kRegEnumKeyExW)(
        key, index, name, length, reserved, className, classLength, lastWrite);
    Log("RegEnumKeyExW -> " + std::to_string(status));
    return status;
}

LSTATUS WINAPI StandInRegCloseKey(HKEY key) {
    LSTATUS status = Real<decltype(&RegCloseKey)>(kRegCloseKey)(key);
    Log("RegCloseKey -> " + std::to_string(status));
    return status;
}

SC_HANDLE WINAPI StandInOpenSCManagerW(LPCWSTR machine, LPCWSTR database, DWORD access) {
    Hook& hook = Enter(kOpenSCManagerW);
    const std::string call = std::string(hook.name) + "(" + ToUtf8(machine) + ") -> ";
    if (hook.failCode != 0) {
        Log(call + HandleResult(nullptr, hook.failCode));
        SetLastError(hook.failCode);
        return nullptr;
    }
    SC_HANDLE manager =
        reinterpret_cast<decltype(&OpenSCManagerW)>(hook.real)(machine, database, access);
    Log(call + HandleResult(manager, GetLastError()));
    return manager;
}

SC_HANDLE WINAPI StandInOpenServiceW(SC_HANDLE manager, LPCWSTR name, DWORD access) {
    Hook& hook = Enter(kOpenServiceW);
    const std::string call = std::string(hook.name) + "(" + ToUtf8(name) + ") -> ";
    if (hook.failCode != 0) {
        Log(call + HandleResult(nullptr, hook.failCode));
        SetLastError(hook.failCode);
        return nullptr;
    }
    SC_HANDLE service = reinterpret_cast<decltype(&OpenServiceW)>(hook.real)(manager, name, access);
    Log(call + HandleResult(service, GetLastError()));
    return service;
}

BOOL WINAPI StandInQueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) {
    Hook& hook = Enter(kQueryServiceStatus);
    const std::string call = std::string(hook.name) + " -> ";
    if (hook.failCode != 0) {
        Log(call + "FALSE, " + ErrorText(hook.failCode));
        SetLastError(hook.failCode);
        return FALSE;
    }
    BOOL ok = reinterpret_cast<decltype(&QueryServiceStatus)>(hook.real)(service, status);
    Log(call + (ok ? "TRUE, state " + std::to_string(status->dwCurrentState)
                   : "FALSE, " + ErrorText(GetLastError())));
    return ok;
}

BOOL WINAPI StandInCloseServiceHandle(SC_HANDLE handle) {
    BOOL ok = Real<decltype(&CloseServiceHandle)>(kCloseServiceHandle)(handle);
    Log(std::string("CloseServiceHandle -> ") +
        (ok ? "TRUE" : "FALSE, " + ErrorText(GetLastError())));
    return ok;
}

Hook hooks[kHookCount] = {
    {"RegConnectRegistryW", Group::Registry, reinterpret_cast<void*>(&StandInRegConnectRegistryW),
     true},
    {"RegOpenKeyW", Group::Registry, reinterpret_cast<void*>(&StandInRegOpenKeyW), false},
    {"RegOpenKeyExW", Group::Registry, reinterpret_cast<void*>(&StandInRegOpenKeyExW), false},
    {"RegQueryValueExW", Group::Registry, reinterpret_cast<void*>(&StandInRegQueryValueExW), false},
    {"RegEnumKeyExW", Group::Registry, reinterpret_cast<void*>(&StandInRegEnumKeyExW), false},
    {"RegCloseKey", Group::Registry, reinterpret_cast<void*>(&StandInRegCloseKey), false},
    {"OpenSCManagerW", Group::Service, reinterpret_cast<void*>(&StandInOpenSCManagerW), true},
    {"OpenServiceW", Group::Service, reinterpret_cast<void*>(&StandInOpenServiceW), true},
    {"QueryServiceStatus", Group::Service, reinterpret_cast<void*>(&StandInQueryServiceStatus),
     true},
    {"CloseServiceHandle", Group::Service, reinterpret_cast<void*>(&StandInCloseServiceHandle),
     false},
};

Hook& Enter(HookId id) {
    Hook& hook = hooks[id];
    const DWORD delay = hook.group == Group::Registry ? registryDelayMs : serviceDelayMs;
    if (delay > 0) Sleep(delay);
    hook.failCode = ++hook.calls > hook.after ? hook.code : 0;
    if (hook.calls > hook.after && hook.delayMs > 0) Sleep(hook.delayMs);
    return hook;
}

Hook* FindHook(std::string_view name) {
    for (Hook& hook : hooks) {
        if (name == hook.name) return &hook;
    }
    return nullptr;
}

// A whole word as a decimal number above 0, or 0.
DWORD PositiveNumber(const std::string& word) {
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != word.npos) {
        return 0;
    }
    return DWORD(std::strtoul(word.c_str(), nullptr, 10));
}

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

// Reads faults.txt into the hooks; the empty text, or why it cannot be used.
std::string ReadFaults() {
    hooks[kRegConnectRegistryW].wanted = hooks[kRegConnectRegistryW].named = true;
    HANDLE file = CreateFileW((folder + L"faults.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "cannot read faults.txt, " + ErrorText(GetLastError());
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);

    size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == text.npos) end = text.size();
        std::string_view line = std::string_view(text).substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == '#') continue;
        const std::string where = "faults.txt line " + std::to_string(lineNumber) + ": ";
        const bool own = words[0] == "winreg-acl" || words[0] == "vanish";
        if (words.size() < 2 && !own) return where + "expected two words or more";
        if (words.size() > 2 && FindHook(words[0]) == nullptr && !own)
            return where + "expected two words";
        if (words[0] == "delay-registry" || words[0] == "delay-service") {
            DWORD ms = PositiveNumber(words[1]);
            if (ms == 0) return where + "expected milliseconds above 0";
            const Group group = words[0] == "delay-registry" ? Group::Registry : Group::Service;
            (group == Group::Registry ? registryDelayMs : serviceDelayMs) = ms;
            for (Hook& hook : hooks) {
                if (hook.group == group) hook.wanted = true;
            }
        } else if (words[0] == "winreg-acl" || words[0] == "vanish") {
            const bool vanish = words[0] == "vanish";
            if (words.size() != (vanish ? 2u : 1u) && !(vanish && words.size() == 3))
                return where + "expected winreg-acl, or vanish TEXT [after=N]";
            if (vanish && words.size() == 3) {
                if (words[2].starts_with("after="))
                    vanishAfter = PositiveNumber(words[2].substr(6));
                if (vanishAfter == 0) return where + "expected after=N above 0";
            }
            if (vanish) vanishText = Lower(words[1]);
            winregAcl = winregAcl || !vanish;
            for (HookId id : {kRegOpenKeyW, kRegEnumKeyExW, kRegQueryValueExW}) {
                hooks[id].wanted = hooks[id].named = true;
            }
        } else if (words[0] == "trace") {
            Hook* hook = FindHook(words[1]);
            if (hook == nullptr) return where + "no stand-in for " + words[1];
            hook->wanted = hook->named = true;
        } else {
            Hook* hook = FindHook(words[0]);
            if (hook == nullptr) return where + "no stand-in for " + words[0];
            for (size_t i = 1; i < words.size(); ++i) {
                const std::string& word = words[i];
                const bool after = word.starts_with("after="), delay = word.starts_with("delay=");
                const DWORD value = PositiveNumber(after || delay ? word.substr(6) : word);
                if (value == 0) return where + "expected CODE, after=N or delay=MS above 0";
                (after ? hook->after : delay ? hook->delayMs : hook->code) = value;
            }
            if (hook->code != 0 && !hook->canFail)
                return where + "cannot make " + words[0] + " fail";
            hook->wanted = hook->named = true;
        }
    }
    return "";
}

// Finds the program's import slots of the wanted functions, by name through the hint-name
// table (the slots themselves hold addresses once the program is loaded).
void FindSlots() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        // Without a hint-name table the names are gone: such a library is left alone.
        if (library->OriginalFirstThunk == 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            Hook* hook = FindHook(reinterpret_cast<const char*>(byName->Name));
            if (hook == nullptr || !hook->wanted) continue;
            void** slot = reinterpret_cast<void**>(&slots->u1.Function);
            if (hook->real == nullptr) hook->real = *slot;
            hook->slots.push_back(slot);
        }
    }
}

// The empty text, or why the wanted functions cannot be patched: a function named itself is
// not imported, or a delay finds none of its group.
std::string CheckSlots() {
    bool registryFound = false;
    bool serviceFound = false;
    for (const Hook& hook : hooks) {
        if (hook.named && hook.slots.empty()) {
            return std::string("the program does not import ") + hook.name;
        }
        if (!hook.slots.empty())
            (hook.group == Group::Registry ? registryFound : serviceFound) = true;
    }
    if (registryDelayMs > 0 && !registryFound) {
        return "the program imports none of the registry functions";
    }
    if (serviceDelayMs > 0 && !serviceFound)
        return "the program imports none of the service functions";
    return "";
}

bool Patch(void** slot, void* to) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = to;
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

// Points every found slot at its stand-in; the empty text, or why not (and then every slot
// holds the real function again).
std::string PatchSlots() {
    for (Hook& hook : hooks) {
        for (void** slot : hook.slots) {
            if (Patch(slot, hook.standIn)) continue;
            std::string why =
                std::string("cannot patch ") + hook.name + ", " + ErrorText(GetLastError());
            for (Hook& undo : hooks) {
                for (void** done : undo.slots) {
                    if (*done == undo.standIn) Patch(done, undo.real);
                }
            }
            return why;
        }
    }
    return "";
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    loadedAt = GetTickCount64();
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    std::wstring own(path, length);
    folder = own.substr(0, own.find_last_of(L'\\') + 1);

    std::string why = ReadFaults();
    if (why.empty()) {
        FindSlots();
        why = CheckSlots();
    }
    if (why.empty()) why = PatchSlots();
    // The slots now point into this library: it must never be unloaded.
    HMODULE pinned = nullptr;
    if (why.empty() &&
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCWSTR>(&DllMain), &pinned)) {
        why = "cannot pin the library, " + ErrorText(GetLastError());
        for (Hook& hook : hooks) {
            for (void** slot : hook.slots) Patch(slot, hook.real);
        }
    }
    if (!why.empty()) {
        Log("not loaded: " + why);
        return FALSE;
    }
    for (const Hook& hook : hooks) {
        if (!hook.slots.empty()) Log(std::string("patched ") + hook.name);
    }
    return TRUE;
}
