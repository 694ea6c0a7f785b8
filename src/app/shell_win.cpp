#include "app/shell_win.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/controls_win.h"
#include "export/copy_win.h"
#include "export/save_win.h"
#include "inventory/filter_win.h"
#include "inventory/scan_win.h"
#include "remote/host_probe_win.h"
#include "remote/remote_service_win.h"
#include "remote/remote_text.h"

void RefreshControlStates(MainWindow& window) {
    window.Enable(ListSoftwareButton, !window.IsTextEmpty(ComputerField));
    bool hasEntries = !window.State().SoftwareList.empty();
    for (int id : kListDependentControls) window.Enable(id, hasEntries);
}

void ListSoftwareRequest(MainWindow& window) {
    // The name is checked before anything runs: a refused one changes nothing but the status.
    const CheckedComputerName typed = CheckComputerName(window.GetText(ComputerField));
    if (typed.kind == ComputerNameKind::Empty) return;
    if (typed.kind == ComputerNameKind::Invalid) {
        window.SetText(StatusLine, kNotValidComputerNameText);
        return;
    }
    AppState& state = window.State();
    window.List().Clear();
    state.SoftwareList.clear();
    state.ComputerName = typed.name;
    if (typed.kind == ComputerNameKind::Local) {
        window.SetText(StatusLine, kPleaseWaitText);
        InventoryScan(window);
        return;
    }
    // Another machine must answer an echo first: a host name, with or without dots, is looked
    // up whole; a dotted address is probed as written.
    if (typed.kind == ComputerNameKind::HostName) {
        state.addressText = ResolveHostAddress(state.ComputerName);
        state.probeResult = PingHost(state.icmpHandle, state.addressText, 1000);
    } else {
        state.probeResult = PingHost(state.icmpHandle, state.ComputerName, 1000);
    }
    if (state.probeResult == -1) {
        window.SetText(StatusLine, kUnableToPingText);
        return;
    }
    EnsureRemoteRegistry(window, state.ComputerName);
}

void ClearListAction(MainWindow& window) {
    window.List().Clear();
    for (int id : {ComputerField, StatusLine, SearchField}) window.SetText(id, u"");
    for (int id : kSaveChecks) window.SetChecked(id, false);
    window.State().SoftwareList.clear();
}

namespace {

// Restores the highlighted row wherever it is now: a row keeps its colour when the list is
// sorted, so the index in HoverRow may name another row by then.
void RestoreHighlightedRow(MainWindow& window) {
    SoftwareListOwner& list = window.List();
    list.SetBackground(window.State().HoverRow, CLR_DEFAULT);
    for (int row : list.RowsWithBackground(HoverColour)) list.SetBackground(row, CLR_DEFAULT);
}

}  // namespace

void HoverHighlight(MainWindow& window) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    RECT rect;
    HWND list = window.Control(SoftwareListView);
    if (!GetWindowRect(list, &rect) || !PtInRect(&rect, cursor)) return;
    const int row = window.List().RowAt(cursor);
    AppState& state = window.State();
    // The row under the cursor decides. (The list's hot row names the same row where the list
    // tracks one, but Wine's list view reports none without hot-tracking styles.)
    if (row >= 0) {
        SetFocus(list);
        RestoreHighlightedRow(window);
        window.List().SetBackground(row, HoverColour);
        state.HoverRow = row;
    } else {
        RestoreHighlightedRow(window);
        window.List().SetBackground(row, CLR_DEFAULT);
    }
}

void ShutDown() {
    OleUninitialize();
    ExitProcess(0);
}

void RunEventLoop(MainWindow& window) {
    for (;;) {
        RefreshControlStates(window);
        // The control states follow only from events, so the loop sleeps until the next one
        // (timer 1 still wakes it every second). Polling every millisecond cost 5.5 % of a core
        // while the program sat idle under Wine.
        WindowEvent event = window.WaitEvent(INFINITE);
        switch (event.kind) {
            case EventKind::Control:
                switch (event.source) {
                    case ListSoftwareButton:
                        ListSoftwareRequest(window);
                        break;
                    case SaveListButton:
                        SaveListToFile(window);
                        break;
                    case ClearListButton:
                        ClearListAction(window);
                        break;
                    case SearchField:
                        if (event.type == kEnEventTextChanged) {
                            window.State().searchText = window.GetText(SearchField);
                            FilterSoftwareList(window, window.State().searchText);
                        }
                        break;
                    case SearchClearLink:
                        window.SetText(SearchField, u"");
                        break;
                    default:
                        break;
                }
                break;
            case EventKind::Shortcut:
                if (event.source == EnterShortcutItem) ListSoftwareRequest(window);
                break;
            case EventKind::MouseMove:
                HoverHighlight(window);
                break;
            case EventKind::ContextMenu:
                ShowCopyMenu(window, event.type);
                break;
            case EventKind::Copy:
                CopySelectedRow(window);
                break;
            case EventKind::Close:
                ShutDown();
            default:
                break;
        }
    }
}
