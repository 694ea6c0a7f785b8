// What the program does for its owner-data list under Wine: column widths fitted from every row
// must equal what a plain list holding the same rows gets from LVSCW_AUTOSIZE, and the answers
// to the list's find requests.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "app/virtual_list_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/controls_win.h"
#include "common/wide_win.h"
#include "inventory/software.h"

namespace {

using Row = std::vector<Text>;

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                             LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;

// A list of the program's kind (styles, message font, columns) in a parent of its own.
HWND ProgramLikeList(HWND parent, DWORD extraStyle, HFONT font) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", kListStyle | extraStyle, 10,
                                50, 1004, 540, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, WM_SETFONT, WPARAM(font), FALSE);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    InsertProgramColumns(list);
    return list;
}

int Width(HWND list, int column) {
    return int(SendMessageW(list, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
}

TEST(FitColumnsToAllRowsTest, GivesThePlainListsAutosizeOverEveryRow) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"fit", WS_OVERLAPPEDWINDOW, 0, 0, 1040, 680,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr) << "under Wine set DISPLAY to an X server";
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);

    // 300 short rows, then one whose every cell is the widest of its column: far below the
    // rows in view. Its uninstall string is longer than a cell shows.
    std::vector<Row> rows;
    for (int i = 0; i < 300; ++i) {
        Text n = AsciiToText(std::to_string(i));
        rows.push_back({u"Machine", u"App " + n, u"1." + n, u"2020", u"C:\\A" + n, u"x " + n});
    }
    rows.push_back({u"User", u"A Much Wider Application Name Than All Others", u"10.20.30.40000",
                    u"Wednesday 2023", u"C:\\Program Files\\Wide Vendor\\Wide Product\\",
                    Text(400, u'W')});

    HWND owned = ProgramLikeList(parent, LVS_OWNERDATA, font);
    SendMessageW(owned, LVM_SETITEMCOUNT, rows.size(), 0);
    FitColumnsToAllRows(owned, 1, 5, rows.size(), [&](size_t row, int column) {
        return ShownCellText(rows[row][size_t(column)]);
    });

    HWND plain = ProgramLikeList(parent, 0, font);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int column = 0; column < 6; ++column) {
            std::wstring text = ToWide(ShownCellText(rows[r][size_t(column)]));
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = int(r);
            item.iSubItem = column;
            item.pszText = text.data();
            SendMessageW(plain, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, r, LPARAM(&item));
        }
    }
    EXPECT_EQ(Width(owned, 0), 85);
    for (int column = 1; column <= 5; ++column) {
        SendMessageW(plain, LVM_SETCOLUMNWIDTH, WPARAM(column), LVSCW_AUTOSIZE);
        EXPECT_EQ(Width(owned, column), Width(plain, column)) << "column " << column;
    }
    DestroyWindow(parent);
    DeleteObject(font);
}

struct FindCase {
    UINT flags;
    const wchar_t* text;
    int start;
    int row;
};

TEST(AnswerFindItemTest, FindsTheFirstColumnAsAPlainListDoes) {
    const std::vector<Text> firstColumn{u"Machine", u"Machine", u"User", u"User"};
    // Wine's list asks with LVFI_PARTIAL | LVFI_WRAP alone while the operator types.
    const FindCase cases[] = {
        {LVFI_PARTIAL | LVFI_WRAP, L"u", 0, 2},      // prefix
        {LVFI_PARTIAL | LVFI_WRAP, L"us", 3, 3},     // from iStart on
        {LVFI_PARTIAL | LVFI_WRAP, L"m", 2, 0},      // wraps to the top
        {LVFI_PARTIAL, L"m", 2, -1},                 // ... only with LVFI_WRAP
        {0x0004 | LVFI_WRAP, L"M", 3, 0},            // LVFI_SUBSTRING is a prefix search too
        {LVFI_STRING | LVFI_PARTIAL, L"mac", 0, 0},  // both: a prefix
        {LVFI_STRING, L"mac", 0, -1},                // the whole text only
        {LVFI_STRING | LVFI_WRAP, L"USER", 0, 2},    // without regard to case
        {LVFI_PARTIAL | LVFI_WRAP, L"x", 0, -1},     // no match
        {LVFI_PARAM, L"User", 0, -1},                // by item data: the rows carry none
    };
    for (const FindCase& c : cases) {
        NMLVFINDITEMW request = {};
        request.hdr.code = UINT(LVN_ODFINDITEMW);
        request.iStart = c.start;
        request.lvfi.flags = c.flags;
        request.lvfi.psz = c.text;
        auto text = [&](size_t row) { return TextView(firstColumn[row]); };
        EXPECT_EQ(AnswerFindItem(request, firstColumn.size(), text, AsciiLower), c.row)
            << "flags " << c.flags << " text " << std::string(c.text, c.text + wcslen(c.text))
            << " start " << c.start;
    }
}

}  // namespace
