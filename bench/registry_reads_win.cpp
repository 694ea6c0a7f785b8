// The registry's own cost of an inventory, without a window:
//   registry_reads reads    exactly the registry calls the scan makes: one enumeration and five
//                           value reads per program key, each a complete open and close
//   registry_reads floor    the same data read with one open per key (a reader that keeps its
//                           keys open)
// Prints "<mode> <milliseconds> <entries kept>" for one pass over the local registry.
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/wide_win.h"
#include "inventory/registry_win.h"
#include "inventory/software.h"

namespace {

const Text kMachineKeys[] = {
    u"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};
const Text kUserTail = u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

size_t ReadsPass() {
    size_t kept = 0;
    auto source = [&](const Text& key, const Text& prefix) {
        for (uint32_t i = 0;; ++i) {
            Text name = EnumRegistrySubkey(key, i, u".");
            if (name.empty()) break;
            std::array<Text, 5> values;
            for (size_t v = 0; v < values.size(); ++v) {
                values[v] = ReadRegistryValue(prefix + name, kProgramValueNames[v], u".");
            }
            kept += IsKeptDisplayName(values[0]);
        }
    };
    for (const Text& key : kMachineKeys) source(key, key + u"\\");
    std::vector<Text> hives;
    for (uint32_t i = 0;; ++i) {
        Text hive = EnumRegistrySubkey(u"HKEY_USERS\\", i, u".");
        if (hive.empty()) break;
        hives.push_back(hive);
    }
    for (const Text& hive : hives) {
        Text key = u"HKEY_USERS\\" + hive + kUserTail;
        source(key, key);
    }
    return kept;
}

size_t FloorSource(HKEY root, const wchar_t* path) {
    UniqueRegKey parent;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, parent.put()) != ERROR_SUCCESS) return 0;
    size_t kept = 0;
    for (DWORD i = 0;; ++i) {
        wchar_t name[1024];
        DWORD length = 1024;
        if (RegEnumKeyExW(parent.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        UniqueRegKey program;
        if (RegOpenKeyExW(parent.get(), name, 0, KEY_READ, program.put()) != ERROR_SUCCESS)
            continue;
        Text displayName;
        for (size_t v = 0; v < kProgramValueNames.size(); ++v) {
            BYTE data[1024];
            DWORD size = sizeof data, type = 0;
            std::wstring valueName = ToWide(kProgramValueNames[v]);
            if (RegQueryValueExW(program.get(), valueName.c_str(), nullptr, &type, data, &size) ==
                    ERROR_SUCCESS &&
                v == 0 && type == REG_SZ) {
                displayName = FromWide(reinterpret_cast<const wchar_t*>(data),
                                       wcsnlen(reinterpret_cast<const wchar_t*>(data), size / 2));
            }
        }
        kept += IsKeptDisplayName(displayName);
    }
    return kept;
}

size_t FloorPass() {
    size_t kept =
        FloorSource(HKEY_LOCAL_MACHINE,
                    L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    kept +=
        FloorSource(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    for (DWORD i = 0;; ++i) {
        wchar_t hive[1024];
        DWORD length = 1024;
        if (RegEnumKeyExW(HKEY_USERS, i, hive, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring path =
            std::wstring(hive) + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
        kept += FloorSource(HKEY_USERS, path.c_str());
    }
    return kept;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool floor = argc > 1 && std::wcscmp(argv[1], L"floor") == 0;
    auto start = std::chrono::steady_clock::now();
    size_t kept = floor ? FloorPass() : ReadsPass();
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %.1f %zu\n", floor ? "floor" : "reads", ms, kept);
    return 0;
}
