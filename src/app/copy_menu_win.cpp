#include "app/copy_menu_win.h"

#include <array>
#include <string>

#include "common/columns.h"
#include "common/wide_win.h"
#include "export/copy_format.h"
#include "export/copy_win.h"

namespace {

void Copy(MainWindow& window, TextView text) {
    if (!CopyToClipboard(window.Handle(), text)) window.Announce(kUnableToCopyText);
}

}  // namespace

UniqueMenu ListMenu(const SoftwareListOwner& list, int row, int column) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    if (row >= 0 && column >= 0 && size_t(column) < kColumnCount) {
        const std::wstring cellItem =
            ToWide(Text(kCopyCellItemPrefix) + Text(kColumnTitles[size_t(column)]));
        AppendMenuW(menu.get(), MF_STRING, CopyCell, cellItem.c_str());
        AppendMenuW(menu.get(), MF_STRING, CopyRow, ToWide(kCopyRowItem).c_str());
    }
    AppendMenuW(menu.get(), MF_STRING | (list.RowCount() == 0 ? MF_GRAYED : 0), CopyAllRows,
                ToWide(kCopyAllRowsItem).c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < kColumnCount; ++i) {
        const std::wstring item =
            L"Sort by " + ToWide(kColumnTitles[i]) + L"\tCtrl+" + std::to_wstring(i + 1);
        AppendMenuW(menu.get(), MF_STRING, SortByFirstColumn + i, item.c_str());
    }
    return menu;
}

void ShowListMenu(MainWindow& window, int packedPoint) {
    SoftwareListOwner& list = window.List();
    int row = -1;
    int column = int(kAppNameColumn);  // for a menu asked for from the keyboard
    POINT at;
    if (packedPoint == -1) {
        row = list.SelectedRow();
        at = list.MenuPoint(row);
    } else {
        at = {short(LOWORD(DWORD(packedPoint))), short(HIWORD(DWORD(packedPoint)))};
        row = list.RowAt(at, &column);
        if (row >= 0) list.SelectRow(row);
    }
    if (column < 0 || size_t(column) >= kColumnCount) column = int(kAppNameColumn);

    const UniqueMenu menu = ListMenu(list, row, column);
    if (!menu) return;
    const UINT chosen =
        UINT(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y,
                            0, window.Handle(), nullptr));
    switch (chosen) {
        case CopyCell:
            Copy(window, list.CellText(size_t(row), size_t(column)));
            break;
        case CopyRow:
            Copy(window, CopiedRow(list, size_t(row), kColumnCount));
            break;
        case CopyAllRows: {
            std::array<TextView, kColumnCount> titles;
            for (size_t i = 0; i < kColumnCount; ++i) titles[i] = kColumnTitles[i];
            Copy(window, CopiedRows(list, titles));
            break;
        }
        default:
            if (chosen >= SortByFirstColumn && chosen < SortByFirstColumn + kColumnCount) {
                window.SortByColumn(int(chosen - SortByFirstColumn));
            }
            break;
    }
}

void CopySelectedRow(MainWindow& window) {
    const int row = window.List().SelectedRow();
    if (row >= 0) Copy(window, CopiedRow(window.List(), size_t(row), kColumnCount));
}
