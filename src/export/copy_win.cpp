#include "export/copy_win.h"

#include <array>
#include <cstring>
#include <cwchar>
#include <string>

#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "common/wide_win.h"
#include "export/copy_format.h"

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 10;

// The six column titles as the copied list's title line gives them.
std::array<TextView, kColumns.size()> ColumnTitles() {
    std::array<TextView, kColumns.size()> titles;
    for (size_t i = 0; i < titles.size(); ++i) {
        titles[i] = TextView(reinterpret_cast<const char16_t*>(kColumns[i].title),
                             wcslen(kColumns[i].title));
    }
    return titles;
}

void Copy(MainWindow& window, TextView text) {
    if (!CopyToClipboard(window.Handle(), text)) window.SetText(StatusLine, kUnableToCopyText);
}

}  // namespace

bool CopyToClipboard(HWND owner, TextView text) {
    bool open = false;
    for (int attempt = 0; attempt < kOpenAttempts && !open; ++attempt) {
        if (attempt > 0) Sleep(kOpenRetryMs);
        open = OpenClipboard(owner);
    }
    if (!open) return false;
    bool copied = false;
    if (EmptyClipboard()) {
        const size_t bytes = (text.size() + 1) * sizeof(char16_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* target = GlobalLock(memory)) {
                std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
                static_cast<char16_t*>(target)[text.size()] = u'\0';
                GlobalUnlock(memory);
                // The clipboard owns the memory once it took it.
                copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!copied) GlobalFree(memory);
        }
    }
    return CloseClipboard() && copied;
}

HMENU CopyMenu(const SoftwareListOwner& list, int row, int column) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    if (row >= 0 && column >= 0 && size_t(column) < kColumns.size()) {
        const std::wstring cellItem = ToWide(kCopyCellItemPrefix) + kColumns[size_t(column)].title;
        AppendMenuW(menu, MF_STRING, kCopyCell, cellItem.c_str());
        AppendMenuW(menu, MF_STRING, kCopyRow, ToWide(kCopyRowItem).c_str());
    }
    AppendMenuW(menu, MF_STRING | (list.RowCount() == 0 ? MF_GRAYED : 0), kCopyAllRows,
                ToWide(kCopyAllRowsItem).c_str());
    return menu;
}

void ShowCopyMenu(MainWindow& window, int packedPoint) {
    SoftwareListOwner& list = window.List();
    int row = -1;
    int column = 1;  // App Name, for a menu asked for from the keyboard
    POINT at;
    if (packedPoint == -1) {
        row = list.SelectedRow();
        at = list.MenuPoint(row);
    } else {
        at = {short(LOWORD(DWORD(packedPoint))), short(HIWORD(DWORD(packedPoint)))};
        row = list.RowAt(at, &column);
        if (row >= 0) list.SelectRow(row);
    }
    if (column < 0 || size_t(column) >= kColumns.size()) column = 1;

    HMENU menu = CopyMenu(list, row, column);
    if (menu == nullptr) return;
    const UINT chosen = UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                            at.x, at.y, 0, window.Handle(), nullptr));
    DestroyMenu(menu);
    switch (chosen) {
        case kCopyCell:
            Copy(window, list.CellText(size_t(row), size_t(column)));
            break;
        case kCopyRow:
            Copy(window, CopiedRow(list, size_t(row), kColumns.size()));
            break;
        case kCopyAllRows:
            Copy(window, CopiedRows(list, ColumnTitles()));
            break;
    }
}

void CopySelectedRow(MainWindow& window) {
    const int row = window.List().SelectedRow();
    if (row >= 0) Copy(window, CopiedRow(window.List(), size_t(row), kColumns.size()));
}
