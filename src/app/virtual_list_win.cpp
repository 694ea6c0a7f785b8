#include "app/virtual_list_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/wide_win.h"
#include "inventory/search.h"

#ifndef LVFI_SUBSTRING
#define LVFI_SUBSTRING 0x0004  // Windows Vista's name for a prefix search, beside LVFI_PARTIAL
#endif

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

// The device context of a window with the window's font selected, released at the end.
class WindowFontDc {
  public:
    explicit WindowFontDc(HWND window) : window_(window), dc_(GetDC(window)) {
        HFONT font = HFONT(SendMessageW(window, WM_GETFONT, 0, 0));
        if (dc_ != nullptr && font != nullptr) previous_ = SelectObject(dc_, font);
    }
    ~WindowFontDc() {
        if (dc_ == nullptr) return;
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        ReleaseDC(window_, dc_);
    }
    WindowFontDc(const WindowFontDc&) = delete;
    WindowFontDc& operator=(const WindowFontDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
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

}  // namespace

void FitColumnsToAllRows(HWND list, int first, int last, size_t rowCount,
                         const CellTextSource& cell) {
    if (list == nullptr || first > last) return;
    std::vector<std::vector<Candidate>> widest;
    {
        WindowFontDc dc(list);
        if (dc.get() == nullptr) return;
        for (int column = first; column <= last; ++column) {
            widest.push_back(WidestTexts(dc.get(), rowCount, column, cell));
        }
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
        for (int column = first; column <= last; ++column) {
            const auto& texts = widest[size_t(column - first)];
            if (row >= texts.size()) continue;
            std::wstring text = ToWide(texts[row].text);
            LVITEMW cellText = {};
            cellText.iSubItem = column;
            cellText.pszText = text.data();
            SendMessageW(twin.get(), LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&cellText));
        }
    }
    std::vector<int> widths;
    for (int column = first; column <= last; ++column) {
        SendMessageW(twin.get(), LVM_SETCOLUMNWIDTH, WPARAM(column), LVSCW_AUTOSIZE);
        widths.push_back(int(SendMessageW(twin.get(), LVM_GETCOLUMNWIDTH, WPARAM(column), 0)));
    }
    twin.reset();
    for (int column = first; column <= last; ++column) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, WPARAM(column), widths[size_t(column - first)]);
    }
}

int AnswerFindItem(const NMLVFINDITEMW& request, size_t rowCount,
                   const std::function<TextView(size_t row)>& firstColumn, CodeUnitMap fold) {
    const LVFINDINFOW& find = request.lvfi;
    const bool prefix = (find.flags & (LVFI_PARTIAL | LVFI_SUBSTRING)) != 0;
    if (!(prefix || (find.flags & LVFI_STRING)) || find.psz == nullptr) return -1;
    const TextView text(reinterpret_cast<const char16_t*>(find.psz), wcslen(find.psz));
    return FindRowByText(rowCount, firstColumn, text, prefix, request.iStart,
                         (find.flags & LVFI_WRAP) != 0, fold);
}
