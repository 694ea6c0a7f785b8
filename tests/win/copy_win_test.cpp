// Copying from the program's list under Wine: the items of its copy menu, and the clipboard
// while another program holds it open and after.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "export/copy_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/controls_win.h"
#include "app/copy_menu_win.h"
#include "app/main_window_win.h"
#include "common/wide_win.h"
#include "export/copy_format.h"

namespace {

// The items of a menu, in order; a greyed one in square brackets.
std::wstring Items(HMENU menu) {
    std::wstring items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, UINT(i), text, 128, MF_BYPOSITION);
        const bool grey = GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_GRAYED;
        items += (i > 0 ? L"|" : L"") + (grey ? L"[" + std::wstring(text) + L"]" : text);
    }
    return items;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(not open)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = units;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Another program's hold on the clipboard: opened by a thread of its own, closed once release
// is set.
std::thread HoldClipboard(std::atomic<bool>& release) {
    std::atomic<bool> opened = false;
    std::thread holder([&release, &opened] {
        const bool held = OpenClipboard(nullptr);
        opened = true;
        while (!release) Sleep(1);
        if (held) CloseClipboard();
    });
    while (!opened) Sleep(1);
    return holder;
}

TEST(CopyTest, MenuItemsClipboardAndTheStatusWhenItIsHeld) {
    static AppState state;
    static MainWindow window(state);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))) << "under Wine set DISPLAY";
    SoftwareListOwner& list = window.List();

    // Menus: a cell's column by its title, every column; without a row only the whole list, and
    // greyed without a row shown; then, after a separator (read as a greyed item), the sort items
    // with their shortcuts.
    const std::wstring sorts =
        L"|[]|Sort by Install Type\tCtrl+1|Sort by App Name\tCtrl+2|Sort by "
        L"App Version\tCtrl+3|Sort by Install Date\tCtrl+4|Sort by Install "
        L"Location\tCtrl+5|Sort by Uninstall String\tCtrl+6";
    const struct {
        int row, column;
        bool rows;
        const wchar_t* items;
    } menus[] = {
        {1, 5, true, L"Copy Uninstall String|Copy Row|Copy All Shown Rows"},
        {0, 0, true, L"Copy Install Type|Copy Row|Copy All Shown Rows"},
        {-1, 1, true, L"Copy All Shown Rows"},
        {-1, 1, false, L"[Copy All Shown Rows]"},
    };
    list.Append({u"Machine", u"Alpha", u"1.0", u"", u"", u"\"C:\\a.exe\" /x"});
    list.Append({u"User", u"\u0411eta", u"", u"", u"", u"b.exe"});
    for (const auto& m : menus) {
        list.ShowEntries(m.rows ? std::vector<size_t>{0, 1} : std::vector<size_t>{});
        const UniqueMenu menu = ListMenu(list, m.row, m.column);
        EXPECT_EQ(Items(menu.get()), m.items + sorts);
    }

    list.ShowEntries({1, 0});
    list.SelectRow(0);
    window.SetText(StatusLine, u"-");
    std::atomic<bool> release = false;
    std::thread holder = HoldClipboard(release);
    EXPECT_FALSE(CopyToClipboard(window.Handle(), u"x"));
    CopySelectedRow(window);
    EXPECT_EQ(window.GetText(StatusLine), kUnableToCopyText);
    release = true;
    holder.join();
    window.SetText(StatusLine, u"-");
    CopySelectedRow(window);
    EXPECT_EQ(ClipboardText(), L"User\t\u0411eta\t\t\t\tb.exe");
    EXPECT_EQ(window.GetText(StatusLine), u"-");
    // Released within the time the copy keeps trying, the clipboard takes the text.
    release = false;
    holder = HoldClipboard(release);
    std::thread releaser([&release] {
        Sleep(20);
        release = true;
    });
    EXPECT_TRUE(CopyToClipboard(window.Handle(), u"after the wait"));
    releaser.join();
    holder.join();
    EXPECT_EQ(ClipboardText(), L"after the wait");
    DestroyWindow(window.Handle());
}

}  // namespace
