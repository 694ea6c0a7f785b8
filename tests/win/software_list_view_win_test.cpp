// What the program does for its owner-data list under Wine: column widths fitted from every row
// must equal what a plain list holding the same rows gets from LVSCW_AUTOSIZE, the answers to the
// list's find requests, and sorting and saving with a list that answers no request for its texts,
// as Windows' owner-data list does not.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "app/software_list_view_win.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>
#include <vector>

#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "app/shell_win.h"
#include "common/case_win.h"
#include "common/handles_win.h"
#include "common/wide_win.h"
#include "inventory/software.h"

namespace {

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
    HWND owned = ProgramLikeList(parent, LVS_OWNERDATA, font);
    SoftwareListOwner owner;
    owner.Attach(owned);
    for (int i = 0; i < 300; ++i) {
        Text n = AsciiToText(std::to_string(i));
        owner.Append({u"Machine", u"App " + n, u"1." + n, u"2020", u"C:\\A" + n, u"x " + n});
    }
    owner.Append({u"User", u"A Much Wider Application Name Than All Others", u"10.20.30.40000",
                  u"Wednesday 2023", u"C:\\Program Files\\Wide Vendor\\Wide Product\\",
                  Text(400, u'W')});
    const SoftwareList& entries = owner.Entries();
    owner.ShowAppended();
    owner.FitColumns();

    HWND plain = ProgramLikeList(parent, 0, font);
    for (size_t r = 0; r < entries.size(); ++r) {
        for (int column = 0; column < int(kColumnCount); ++column) {
            std::wstring text = ToWide(ShownCellText(entries[r].Field(size_t(column))));
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = int(r);
            item.iSubItem = column;
            item.pszText = text.data();
            SendMessageW(plain, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, r, LPARAM(&item));
        }
    }
    EXPECT_EQ(Width(owned, 0), 85);
    for (int column = 1; column < int(kColumnCount); ++column) {
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
        {LVFI_WRAP, L"machine", 2, 0},               // LVFI_WRAP alone: the whole text
        {LVFI_WRAP, L"use", 0, -1},                  // ... not its beginning
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

TEST(LocaleLowerTest, FoldsAsWindowsDoesWhateverTheRuntimesLocale) {
    // The C runtime may refuse the user's locale (a UTF-8 code page) and stay with "C".
    ASSERT_NE(_wsetlocale(LC_ALL, L"C"), nullptr);
    const std::pair<char16_t, char16_t> cases[] = {
        {u'A', u'a'},           {u'\u00C9', u'\u00E9'},
        {u'\u0416', u'\u0436'}, {u'a', u'a'},
        {u'1', u'1'},           {char16_t(0xD800), char16_t(0xD800)},  // a lone surrogate stays
    };
    for (const auto& [unit, lower] : cases) EXPECT_EQ(LocaleLower(unit), lower) << int(unit);
}

// A list that hands out no text and sorts nothing, as Windows documents LVM_GETITEMTEXTW and the
// sort messages for a list with LVS_OWNERDATA.
LRESULT CALLBACK WithholdTexts(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
    switch (message) {
        case LVM_GETITEMTEXTW:
        case LVM_GETITEMW: {
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (item->pszText != nullptr && item->cchTextMax > 0) item->pszText[0] = L'\0';
            return 0;
        }
        case LVM_SORTITEMS:
        case LVM_SORTITEMSEX:
            return FALSE;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

// The file name the next save dialog of this thread is given before its Save button is pressed.
std::wstring gSavePath;

void CALLBACK AnswerSaveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowW(L"#32770", L"Save Application List");
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    HWND name = GetDlgItem(dialog, 0x47C);  // the file name box, an edit inside a combo box
    if (HWND edit = FindWindowExW(name, nullptr, L"Edit", nullptr)) name = edit;
    SetWindowTextW(name, gSavePath.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 LPARAM(GetDlgItem(dialog, IDOK)));
}

TEST(SoftwareListOwnerTest, SortsAndSavesWhatItHoldsWhenTheListHandsOutNoText) {
    static AppState state;
    static MainWindow window(state);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))) << "under Wine set DISPLAY";
    HWND list = window.Control(SoftwareListView);
    ASSERT_TRUE(SetWindowSubclass(list, WithholdTexts, 1, 0));

    for (SoftwareEntry entry : SoftwareList{
             {u"Machine", u"Zeta Tool", u"10.0", u"", u"", u""},
             {u"Machine", u"\u00C9diteur", u"2.5", u"", u"", u""},
             {u"User", u"Hidden", u"1.0", u"", u"", u""},
             {u"User", u"Gamma", u"9.75", u"", u"", u""},
         }) {
        window.List().Append(std::move(entry));
    }
    window.List().ShowEntries({0, 1, 3});  // as a search that hides one entry shows them
    wchar_t cell[64] = L"unread";
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = cell;
    item.cchTextMax = 64;
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMTEXTW, 0, LPARAM(&item)), 0);

    // A click on "App Version": decimal numbers, ascending.
    HWND header = HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect = {};
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 2, LPARAM(&rect)));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    static_cast<void>(window.ServiceWindow(0));
    std::vector<Text> names;
    for (size_t row = 0; row < window.List().RowCount(); ++row) {
        names.push_back(Text(window.List().CellText(row, 1)));
    }
    EXPECT_EQ(names, (std::vector<Text>{u"\u00C9diteur", u"Gamma", u"Zeta Tool"}));
    HDITEMW sorted = {};
    sorted.mask = HDI_FORMAT;
    ASSERT_TRUE(Header_GetItem(header, 2, &sorted));
    EXPECT_TRUE(sorted.fmt & HDF_SORTUP);

    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(length, 0u);
    gSavePath = std::wstring(temp, length) + L"ls-owner-save.txt";
    DeleteFileW(gSavePath.c_str());
    window.SetChecked(SaveVersionCheck, true);
    state.ComputerName = u"PC01";
    ASSERT_NE(SetTimer(nullptr, 0, 100, AnswerSaveDialog), 0u);
    SaveShownList(window);

    std::string bytes;
    {
        UniqueFileHandle file(CreateFileW(gSavePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file) << "no file was saved";
        char block[4096];
        DWORD read = 0;
        while (ReadFile(file.get(), block, sizeof block, &read, nullptr) && read > 0) {
            bytes.append(block, read);
        }
    }
    DeleteFileW(gSavePath.c_str());
    EXPECT_EQ(bytes,
              "App Name: \xC9"
              "diteur\r\nApp Version: 2.5\r\n\r\n"
              "App Name: Gamma\r\nApp Version: 9.75\r\n\r\n"
              "App Name: Zeta Tool\r\nApp Version: 10.0\r\n\r\n");
    DestroyWindow(window.Handle());
}

}  // namespace
