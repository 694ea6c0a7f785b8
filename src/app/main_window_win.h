// The main window: its thirteen controls, the control operations the other subsystems use, and
// the one event wait shared by the event loop, the scan and the service check.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <vector>

#include "app/app_state.h"
#include "app/software_list_view_win.h"
#include "common/text.h"

// ContextMenu: the list's context menu was asked for (a right click, Shift+F10, the menu key);
// Copy: Ctrl+C in the list.
enum class EventKind { None, Control, Shortcut, Close, Timer, MouseMove, ContextMenu, Copy, Other };

struct WindowEvent {
    EventKind kind = EventKind::None;
    int source = 0;  // control id, shortcut item or timer id
    int type = 0;    // notification code of a control event; the screen point of a context menu
                     // request as WM_CONTEXTMENU packs it (-1 from the keyboard)
    bool operator==(const WindowEvent&) const = default;
};

class MainWindow {
public:
    explicit MainWindow(AppState& state) : state_(state) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the class, creates the window and its controls in table order, the Enter
    // shortcut, and shows the window.
    bool Create(HINSTANCE instance);

    // Lets the list answer its per-cell requests (texts and row colours) before any
    // procedure installed over its own since creation sees them; every other message goes the
    // usual way. Called once, after such procedures are installed.
    void AnswerListRequestsFirst();

    HWND Handle() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    AppState& State() { return state_; }

    // Control operations. Setting a text or a check state from the program raises no event.
    Text GetText(int id) const;
    bool IsTextEmpty(int id) const;
    void SetText(int id, TextView text);
    void Enable(int id, bool enabled);
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    void Focus(int id);

    // SoftwareListView and the rows it shows.
    SoftwareListOwner& List() { return list_; }
    const SoftwareListOwner& List() const { return list_; }

    // Waits at most timeoutMs for the next event (0: takes only what is already queued;
    // INFINITE: until a message arrives), lets
    // the window process the message that carries it, and reports the event.
    WindowEvent WaitEvent(DWORD timeoutMs);
    // Forgets the control events raised while the last message was processed.
    void DropPendingEvents() { pending_.clear(); }
    // Processes every queued message (so the window repaints), each translated as WaitEvent
    // translates it, and acts on none of them.
    void DrainWindowEvents();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK FrontProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The Enter shortcut and Tab first while the window is active, then TranslateMessage, then
    // the window's procedure.
    void TranslateAndDispatch(MSG& msg);
    void CreateControls(HINSTANCE instance);
    void Push(WindowEvent event);

    AppState& state_;
    HWND window_ = nullptr;
    SoftwareListOwner list_{state_.SoftwareList};
    HACCEL accelerators_ = nullptr;
    HFONT font_ = nullptr;
    WNDPROC behindFront_ = nullptr;  // the procedure FrontProc hands other messages to
    std::deque<WindowEvent> pending_;
    int suppressEvents_ = 0;  // > 0 while the program itself changes a control
};
