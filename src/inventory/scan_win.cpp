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

// One scan of one machine: its sources, hives and keys in order, with a call to the sink after
// every key, which may stop it.
class Scan {
  public:
    Scan(TextView computer, ScanSink& sink) : computer_(computer), reader_(computer), sink_(sink) {}

    ScanOutcome Run() {
        // Whether anything at all could be read, and whether the registry stopped answering:
        // after a lost connection the scan stops at once (the reader makes no call after a
        // connection failed); the entries found so far were handed over.
        bool readAnything = false;
        bool lost = false;
        for (TextView source : kMachineSources) {
            if (lost || stopped_) break;
            readAnything |= ScanSource(u"Machine", Text(source), Text(source) + u"\\");
            lost = !RegistryAnswers();
        }

        std::vector<Text> userHiveList;
        if (!lost && !stopped_) {
            userHiveList = SubkeyNames(kUsersRoot);
            readAnything |= !userHiveList.empty();
            lost = !RegistryAnswers();
        }
        // A user's hive that the reader may not enumerate (the hives of other users deny a
        // reader without administrative rights) is counted; every readable hive has subkeys.
        size_t unreadableUsers = 0;
        for (const Text& hive : HivesToScan(userHiveList)) {
            if (lost || stopped_) break;
            if (IsUserAccountName(hive) && reader_.EnumSubkey(Text(kUsersRoot) + hive, 0).empty()) {
                lost = !RegistryAnswers();
                unreadableUsers += lost ? 0 : 1;
                continue;
            }
            Text key = Text(kUsersRoot) + hive + Text(kUserUninstall);
            ScanSource(u"User", key, key);
            lost = !RegistryAnswers();
        }

        if (stopped_) return {ScanEnd::Stopped};
        if (!readAnything && computer_ != u".") return {ScanEnd::NothingRead};
        if (lost) return {ScanEnd::ConnectionLost};
        // Users with a profile but no loaded hive: their programs could not be read.
        const std::vector<Text> profiles = SubkeyNames(kProfileList);
        if (stopped_) return {ScanEnd::Stopped};
        return {ScanEnd::Completed, CountSignedOutUsers(profiles, userHiveList), unreadableUsers};
    }

  private:
    void HandleProgramKey(TextView installType, const Text& keyPath) {
        std::array<Text, kProgramValueNames.size()> values;
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = reader_.ReadValue(keyPath, kProgramValueNames[i]);
        }
        // A key whose reads a lost connection cut short is no entry: its fields would be missing.
        if (reader_.ConnectionLost() || !IsKeptDisplayName(values[0])) return;
        sink_.Found({Text(installType), std::move(values[0]), std::move(values[1]),
                     std::move(values[2]), std::move(values[3]), std::move(values[4])});
    }

    // Handles every program key under the enumeration key. True when the key had any subkey.
    bool ScanSource(TextView installType, const Text& enumerationKey,
                    const Text& programKeyPrefix) {
        uint32_t i = 0;
        for (; !stopped_; ++i) {
            Text name = reader_.EnumSubkey(enumerationKey, i);
            if (name.empty()) break;
            HandleProgramKey(installType, programKeyPrefix + name);
            stopped_ = !sink_.BetweenKeys();
        }
        return i > 0;
    }

    // Whether the registry of the machine still answers: every registry that can be reached
    // has hives under HKEY_USERS. The registry layer gives the empty text for every failure, so
    // an enumeration that a failure other than a lost connection cut short ends like a finished
    // one; this one call after each enumeration tells them apart. After a failed connection it
    // is the reader's answer and costs no call. The local registry is never lost.
    bool RegistryAnswers() {
        return computer_ == u"." || !reader_.EnumSubkey(kUsersRoot, 0).empty();
    }

    // The names of every subkey of the key, in enumeration order.
    std::vector<Text> SubkeyNames(TextView key) {
        std::vector<Text> names;
        for (uint32_t i = 0; !stopped_; ++i) {
            Text name = reader_.EnumSubkey(key, i);
            if (name.empty()) break;
            names.push_back(std::move(name));
            stopped_ = !sink_.BetweenKeys();
        }
        return names;
    }

    TextView computer_;
    RegistryReader reader_;
    ScanSink& sink_;
    bool stopped_ = false;
};

}  // namespace

ScanOutcome InventoryScan(TextView computer, ScanSink& sink) {
    return Scan(computer, sink).Run();
}
