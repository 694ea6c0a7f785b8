#include "inventory/scan_win.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <vector>

#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "inventory/registry_win.h"
#include "inventory/software.h"

namespace {

constexpr TextView kMachineSources[] = {
    u"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};
constexpr TextView kUsersRoot = u"HKEY_USERS\\";
constexpr TextView kUserUninstall = u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The list learns of the rows found so far at most every 100 ms, and never spends more than a
// fifth of the scan doing so: each update redraws the list's scroll bar, and under Wine that
// took about 25 ms. The list still fills visibly as entries are found.
class ThrottledRowDisplay {
public:
    explicit ThrottledRowDisplay(MainWindow& window) : window_(window), last_(GetTickCount()) {}
    ~ThrottledRowDisplay() { window_.ShowAddedRows(); }
    ThrottledRowDisplay(const ThrottledRowDisplay&) = delete;
    ThrottledRowDisplay& operator=(const ThrottledRowDisplay&) = delete;

    void ShowWhenDue() {
        DWORD now = GetTickCount();
        if (now - last_ < interval_) return;
        window_.ShowAddedRows();
        last_ = GetTickCount();
        DWORD cost = last_ - now;
        interval_ = cost * 4 > kMinimumIntervalMs ? cost * 4 : kMinimumIntervalMs;
    }

private:
    static constexpr DWORD kMinimumIntervalMs = 100;
    MainWindow& window_;
    DWORD last_;
    DWORD interval_ = kMinimumIntervalMs;
};

// Takes one pending window event without waiting: the window repaints and its controls react,
// the progress text advances on the timer, and every other event is dropped.
void PumpOneEvent(MainWindow& window, ThrottledRowDisplay& paint) {
    paint.ShowWhenDue();
    WindowEvent event = window.WaitEvent(0);
    if (event.kind == EventKind::Timer && event.source == int(kProgressTimer)) {
        window.SetText(StatusLine, window.State().progressDots.Tick());
    }
    window.DropPendingEvents();
}

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
    window.AddRow(entries.size() - 1);
}

// Handles every program key under the enumeration key, one window event after each.
void ScanSource(MainWindow& window, ThrottledRowDisplay& paint, TextView installType,
                const Text& enumerationKey, const Text& programKeyPrefix) {
    const Text& computer = window.State().ComputerName;
    for (uint32_t i = 0;; ++i) {
        Text name = EnumRegistrySubkey(enumerationKey, i, computer);
        if (name.empty()) break;
        HandleProgramKey(window, installType, programKeyPrefix + name);
        PumpOneEvent(window, paint);
    }
}

}  // namespace

void InventoryScan(MainWindow& window) {
    ThrottledRowDisplay paint(window);
    for (TextView source : kMachineSources) {
        ScanSource(window, paint, u"Machine", Text(source), Text(source) + u"\\");
    }

    const Text& computer = window.State().ComputerName;
    std::vector<Text> UserHiveList;
    for (uint32_t i = 0;; ++i) {
        Text hive = EnumRegistrySubkey(kUsersRoot, i, computer);
        if (hive.empty()) break;
        UserHiveList.push_back(std::move(hive));
        PumpOneEvent(window, paint);
    }
    for (const Text& hive : UserHiveList) {
        Text key = Text(kUsersRoot) + hive + Text(kUserUninstall);
        ScanSource(window, paint, u"User", key, key);
    }

    window.ShowAddedRows();
    window.SetText(StatusLine, u"Completed Successfully");
    HWND list = window.Control(SoftwareListView);
    for (int column = 1; column <= 5; ++column) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
    }
}
