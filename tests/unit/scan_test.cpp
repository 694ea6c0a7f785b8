// The scan's decisions against a fake registry whose calls fail as a table says: refused, lost
// in each phase, a hive that cannot be read, stopped.
#include "inventory/scan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "printable.h"

namespace {

const Text kWow =
    u"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\"
    u"CurrentVersion\\Uninstall";
const Text kNative = u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const Text kProfiles =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\"
    u"ProfileList";
const Text kUsers = u"HKEY_USERS\\";
Text UserKey(TextView hive) {
    return kUsers + Text(hive) + u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
}

// A call that fails with status: the enumeration of key from index `from` on, or the read of
// one value of it. 53 stands for a connection that could not be made.
struct Fault {
    Text key;
    uint32_t from = 0;
    Text value;
    uint32_t status = 0;
};

// Programs W1, W2 in the 32-bit view, N1, N2 in the native one, S in the LocalSystem hive, U1
// and U3 in users' hives; a classes hive without an Uninstall key; one signed-out profile.
class FakeRegistry final : public RegistrySource {
  public:
    explicit FakeRegistry(std::vector<Fault> faults) : faults_(std::move(faults)) {
        keys_[kUsers] = {u".DEFAULT", u"S-1-5-21-1", u"S-1-5-21-1_Classes", u"S-1-5-21-3"};
        keys_[kProfiles] = {u"S-1-5-18", u"S-1-5-21-1", u"S-1-5-21-3", u"S-1-5-21-4"};
        keys_[kWow] = {u"W1", u"W2"};
        keys_[kNative] = {u"N1", u"N2"};
        for (const Text& hive : keys_[kUsers]) keys_[kUsers + hive] = {u"Software"};
        keys_[UserKey(u".DEFAULT")] = {u"S"};
        keys_[UserKey(u"S-1-5-21-1")] = {u"U1"};
        keys_[UserKey(u"S-1-5-21-3")] = {u"U3"};
    }

    RegistryRead EnumSubkey(TextView key, uint32_t index) override {
        if (const Fault* fault = FaultOf(key, index, u"")) return Failed(*fault);
        const std::vector<Text>& names = keys_[Text(key)];
        if (names.empty()) return {Text(), kStatusNotFound};
        if (index >= names.size()) return {Text(), kStatusNoMoreItems};
        return {names[index]};
    }
    RegistryRead ReadValue(TextView key, TextView value) override {
        if (const Fault* fault = FaultOf(key, 0, value)) return Failed(*fault);
        // Every value of a program key holds the key's name.
        return {Text(key.substr(key.rfind(u'\\') + 1))};
    }

    int callsAfterLoss = 0;  // calls made after one that found the machine gone

  private:
    const Fault* FaultOf(TextView key, uint32_t index, TextView value) {
        if (lost_) ++callsAfterLoss;
        for (const Fault& fault : faults_) {
            if (fault.key == key && fault.value == value && index >= fault.from) return &fault;
        }
        return nullptr;
    }
    RegistryRead Failed(const Fault& fault) {
        const RegistryRead read{Text(), fault.status, fault.status != 53};
        lost_ = lost_ || LostConnection(read);
        return read;
    }

    std::vector<Fault> faults_;
    std::map<Text, std::vector<Text>> keys_;
    bool lost_ = false;
};

// Collects the entries' names; stops the scan at the call after `keys` calls when keys >= 0.
class Collector final : public ScanSink {
  public:
    explicit Collector(int keys) : keysLeft_(keys) {}
    void Found(SoftwareEntry entry) override { names += u" " + entry.UninstallString; }
    bool BetweenKeys() override { return keysLeft_ < 0 || keysLeft_-- > 0; }
    Text names;

  private:
    int keysLeft_;
};

// How a scan ended, in short: "completed 1/0" (signed out / unreadable), "lost", "nothing 5"
// (the error), "stopped"; then the entries' names.
std::string Summary(const ScanOutcome& outcome, TextView names) {
    const std::string counts =
        std::to_string(outcome.signedOutUsers) + "/" + std::to_string(outcome.unreadableUsers);
    const char* ends[] = {"completed ", "lost", "nothing ", "stopped"};
    const std::string detail = outcome.end == ScanEnd::Completed     ? counts
                               : outcome.end == ScanEnd::NothingRead ? std::to_string(outcome.error)
                                                                     : "";
    return ends[int(outcome.end)] + detail + ":" + Narrow(names);
}

TEST(InventoryScanTest, DecidesFromTheStatusEveryCallGives) {
    const struct {
        const char* label;
        std::vector<Fault> faults;
        const char* summary;
        const char16_t* computer = u"testpc";
        int stopAfter = -1;
    } cases[] = {
        {"every source read", {}, "completed 1/0: W1 W2 N1 N2 S U1 U3"},
        {"refused outside the exceptions to the registry's rights",
         {{kWow, 0, u"", 5}, {kNative, 0, u"", 5}, {kUsers, 0, u"", 5}},
         "nothing 5:"},
        {"no connection before the first read", {{kWow, 0, u"", 53}}, "nothing 0:"},
        {"lost in the machine keys", {{kNative, 1, u"", 1726}}, "lost: W1 W2 N1"},
        {"a network name gone", {{kWow, 1, u"", 64}}, "lost: W1"},
        {"lost at HKEY_USERS", {{kUsers, 2, u"", 53}}, "lost: W1 W2 N1 N2"},
        {"lost in a user hive", {{UserKey(u"S-1-5-21-1"), 0, u"", 1722}}, "lost: W1 W2 N1 N2 S"},
        {"lost in ProfileList", {{kProfiles, 1, u"", 1727}}, "lost: W1 W2 N1 N2 S U1 U3"},
        {"lost in the middle of a key's values",
         {{kNative + u"\\N1", 0, u"UninstallString", 1726}},
         "lost: W1 W2"},
        {"a hive that refuses the reader",
         {{UserKey(u"S-1-5-21-3"), 0, u"", 5}},
         "completed 1/1: W1 W2 N1 N2 S U1"},
        {"a refused machine view", {{kNative, 0, u"", 5}}, "completed 1/0: W1 W2 S U1 U3"},
        {"ProfileList refused: no count",
         {{kProfiles, 0, u"", 5}},
         "completed 0/0: W1 W2 N1 N2 S U1 U3"},
        {"a refused value is an empty field",
         {{kWow + u"\\W2", 0, u"DisplayName", 5}},
         "completed 1/0: W1 N1 N2 S U1 U3"},
        {"this computer, nothing there",
         {{kWow, 0, u"", 2}, {kNative, 0, u"", 2}, {kUsers, 0, u"", 2}},
         "completed 3/0:",
         u"."},
        {"stopped", {}, "stopped: W1 W2 N1", u"testpc", 2},
    };
    for (const auto& c : cases) {
        FakeRegistry registry(c.faults);
        Collector sink(c.stopAfter);
        const ScanOutcome outcome = InventoryScan(c.computer, registry, sink);
        EXPECT_EQ(Summary(outcome, sink.names), c.summary) << c.label;
        EXPECT_EQ(registry.callsAfterLoss, 0) << c.label;
    }
}

}  // namespace
