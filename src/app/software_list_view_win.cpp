#include "app/software_list_view_win.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/case_win.h"
#include "common/columns.h"
#include "common/handles_win.h"
#include "common/wide_win.h"

#ifndef LVFI_SUBSTRING
#define LVFI_SUBSTRING 0x0004  // Windows Vista's name for a prefix search, beside LVFI_PARTIAL
#endif

namespace {

// The text a cell of the list shows; it stays valid during the call that asks for it.
using CellTextSource = std::function<TextView(size_t row, int column)>;

// How many of a column's widest texts the plain list measures. The list may measure a text a
// pixel or two differently from GetTextExtentPoint32W (its own drawing flags), so a near tie
// is left for the list itself to decide.
constexpr size_t kCandidates = 4;

struct Candidate {
    LONG width;
    TextView text;
};

// The widest distinct texts of a column, widest first, at most kCandidates.
std::vector<Candidate> WidestTexts(HDC dc, size_t rowCount, int column,
                                   const CellTextSource& cell) {
    std::vector<Candidate> widest;
    widest.reserve(kCandidates + 1);
    for (size_t row = 0; row < rowCount; ++row) {
        TextView text = cell(row, column);
        SIZE size = {};
        if (!GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                                   int(text.size()), &size)) {
            continue;
        }
        if (widest.size() == kCandidates && size.cx <= widest.back().width) continue;
        auto same = [&](const Candidate& c) { return c.text == text; };
        if (std::any_of(widest.begin(), widest.end(), same)) continue;
        auto place = std::find_if(widest.begin(), widest.end(),
                                  [&](const Candidate& c) { return c.width < size.cx; });
        widest.insert(place, {size.cx, text});
        if (widest.size() > kCandidates) widest.pop_back();
    }
    return widest;
}

// The device context of a window with the window's font selected, released at the end.
class WindowFontDc {
  public:
    explicit WindowFontDc(HWND window) : window_(window), dc_(GetDC(window)) {
        font_.emplace(dc_, HGDIOBJ(SendMessageW(window, WM_GETFONT, 0, 0)));
    }
    ~WindowFontDc() {
        font_.reset();  // the old font goes back before the context is released
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowFontDc(const WindowFontDc&) = delete;
    WindowFontDc& operator=(const WindowFontDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
    std::optional<ScopedSelection> font_;
};

// A hidden plain report list beside list, of the same window and list styles, font and columns
// (format and width), without rows.
UniqueWindow PlainTwin(HWND list) {
    const DWORD style = DWORD(GetWindowLongPtrW(list, GWL_STYLE)) & ~(WS_VISIBLE | LVS_OWNERDATA);
    const DWORD exStyle = DWORD(GetWindowLongPtrW(list, GWL_EXSTYLE));
    RECT rect = {};
    GetWindowRect(list, &rect);
    UniqueWindow twin(CreateWindowExW(
        exStyle, WC_LISTVIEWW, L"", style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
        GetParent(list), nullptr, HINSTANCE(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr));
    if (!twin) return twin;
    SendMessageW(twin.get(), WM_SETFONT, WPARAM(SendMessageW(list, WM_GETFONT, 0, 0)), FALSE);
    SendMessageW(twin.get(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    HWND header = HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header != nullptr ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < columns; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH;
        if (!SendMessageW(list, LVM_GETCOLUMNW, WPARAM(i), LPARAM(&column))) column.cx = 100;
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = i;
        SendMessageW(twin.get(), LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&column));
    }
    return twin;
}

// Gives the columns of list the widths that LVSCW_AUTOSIZE gives a plain report list of the same
// font, styles and columns holding all rowCount rows. The widest few texts of each column are
// found with the list's font (GetTextExtentPoint32W); a hidden plain list of the same kind,
// holding just those, sizes its columns with LVSCW_AUTOSIZE, and its widths are copied. Other
// columns keep their widths.
void FitColumnsToAllRows(HWND list, const std::vector<int>& columns, size_t rowCount,
                         const CellTextSource& cell) {
    if (list == nullptr || columns.empty()) return;
    std::vector<std::vector<Candidate>> widest;
    {
        WindowFontDc dc(list);
        if (dc.get() == nullptr) return;
        for (int column : columns) widest.push_back(WidestTexts(dc.get(), rowCount, column, cell));
    }
    UniqueWindow twin = PlainTwin(list);
    if (!twin) return;
    size_t rows = 0;
    for (const auto& texts : widest) rows = std::max(rows, texts.size());
    for (size_t row = 0; row < rows; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = int(row);
        item.pszText = const_cast<wchar_t*>(L"");
        SendMessageW(twin.get(), LVM_INSERTITEMW, 0, LPARAM(&item));
        for (size_t i = 0; i < columns.size(); ++i) {
            if (row >= widest[i].size()) continue;
            std::wstring text = ToWide(widest[i][row].text);
            LVITEMW cellText = {};
            cellText.iSubItem = columns[i];
            cellText.pszText = text.data();
            SendMessageW(twin.get(), LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&cellText));
        }
    }
    std::vector<int> widths;
    for (int column : columns) {
        SendMessageW(twin.get(), LVM_SETCOLUMNWIDTH, WPARAM(column), LVSCW_AUTOSIZE);
        widths.push_back(int(SendMessageW(twin.get(), LVM_GETCOLUMNWIDTH, WPARAM(column), 0)));
    }
    twin.reset();
    for (size_t i = 0; i < columns.size(); ++i) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, WPARAM(columns[i]), widths[i]);
    }
}

// The rows of the list in the given state (LVNI_SELECTED, LVNI_FOCUSED).
std::vector<int> RowsInState(HWND list, UINT state) {
    std::vector<int> rows;
    for (int row = -1; (row = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(row), state))) >= 0;) {
        if (!rows.empty() && row <= rows.back()) break;  // a list that wraps around
        rows.push_back(row);
    }
    return rows;
}

void SetRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
}

}  // namespace

void SoftwareListOwner::Attach(HWND list) {
    list_ = list;
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

TextView SoftwareListOwner::CellText(size_t row, size_t column) const {
    if (row >= rows_.size() || rows_[row].entry >= entries_.size() ||
        column >= SoftwareEntry::kFieldCount) {
        return TextView();
    }
    return entries_[rows_[row].entry].Field(column);
}

bool SoftwareListOwner::Reorder(const std::vector<size_t>& order) {
    if (!IsRowOrder(order, rows_.size())) return false;
    const std::vector<int> selected = RowsInState(list_, LVNI_SELECTED);
    const std::vector<int> focused = RowsInState(list_, LVNI_FOCUSED);
    const int mark = int(SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0));
    std::vector<ShownRow> reordered;
    reordered.reserve(rows_.size());
    for (size_t from : order) reordered.push_back(rows_[from]);
    rows_ = std::move(reordered);
    TellListOfRows(LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);

    const std::vector<size_t> position = PositionsAfter(order);
    auto moved = [&](int row) {
        return row >= 0 && size_t(row) < position.size() ? int(position[size_t(row)]) : -1;
    };
    // Only the rows that hold a state are cleared: the list applies a change to row -1 to every
    // row one by one (under Wine 10 to 30 ms at 10,000 rows, measured).
    for (int row : selected) SetRowState(list_, row, 0, LVIS_SELECTED);
    for (int row : focused) SetRowState(list_, row, 0, LVIS_FOCUSED);
    for (int row : selected) {
        if (int to = moved(row); to >= 0) SetRowState(list_, to, LVIS_SELECTED, LVIS_SELECTED);
    }
    for (int row : focused) {
        if (int to = moved(row); to >= 0) SetRowState(list_, to, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (int to = moved(mark); to >= 0) SendMessageW(list_, LVM_SETSELECTIONMARK, 0, LPARAM(to));
    InvalidateRect(list_, nullptr, TRUE);
    return true;
}

void SoftwareListOwner::Clear() {
    rows_.clear();
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
}

void SoftwareListOwner::Append(size_t entryIndex) {
    rows_.push_back({entryIndex, CLR_DEFAULT});
}

int SoftwareListOwner::KnownRowCount() const {
    return int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

bool SoftwareListOwner::TellListOfRows(DWORD flags) {
    if (size_t(KnownRowCount()) == rows_.size()) return false;
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), flags);
    return true;
}

void SoftwareListOwner::ShowAppended() {
    // The rows already shown stay where they are; only the area of the new ones is repainted,
    // which is nothing once the list is full.
    if (TellListOfRows(LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL)) UpdateWindow(list_);
}

bool SoftwareListOwner::FillsPage() const {
    return KnownRowCount() >= int(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
}

void SoftwareListOwner::ShowAllFitted() {
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    TellListOfRows(LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    FitColumns();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    // As WM_SETREDRAW's documentation asks for a control with a border of its own
    // (WS_EX_CLIENTEDGE) and children (the header).
    RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void SoftwareListOwner::ShowEntries(const std::vector<size_t>& entryIndexes) {
    Clear();
    rows_.reserve(entryIndexes.size());
    for (size_t entry : entryIndexes) rows_.push_back({entry, CLR_DEFAULT});
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void SoftwareListOwner::FitColumns() {
    std::vector<int> fitted;
    for (size_t column = 0; column < kColumnCount; ++column) {
        if (kColumns[column].fitted) fitted.push_back(int(column));
    }
    FitColumnsToAllRows(list_, fitted, rows_.size(), [this](size_t row, int column) {
        return ShownCellText(CellText(row, size_t(column)));
    });
}

void SoftwareListOwner::SetBackground(int row, COLORREF colour) {
    bool changed = false;
    for (size_t r = row == -1 ? 0 : size_t(row); r < rows_.size(); ++r) {
        changed |= rows_[r].background != colour;
        rows_[r].background = colour;
        if (row != -1) break;
    }
    // A mouse move over the list restores rows that mostly have their colour already; under
    // Wine each repaint of a full list costs 15 to 25 ms (measured).
    if (changed) InvalidateRect(list_, nullptr, FALSE);
}

std::vector<int> SoftwareListOwner::RowsWithBackground(COLORREF colour) const {
    std::vector<int> found;
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].background == colour) found.push_back(int(row));
    }
    return found;
}

int SoftwareListOwner::RowAt(POINT screen, int* column) const {
    LVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(list_, &hit.pt);
    SendMessageW(list_, LVM_SUBITEMHITTEST, 0, LPARAM(&hit));
    // A point over the header names no row (Wine's hit test reports row 0 there).
    if (hit.pt.y < HeaderBottom()) hit.iItem = -1;
    if (column != nullptr) *column = hit.iSubItem;
    return hit.iItem;
}

int SoftwareListOwner::SelectedRow() const {
    return ListView_GetNextItem(list_, -1, LVNI_SELECTED);
}

void SoftwareListOwner::SelectRow(int row) {
    SetRowState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, LPARAM(row));
    SetFocus(list_);
}

POINT SoftwareListOwner::MenuPoint(int row) const {
    RECT rows = {};
    GetClientRect(list_, &rows);
    rows.top = std::min(LONG(HeaderBottom()), rows.bottom);
    POINT point = {rows.left, rows.top};
    RECT rect = {};
    if (row >= 0 && ListView_GetItemRect(list_, row, &rect, LVIR_LABEL)) {
        // A row scrolled out of view still gets its menu inside the list.
        point = {std::clamp(rect.left, rows.left, rows.right),
                 std::clamp(rect.bottom, rows.top, rows.bottom)};
    }
    ClientToScreen(list_, &point);
    return point;
}

int SoftwareListOwner::HeaderBottom() const {
    HWND header = ListView_GetHeader(list_);
    RECT rect;
    if (header == nullptr || !IsWindowVisible(header) || !GetWindowRect(header, &rect)) return 0;
    MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&rect), 2);
    return rect.bottom;
}

std::optional<LRESULT> SoftwareListOwner::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_ || list_ == nullptr) return std::nullopt;
    NMHDR* request = const_cast<NMHDR*>(&header);
    switch (header.code) {
        case UINT(NM_CUSTOMDRAW):
            return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(request));
        case LVN_GETDISPINFOW:
            OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(request));
            return 0;
        case LVN_ODFINDITEMW: {
            // Only the rows the list already knows can be named.
            const size_t known = std::min(rows_.size(), size_t(std::max(KnownRowCount(), 0)));
            return AnswerFindItem(
                *reinterpret_cast<const NMLVFINDITEMW*>(request), known,
                [this](size_t row) { return ShownCellText(CellText(row, 0)); }, LocaleLower);
        }
        case LVN_DELETEALLITEMS:
            return TRUE;  // no notification per deleted row
    }
    return std::nullopt;
}

void SoftwareListOwner::OnGetDisplayInfo(NMLVDISPINFOW& info) const {
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || item.iSubItem < 0) return;
    const TextView field = CellText(size_t(item.iItem), size_t(item.iSubItem));
    // As much as fits, always terminated.
    const size_t length = std::min(field.size(), size_t(item.cchTextMax) - 1);
    std::copy_n(field.data(), length, reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[length] = L'\0';
}

LRESULT SoftwareListOwner::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT: {
            const size_t row = draw.nmcd.dwItemSpec;
            if (row < rows_.size() && rows_[row].background != CLR_DEFAULT) {
                draw.clrTextBk = rows_[row].background;
            }
            return CDRF_DODEFAULT;
        }
        case CDDS_POSTPAINT:
            DrawGridLines(draw.nmcd.hdc);
            return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}

void SoftwareListOwner::DrawGridLines(HDC dc) {
    RECT client;
    GetClientRect(list_, &client);
    const int top = HeaderBottom();
    HWND header = ListView_GetHeader(list_);
    const UniqueGdiObject pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE)));
    const ScopedSelection selected(dc, pen.get());

    // Row boundaries continue the rows' rhythm down to the bottom of the client area.
    int count = KnownRowCount();
    RECT item;
    int topIndex = ListView_GetTopIndex(list_);
    if (count > 0 && ListView_GetItemRect(list_, topIndex, &item, LVIR_BOUNDS)) {
        int height = item.bottom - item.top;
        if (height > 0) {
            int y = item.top - height * ((item.top - top) / height);
            for (; y <= client.bottom; y += height) {
                if (y < top) continue;
                MoveToEx(dc, client.left, y - 1, nullptr);
                LineTo(dc, client.right, y - 1);
            }
        }
    }
    // Column boundaries, following the header as it scrolls.
    if (header != nullptr) {
        int columns = Header_GetItemCount(header);
        for (int i = 0; i < columns; ++i) {
            RECT rect;
            if (!Header_GetItemRect(header, i, &rect)) continue;
            MapWindowPoints(header, list_, reinterpret_cast<POINT*>(&rect), 2);
            MoveToEx(dc, rect.right - 1, top, nullptr);
            LineTo(dc, rect.right - 1, client.bottom);
        }
    }
}

int AnswerFindItem(const NMLVFINDITEMW& request, size_t rowCount,
                   const std::function<TextView(size_t row)>& firstColumn, CodeUnitMap fold) {
    const LVFINDINFOW& find = request.lvfi;
    const bool prefix = (find.flags & (LVFI_PARTIAL | LVFI_SUBSTRING)) != 0;
    // LVFI_WRAP alone also asks for the whole text.
    const bool byText = prefix || (find.flags & LVFI_STRING) || find.flags == LVFI_WRAP;
    if (!byText || find.psz == nullptr) return -1;
    const TextView text(reinterpret_cast<const char16_t*>(find.psz), wcslen(find.psz));
    return FindRowByText(rowCount, firstColumn, text, prefix, request.iStart,
                         (find.flags & LVFI_WRAP) != 0, fold);
}
