// The main window: its thirteen controls, the control operations the other subsystems use, and
// the one event wait shared by the event loop, the scan and the service check.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <vector>

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

    // Lets the window answer its list's per-cell requests (texts and row colours) before any
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

    // Rows of SoftwareListView. The list holds no texts of its own: each row names an entry of
    // State().SoftwareList, whose six fields are its six cells (a line feed inside a field stays
    // in its cell), and carries its own background colour.
    void ClearRows();
    int RowCount() const;
    // Appends a row showing entry entryIndex of State().SoftwareList. The list learns of the
    // rows appended so far at the next ShowAddedRows.
    void AddRow(size_t entryIndex);
    // Gives the list its rows appended since the last call, painting only what they change; the
    // scroll position stays.
    void ShowAddedRows();
    // Replaces every row at once: one row per entry index, in this order, default backgrounds.
    void ShowRows(const std::vector<size_t>& entryIndexes);
    // Rearranges the rows so that the row now at order[k] ends up at position k, with its
    // background; order must name every row once.
    void ReorderRows(const std::vector<int>& order);
    Text CellText(int row, int column) const;
    // Fits columns 1 to 5 to the widest text each shows over every row (not only the rows in
    // view, which is all a virtual list measures on Windows); column 0 keeps its width.
    void FitColumnsToRows();
    // Gives the list the rows appended since the last ShowAddedRows and fits its columns, with
    // one repaint for both: under Wine a shown list repaints for every new row count (about
    // 40 ms at 2,000 rows) and every column width (about 11 ms each), measured.
    void ShowAllRowsFitted();
    // CLR_DEFAULT restores the list's own background; row -1 means every row; a row outside the
    // list changes nothing. Repaints the whole list.
    void SetRowBackground(int row, COLORREF colour);
    // The rows whose background is colour, in row order.
    std::vector<int> RowsWithBackground(COLORREF colour) const;

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
    // Sets the list's row count to the rows appended so far; false when it already had them.
    bool TellListOfAddedRows();
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw);
    // The text row shows in column, as the list draws it.
    TextView ShownText(size_t row, int column) const;
    void OnGetDisplayInfo(NMLVDISPINFOW* info) const;
    void DrawGridLines(HDC dc);
    void CreateControls(HINSTANCE instance);
    void Push(WindowEvent event);

    AppState& state_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT font_ = nullptr;
    struct ShownRow {
        size_t entry;        // index into State().SoftwareList
        COLORREF background;  // CLR_DEFAULT for the list's own
    };
    std::vector<ShownRow> rows_;
    WNDPROC behindFront_ = nullptr;  // the procedure FrontProc hands other messages to
    std::deque<WindowEvent> pending_;
    int suppressEvents_ = 0;  // > 0 while the program itself changes a control
};
