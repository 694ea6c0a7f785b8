#include "inventory/scan_win.h"

#include <array>
#include <vector>

#include "inventory/registry_win.h"

namespace {

constexpr TextView kMachineSources[] = {
    u"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};
constexpr TextView kUsersRoot = u"HKEY_USERS\\";
constexpr TextView kUserUninstall = u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// One subkey per account with a profile on the machine, named by the account's SID.
constexpr TextView kProfileList =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

void HandleProgramKey(ScanSink& sink, TextView computer, TextView installType,
                      const Text& keyPath) {
    std::array<Text, ProgramValueNames.size()> values;
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = ReadRegistryValue(keyPath, ProgramValueNames[i], computer);
    }
    if (!IsKeptDisplayName(values[0])) return;
    sink.Found({Text(installType), std::move(values[0]), std::move(values[1]), std::move(values[2]),
                std::move(values[3]), std::move(values[4])});
}

// Handles every program key under the enumeration key. True when the key had any subkey.
bool ScanSource(ScanSink& sink, TextView computer, TextView installType, const Text& enumerationKey,
                const Text& programKeyPrefix) {
    uint32_t i = 0;
    for (;; ++i) {
        Text name = EnumRegistrySubkey(enumerationKey, i, computer);
        if (name.empty()) break;
        HandleProgramKey(sink, computer, installType, programKeyPrefix + name);
        sink.BetweenKeys();
    }
    return i > 0;
}

// Whether the registry of the machine still answers: every registry that can be reached has
// hives under HKEY_USERS. The registry layer gives the empty text for every failure, so an
// enumeration that a lost connection cut short ends like a finished one; this one call after
// each enumeration tells them apart. The local registry is never lost.
bool RegistryAnswers(TextView computer) {
    return computer == u"." || !EnumRegistrySubkey(kUsersRoot, 0, computer).empty();
}

// The names of every subkey of the key, in enumeration order.
std::vector<Text> SubkeyNames(TextView key, TextView computer, ScanSink& sink) {
    std::vector<Text> names;
    for (uint32_t i = 0;; ++i) {
        Text name = EnumRegistrySubkey(key, i, computer);
        if (name.empty()) break;
        names.push_back(std::move(name));
        sink.BetweenKeys();
    }
    return names;
}

}  // namespace

ScanOutcome InventoryScan(TextView computer, ScanSink& sink) {
    // Whether anything at all could be read, and whether the registry stopped answering: after
    // a lost connection the scan stops at once; the entries found so far were handed over.
    bool readAnything = false;
    bool lost = false;
    for (TextView source : kMachineSources) {
        if (lost) break;
        readAnything |= ScanSource(sink, computer, u"Machine", Text(source), Text(source) + u"\\");
        lost = !RegistryAnswers(computer);
    }

    std::vector<Text> UserHiveList;
    if (!lost) {
        UserHiveList = SubkeyNames(kUsersRoot, computer, sink);
        readAnything |= !UserHiveList.empty();
        lost = !RegistryAnswers(computer);
    }
    for (const Text& hive : UserHiveList) {
        if (lost) break;
        Text key = Text(kUsersRoot) + hive + Text(kUserUninstall);
        ScanSource(sink, computer, u"User", key, key);
        lost = !RegistryAnswers(computer);
    }

    if (!readAnything && computer != u".") return {ScanEnd::NothingRead};
    if (lost) return {ScanEnd::ConnectionLost};
    // Users with a profile but no loaded hive: their programs could not be read.
    const std::vector<Text> profiles = SubkeyNames(kProfileList, computer, sink);
    return {ScanEnd::Completed, CountSignedOutUsers(profiles, UserHiveList)};
}
