// The main window: its controls (kControls), the control operations of the shell, the sorter of
// its list, the event wait of the event loop and the one wait of a request's long steps.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <climits>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/app_state_win.h"
#include "app/controls_win.h"
#include "app/software_list_view_win.h"
#include "common/handles_win.h"
#include "common/text.h"
#include "listsort/column_sort_win.h"

// ContextMenu: the list's context menu was asked for (a right click, Shift+F10, the menu key);
// Copy: Ctrl+C in the list; Signalled: the object a wait was given is signalled.
enum class EventKind {
    None,
    Control,
    Shortcut,
    Close,
    Timer,
    MouseMove,
    ContextMenu,
    Copy,
    Signalled,
    Other
};

// How a wait of ServiceWindow ended.
enum class Waited { Signalled, TimedOut, Closed };

struct WindowEvent {
    EventKind kind = EventKind::None;
    int source = 0;  // control id, shortcut item or timer id
    int type = 0;    // notification code of a control event; the screen point of a context menu
                     // request as WM_CONTEXTMENU packs it (-1 from the keyboard); for a mouse
                     // move 1 when it moved since the last one the window received, else 0
    bool operator==(const WindowEvent&) const = default;
};

class MainWindow {
  public:
    explicit MainWindow(AppState& state) : state_(state) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the class, creates the window (centred in the work area, shortened to fit it)
    // and its controls in table order, the Enter shortcut, and shows the window.
    [[nodiscard]] bool Create(HINSTANCE instance);

    HWND Handle() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    AppState& State() { return state_; }

    // Control operations. Setting a text or a check state from the program raises no event.
    [[nodiscard]] Text GetText(int id) const;
    [[nodiscard]] bool IsTextEmpty(int id) const;
    void SetText(int id, TextView text);
    void Enable(int id, bool enabled);
    [[nodiscard]] bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    void Focus(int id);
    // Sets the status line's text and announces it to screen readers: for the ends of requests
    // and other news, not for progress.
    void Announce(TextView text);
    // Sorts the list by column as a click on its header does.
    void SortByColumn(int column) { sorter_.OnColumnClick(column); }

    // SoftwareListView, the entries and the rows it shows.
    SoftwareListOwner& List() { return list_; }
    const SoftwareListOwner& List() const { return list_; }
    // The row last given the hover colour (HoverHighlight).
    [[nodiscard]] int HoverRow() const { return hoverRow_; }
    void SetHoverRow(int row) { hoverRow_ = row; }

    // Waits at most timeoutMs for the next event (0: takes only what is already queued;
    // INFINITE: until a message arrives), lets the window process the message that carries it,
    // and reports the event; with an object, also until it is signalled (Signalled). Once a close
    // request was taken, every wait reports it at once, until ForgetEvents.
    [[nodiscard]] WindowEvent WaitEvent(DWORD timeoutMs, HANDLE object = nullptr);
    // The one wait of a request's long steps: services the window for timeoutMs (0: the events
    // already queued, at most 64; INFINITE: for ever) or until object is signalled, so that it
    // repaints and its controls react. Each tick of the progress timer calls onTick; every other
    // event is dropped. Closed as soon as a close request was taken (it is kept).
    [[nodiscard]] Waited ServiceWindow(DWORD timeoutMs, HANDLE object = nullptr,
                                       const std::function<void()>& onTick = nullptr);
    // Forgets every event taken so far, a close request too, but not the end of the session,
    // after which Windows ends the process anyway.
    void ForgetEvents();
    // Whether the session is ending (WM_ENDSESSION with wParam TRUE came, also while a box or
    // dialog was open): the program then opens no box or dialog and ends.
    [[nodiscard]] bool SessionEnding() const { return sessionEnding_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The list's notifications: its owner answers its requests for cells, colours and find; a
    // header click is sorted at once, also while a scan runs; the context menu and Ctrl+C
    // become events.
    [[nodiscard]] std::optional<LRESULT> OnListNotify(const NMHDR& header);
    // The Enter shortcut, Tab and Alt (which show the focus cues) first while the window is
    // active, then TranslateMessage, then the window's procedure.
    void TranslateAndDispatch(MSG& msg);
    // Whether a WM_MOUSEMOVE lies elsewhere on the screen than the last one the window received,
    // acted on or dropped (lastCursorPoint_), which it becomes.
    [[nodiscard]] bool NoteMouseMove(const MSG& msg);
    // The controls of kControls, the list shortened by shortening pixels (ShortenedControl).
    void CreateControls(HINSTANCE instance, int shortening);
    // Fits the window into the work area of the monitor it is on, after the desktop changed: as
    // at start, shortened by as much as the work area is shorter than the window, and moved as
    // little as it takes to lie within it.
    void FitToWorkArea();
    // The list's and the link's colours from the system's (high contrast among them).
    void ApplySystemColours();
    // Gives the focus back to the control that had it when the window was deactivated (a box or
    // dialog opened, another window activated), or to ComputerField when that one is disabled.
    void RestoreFocus();
    void Push(WindowEvent event);

    AppState& state_;
    HWND window_ = nullptr;
    SoftwareListOwner list_;
    ColumnSorter sorter_{list_};
    UniqueAccelerators accelerators_;
    UniqueGdiObject font_;
    std::deque<WindowEvent> pending_;
    bool closeRequested_ = false;
    bool sessionEnding_ = false;  // WM_ENDSESSION came: the close request is never forgotten
    int shortening_ = 0;          // pixels the list lost to a short work area
    HWND lastFocus_ = nullptr;    // the control that had the focus when the window was deactivated
    int hoverRow_ = 0;            // the row last given the hover colour
    // The screen position of the last mouse move the window received, acted on or dropped
    // (during a scan, an sc run or a wait); none at first.
    POINT lastCursorPoint_ = {INT_MIN, INT_MIN};
    int suppressEvents_ = 0;  // > 0 while the program itself changes a control
};
