#include "inventory/scan.h"

#include <array>
#include <vector>

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

// How an enumeration of subkeys ended: the status of its last read (259 when it went to the end).
struct Enumerated {
    uint32_t subkeys = 0;
    uint32_t status = kStatusNoMoreItems;
};

// One scan of one machine: its sources, hives and keys in order, with a call to the sink after
// every key, which may stop it. The first read that finds the machine gone ends it: every later
// read would wait for a network time-out of its own.
class Scan {
  public:
    Scan(TextView computer, RegistrySource& registry, ScanSink& sink)
        : computer_(computer), registry_(registry), sink_(sink) {}

    ScanOutcome Run() {
        for (TextView source : kMachineSources) {
            if (Ended()) break;
            ScanSource(u"Machine", Text(source), Text(source) + u"\\");
        }

        std::vector<Text> userHiveList;
        if (!Ended()) SubkeyNames(kUsersRoot, userHiveList);
        // A user's hive that refuses the reader (the hives of other users deny a reader without
        // administrative rights) is counted: that user's programs are missing. A hive without an
        // Uninstall key (2) misses nothing.
        size_t unreadableUsers = 0;
        for (const Text& hive : HivesToScan(userHiveList)) {
            if (Ended()) break;
            const Text key = Text(kUsersRoot) + hive + Text(kUserUninstall);
            const Enumerated read = ScanSource(u"User", key, key);
            if (!Ended() && IsUserAccountName(hive) && read.status == kStatusAccessDenied) {
                ++unreadableUsers;
            }
        }

        if (stopped_) return {ScanEnd::Stopped};
        if (!readAnything_ && computer_ != u".") return {ScanEnd::NothingRead, 0, 0, refusal_};
        if (lost_) return {ScanEnd::ConnectionLost};
        // Users with a profile but no loaded hive: their programs could not be read. Only a list
        // of profiles read to its end can say how many there are.
        std::vector<Text> profiles;
        const Enumerated read = SubkeyNames(kProfileList, profiles);
        if (stopped_) return {ScanEnd::Stopped};
        if (lost_) return {ScanEnd::ConnectionLost};
        const size_t signedOut =
            read.status == kStatusNoMoreItems ? CountSignedOutUsers(profiles, userHiveList) : 0;
        return {ScanEnd::Completed, signedOut, unreadableUsers};
    }

  private:
    bool Ended() const { return lost_ || stopped_; }

    // The read, after noting what it says: a lost connection ends the scan.
    RegistryRead Noted(RegistryRead read) {
        lost_ = lost_ || LostConnection(read);
        return read;
    }

    void HandleProgramKey(TextView installType, const Text& keyPath) {
        std::array<Text, kProgramValueNames.size()> values;
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = Noted(registry_.ReadValue(keyPath, kProgramValueNames[i])).text;
            // A key whose values a lost connection cut short is no entry: a field would be
            // missing.
            if (lost_) return;
        }
        if (!IsKeptDisplayName(values[0])) return;
        sink_.Found({Text(installType), std::move(values[0]), std::move(values[1]),
                     std::move(values[2]), std::move(values[3]), std::move(values[4])});
    }

    // Enumerates the key's subkeys, calling each(name) for every one, and the sink after each.
    template <typename Each>
    Enumerated Enumerate(TextView key, const Each& each) {
        Enumerated enumerated;
        for (;; ++enumerated.subkeys) {
            const RegistryRead read = Noted(registry_.EnumSubkey(key, enumerated.subkeys));
            if (read.status != 0) {
                enumerated.status = read.status;
                // Why another machine's registry gave nothing, when it answered: a refusal, say.
                const bool benign = read.status == kStatusNoMoreItems ||
                                    read.status == kStatusNotFound || !read.connected;
                if (refusal_ == 0 && !benign) refusal_ = read.status;
                break;
            }
            readAnything_ = true;
            each(read.text);
            if (lost_) break;
            stopped_ = !sink_.BetweenKeys();
            if (stopped_) break;
        }
        return enumerated;
    }

    // Handles every program key under the enumeration key.
    Enumerated ScanSource(TextView installType, const Text& enumerationKey,
                          const Text& programKeyPrefix) {
        return Enumerate(enumerationKey, [&](const Text& name) {
            HandleProgramKey(installType, programKeyPrefix + name);
        });
    }

    // Appends the names of every subkey of the key, in enumeration order.
    Enumerated SubkeyNames(TextView key, std::vector<Text>& names) {
        return Enumerate(key, [&](const Text& name) { names.push_back(name); });
    }

    TextView computer_;
    RegistrySource& registry_;
    ScanSink& sink_;
    bool readAnything_ = false;  // some key had a subkey
    bool lost_ = false;          // a read found another machine gone
    bool stopped_ = false;       // the sink stopped the scan
    uint32_t refusal_ = 0;       // the first status that ended an enumeration of a connected
                                 // registry other than by its end or a missing key
};

}  // namespace

ScanOutcome InventoryScan(TextView computer, RegistrySource& registry, ScanSink& sink) {
    return Scan(computer, registry, sink).Run();
}
