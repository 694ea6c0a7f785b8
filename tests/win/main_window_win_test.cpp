// The main window under Wine: the keys that show the focus cues, and the status line's room for
// every text a scan ends with.
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/shell_win.h"
#include "common/wide_win.h"
#include "inventory/scan_outcome.h"
#include "inventory/software.h"

namespace {

std::vector<WPARAM> uiStateChanges;  // WM_CHANGEUISTATE sent to a top-level window

LRESULT CALLBACK RecordUiStateChange(int code, WPARAM wParam, LPARAM lParam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent.message == WM_CHANGEUISTATE && GetParent(sent.hwnd) == nullptr) {
        uiStateChanges.push_back(sent.wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(MainWindowTest, TabAndAltShowFocusCuesAndEveryEndTextFitsTheStatusLine) {
    static AppState state;
    static MainWindow window(state);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))) << "under Wine set DISPLAY";
    SetForegroundWindow(window.Handle());
    window.Focus(ComputerField);
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, RecordUiStateChange, nullptr, GetCurrentThreadId());
    // Wine keeps no UI state to read back, so the request itself is checked.
    for (auto [message, key, flags] :
         {std::tuple<UINT, WPARAM, WORD>{WM_KEYDOWN, VK_TAB, UISF_HIDEFOCUS},
          {WM_SYSKEYDOWN, VK_MENU, UISF_HIDEFOCUS | UISF_HIDEACCEL}}) {
        uiStateChanges.clear();
        // The keys count only in the active window, which a test of another process running
        // beside this one may have taken.
        SetActiveWindow(window.Handle());
        ASSERT_EQ(GetActiveWindow(), window.Handle());
        window.Focus(ComputerField);
        PostMessageW(GetFocus(), message, key, 0);
        while (window.WaitEvent(0).kind != EventKind::None) continue;
        EXPECT_EQ(uiStateChanges, std::vector<WPARAM>{MAKEWPARAM(UIS_CLEAR, flags)}) << key;
    }
    UnhookWindowsHookEx(hook);
    // Windows draws Segoe UI where Wine draws Liberation Sans: a fifth of the width is spare.
    HWND status = window.Control(StatusLine);
    RECT line = {};
    GetClientRect(status, &line);
    HDC dc = GetDC(status);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(status, WM_GETFONT, 0, 0)));
    for (const ScanOutcome& outcome : {ScanOutcome{ScanEnd::Completed, 999, 999},
                                       {ScanEnd::Completed, 999},
                                       {ScanEnd::Completed, 0, 999},
                                       {ScanEnd::ConnectionLost},
                                       {ScanEnd::NothingRead}}) {
        const std::wstring text = ToWide(ScanEndText(outcome));
        SIZE size = {};
        EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size));
        EXPECT_LE(size.cx * 6 / 5, line.right) << text << " is " << size.cx << " pixels wide";
    }
    SelectObject(dc, old);
    ReleaseDC(status, dc);
    DestroyWindow(window.Handle());
}

TEST(MainWindowTest, FitsTheWorkAreaWhenTheDesktopChanges) {
    static AppState state;
    static MainWindow window(state);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))) << "under Wine set DISPLAY";
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    // A shorter work area lower down, as after undocking to a smaller screen with a taskbar on
    // top; the window learns of it as Windows tells every window.
    const RECT shorter = {work.left, work.top + 100, work.right, work.top + 100 + 560};
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, const_cast<RECT*>(&shorter), 0));
    SendMessageW(window.Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    for (int id : {0, int(SaveListButton), int(SaveUninstallCommandCheck)}) {
        RECT rect = {};
        GetWindowRect(id == 0 ? window.Handle() : window.Control(id), &rect);
        EXPECT_TRUE(rect.top >= shorter.top && rect.bottom <= shorter.bottom) << "control " << id;
    }
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
    DestroyWindow(window.Handle());
}

// A class of the program's window class name whose windows refuse to be made.
LRESULT CALLBACK RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_NCCREATE ? FALSE : DefWindowProcW(window, message, wParam, lParam);
}

TEST(MainWindowTest, TheProgramEndsWithAnErrorWhenItsWindowCannotBeMade) {
    WNDCLASSEXW refusing = {sizeof refusing};
    refusing.lpfnWndProc = RefuseCreation;
    refusing.hInstance = GetModuleHandleW(nullptr);
    refusing.lpszClassName = L"ListSoftwareMainWindow";
    ASSERT_NE(RegisterClassExW(&refusing), 0);
    // The "Error" box of this process, read and answered.
    std::wstring said;
    std::thread answer([&said] {
        for (int i = 0; i < 1000 && said.empty(); ++i, Sleep(10)) {
            for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", L"Error"));) {
                DWORD process = 0;
                GetWindowThreadProcessId(box, &process);
                if (process != GetCurrentProcessId()) continue;
                wchar_t text[256] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 256);
                said = text;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
    });
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr)), 1);
    answer.join();
    EXPECT_TRUE(said.starts_with(L"Unable to open the program's window: ")) << said;
}

}  // namespace
