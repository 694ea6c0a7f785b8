#include "app/list_column_fit_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "common/handles_win.h"
#include "common/wide_win.h"

namespace {

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

// A hidden plain report list beside list, of the same window and list styles, font and columns
// (format and width), without rows.
UniqueWindow PlainTwin(HWND list) {
    const DWORD style = DWORD(GetWindowLongPtrW(list, GWL_STYLE)) & ~(WS_VISIBLE | LVS_OWNERDATA);
    const DWORD exStyle = DWORD(GetWindowLongPtrW(list, GWL_EXSTYLE));
    RECT rect = {};
    GetWindowRect(list, &rect);
    UniqueWindow twin(CreateWindowExW(
        exStyle, WC_LISTVIEWW, L"", style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
        GetParent(list), nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr));
    if (!twin) return twin;
    SendMessageW(twin.get(), WM_SETFONT, WPARAM(SendMessageW(list, WM_GETFONT, 0, 0)), FALSE);
    SendMessageW(twin.get(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header != nullptr ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < columns; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH;
        if (!SendMessageW(list, LVM_GETCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column)))
            column.cx = 100;
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = i;
        SendMessageW(twin.get(), LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column));
    }
    return twin;
}

}  // namespace

void FitColumnsToAllRows(HWND list, const std::vector<int>& columns, size_t rowCount,
                         const CellTextSource& cell) {
    if (list == nullptr || columns.empty()) return;
    std::vector<std::vector<Candidate>> widest;
    {
        const ScopedWindowDc dc(list);
        if (dc.get() == nullptr) return;
        // Declared after the context: the old font goes back before the context is released.
        const ScopedSelection font(dc.get(),
                                   reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
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
        SendMessageW(twin.get(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (size_t i = 0; i < columns.size(); ++i) {
            if (row >= widest[i].size()) continue;
            std::wstring text = ToWide(widest[i][row].text);
            LVITEMW cellText = {};
            cellText.iSubItem = columns[i];
            cellText.pszText = text.data();
            SendMessageW(twin.get(), LVM_SETITEMTEXTW, WPARAM(row),
                         reinterpret_cast<LPARAM>(&cellText));
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
