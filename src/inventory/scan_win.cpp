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

// The list view repaints synchronously on every inserted row while its redraw is on, which
// costs far more than the registry reads (about 10 ms a row under Wine). During the scan its
// redraw stays off and the rows found so far are painted at most every 100 ms, so the list still
// fills visibly as entries are found.
class ThrottledListPaint {
public:
    explicit ThrottledListPaint(HWND list) : list_(list), last_(GetTickCount()) {
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ~ThrottledListPaint() { Paint(); }
    ThrottledListPaint(const ThrottledListPaint&) = delete;
    ThrottledListPaint& operator=(const ThrottledListPaint&) = delete;

    void PaintWhenDue() {
        if (GetTickCount() - last_ < kIntervalMs) return;
        Paint();
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }

private:
    static constexpr DWORD kIntervalMs = 100;
    void Paint() {
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        last_ = GetTickCount();
    }
    HWND list_;
    DWORD last_;
};

// Takes one pending window event without waiting: the window repaints and its controls react,
// the progress text advances on the timer, and every other event is dropped.
void PumpOneEvent(MainWindow& window, ThrottledListPaint& paint) {
    paint.PaintWhenDue();
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
    window.AddRow(entry);
    window.State().SoftwareList.push_back(std::move(entry));
}

// Handles every program key under the enumeration key, one window event after each.
void ScanSource(MainWindow& window, ThrottledListPaint& paint, TextView installType,
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
    HWND list = window.Control(SoftwareListView);
    ThrottledListPaint paint(list);
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

    window.SetText(StatusLine, u"Completed Successfully");
    for (int column = 1; column <= 5; ++column) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
    }
}
