// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "list_view.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "process.h"
#include "screen.h"

namespace e2e {
namespace {

// One list cell is read into a remote buffer of this many code units at first; a longer text
// grows the buffer up to kMaxCellUnits.
constexpr size_t kCellUnits = 4096;
constexpr size_t kMaxCellUnits = size_t{1} << 20;

// The part of rect (client coordinates of window) inside clip (the same), on the screen and cut
// to outer (screen coordinates); false when nothing of it is left.
bool VisiblePart(HWND window, const RECT& rect, const RECT& clip, const RECT& outer, RECT& part) {
    if (!IntersectRect(&part, &rect, &clip)) return false;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&part), 2);
    return IntersectRect(&part, &part, &outer);
}

}  // namespace

std::optional<HWND> ListHeader(HWND list) {
    auto header = Ask(list, LVM_GETHEADER, 0, 0);
    if (!header || *header == 0) return std::nullopt;
    return HWND(*header);
}

Outcome HeaderItem(const Session& s, int column, HWND& list, HWND& header, RECT& item) {
    if (Outcome o = s.List(list); !o.ok) return o;
    auto found = ListHeader(list);
    if (!found) return Fail(L"the list has no header");
    header = *found;
    auto rect = AskRemote(s.target.process, header, HDM_GETITEMRECT, WPARAM(column), RECT{});
    if (!rect) return Fail(L"the header has no item " + std::to_wstring(column));
    item = *rect;
    return Pass();
}

Outcome VisibleHeaderItem(const Session& s, int column, HWND& header, RECT& visible) {
    HWND list = nullptr;
    RECT item{};
    if (Outcome o = HeaderItem(s, column, list, header, item); !o.ok) return o;
    RECT headerClient{}, listRect{};
    GetClientRect(header, &headerClient);
    GetWindowRect(list, &listRect);
    if (VisiblePart(header, item, headerClient, listRect, visible)) return Pass();
    return Fail(L"header item " + std::to_wstring(column) + L" at " + RectText(item) +
                L" is scrolled out of view");
}

Outcome VisibleRow(const Session& s, long long row, HWND& list, RECT& visible) {
    if (Outcome o = s.List(list); !o.ok) return o;
    auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
    if (!count) return Fail(L"the list did not answer");
    const std::wstring name = L"row " + std::to_wstring(row);
    if (row < 0 || row >= *count) {
        return Fail(L"the list has " + std::to_wstring(*count) + L" rows, no " + name);
    }
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    auto item = AskRemote(s.target.process, list, LVM_GETITEMRECT, WPARAM(row), bounds);
    if (!item) return Fail(L"the list gave no rectangle for " + name);
    RECT client{};
    GetClientRect(list, &client);
    if (auto header = ListHeader(list); header && IsWindowVisible(*header)) {
        RECT headerRect{};
        GetWindowRect(*header, &headerRect);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&headerRect), 2);
        client.top = std::max(client.top, headerRect.bottom);
    }
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (VisiblePart(list, *item, client, screen, visible)) return Pass();
    return Fail(name + L" at " + RectText(*item) + L" lies outside the visible rows " +
                RectText(client) + L" or off the screen");
}

Outcome ReadRows(const Session& s, Rows& rows, int onlyColumn) {
    HWND list = nullptr;
    if (Outcome o = s.List(list); !o.ok) return o;
    std::optional<LRESULT> columns;
    if (auto header = ListHeader(list)) columns = Ask(*header, HDM_GETITEMCOUNT, 0, 0);
    auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
    if (!columns || !count) return Fail(L"the list did not answer");
    // The LVITEMW first, then the text buffer it points to.
    constexpr size_t kTextOffset = (sizeof(LVITEMW) + 15) & ~size_t(15);
    size_t units = kCellUnits;
    auto memory =
        std::make_unique<RemoteMemory>(s.target.process, kTextOffset + units * sizeof(wchar_t));
    rows.clear();
    for (int row = 0; row < *count; ++row) {
        rows.emplace_back();
        for (int column = 0; column < *columns; ++column) {
            if (onlyColumn >= 0 && column != onlyColumn) continue;
            std::optional<LRESULT> length;
            for (;;) {
                if (!memory->Valid())
                    return FailWithError(L"could not allocate memory in the program");
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iSubItem = column;
                item.pszText = reinterpret_cast<LPWSTR>(memory->At(kTextOffset));
                item.cchTextMax = int(units);
                wchar_t none = L'\0';
                if (!memory->Write(0, &item, sizeof item) ||
                    !memory->Write(kTextOffset, &none, sizeof none)) {
                    return Fail(L"could not write into the program's memory");
                }
                length = Ask(list, LVM_GETITEMTEXTW, WPARAM(row), memory->At(0));
                if (!length) return Fail(L"the list did not answer LVM_GETITEMTEXTW");
                // A text that fills the buffer may have been cut: read it again with more room.
                if (size_t(*length) + 1 < units || units >= kMaxCellUnits) break;
                units *= 4;
                memory = std::make_unique<RemoteMemory>(s.target.process,
                                                        kTextOffset + units * sizeof(wchar_t));
            }
            std::wstring text(std::min(size_t(*length), units), L'\0');
            if (!text.empty() &&
                !memory->Read(kTextOffset, text.data(), text.size() * sizeof(wchar_t))) {
                return Fail(L"could not read the program's memory");
            }
            rows.back().push_back(std::move(text));
        }
    }
    return Pass();
}

namespace {

// The only selected row of the list, -1 for none; nullopt when the list did not answer or more
// than one row is selected.
std::optional<int> SelectedRow(HWND list) {
    auto selected = Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    auto count = Ask(list, LVM_GETSELECTEDCOUNT, 0, 0);
    if (!selected || !count || *count > 1) return std::nullopt;
    return int(*selected);
}

// Where two lists of rows first differ, in words; empty when they are equal.
std::wstring FirstDifference(const Rows& expected, const Rows& actual) {
    size_t common = std::min(expected.size(), actual.size());
    for (size_t row = 0; row < common; ++row) {
        const auto& want = expected[row];
        const auto& got = actual[row];
        for (size_t column = 0; column < std::max(want.size(), got.size()); ++column) {
            std::wstring wantText = column < want.size() ? Quoted(want[column]) : L"no field";
            std::wstring gotText = column < got.size() ? Quoted(got[column]) : L"no field";
            if (column >= want.size() || column >= got.size() || want[column] != got[column]) {
                return L"row " + std::to_wstring(row) + L" column " + std::to_wstring(column) +
                       L": expected " + wantText + L", found " + gotText;
            }
        }
    }
    if (expected.size() != actual.size()) {
        bool extra = actual.size() > common;
        std::wstring text = L"expected " + std::to_wstring(expected.size()) + L" rows, found " +
                            std::to_wstring(actual.size()) + L"; row " + std::to_wstring(common) +
                            (extra ? L" is extra:" : L" is missing:");
        for (const auto& field : extra ? actual[common] : expected[common]) {
            text += L" " + Quoted(field);
        }
        return text;
    }
    return {};
}

Outcome ExpectRowCount(Session& s, const Command& c) {
    Count expected;
    if (Outcome o = CountArg(c.rest, L"a row count", expected); !o.ok) return o;
    HWND list = nullptr;
    if (Outcome o = s.List(list); !o.ok) return o;
    return Poll(c.timeout, [&] {
        auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
        if (!count) return Fail(L"the list did not answer");
        if (!expected.HeldBy(*count)) {
            return Fail(L"expected " + expected.Text() + L" rows, found " +
                        std::to_wstring(*count));
        }
        return Pass();
    });
}

Outcome ExpectSelected(Session& s, const Command& c) {
    const long long expected = c.numbers[0];
    HWND list = nullptr;
    if (Outcome o = s.List(list); !o.ok) return o;
    return PollFor(c.timeout, L"row " + std::to_wstring(expected) + L" selected",
                   L"the list did not answer, or more than one row is selected",
                   [&]() -> std::optional<std::wstring> {
                       auto row = SelectedRow(list);
                       if (!row) return std::nullopt;
                       return L"row " + std::to_wstring(*row) + L" selected";
                   });
}

// The texts of a column, one per row.
Outcome ReadColumn(const Session& s, long long column, std::vector<std::wstring>& texts) {
    Rows rows;
    if (Outcome o = ReadRows(s, rows, int(column)); !o.ok) return o;
    texts.clear();
    for (auto& row : rows) {
        if (row.empty()) return Fail(L"the list has no column " + std::to_wstring(column));
        texts.push_back(std::move(row[0]));
    }
    return Pass();
}

Outcome KeepColumn(Session& s, const Command& c) {
    HWND list = nullptr;
    if (Outcome o = s.List(list); !o.ok) return o;
    std::vector<std::wstring> texts;
    if (Outcome o = ReadColumn(s, c.numbers[0], texts); !o.ok) return o;
    auto selected = SelectedRow(list);
    auto top = Ask(list, LVM_GETTOPINDEX, 0, 0);
    auto perPage = Ask(list, LVM_GETCOUNTPERPAGE, 0, 0);
    if (!selected || !top || !perPage) return Fail(L"the list did not answer");
    s.kept = std::move(texts);
    s.keptSelected = *selected;
    s.keptSelectedInView = *selected >= *top && *selected <= *top + *perPage;
    return Pass();
}

Outcome ExpectKeptSorted(Session& s, const Command& c) {
    const long long selectedRow = c.numbers[1];
    std::vector<std::wstring> now;
    if (Outcome o = ReadColumn(s, c.numbers[0], now); !o.ok) return o;
    const std::vector<std::wstring>& kept = s.kept;
    if (now.size() != kept.size()) {
        return Fail(L"kept " + std::to_wstring(kept.size()) + L" rows, the list has " +
                    std::to_wstring(now.size()));
    }
    // k: where the rows that kept their place begin.
    size_t k = now.size();
    while (k > 0 && kept[k - 1] == now[k - 1]) --k;
    auto noCase = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
               CSTR_LESS_THAN;
    };
    std::vector<std::wstring> sortedHead(now.begin(), now.begin() + std::ptrdiff_t(k));
    std::stable_sort(sortedHead.begin(), sortedHead.end(), noCase);
    if (!std::equal(sortedHead.begin(), sortedHead.end(), kept.begin())) {
        return Fail(L"the first " + std::to_wstring(k) +
                    L" kept rows are not the list's first rows sorted by column " +
                    std::to_wstring(c.numbers[0]));
    }
    if (k == 0 || k == now.size()) {
        return Fail(L"expected sorted rows followed by unsorted ones, found k = " +
                    std::to_wstring(k));
    }
    if (selectedRow < 0 || size_t(selectedRow) >= now.size() || s.keptSelected < 0 ||
        kept[size_t(s.keptSelected)] != now[size_t(selectedRow)] || !s.keptSelectedInView) {
        return Fail(L"the selected row (" + std::to_wstring(s.keptSelected) +
                    L") is not the program of row " + std::to_wstring(selectedRow) +
                    L", or it was not in view");
    }
    Print(L"  " + std::to_wstring(k) + L" rows sorted, " + std::to_wstring(now.size() - k) +
          L" after them in scan order\n");
    return Pass();
}

Outcome ExpectRows(Session& s, const Command& c) {
    std::wstring path = s.ScenarioPath(c.rest);
    auto text = ReadTextFile(path);
    if (!text) return FailWithError(L"could not read " + path);
    std::wstring why;
    auto expected = ParseRowsFile(*text, why);
    if (!expected) return Fail(path + L": " + why);
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    return Poll(c.timeout, [&] {
        Rows actual;
        if (Outcome o = ReadRows(s, actual); !o.ok) return o;
        std::wstring difference = FirstDifference(*expected, actual);
        if (!difference.empty()) return Fail(difference);
        return Pass();
    });
}

Outcome DumpRows(Session& s, const Command& c) {
    Rows rows;
    if (Outcome o = ReadRows(s, rows); !o.ok) return o;
    std::string utf8 = ToUtf8(RowsFileText(rows));
    std::wstring path = FullPath(c.rest);
    if (Outcome o = WriteWholeFile(path, utf8.data(), utf8.size()); !o.ok) return o;
    Print(L"  " + std::to_wstring(rows.size()) + L" rows written to " + path + L"\n");
    return Pass();
}

Outcome ExpectRowBackground(Session& s, const Command& c) {
    const long long row = c.numbers[0];
    const auto words = Words(c.rest);
    if (words.size() != 1) return Fail(L"expected ROW RRGGBB or ROW contrast>=R");
    const std::wstring& colour = words[0];
    const bool contrast = colour.starts_with(L"contrast>=");
    const double least = contrast ? _wtof(colour.substr(10).c_str()) : 0;
    const auto rgb = ParseNumber(L"0x" + colour);
    if (!contrast && (colour.size() != 6 || !rgb || *rgb < 0)) {
        return Fail(L"expected the colour as six hex digits RRGGBB, or contrast>=R");
    }
    const uint32_t expected = contrast ? 0 : uint32_t(*rgb);
    if (Outcome o = s.NeedTarget(); !o.ok) return o;
    return Poll(c.timeout, [&] {
        HWND list = nullptr, header = nullptr;
        RECT rect{}, first{};
        if (Outcome o = VisibleRow(s, row, list, rect); !o.ok) return o;
        if (contrast) {
            // The first cell, inside the grid lines at its edges.
            if (!HeaderItem(s, 0, list, header, first).ok) return Fail(L"no header item 0");
            rect.right = std::min(rect.right, rect.left + first.right - first.left - 3);
            rect.left += 3;
            rect.top += 2;
            rect.bottom -= 2;
        }
        std::vector<uint32_t> pixels = CaptureScreen(rect);
        if (pixels.empty()) return FailWithError(L"could not copy the screen");
        std::unordered_map<uint32_t, size_t> counts;
        uint32_t most = 0;
        size_t mostCount = 0;
        for (uint32_t pixel : pixels) {
            size_t n = ++counts[pixel];
            if (n > mostCount) {
                most = pixel;
                mostCount = n;
            }
        }
        if (contrast) {
            double best = 1;
            for (const auto& [pixel, n] : counts) best = std::max(best, ContrastRatio(pixel, most));
            if (best >= least) return Pass();
            return Fail(L"row " + std::to_wstring(row) + L": the text's contrast with its " +
                        ColourText(most) + L" background is at most " + std::to_wstring(best));
        }
        if (most != expected) {
            return Fail(L"row " + std::to_wstring(row) + L" at screen " + RectText(rect) +
                        L" is mostly " + ColourText(most) + L" (" +
                        std::to_wstring(mostCount * 100 / pixels.size()) +
                        L"% of its pixels), expected " + ColourText(expected));
        }
        return Pass();
    });
}

Outcome ExpectHeaderArrow(Session& s, const Command& c) {
    const long long column = c.numbers[0];
    HWND list = nullptr;
    if (Outcome o = s.List(list); !o.ok) return o;
    return PollFor(
        c.timeout, L"arrow " + c.words[0], L"the header gave no item " + std::to_wstring(column),
        [&]() -> std::optional<std::wstring> {
            auto header = ListHeader(list);
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            auto got =
                header ? AskRemote(s.target.process, *header, HDM_GETITEMW, WPARAM(column), item)
                       : std::nullopt;
            if (!got) return std::nullopt;
            bool up = (got->fmt & HDF_SORTUP) != 0;
            bool down = (got->fmt & HDF_SORTDOWN) != 0;
            return up && down ? L"arrows up and down"
                   : up       ? L"arrow up"
                   : down     ? L"arrow down"
                              : L"arrow none";
        });
}

}  // namespace

std::span<const CommandKind> ListCommands() {
    static const CommandKind kCommands[] = {
        {L"expect-row-count", L"[>=]N [t]", ExpectRowCount},
        {L"expect-selected", L"ROW [t]", ExpectSelected},
        {L"keep-column", L"COL", KeepColumn},
        {L"expect-kept-sorted", L"COL ROW", ExpectKeptSorted},
        {L"expect-rows", L"FILE [t]", ExpectRows},
        {L"dump-rows", L"FILE", DumpRows},
        {L"expect-row-background", L"ROW RRGGBB [t]", ExpectRowBackground},
        {L"expect-header-arrow", L"COL none|up|down [t]", ExpectHeaderArrow},
    };
    return kCommands;
}

}  // namespace e2e
