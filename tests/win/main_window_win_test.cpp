// The main window under Wine: the keys that show the focus cues.
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<WPARAM> uiStateChanges;  // WM_CHANGEUISTATE sent to a top-level window

LRESULT CALLBACK RecordUiStateChange(int code, WPARAM wParam, LPARAM lParam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent.message == WM_CHANGEUISTATE && GetParent(sent.hwnd) == nullptr) {
        uiStateChanges.push_back(sent.wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(MainWindowTest, TabAndAltShowFocusCues) {
    static AppState state;
    static MainWindow window(state);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))) << "under Wine set DISPLAY";
    SetForegroundWindow(window.Handle());
    window.Focus(ComputerField);
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, RecordUiStateChange, nullptr, GetCurrentThreadId());
    // Wine keeps no UI state to read back, so the request itself is checked.
    const struct {
        UINT message;
        WPARAM key;
        WORD flags;
    } keys[] = {{WM_KEYDOWN, VK_TAB, UISF_HIDEFOCUS},
                {WM_SYSKEYDOWN, VK_MENU, UISF_HIDEFOCUS | UISF_HIDEACCEL}};
    for (const auto& k : keys) {
        uiStateChanges.clear();
        PostMessageW(GetFocus(), k.message, k.key, 0);
        while (window.WaitEvent(0).kind != EventKind::None) continue;
        EXPECT_EQ(uiStateChanges, std::vector<WPARAM>{MAKEWPARAM(UIS_CLEAR, k.flags)}) << k.key;
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(window.Handle());
}

}  // namespace
