#include "inventory/scan_win.h"

#include <windows.h>

#include <array>
#include <vector>

#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "inventory/registry_win.h"
#include "inventory/software.h"
#include "remote/remote_text.h"

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

// The list learns of the rows found so far at most every 500 ms (twice per tick of the progress
// dots) until they fill its page, then every 2 s, when new rows only lengthen the scroll bar;
// and it never spends more than a tenth of the scan doing so. Under Wine each new row count
// costs the list 20 to 40 ms whatever changed (measured: the same count set twice took as long
// the second time; three counts were 110 to 130 ms of a 2,000-row scan). The list still fills
// visibly as entries are found.
class ThrottledRowDisplay {
public:
    explicit ThrottledRowDisplay(MainWindow& window) : window_(window), last_(GetTickCount()) {}
    ~ThrottledRowDisplay() { window_.List().ShowAppended(); }
    ThrottledRowDisplay(const ThrottledRowDisplay&) = delete;
    ThrottledRowDisplay& operator=(const ThrottledRowDisplay&) = delete;

    void ShowWhenDue() {
        DWORD now = GetTickCount();
        if (now - last_ < interval_) return;
        window_.List().ShowAppended();
        last_ = GetTickCount();
        DWORD cost = last_ - now;
        DWORD minimum = window_.List().FillsPage() ? kFullPageIntervalMs : kMinimumIntervalMs;
        interval_ = cost * 9 > minimum ? cost * 9 : minimum;
    }

private:
    static constexpr DWORD kMinimumIntervalMs = 500;
    static constexpr DWORD kFullPageIntervalMs = 2000;
    MainWindow& window_;
    DWORD last_;
    DWORD interval_ = kMinimumIntervalMs;
};

// Between program keys the window's queue is looked at every 20 ms rather than after every key:
// under Wine each look is a round trip to the server that costs about as much as a registry
// read, and 20 ms is still far quicker than anyone can see. When due, every event already queued
// is taken (at most kMostEventsPerPump): the window repaints and its controls react, the
// progress text advances on the timer, and every other event is dropped, as it would have been
// one key at a time.
class EventPump {
public:
    EventPump(MainWindow& window, ThrottledRowDisplay& rows)
        : window_(window), rows_(rows), last_(GetTickCount()) {}

    void PumpWhenDue() {
        if (GetTickCount() - last_ < kIntervalMs) return;
        rows_.ShowWhenDue();
        for (int taken = 0; taken < kMostEventsPerPump; ++taken) {
            WindowEvent event = window_.WaitEvent(0);
            if (event.kind == EventKind::None) break;
            if (event.kind == EventKind::Timer && event.source == int(kProgressTimer)) {
                window_.SetText(StatusLine, window_.State().progressDots.Tick());
            }
            window_.DropPendingEvents();
        }
        last_ = GetTickCount();
    }

private:
    static constexpr DWORD kIntervalMs = 20;
    static constexpr int kMostEventsPerPump = 64;
    MainWindow& window_;
    ThrottledRowDisplay& rows_;
    DWORD last_;
};

void HandleProgramKey(MainWindow& window, TextView installType, const Text& keyPath) {
    const Text& computer = window.State().ComputerName;
    std::array<Text, ProgramValueNames.size()> values;
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = ReadRegistryValue(keyPath, ProgramValueNames[i], computer);
    }
    if (!IsKeptDisplayName(values[0])) return;
    SoftwareEntry entry{Text(installType), std::move(values[0]), std::move(values[1]),
                        std::move(values[2]), std::move(values[3]), std::move(values[4])};
    SoftwareList& entries = window.State().SoftwareList;
    entries.push_back(std::move(entry));
    window.List().Append(entries.size() - 1);
}

// Handles every program key under the enumeration key, with a look at the window between keys.
// True when the key had any subkey.
bool ScanSource(MainWindow& window, EventPump& pump, TextView installType,
                const Text& enumerationKey, const Text& programKeyPrefix) {
    const Text& computer = window.State().ComputerName;
    uint32_t i = 0;
    for (;; ++i) {
        Text name = EnumRegistrySubkey(enumerationKey, i, computer);
        if (name.empty()) break;
        HandleProgramKey(window, installType, programKeyPrefix + name);
        pump.PumpWhenDue();
    }
    return i > 0;
}

// Whether the registry of the machine still answers: every registry that can be reached has
// hives under HKEY_USERS. The registry layer gives the empty text for every failure, so an
// enumeration that a lost connection cut short ends like a finished one; this one call after
// each enumeration tells them apart. The local registry is never lost.
bool RegistryAnswers(const Text& computer) {
    return computer == u"." || !EnumRegistrySubkey(kUsersRoot, 0, computer).empty();
}

// The names of every subkey of the key, in enumeration order.
std::vector<Text> SubkeyNames(TextView key, const Text& computer, EventPump& pump) {
    std::vector<Text> names;
    for (uint32_t i = 0;; ++i) {
        Text name = EnumRegistrySubkey(key, i, computer);
        if (name.empty()) break;
        names.push_back(std::move(name));
        pump.PumpWhenDue();
    }
    return names;
}

}  // namespace

void InventoryScan(MainWindow& window) {
    ThrottledRowDisplay rows(window);
    EventPump pump(window, rows);
    const Text& computer = window.State().ComputerName;
    // Whether anything at all could be read, and whether the registry stopped answering: after
    // a lost connection the scan stops at once and the rows found so far stay.
    bool readAnything = false;
    bool lost = false;
    for (TextView source : kMachineSources) {
        if (lost) break;
        readAnything |= ScanSource(window, pump, u"Machine", Text(source), Text(source) + u"\\");
        lost = !RegistryAnswers(computer);
    }

    std::vector<Text> UserHiveList;
    if (!lost) {
        UserHiveList = SubkeyNames(kUsersRoot, computer, pump);
        readAnything |= !UserHiveList.empty();
        lost = !RegistryAnswers(computer);
    }
    for (const Text& hive : UserHiveList) {
        if (lost) break;
        Text key = Text(kUsersRoot) + hive + Text(kUserUninstall);
        ScanSource(window, pump, u"User", key, key);
        lost = !RegistryAnswers(computer);
    }

    if (!readAnything && computer != u".") {
        window.SetText(StatusLine, kUnableToReadRegistryText);
    } else if (lost) {
        window.SetText(StatusLine, kConnectionLostText);
    } else {
        // Users with a profile but no loaded hive: their programs could not be read.
        const std::vector<Text> profiles = SubkeyNames(kProfileList, computer, pump);
        window.SetText(StatusLine, CompletedText(CountSignedOutUsers(profiles, UserHiveList)));
    }
    window.List().ShowAllFitted();
}
