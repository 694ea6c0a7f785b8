// Column-click sorting against real list views under Wine: a top-level window of the test's own
// holds an owner-data report list of the program's kind (control 4, with a sorter) and a second
// one (control 5, without), each shown through the program's own list owner, which the window
// hands the lists' requests, and their notifications to the list's sorter first, as the
// program's window does. Header clicks arrive as the list view's LVN_COLUMNCLICK notification at
// the parent window, sent directly or raised by the header from button messages.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "listsort/column_sort_win.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/controls_win.h"
#include "app/software_list_view_win.h"
#include "common/wide_win.h"

namespace {

using Cells = std::vector<std::wstring>;

constexpr int kUnregisteredList = 5;
constexpr wchar_t kParentClass[] = L"ColumnSortTestParent";
constexpr SortDirection kUnreadHeader = SortDirection(0);

// An owner-data list and the program's owner of its entries and rows, and the sorter that sorts
// it, if any.
struct OwnedList {
    SoftwareListOwner owner;
    HWND list = nullptr;
    ColumnSorter* sorter = nullptr;
};

// What the parent window's own procedure saw of the column clicks that reached it, and the lists
// whose requests it hands to their owners.
struct ParentRecord {
    std::vector<OwnedList*> lists;
    int columnClicks = 0;
    HWND lastFrom = nullptr;
    std::wstring firstCellWhenNotified;  // row 0 of the clicked column, as its owner held it
};

OwnedList* ListOf(ParentRecord& record, HWND list) {
    for (OwnedList* owned : record.lists) {
        if (owned->list == list) return owned;
    }
    return nullptr;
}

// The notification a list view sends its parent for a click on header item column.
void SendColumnClick(HWND parent, HWND list, int column) {
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = UINT_PTR(GetDlgCtrlID(list));
    click.hdr.code = UINT(LVN_COLUMNCLICK);
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(parent, WM_NOTIFY, click.hdr.idFrom, LPARAM(&click));
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<ParentRecord*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && record != nullptr) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        OwnedList* owned = ListOf(*record, header->hwndFrom);
        if (owned == nullptr) return 0;
        if (owned->sorter != nullptr) static_cast<void>(owned->sorter->OnNotify(*header));
        if (header->code == UINT(LVN_COLUMNCLICK)) {
            const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
            ++record->columnClicks;
            record->lastFrom = header->hwndFrom;
            record->firstCellWhenNotified =
                ToWide(owned->owner.CellText(0, size_t(click->iSubItem)));
        }
        return owned->owner.OnNotify(*header).value_or(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Entry field i, for filling entries column by column.
Text& FieldOf(SoftwareEntry& entry, size_t i) {
    return const_cast<Text&>(entry.Field(i));
}

class ColumnSortTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        WNDCLASSEXW wc = {sizeof wc};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        wc.lpszClassName = kParentClass;
        ASSERT_NE(RegisterClassExW(&wc), 0);
    }
    static void TearDownTestSuite() { UnregisterClassW(kParentClass, GetModuleHandleW(nullptr)); }

    void SetUp() override {
        parent_ = CreateParent(L"Column sort test", 1040, 680, record_);
        // Under Wine, windows need an X display, a virtual one (Xvfb) being enough.
        ASSERT_NE(parent_, nullptr) << "no window could be created (error " << GetLastError()
                                    << "); under Wine set DISPLAY to an X server";
        list_ = CreateList(parent_, record_, main_, SoftwareListView, 10, 10, 1004, 300);
        other_ = CreateList(parent_, record_, second_, kUnregisteredList, 10, 320, 1004, 200);
        ASSERT_NE(list_, nullptr);
        ASSERT_NE(other_, nullptr);
        // Never shown: the list view sorts, scrolls and reports the same for a hidden window,
        // and showing one costs seconds under Wine without a window manager.
        sorter_.Attach(list_);
        main_.sorter = &sorter_;
    }
    void TearDown() override {
        if (parent_ != nullptr) DestroyWindow(parent_);
        Pump();
    }

    static HWND CreateParent(const wchar_t* title, int width, int height, ParentRecord& record) {
        HWND parent = CreateWindowExW(0, kParentClass, title, WS_OVERLAPPEDWINDOW, 0, 0, width,
                                      height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (parent != nullptr) SetWindowLongPtrW(parent, GWLP_USERDATA, LONG_PTR(&record));
        return parent;
    }

    // An owner-data list of the program's kind and columns, whose rows owned shows.
    static HWND CreateList(HWND parent, ParentRecord& record, OwnedList& owned, int id, int x,
                           int y, int width, int height) {
        HWND list = CreateWindowExW(
            WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
            x, y, width, height, parent, HMENU(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
        if (list == nullptr) return nullptr;
        InsertProgramColumns(list);
        owned.owner.Attach(list);
        owned.list = list;
        record.lists.push_back(&owned);
        return list;
    }

    // Shows one row per entry of rows, its cells in columns 0, 1, 2 ..., and gives row i the
    // background 1000 + i.
    static void FillRows(OwnedList& owned, const std::vector<Cells>& rows) {
        owned.owner.Clear();
        std::vector<size_t> shown;
        for (size_t i = 0; i < rows.size(); ++i) {
            SoftwareEntry entry;
            for (size_t c = 0; c < rows[i].size(); ++c) FieldOf(entry, c) = FromWide(rows[i][c]);
            owned.owner.Append(std::move(entry));
            shown.push_back(i);
        }
        owned.owner.ShowEntries(shown);
        for (size_t i = 0; i < rows.size(); ++i) {
            owned.owner.SetBackground(int(i), COLORREF(1000 + i));
        }
    }

    // Appends one row per cell: the cell goes into column, the row's insertion number into
    // column 0 (unless that is the column).
    static void Fill(OwnedList& owned, int column, const Cells& cells) {
        std::vector<Cells> rows;
        for (size_t i = 0; i < cells.size(); ++i) {
            Cells row(size_t(column) + 1);
            row[0] = L"row" + std::to_wstring(i);
            row[size_t(column)] = cells[i];
            rows.push_back(row);
        }
        FillRows(owned, rows);
    }
    void Fill(int column, const Cells& cells) { Fill(main_, column, cells); }

    // The whole text of a cell, as the owner holds it.
    static std::wstring CellOf(const OwnedList& owned, int row, int column) {
        return ToWide(owned.owner.CellText(size_t(row), size_t(column)));
    }
    std::wstring CellOf(int row, int column) const { return CellOf(main_, row, column); }

    // The column as the owner holds it; the list knows every row.
    static Cells ColumnOf(const OwnedList& owned, int column) {
        Cells cells;
        EXPECT_EQ(size_t(SendMessageW(owned.list, LVM_GETITEMCOUNT, 0, 0)), owned.owner.RowCount());
        for (size_t row = 0; row < owned.owner.RowCount(); ++row) {
            cells.push_back(CellOf(owned, int(row), column));
        }
        return cells;
    }
    Cells ColumnOf(int column) const { return ColumnOf(main_, column); }

    void Click(HWND list, int column) { SendColumnClick(parent_, list, column); }
    void Click(int column) { Click(list_, column); }

    // The arrows of every header item read straight from the header: '-' none, 'u' up,
    // 'd' down, '?' both (never set by the sorter), '!' unreadable.
    static std::string Arrows(HWND list) {
        HWND header = HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
        std::string arrows;
        int count = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            HDITEMW item = {};
            item.mask = HDI_FORMAT;
            if (!SendMessageW(header, HDM_GETITEMW, WPARAM(i), LPARAM(&item))) {
                arrows += '!';
                continue;
            }
            bool up = item.fmt & HDF_SORTUP, down = item.fmt & HDF_SORTDOWN;
            arrows += up && down ? '?' : up ? 'u' : down ? 'd' : '-';
        }
        return arrows;
    }
    std::string Arrows() const { return Arrows(list_); }

    static int HeaderFormat(HWND list, int column) {
        HWND header = HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, WPARAM(column), LPARAM(&item));
        return item.fmt;
    }
    static void SetHeaderFormat(HWND list, int column, int fmt) {
        HWND header = HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        item.fmt = fmt;
        SendMessageW(header, HDM_SETITEMW, WPARAM(column), LPARAM(&item));
    }

    static Cells Reversed(Cells cells) { return Cells(cells.rbegin(), cells.rend()); }

    ParentRecord record_;
    OwnedList main_, second_;
    ColumnSorter sorter_{main_.owner};
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    HWND other_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Direction and arrows

TEST_F(ColumnSortTest, ClicksOnOneColumnAlternateFromAscending) {
    Fill(1, {L"Delta", L"alpha", L"Charlie", L"bravo"});
    const Cells ascending = {L"alpha", L"bravo", L"Charlie", L"Delta"};
    struct Step {
        Cells rows;
        std::string arrows;
    } steps[] = {
        {ascending, "-u----"},
        {Reversed(ascending), "-d----"},
        {ascending, "-u----"},
        {Reversed(ascending), "-d----"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("click " + std::to_string(i + 1));
        Click(1);
        EXPECT_EQ(ColumnOf(1), steps[i].rows);
        EXPECT_EQ(Arrows(), steps[i].arrows);
    }
}

TEST_F(ColumnSortTest, AnotherColumnSortsAscendingAndTakesTheArrow) {
    Fill(1, {L"b", L"a", L"c"});
    Click(1);
    Click(1);
    ASSERT_EQ(Arrows(), "-d----");
    Fill(2, {L"2.5", L"10.0", L"1.5"});
    Click(2);
    EXPECT_EQ(ColumnOf(2), (Cells{L"1.5", L"2.5", L"10.0"}));
    EXPECT_EQ(Arrows(), "--u---");
    Click(5);
    EXPECT_EQ(Arrows(), "-----u");
    Click(5);
    EXPECT_EQ(Arrows(), "-----d");
    Click(0);
    EXPECT_EQ(Arrows(), "u-----");
}

TEST_F(ColumnSortTest, DirectionComesFromTheArrowTheHeaderShows) {
    // Whoever set the arrows, the next click reverses what is shown on the clicked column.
    Fill(3, {L"3", L"1", L"2"});
    SetHeaderFormat(list_, 3, HDF_LEFT | HDF_STRING | HDF_SORTUP);
    Click(3);
    EXPECT_EQ(ColumnOf(3), (Cells{L"3", L"2", L"1"}));
    EXPECT_EQ(Arrows(), "---d--");
    SetHeaderFormat(list_, 3, HDF_LEFT | HDF_STRING | HDF_SORTDOWN);
    Click(3);
    EXPECT_EQ(ColumnOf(3), (Cells{L"1", L"2", L"3"}));
    EXPECT_EQ(Arrows(), "---u--");
}

TEST_F(ColumnSortTest, OtherHeaderFormatFlagsSurvive) {
    SetHeaderFormat(list_, 2, HDF_RIGHT | HDF_STRING);
    SetHeaderFormat(list_, 4, HDF_CENTER | HDF_STRING);
    Fill(2, {L"2", L"1"});
    Click(2);
    EXPECT_EQ(HeaderFormat(list_, 2), HDF_RIGHT | HDF_STRING | HDF_SORTUP);
    Click(4);
    EXPECT_EQ(HeaderFormat(list_, 2), HDF_RIGHT | HDF_STRING);
    EXPECT_EQ(HeaderFormat(list_, 4), HDF_CENTER | HDF_STRING | HDF_SORTUP);
}

TEST_F(ColumnSortTest, ArrowSurvivesRefillAndTheNextClickReversesIt) {
    Fill(1, {L"b", L"c", L"a"});
    Click(1);
    ASSERT_EQ(Arrows(), "-u----");
    main_.owner.Clear();  // "Clear List"
    EXPECT_EQ(Arrows(), "-u----");
    Fill(1, {L"b", L"c", L"a"});  // a new scan, in scan order
    EXPECT_EQ(Arrows(), "-u----");
    Click(1);
    EXPECT_EQ(ColumnOf(1), (Cells{L"c", L"b", L"a"}));
    EXPECT_EQ(Arrows(), "-d----");
}

// ---------------------------------------------------------------------------------------------
// Kinds: each column is sorted by the values of the kind its probe rows (first, last, middle)
// agree on, or as text when they disagree. Keys are distinct, so descending is the reverse.

TEST_F(ColumnSortTest, EveryKindSortsByValue) {
    struct Case {
        const char* name;
        int column;
        Cells rows;  // in insertion order
        Cells ascending;
        // After the first click; empty: the reverse of ascending. The second click detects the
        // kind again from the rows as the first click left them.
        Cells descending = {};
    } cases[] = {
        {"text folds case; an underscore sorts before letters",
         1,
         {L"beta", L"Alpha", L"gamma", L"_under", L"alpha2"},
         {L"_under", L"Alpha", L"alpha2", L"beta", L"gamma"}},
        {"text by code unit, not by number",
         1,
         {L"item 10", L"Item 9", L"item 1", L"ITEM 100", L"item 2"},
         {L"item 1", L"item 10", L"ITEM 100", L"item 2", L"Item 9"}},
        {"whole numbers: $10 is hexadecimal 16, after 12",
         2,
         {L"12", L"$10", L"7", L"100", L"0"},
         {L"0", L"7", L"12", L"$10", L"100"}},
        {"whole numbers: -5 outside the probes has the key -5",
         2,
         {L"5", L"-5", L"30", L"2", L"10"},
         {L"-5", L"2", L"5", L"10", L"30"},
         // -5 is now the first probe row, a Text: the column sorts as text.
         {L"5", L"30", L"2", L"10", L"-5"}},
        {"whole numbers: eight-digit dates",
         3,
         {L"20230105", L"20221231", L"20240101", L"20230104"},
         {L"20221231", L"20230104", L"20230105", L"20240101"}},
        {"decimal: versions, 1.2.3 outside the probes sorts as 1.2, 1,5 as 1.5",
         2,
         {L"10.0", L"1.2.3", L"2.5", L"9.75", L"1,5"},
         {L"1.2.3", L"1,5", L"2.5", L"9.75", L"10.0"},
         // 1.2.3 is now the first probe row, a Text: the column sorts as text.
         {L"9.75", L"2.5", L"10.0", L"1.2.3", L"1,5"}},
        {"date: the last probe row proves month first",
         3,
         {L"12/11/2021", L"05/06/2023", L"02/28/2022", L"11/30/2020", L"01/31/2023"},
         {L"11/30/2020", L"12/11/2021", L"02/28/2022", L"01/31/2023", L"05/06/2023"}},
        {"date: the middle probe row proves month first",
         3,
         {L"12/11/2021", L"05/06/2023", L"02/28/2022", L"11/10/2020", L"01/03/2023"},
         {L"11/10/2020", L"12/11/2021", L"02/28/2022", L"01/03/2023", L"05/06/2023"}},
        {"date: day first with a time of day",
         3,
         {L"15.01.2023 18:05", L"01.02.2022 07:00", L"15.01.2023 08:30", L"31.12.2022 23:59"},
         {L"01.02.2022 07:00", L"31.12.2022 23:59", L"15.01.2023 08:30", L"15.01.2023 18:05"}},
        {"date: day first with seconds, year before 1970",
         3,
         {L"01.01.2000 00:00:01", L"31.12.1969 23:59:58", L"01.01.2000 00:00:00"},
         {L"31.12.1969 23:59:58", L"01.01.2000 00:00:00", L"01.01.2000 00:00:01"}},
        {"size: units by their factors, 512 B outside the probes",
         4,
         {L"1.5 KB", L"512 B", L"1 GB", L"700 KB", L"12 MB", L"2 TB", L"0.1 kb"},
         {L"0.1 kb", L"512 B", L"1.5 KB", L"700 KB", L"12 MB", L"1 GB", L"2 TB"}},
        {"mixed: first row empty, last a name sorts as text",
         5,
         {L"", L"7", L"Zeta", L"10", L"alpha"},
         {L"", L"10", L"7", L"alpha", L"Zeta"}},
        {"mixed: first and last numbers, middle a name sorts as text",
         5,
         {L"5", L"40", L"abc", L"x", L"10"},
         {L"10", L"40", L"5", L"abc", L"x"}},
        {"mixed: dates with a year-first last row sort as text",
         3,
         {L"15.01.2023", L"03.02.2020", L"01.01.2024", L"2021-06-01"},
         {L"01.01.2024", L"03.02.2020", L"15.01.2023", L"2021-06-01"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(c.column, c.rows);
        SetHeaderFormat(list_, c.column, HDF_LEFT | HDF_STRING);  // no arrow: ascending next
        Click(c.column);
        EXPECT_EQ(ColumnOf(c.column), c.ascending);
        Click(c.column);
        EXPECT_EQ(ColumnOf(c.column), c.descending.empty() ? Reversed(c.ascending) : c.descending);
    }
}

TEST_F(ColumnSortTest, DateColumnWithoutMonthFirstProbeRanksInvalidDatesFirst) {
    // The probes (rows 0, 4 and 2) are all day first with "." separators, so 01/31/2023 in
    // row 1 fits no mask, gets -1 and sorts before every valid date from 1970 on; 29.02.2024 is
    // a valid leap day.
    Fill(3, {L"12.11.2023", L"01/31/2023", L"29.02.2024", L"05.06.2023", L"10.01.1999"});
    Click(3);
    Cells sorted = ColumnOf(3);
    ASSERT_EQ(sorted.size(), 5u);
    EXPECT_EQ(sorted[0], L"01/31/2023");
    EXPECT_EQ(Cells(sorted.begin() + 1, sorted.end()),
              (Cells{L"10.01.1999", L"05.06.2023", L"12.11.2023", L"29.02.2024"}));
}

TEST_F(ColumnSortTest, ColumnOfEmptyCellsIsAllEqual) {
    Fill(4, {L"", L"", L""});
    Click(4);
    EXPECT_EQ(ColumnOf(4), (Cells{L"", L"", L""}));
    EXPECT_EQ(Arrows(), "----u-");
}

// ---------------------------------------------------------------------------------------------
// List sizes

TEST_F(ColumnSortTest, EmptyListStillTurnsTheArrow) {
    Fill(3, {});
    for (const char* expected : {"---u--", "---d--", "---u--"}) {
        Click(3);
        EXPECT_EQ(Arrows(), expected);
        EXPECT_EQ(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0), 0);
    }
}

TEST_F(ColumnSortTest, SmallLists) {
    struct Case {
        const char* name;
        Cells rows;
        Cells ascending;
    } cases[] = {
        {"one row", {L"only"}, {L"only"}},
        {"one empty row", {L""}, {L""}},
        {"two rows of one kind", {L"20", L"3"}, {L"3", L"20"}},
        {"two rows of two kinds", {L"20", L"abc"}, {L"20", L"abc"}},
        {"two sizes", {L"2 MB", L"3 KB"}, {L"3 KB", L"2 MB"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(2, c.rows);
        SetHeaderFormat(list_, 2, HDF_LEFT | HDF_STRING);
        Click(2);
        EXPECT_EQ(ColumnOf(2), c.ascending);
        EXPECT_EQ(Arrows(), "--u---");
        Click(2);
        EXPECT_EQ(ColumnOf(2), Reversed(c.ascending));
        EXPECT_EQ(Arrows(), "--d---");
    }
}

// ---------------------------------------------------------------------------------------------
// Rows move whole

TEST_F(ColumnSortTest, EveryCellAndTheBackgroundMoveWithTheRow) {
    // Cells longer than the sort reads, in another column, move whole.
    const Cells longCells = {std::wstring(1000, L'0'), std::wstring(300, L'1') + L"\n1",
                             std::wstring(5000, L'2')};
    FillRows(main_, {{L"row0", L"c", L"", L"", L"", longCells[0]},
                     {L"row1", L"a", L"", L"", L"", longCells[1]},
                     {L"row2", L"b", L"", L"", L"", longCells[2]}});
    Click(1);
    ASSERT_EQ(ColumnOf(1), (Cells{L"a", L"b", L"c"}));
    EXPECT_EQ(ColumnOf(0), (Cells{L"row1", L"row2", L"row0"}));
    Cells moved;
    for (int row = 0; row < 3; ++row) moved.push_back(CellOf(row, 5));
    EXPECT_EQ(moved, (Cells{longCells[1], longCells[2], longCells[0]}));
    // The row's background colour goes with it.
    for (int row = 0; row < 3; ++row) {
        COLORREF background = COLORREF(1000 + std::stoi(CellOf(row, 0).substr(3)));
        EXPECT_EQ(main_.owner.RowsWithBackground(background), std::vector<int>{row});
    }
}

TEST_F(ColumnSortTest, SelectedRowMovesWithTheSortAndStaysInView) {
    // Wine's list view scrolls to a row that receives the focus by itself; a row that is selected
    // without the focus shows that the sort brings the selection into view.
    struct Case {
        const char* name;
        UINT states;
    } cases[] = {
        {"selected and focused", LVIS_SELECTED | LVIS_FOCUSED},
        {"selected only", LVIS_SELECTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cells rows;
        for (int i = 299; i >= 0; --i) rows.push_back(std::to_wstring(i));
        Fill(2, rows);
        SetHeaderFormat(list_, 2, HDF_LEFT | HDF_STRING);
        LVITEMW select = {};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = c.states;
        ASSERT_TRUE(SendMessageW(list_, LVM_SETITEMSTATE, 0, LPARAM(&select)));  // "299", top
        SendMessageW(list_, LVM_SETSELECTIONMARK, 0, 0);
        ASSERT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), 0);

        Click(2);  // ascending: "299" becomes the last row
        int selected = int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        ASSERT_EQ(selected, 299);
        EXPECT_EQ(CellOf(selected, 2), L"299");
        EXPECT_EQ(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED),
                  (c.states & LVIS_FOCUSED) ? 299 : -1);
        EXPECT_EQ(SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0), 299);
        EXPECT_EQ(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        int top = int(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
        int perPage = int(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
        ASSERT_GT(perPage, 0);
        ASSERT_LT(perPage, 300);
        EXPECT_LE(top, selected);
        EXPECT_GE(top + perPage, selected);  // at least partly visible

        Click(2);  // descending: back to the top
        EXPECT_EQ(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0);
        EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), 0);
    }
}

TEST_F(ColumnSortTest, WithoutSelectionNothingScrolls) {
    Cells rows;
    for (int i = 0; i < 300; ++i) rows.push_back(std::to_wstring(i));
    Fill(2, rows);
    SendMessageW(list_, LVM_ENSUREVISIBLE, 200, FALSE);
    int top = int(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    ASSERT_GT(top, 0);
    Click(2);
    ASSERT_EQ(CellOf(0, 2), L"0");
    EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), top);
    Click(2);
    ASSERT_EQ(CellOf(0, 2), L"299");
    EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), top);
}

// ---------------------------------------------------------------------------------------------
// Which clicks count

TEST_F(ColumnSortTest, UnregisteredListIsIgnoredAndItsParentStillHearsTheClick) {
    Fill(second_, 1, {L"b", L"c", L"a"});
    Click(other_, 1);
    EXPECT_EQ(ColumnOf(second_, 1), (Cells{L"b", L"c", L"a"}));
    EXPECT_EQ(Arrows(other_), "------");
    EXPECT_EQ(Arrows(), "------");
    EXPECT_EQ(record_.columnClicks, 1);
    EXPECT_EQ(record_.lastFrom, other_);
}

TEST_F(ColumnSortTest, RegisteredListIsSortedBeforeItsParentHearsTheClick) {
    Fill(1, {L"b", L"c", L"a"});
    Click(1);
    EXPECT_EQ(record_.columnClicks, 1);
    EXPECT_EQ(record_.lastFrom, list_);
    EXPECT_EQ(record_.firstCellWhenNotified, L"a");
}

TEST_F(ColumnSortTest, UnreadableHeaderItemSortsDescendingAndClearsEveryArrow) {
    // A click naming a column the header does not have: direction 0, which compares as
    // descending, and no arrow anywhere afterwards.
    Fill(1, {L"b", L"c", L"a"});
    Click(1);
    ASSERT_EQ(Arrows(), "-u----");
    Click(6);
    EXPECT_EQ(Arrows(), "------");
    EXPECT_EQ(ColumnOf(1), (Cells{L"a", L"b", L"c"}));  // column 6 holds no text: no row moves
}

TEST_F(ColumnSortTest, HeaderButtonClickSortsLikeAnOperatorsClick) {
    // Button messages on the header item make the list view itself send LVN_COLUMNCLICK.
    Fill(1, {L"b", L"c", L"a"});
    HWND header = HWND(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    RECT item = {};
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 1, LPARAM(&item)));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (const char* expected : {"-u----", "-d----"}) {
        PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(header, WM_LBUTTONUP, 0, at);
        Pump();
        EXPECT_EQ(Arrows(), expected);
    }
    EXPECT_EQ(ColumnOf(1), (Cells{L"c", L"b", L"a"}));
    EXPECT_EQ(record_.columnClicks, 2);
}

// ---------------------------------------------------------------------------------------------
// Operations on their own

TEST_F(ColumnSortTest, MissingListGivesFailureResults) {
    ColumnSorter withoutList(main_.owner);
    EXPECT_EQ(withoutList.HeaderArrow(0), -1);
    EXPECT_FALSE(withoutList.SetHeaderArrows(0, SortDirection::Ascending));
    EXPECT_EQ(sorter_.HeaderArrow(6), -1);  // no such header item
    EXPECT_EQ(sorter_.HeaderArrow(0), 0);
}

TEST_F(ColumnSortTest, HeaderArrowOperations) {
    struct Case {
        int column;
        SortDirection direction;
        std::string arrows;
        int arrowOfColumn;
    } cases[] = {
        {2, SortDirection::Ascending, "--u---", 1},
        {2, SortDirection::Descending, "--d---", 2},
        {0, SortDirection::Ascending, "u-----", 1},
        {5, SortDirection::Descending, "-----d", 2},
        {3, kUnreadHeader, "------", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arrows);
        EXPECT_TRUE(sorter_.SetHeaderArrows(c.column, c.direction));
        EXPECT_EQ(Arrows(), c.arrows);
        EXPECT_EQ(sorter_.HeaderArrow(c.column), c.arrowOfColumn);
    }
    // Both flags set by someone else: up is tested first.
    SetHeaderFormat(list_, 1, HDF_LEFT | HDF_STRING | HDF_SORTUP | HDF_SORTDOWN);
    EXPECT_EQ(sorter_.HeaderArrow(1), 1);
}

TEST_F(ColumnSortTest, LongCellsEqualInTheirFirst254CodeUnitsKeepTheirOrder) {
    const std::wstring prefix(254, L'm');
    Fill(1, {prefix + L"b", L"a", prefix + L"a", L"z"});
    Click(1);
    EXPECT_EQ(ColumnOf(1), (Cells{L"a", prefix + L"b", prefix + L"a", L"z"}));
    Click(1);
    EXPECT_EQ(ColumnOf(1), (Cells{L"z", prefix + L"b", prefix + L"a", L"a"}));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The owner moves the rows; the selection and focus, which the list keeps by position, follow

namespace {

constexpr int kRefusingList = 9;  // sorted through rows that refuse every order

// The texts of other rows, which refuse every order.
class RefusingRows final : public ListRows {
  public:
    explicit RefusingRows(const ListRows& rows) : rows_(rows) {}
    size_t RowCount() const override { return rows_.RowCount(); }
    TextView CellText(size_t row, size_t column) const override {
        return rows_.CellText(row, column);
    }
    bool Reorder(const std::vector<size_t>&) override { return false; }

  private:
    const ListRows& rows_;
};

int Next(HWND list, UINT flags) {
    return int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), flags));
}

void Select(HWND list, int row) {
    LVITEMW select = {};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ASSERT_TRUE(SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&select)));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
}

}  // namespace

TEST_F(ColumnSortTest, OwnerMovesTheRowsAndTheSelectionFollowsItsRow) {
    // Column 1 holds whole numbers; every row keeps its name (column 0) and note (column 2).
    FillRows(main_, {{L"b", L"20", L"two"},
                     {L"c", L"3", L"three"},
                     {L"a", L"100", L"one"},
                     {L"d", L"5", L"four"}});
    Select(list_, 1);  // "c"

    Click(1);  // by value: 3, 5, 20, 100
    EXPECT_EQ(ColumnOf(0), (Cells{L"c", L"d", L"b", L"a"}));
    EXPECT_EQ(CellOf(0, 2), L"three");
    EXPECT_EQ(CellOf(3, 2), L"one");
    EXPECT_EQ(Next(list_, LVNI_SELECTED), 0);
    EXPECT_EQ(Next(list_, LVNI_FOCUSED), 0);
    EXPECT_EQ(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0), 1);

    Click(1);  // descending
    EXPECT_EQ(ColumnOf(0), (Cells{L"a", L"b", L"d", L"c"}));
    EXPECT_EQ(Next(list_, LVNI_SELECTED), 3);
    EXPECT_EQ(Next(list_, LVNI_FOCUSED), 3);
    EXPECT_EQ(SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0), 3);

    Click(0);  // text, ascending; nothing selected after clearing the selection
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&none));
    Click(2);
    EXPECT_EQ(ColumnOf(0), (Cells{L"d", L"a", L"c", L"b"}));  // four, one, three, two
    EXPECT_EQ(Next(list_, LVNI_SELECTED), -1);
}

TEST_F(ColumnSortTest, RowsThatRefuseTheOrderKeepArrowSelectionAndFocus) {
    OwnedList owned;
    ASSERT_NE(CreateList(parent_, record_, owned, kRefusingList, 10, 10, 1004, 300), nullptr);
    RefusingRows refusing(owned.owner);
    ColumnSorter sorter(refusing);
    sorter.Attach(owned.list);
    owned.sorter = &sorter;
    FillRows(owned, {{L"b"}, {L"a"}, {L"c"}});
    Select(owned.list, 2);
    Click(owned.list, 0);
    EXPECT_EQ(ColumnOf(owned, 0), (Cells{L"b", L"a", L"c"}));
    EXPECT_EQ(Arrows(owned.list), "------");
    EXPECT_EQ(Next(owned.list, LVNI_SELECTED), 2);
    EXPECT_EQ(Next(owned.list, LVNI_FOCUSED), 2);
}

TEST_F(ColumnSortTest, AClickWhileRowsAreStillAddedSortsEveryRowFoundSoFar) {
    // The owner holds four rows but has told the list of two; the click sorts all four.
    FillRows(main_, {{L"d"}, {L"b"}});
    for (const wchar_t* name : {L"a", L"c"}) {
        SoftwareEntry entry;
        entry.InstallType = FromWide(name);
        main_.owner.Append(std::move(entry));
    }
    ASSERT_EQ(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0), 2);
    Click(0);
    EXPECT_EQ(ColumnOf(0), (Cells{L"a", L"b", L"c", L"d"}));
}
