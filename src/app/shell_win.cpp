#include "app/shell_win.h"

#include <commctrl.h>
#include <windows.h>

#include <clocale>

#include "app/controls_win.h"
#include "app/copy_menu_win.h"
#include "app/list_request_win.h"
#include "common/case_win.h"
#include "common/handles_win.h"
#include "common/message_box_win.h"
#include "common/system_library_win.h"
#include "export/save_win.h"
#include "inventory/search.h"
#include "remote/host_probe_win.h"

void RefreshControlStates(MainWindow& window) {
    window.Enable(ListSoftwareButton, !window.IsTextEmpty(ComputerField));
    bool hasEntries = !window.List().Entries().empty();
    for (int id : kListDependentControls) window.Enable(id, hasEntries);
}

void ClearListAction(MainWindow& window) {
    window.List().Clear();
    for (int id : {ComputerField, StatusLine, SearchField}) window.SetText(id, u"");
    for (int id : kSaveChecks) window.SetChecked(id, false);
}

namespace {

// Restores the highlighted row wherever it is now: a row keeps its colour when the list is
// sorted, so the index in HoverRow may name another row by then.
void RestoreHighlightedRow(MainWindow& window) {
    SoftwareListOwner& list = window.List();
    list.SetBackground(window.HoverRow(), CLR_DEFAULT);
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
        window.SetHoverRow(row);
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
                            window.List().ShowEntries(FilteredEntryIndexes(
                                window.List().Entries(), window.GetText(SearchField), LocaleLower));
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

int RunApplication(HINSTANCE instance) {
    // Before anything else loads a library: only the system directory is searched, never the
    // program's folder or the current one. Where Windows lacks the call, the libraries the
    // program loads itself still come from the system directory (SystemLibrary).
    RestrictLibrarySearchToSystem();
    // The C runtime's locale: the user's, but "." as decimal point. Nothing of the program reads
    // it (the case folding is LocaleLower, numbers are read and written by the program's own
    // code); it is set for any runtime call that may come to read it.
    _wsetlocale(LC_ALL, L"");
    _wsetlocale(LC_NUMERIC, L"C");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const ScopedOle ole;  // for the save dialog

    static AppState state;
    state.IcmpHandle = OpenIcmpHandle();

    static MainWindow window(state);
    if (!window.Create(instance)) {
        const DWORD error = GetLastError();
        ShowMessageBox(nullptr,
                       u"Unable to open the program's window: " + WindowsErrorText(error) +
                           u" (error " + IntegerToText(error) + u")",
                       kErrorTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
    window.Focus(ComputerField);
    SetTimer(window.Handle(), kProgressTimer, 1000, nullptr);
    RunEventLoop(window);
    return 0;
}
