#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/accessibility_win.h"
#include "app/colour_rules.h"
#include "app/controls_win.h"
#include "app/link_label_win.h"
#include "common/wide_win.h"

namespace {

constexpr wchar_t kClassName[] = L"ListSoftwareMainWindow";
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kTextLimit = 1048576;

// The system's message font, or the stock GUI font when it cannot be made (deleting a stock
// object is harmless).
HGDIOBJ MessageFont() {
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        if (HFONT font = CreateFontIndirectW(&metrics.lfMessageFont)) return font;
    }
    return GetStockObject(DEFAULT_GUI_FONT);
}

struct KindStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

KindStyle StyleOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::TextField:
            return {L"Edit", kChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::StaticText:
            return {L"Static", kChild | WS_GROUP | SS_NOPREFIX, 0};
        case ControlKind::PushButton:
            return {L"Button", kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
        case ControlKind::CheckBox:
            return {L"Button", kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0};
        case ControlKind::LinkLabel:
            return {L"STATIC", kChild | SS_NOPREFIX, 0};
        case ControlKind::ReportList:
            // Owner data: the list asks for the texts of the rows it paints, so filling,
            // filtering and sorting thousands of rows changes only the row count.
            return {WC_LISTVIEWW,
                    kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
                    WS_EX_CLIENTEDGE};
    }
    return {L"Static", kChild, 0};
}

// A monitor's work area (the screen less the taskbar and other toolbars), or the screen. For the
// primary monitor SPI_GETWORKAREA's: Windows documents it as that monitor's, and Wine, unlike its
// monitor information, keeps it up to date. Windows scales a program that is not DPI-aware and
// gives it this area in the same scaled pixels as its window.
RECT WorkArea(HMONITOR monitor) {
    MONITORINFO info = {sizeof info};
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(monitor, &info)) work = info.rcWork;
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0)
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// The offset that centres a length in the room from start, never before start.
int Centred(LONG start, LONG room, int length) {
    return int(start) + std::max(0, (int(room) - length) / 2);
}

// The window's outer size for the client area of kClientWidth x kClientHeight.
SIZE FrameSize() {
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The window cannot be resized: on a work area shorter than the window it is made shorter by the
// difference, so that the buttons below the list stay within reach.
int ShorteningFor(const RECT& work) {
    return std::clamp(int(FrameSize().cy - (work.bottom - work.top)), 0, kMostShortening);
}

}  // namespace

bool MainWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW wc = {sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(INT_PTR{COLOR_BTNFACE + 1});
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    // The window opens on the primary monitor.
    const RECT work = WorkArea(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
    shortening_ = ShorteningFor(work);
    const int width = FrameSize().cx;
    const int height = FrameSize().cy - shortening_;
    window_ = CreateWindowExW(0, kClassName, kMainWindowTitle, kWindowStyle,
                              Centred(work.left, work.right - work.left, width),
                              Centred(work.top, work.bottom - work.top, height), width, height,
                              nullptr, nullptr, instance, this);
    if (window_ == nullptr) return false;
    font_.reset(MessageFont());
    CreateControls(instance, shortening_);
    ApplySystemColours();

    ACCEL enter = {FVIRTKEY, VK_RETURN, EnterShortcutItem};
    accelerators_.reset(CreateAcceleratorTableW(&enter, 1));
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    return true;
}

void MainWindow::CreateControls(HINSTANCE instance, int shortening) {
    HWND tooltip = nullptr;
    for (const ControlSpec& listed : kControls) {
        const ControlSpec def = ShortenedControl(listed, shortening);
        if (def.label != nullptr) {
            // Not shown, and not a Tab stop: only there to be read as the next control's name.
            CreateWindowExW(0, L"Static", def.label, WS_CHILD | SS_NOPREFIX, def.x, def.y,
                            def.width, def.height, window_, nullptr, instance, nullptr);
        }
        KindStyle kind = StyleOf(def.kind);
        HWND control = CreateWindowExW(kind.exStyle, kind.className, def.text, kind.style, def.x,
                                       def.y, def.width, def.height, window_,
                                       reinterpret_cast<HMENU>(INT_PTR{def.id}), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        switch (def.kind) {
            case ControlKind::TextField:
                SendMessageW(control, EM_LIMITTEXT, kTextLimit, 0);
                SendMessageW(control, EM_SETCUEBANNER, TRUE, LPARAM(def.hint));
                break;
            case ControlKind::LinkLabel: {
                MakeLinkLabel(control, kLinkHoverColour);
                tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                          nullptr, instance, nullptr);
                TTTOOLINFOW tool = {sizeof tool};
                tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
                tool.hwnd = window_;
                tool.uId = reinterpret_cast<UINT_PTR>(control);
                tool.lpszText = const_cast<wchar_t*>(def.hint);
                SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
                break;
            }
            case ControlKind::StaticText:
                MarkPoliteLiveRegion(control);
                break;
            case ControlKind::ReportList:
                InsertProgramColumns(control);
                list_.Attach(control);
                sorter_.Attach(control);
                break;
            default:
                break;
        }
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                if (suppressEvents_ == 0) {
                    Push({EventKind::Control, LOWORD(wParam), HIWORD(wParam)});
                }
            } else if (HIWORD(wParam) == 1) {
                Push({EventKind::Shortcut, LOWORD(wParam), 0});
            }
            return 0;
        case WM_NOTIFY:
            if (std::optional<LRESULT> answer =
                    OnListNotify(*reinterpret_cast<const NMHDR*>(lParam))) {
                return *answer;
            }
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == list_.Handle()) {
                Push({EventKind::ContextMenu, SoftwareListView, int(lParam)});
                return 0;
            }
            break;
        case WM_CLOSE:
            closeRequested_ = true;
            return 0;
        case WM_ACTIVATE:
            // Windows gives the focus to the window itself when it is activated again; the
            // dialog manager, which the window does not use, would restore the control's.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
                break;
            }
            if (HIWORD(wParam) != 0) break;  // minimised
            RestoreFocus();
            return 0;
        case WM_SYSCOLORCHANGE:
            // Common controls learn of new colours only from their parent.
            SendMessageW(list_.Handle(), WM_SYSCOLORCHANGE, wParam, lParam);
            ApplySystemColours();
            return 0;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA) FitToWorkArea();
            ApplySystemColours();  // high contrast, among others
            break;
        case WM_DISPLAYCHANGE:
            FitToWorkArea();
            break;
        case WM_QUERYENDSESSION:
            // The program only reads: it may end at any moment, for the end of the session or
            // for Restart Manager (ENDSESSION_CLOSEAPP), which closes programs for installers.
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process once this returns; the program ends as for a close
            // request, at once, also during a scan, an sc run or a wait.
            if (wParam) closeRequested_ = sessionEnding_ = true;
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

std::optional<LRESULT> MainWindow::OnListNotify(const NMHDR& header) {
    if (std::optional<LRESULT> answer = list_.OnNotify(header)) return answer;
    if (sorter_.OnNotify(header)) return 0;
    if (header.hwndFrom != list_.Handle() || header.code != LVN_KEYDOWN ||
        GetKeyState(VK_CONTROL) >= 0) {
        return std::nullopt;
    }
    // Ctrl+C copies the selected row; Ctrl+1 to Ctrl+6 sort as a click on header 1 to 6 does.
    const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
    if (key == 'C') Push({EventKind::Copy, SoftwareListView, 0});
    if (key >= '1' && key < '1' + int(kColumnCount)) SortByColumn(key - '1');
    return std::nullopt;
}

void MainWindow::Push(WindowEvent event) {
    // An event identical to the last one still waiting is not queued twice.
    if (!pending_.empty() && pending_.back() == event) return;
    pending_.push_back(event);
}

Text MainWindow::GetText(int id) const {
    HWND control = Control(id);
    int length = GetWindowTextLengthW(control);
    std::wstring text(size_t(length) + 1, L'\0');
    int copied = GetWindowTextW(control, text.data(), length + 1);
    return FromWide(text.data(), size_t(copied > 0 ? copied : 0));
}

bool MainWindow::IsTextEmpty(int id) const {
    return GetWindowTextLengthW(Control(id)) == 0;
}

void MainWindow::SetText(int id, TextView text) {
    ++suppressEvents_;
    SetWindowTextW(Control(id), ToWide(text).c_str());
    --suppressEvents_;
}

void MainWindow::Enable(int id, bool enabled) {
    HWND control = Control(id);
    if (bool(IsWindowEnabled(control)) == enabled) return;
    // A disabled control loses the focus to nothing, and keys then reach no control: the focus
    // moves on first.
    if (!enabled && GetFocus() == control) {
        SetFocus(id != ComputerField ? Control(ComputerField)
                                     : GetNextDlgTabItem(window_, control, FALSE));
    }
    EnableWindow(control, enabled);
}

void MainWindow::Announce(TextView text) {
    SetText(StatusLine, text);
    AnnounceLiveRegion(Control(StatusLine));
}

void MainWindow::RestoreFocus() {
    HWND control = lastFocus_;
    if (control == nullptr || !IsWindow(control) || !IsWindowEnabled(control) ||
        !IsWindowVisible(control)) {
        control = Control(ComputerField);
    }
    SetFocus(control);
}

void MainWindow::ApplySystemColours() {
    HIGHCONTRASTW contrast = {sizeof contrast};
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    const SystemColours system{GetSysColor(COLOR_WINDOWTEXT),
                               GetSysColor(COLOR_WINDOW),
                               GetSysColor(COLOR_BTNFACE),
                               GetSysColor(COLOR_HIGHLIGHT),
                               GetSysColor(COLOR_HIGHLIGHTTEXT),
                               GetSysColor(COLOR_HOTLIGHT),
                               high};
    list_.SetColours(ListColoursFor(system));
    SetLinkHoverColour(Control(SearchClearLink), LinkHoverColourFor(system));
}

void MainWindow::FitToWorkArea() {
    const RECT work = WorkArea(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST));
    const int shortening = ShorteningFor(work);
    if (shortening != shortening_) {
        shortening_ = shortening;
        for (const ControlSpec& listed : kControls) {
            const ControlSpec def = ShortenedControl(listed, shortening);
            SetWindowPos(Control(def.id), nullptr, def.x, def.y, def.width, def.height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    const int width = FrameSize().cx;
    const int height = FrameSize().cy - shortening;
    RECT now = {};
    GetWindowRect(window_, &now);
    const int x = std::clamp(int(now.left), int(work.left),
                             std::max(int(work.left), int(work.right) - width));
    const int y =
        std::clamp(int(now.top), int(work.top), std::max(int(work.top), int(work.bottom) - height));
    SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::IsChecked(int id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetChecked(int id, bool checked) {
    ++suppressEvents_;
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    --suppressEvents_;
}

void MainWindow::Focus(int id) {
    SetFocus(Control(id));
}

WindowEvent MainWindow::WaitEvent(DWORD timeoutMs, HANDLE object) {
    if (closeRequested_) return {EventKind::Close};
    if (!pending_.empty()) {
        WindowEvent event = pending_.front();
        pending_.pop_front();
        return event;
    }
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The look itself hands sent messages to the window: the end of the session, too.
        if (closeRequested_) return {EventKind::Close};
        if (timeoutMs == 0 && object == nullptr) return {};
        const DWORD objects = object != nullptr ? 1 : 0;
        const DWORD woken = MsgWaitForMultipleObjectsEx(objects, &object, timeoutMs, QS_ALLINPUT,
                                                        MWMO_INPUTAVAILABLE);
        if (objects == 1 && woken == WAIT_OBJECT_0) return {EventKind::Signalled};
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return {};
    }
    WindowEvent event{EventKind::Other, 0, 0};
    if (msg.message == WM_MOUSEMOVE) {
        event = {EventKind::MouseMove, 0, NoteMouseMove(msg) ? 1 : 0};
    } else if (msg.message == WM_TIMER && msg.hwnd == window_) {
        event = {EventKind::Timer, int(msg.wParam), 0};
    }

    TranslateAndDispatch(msg);
    if (closeRequested_) return {EventKind::Close};
    if (!pending_.empty()) {
        event = pending_.front();
        pending_.pop_front();
    }
    return event;
}

void MainWindow::ForgetEvents() {
    pending_.clear();
    closeRequested_ = sessionEnding_;
}

bool MainWindow::NoteMouseMove(const MSG& msg) {
    POINT at = {short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
    MapWindowPoints(msg.hwnd, nullptr, &at, 1);
    POINT& last = lastCursorPoint_;
    const bool moved = at.x != last.x || at.y != last.y;
    last = at;
    return moved;
}

void MainWindow::TranslateAndDispatch(MSG& msg) {
    if (GetActiveWindow() == window_) {
        if (TranslateAcceleratorW(window_, accelerators_.get(), &msg)) return;
        // Windows hides focus rectangles and access keys in a window opened with the mouse until
        // the keyboard is used; the dialog manager shows them on Tab and Alt, and so does the
        // window (a window that has them already ignores the request).
        if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_MENU) {
            SendMessageW(window_, WM_CHANGEUISTATE,
                         MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        }
        // Tab moves between the controls in creation order. Without a focus (keys then come to
        // the window as system keys) it gives the focus to ComputerField.
        HWND focus = GetFocus();
        const bool noFocus = focus == nullptr || focus == window_;
        if (msg.wParam == VK_TAB &&
            (msg.message == WM_KEYDOWN ||
             (msg.message == WM_SYSKEYDOWN && noFocus && GetKeyState(VK_MENU) >= 0))) {
            SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            bool back = GetKeyState(VK_SHIFT) < 0;
            HWND next = noFocus ? Control(ComputerField) : GetNextDlgTabItem(window_, focus, back);
            if (next != nullptr) SetFocus(next);
            return;
        }
        // Escape in the search field clears the search, as a click on "Search:" does.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && focus == Control(SearchField)) {
            Push({EventKind::Control, SearchClearLink, STN_CLICKED});
            return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

Waited MainWindow::ServiceWindow(DWORD timeoutMs, HANDLE object,
                                 const std::function<void()>& onTick) {
    constexpr int kMostEventsAtOnce = 64;
    const DWORD start = GetTickCount();
    for (int taken = 0; timeoutMs != 0 || taken < kMostEventsAtOnce; ++taken) {
        const DWORD elapsed = GetTickCount() - start;
        if (timeoutMs != 0 && timeoutMs != INFINITE && elapsed >= timeoutMs) break;
        const WindowEvent event = WaitEvent(
            timeoutMs == 0 || timeoutMs == INFINITE ? timeoutMs : timeoutMs - elapsed, object);
        pending_.clear();
        if (event.kind == EventKind::Close) return Waited::Closed;
        if (event.kind == EventKind::Signalled) return Waited::Signalled;
        if (event.kind == EventKind::None && timeoutMs == 0) break;
        if (event.kind == EventKind::Timer && event.source == int(kProgressTimer) && onTick) {
            onTick();
        }
    }
    return Waited::TimedOut;
}
