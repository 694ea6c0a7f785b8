// The main window: its thirteen controls, the control operations the other subsystems use, and
// the one event wait shared by the event loop, the scan and the service check.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>

#include "app/app_state.h"
#include "common/text.h"

enum class EventKind { None, Control, Shortcut, Close, Timer, MouseMove, Other };

struct WindowEvent {
    EventKind kind = EventKind::None;
    int source = 0;  // control id, shortcut item or timer id
    int type = 0;    // notification code of a control event
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

    // Rows of SoftwareListView.
    void ClearRows();
    int RowCount() const;
    // Appends the entry as the last row, field by field, so a line feed inside a field never
    // moves the later fields into other columns.
    void AddRow(const SoftwareEntry& entry);
    Text CellText(int row, int column) const;
    // CLR_DEFAULT restores the list's own background; row -1 means every row; a row outside the
    // list changes nothing. Repaints the whole list.
    void SetRowBackground(int row, COLORREF colour);

    // Waits at most timeoutMs for the next event (0: takes only what is already queued;
    // INFINITE: until a message arrives), lets
    // the window process the message that carries it, and reports the event.
    WindowEvent WaitEvent(DWORD timeoutMs);
    // Forgets the control events raised while the last message was processed.
    void DropPendingEvents() { pending_.clear(); }
    // Processes every queued message (so the window repaints) and acts on none of them.
    void DrainWindowEvents();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw);
    void DrawGridLines(HDC dc);
    void CreateControls(HINSTANCE instance);
    void Push(WindowEvent event);

    AppState& state_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT font_ = nullptr;
    std::deque<WindowEvent> pending_;
    int suppressEvents_ = 0;  // > 0 while the program itself changes a control
};
