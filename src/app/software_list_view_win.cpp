#include "app/software_list_view_win.h"

#include <algorithm>
#include <string>

#include "app/controls_win.h"
#include "app/list_column_fit_win.h"
#include "app/list_paint_win.h"
#include "common/case_win.h"
#include "common/columns.h"
#include "common/handles_win.h"
#include "common/wide_win.h"

#ifndef LVFI_SUBSTRING
#define LVFI_SUBSTRING 0x0004  // Windows Vista's name for a prefix search, beside LVFI_PARTIAL
#endif

namespace {

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
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void SoftwareListOwner::Attach(HWND list) {
    list_ = list;
    colours_.gridLines = GetSysColor(COLOR_BTNFACE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

TextView SoftwareListOwner::CellText(size_t row, size_t column) const {
    if (row >= rows_.size() || column >= SoftwareEntry::kFieldCount) return TextView();
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
    entries_.clear();
    ShowEntries({});
}

void SoftwareListOwner::Append(SoftwareEntry entry) {
    entries_.push_back(std::move(entry));
    rows_.push_back({entries_.size() - 1, CLR_DEFAULT});
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
    rows_.clear();
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (size_t entry : entryIndexes) {
        if (entry < entries_.size()) rows_.push_back({entry, CLR_DEFAULT});
    }
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void SoftwareListOwner::FitColumns() {
    std::vector<int> fitted;
    for (size_t column = 0; column < kColumnCount; ++column) {
        if (kListColumns[column].fitted) fitted.push_back(int(column));
    }
    FitColumnsToAllRows(list_, fitted, rows_.size(), [this](size_t row, int column) {
        return ShownCellText(CellText(row, size_t(column)));
    });
}

void SoftwareListOwner::SetColours(const ListColours& colours) {
    colours_ = colours;
    if (list_ != nullptr) InvalidateRect(list_, nullptr, TRUE);
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
    SendMessageW(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
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
            return PaintSoftwareList(
                *reinterpret_cast<NMLVCUSTOMDRAW*>(request), colours_,
                [this] { return HeaderBottom(); },
                [this](size_t row) {
                    return row < rows_.size() ? rows_[row].background : CLR_DEFAULT;
                });
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
