#include "app/shell_win.h"

#include <commctrl.h>
#include <windows.h>

#include "app/controls_win.h"
#include "app/copy_menu_win.h"
#include "app/list_request_win.h"
#include "common/case_win.h"
#include "export/save_win.h"
#include "inventory/search.h"

void RefreshControlStates(MainWindow& window) {
    window.Enable(ListSoftwareButton, !window.IsTextEmpty(ComputerField));
    bool hasEntries = !window.State().SoftwareList.empty();
    for (int id : kListDependentControls) window.Enable(id, hasEntries);
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
    for (int row : list.RowsWithBackground(kHoverColour)) list.SetBackground(row, CLR_DEFAULT);
}

}  // namespace

void SaveShownList(MainWindow& window) {
    AppState& state = window.State();
    const Text localName = state.ComputerName == u"." ? LocalComputerName() : Text();
    const DefaultSaveNameResult name = DefaultSaveName(state.ComputerName, localName);
    state.ComputerName = name.computerName;
    SaveChecks checks{};
    for (size_t i = 0; i < kSaveChecks.size(); ++i) checks[i] = window.IsChecked(kSaveChecks[i]);
    SaveListToFile(window.Handle(), window.List(), checks, name.fileName,
                   [&window] { return window.SessionEnding(); });
}

void HoverHighlight(MainWindow& window, bool moved) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    AppState& state = window.State();
    RECT rect;
    HWND list = window.Control(SoftwareListView);
    if (!GetWindowRect(list, &rect) || !PtInRect(&rect, cursor)) return;
    const int row = window.List().RowAt(cursor);
    // The row under the cursor decides. (The list's hot row names the same row where the list
    // tracks one, but Wine's list view reports none without hot-tracking styles.)
    if (row >= 0) {
        if (moved) SetFocus(list);
        RestoreHighlightedRow(window);
        window.List().SetBackground(row, kHoverColour);
        state.HoverRow = row;
    } else {
        RestoreHighlightedRow(window);
        window.List().SetBackground(row, CLR_DEFAULT);
    }
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
                        SaveShownList(window);
                        break;
                    case ClearListButton:
                        ClearListAction(window);
                        break;
                    case SearchField:
                        if (event.type == kEnEventTextChanged) {
                            window.List().ShowEntries(
                                FilteredEntryIndexes(window.State().SoftwareList,
                                                     window.GetText(SearchField), LocaleLower));
                        }
                        break;
                    case SearchClearLink:
                        // The rows stay as the last search left them (docs/behaviour.md).
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
                HoverHighlight(window, event.type != 0);
                break;
            case EventKind::ContextMenu:
                ShowListMenu(window, event.type);
                break;
            case EventKind::Copy:
                CopySelectedRow(window);
                break;
            case EventKind::Close:
                return;
            default:
                break;
        }
    }
}
