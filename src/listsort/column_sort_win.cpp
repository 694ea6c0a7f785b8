#include "listsort/column_sort_win.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "common/case_win.h"
#include "common/system_library_win.h"
#include "common/wide_win.h"
#include "listsort/date_masks.h"

// CompareRows on two texts already read: identical texts give 0, others the kind's comparison.
int CompareSortTexts(const Text& a, const Text& b, const SortRequest& request);

namespace {

// The lists that react to header clicks, keyed by control number; the value is the sortable
// flag. The notification hook gets no context of its own (its reference data is 0), so the
// table is one object that lives as long as the process, reached through SortableLists::Table().
class SortableLists {
  public:
    static SortableLists& Table() {
        static SortableLists table;
        return table;
    }

    void Register(int listNumber) { flags_[listNumber] = 1; }

    bool IsSortable(int listNumber) const {
        auto entry = flags_.find(listNumber);
        return entry != flags_.end() && entry->second == 1;
    }

    void SetOwner(int listNumber, OwnerDataRows owner) { owners_[listNumber] = std::move(owner); }

    // The owner of an owner-data list, or null when it has none (or none that moves rows).
    const OwnerDataRows* Owner(int listNumber) const {
        auto entry = owners_.find(listNumber);
        return entry != owners_.end() && entry->second.reorder ? &entry->second : nullptr;
    }

  private:
    std::map<int, int> flags_;
    std::map<int, OwnerDataRows> owners_;
};

using SetWindowSubclassFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using DefSubclassProcFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

// A function of the common controls library the process has already loaded, looked up by name
// (the program does not import the subclass functions); null when the library is not loaded or
// lacks the name.
template <typename Function>
Function CommonControlsFunction(const char* name) {
    return LibraryFunction<Function>(GetModuleHandleW(L"Comctl32.dll"), name);
}

constexpr UINT_PTR kHookId = 0;
constexpr int kSortBufferUnits = 256;
constexpr int kSortBufferAnnounced = 255;

// The whole text of a cell, however long; the empty text for a cell that cannot be read.
Text ReadWholeCell(HWND list, int row, int column) {
    // The list view copies at most the announced size; grow until the text fits.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = int(buffer.size());
        int copied = int(SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item)));
        if (copied < int(buffer.size()) - 1 || buffer.size() > size_t(INT_MAX / 4)) {
            return FromWide(buffer.data(), size_t(copied > 0 ? copied : 0));
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

// The texts of the three rows whose cells decide a column's date mask: the first, the last and
// the middle one (item count / 2), each whole. In an empty list all three are empty; in
// a list of one row they are that row's.
struct ProbeTexts {
    Text first, last, middle;
};

ProbeTexts ReadProbeTexts(HWND list, int column) {
    int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return {};
    return {ReadWholeCell(list, 0, column), ReadWholeCell(list, count - 1, column),
            ReadWholeCell(list, count / 2, column)};
}

// The kind of the column: the common kind of the first, last and middle rows, or Text when they
// differ. The middle row is read only when the first two agree.
ColumnKind DetectColumnKind(HWND list, int column) {
    int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    auto kindOfRow = [&](int row) {
        return DetectCellKind(count > 0 ? ReadWholeCell(list, row, column) : Text());
    };
    ColumnKind first = kindOfRow(0);
    if (kindOfRow(count - 1) != first) return ColumnKind::Text;
    if (kindOfRow(count / 2) != first) return ColumnKind::Text;
    return first;
}

HWND ListHeader(HWND list) {
    return HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
}

// Orders order[begin, end) as a merge sort: a row of the right half goes before a row of the
// left half only when CompareRows puts the left one after it (1), so rows that compare as 0 keep
// their order. The list is not changed meanwhile, so CompareRows reads every row where it stood
// when the sort began; whatever the comparisons answer, the result is an order of all rows.
void MergeRows(const SortRequest& request, const std::vector<Text>& texts, std::vector<int>& order,
               std::vector<int>& scratch, size_t begin, size_t end) {
    if (end - begin < 2) return;
    size_t middle = begin + (end - begin) / 2;
    MergeRows(request, texts, order, scratch, begin, middle);
    MergeRows(request, texts, order, scratch, middle, end);
    size_t left = begin, right = middle, out = begin;
    while (left < middle && right < end) {
        if (CompareSortTexts(texts[size_t(order[left])], texts[size_t(order[right])], request) >
            0) {
            scratch[out++] = order[right++];
        } else {
            scratch[out++] = order[left++];
        }
    }
    while (left < middle) scratch[out++] = order[left++];
    while (right < end) scratch[out++] = order[right++];
    std::copy(scratch.begin() + std::ptrdiff_t(begin), scratch.begin() + std::ptrdiff_t(end),
              order.begin() + std::ptrdiff_t(begin));
}

// The item states that belong to a row and travel with it.
constexpr UINT kRowStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT | LVIS_DROPHILITED |
                            LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
// The item data that travels with a row: its lParam (the program's row colour), image, indent
// and states.
constexpr UINT kRowData = LVIF_PARAM | LVIF_IMAGE | LVIF_INDENT | LVIF_STATE;

struct RowContent {
    int source = 0;
    int target = 0;
    std::vector<std::wstring> cells;  // whole texts, every column
    LVITEMW item = {};                // kRowData as read; mask 0 when it could not be read
};

// Rearranges the rows so that row order[k] (as the rows stand now) ends up at position k, with
// all its cell texts in full and its item data unchanged. Rows already in place are not touched,
// and of a moving row only what differs from what its new position holds is written.
void MoveRows(HWND list, const std::vector<int>& order) {
    HWND header = ListHeader(list);
    int columns = header != nullptr ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    if (columns < 1) columns = 1;
    int mark = int(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    int markTarget = -1;

    // Every moving row is read before any is written: order names the rows as they stand now.
    // The positions the moving rows leave are exactly the positions they fill.
    std::vector<RowContent> moves;
    std::vector<int> moveFrom(order.size(), -1);  // position -> the move that reads it
    for (size_t target = 0; target < order.size(); ++target) {
        int source = order[target];
        if (source == mark) markTarget = int(target);
        if (source == int(target)) continue;
        RowContent row;
        row.source = source;
        row.target = int(target);
        for (int column = 0; column < columns; ++column) {
            row.cells.push_back(ToWide(ReadWholeCell(list, source, column)));
        }
        row.item.mask = kRowData;
        row.item.iItem = source;
        row.item.stateMask = kRowStates;
        if (!SendMessageW(list, LVM_GETITEMW, 0, LPARAM(&row.item))) row.item.mask = 0;
        moveFrom[size_t(source)] = int(moves.size());
        moves.push_back(std::move(row));
    }
    if (moves.empty()) return;

    // Nothing is repainted while the rows change; the whole list is repainted afterwards.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    // Texts and item data first, with the states cleared; the states afterwards, so that a
    // single-selection list never drops the selection of a row placed earlier.
    for (RowContent& row : moves) {
        const RowContent& current = moves[size_t(moveFrom[size_t(row.target)])];
        for (int column = 0; column < columns; ++column) {
            std::wstring& text = row.cells[size_t(column)];
            if (text == current.cells[size_t(column)]) continue;
            LVITEMW cell = {};
            cell.iSubItem = column;
            cell.pszText = text.data();
            SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row.target), LPARAM(&cell));
        }
        LVITEMW data = row.item;
        data.mask = 0;
        if (row.item.mask != 0 && current.item.mask != 0) {
            if (row.item.lParam != current.item.lParam) data.mask |= LVIF_PARAM;
            if (row.item.iImage != current.item.iImage) data.mask |= LVIF_IMAGE;
            if (row.item.iIndent != current.item.iIndent) data.mask |= LVIF_INDENT;
        }
        if ((current.item.state & kRowStates) != 0 || current.item.mask == 0) {
            data.mask |= LVIF_STATE;
        }
        if (data.mask == 0) continue;
        data.iItem = row.target;
        data.iSubItem = 0;
        data.state = 0;
        data.stateMask = kRowStates;
        SendMessageW(list, LVM_SETITEMW, 0, LPARAM(&data));
    }
    for (const RowContent& row : moves) {
        if ((row.item.state & kRowStates) == 0) continue;
        LVITEMW state = {};
        state.state = row.item.state & kRowStates;
        state.stateMask = kRowStates;
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row.target), LPARAM(&state));
    }
    if (markTarget >= 0) SendMessageW(list, LVM_SETSELECTIONMARK, 0, LPARAM(markTarget));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The rows of an owner-data list in the given state (LVNI_SELECTED, LVNI_FOCUSED).
std::vector<int> RowsInState(HWND list, UINT state) {
    std::vector<int> rows;
    for (int row = -1; (row = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(row), state))) >= 0;) {
        if (!rows.empty() && row <= rows.back()) break;  // a list that wraps around
        rows.push_back(row);
    }
    return rows;
}

// An owner-data list's rows are moved by its owner; the selection and focus, which the list
// keeps by position, are then moved to where their rows went.
void MoveOwnerDataRows(HWND list, const std::vector<int>& order) {
    const OwnerDataRows* owner = SortableLists::Table().Owner(GetDlgCtrlID(list));
    if (owner == nullptr) return;
    std::vector<int> selected = RowsInState(list, LVNI_SELECTED);
    std::vector<int> focused = RowsInState(list, LVNI_FOCUSED);
    int mark = int(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    owner->reorder(order);

    std::vector<int> position(order.size(), -1);
    for (size_t target = 0; target < order.size(); ++target) {
        int source = order[target];
        if (source >= 0 && size_t(source) < order.size()) position[size_t(source)] = int(target);
    }
    auto moved = [&](int row) {
        return row >= 0 && size_t(row) < position.size() ? position[size_t(row)] : -1;
    };
    auto setState = [&](int row, UINT state, UINT mask) {
        LVITEMW item = {};
        item.state = state;
        item.stateMask = mask;
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
    };
    setState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : selected) {
        if (int to = moved(row); to >= 0) setState(to, LVIS_SELECTED, LVIS_SELECTED);
    }
    for (int row : focused) {
        if (int to = moved(row); to >= 0) setState(to, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (int to = moved(mark); to >= 0) SendMessageW(list, LVM_SETSELECTIONMARK, 0, LPARAM(to));
    InvalidateRect(list, nullptr, TRUE);
}

// Sees every message of the window that receives the sortable lists' notifications: a column
// click is sorted before the window's own procedure gets the notification, and every message
// goes on to that procedure.
LRESULT CALLBACK ParentNotifyHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    if (message == WM_NOTIFY && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == UINT(LVN_COLUMNCLICK)) {
            const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
            OnColumnClick(window, GetDlgCtrlID(header->hwndFrom), click->iSubItem);
        }
    }
    // Looked up by name once: the library cannot go away while its subclass is installed, and
    // a lookup for every message of the window (every row a list adds notifies the window)
    // cost about 15 us each under Wine.
    static const auto defSubclassProc =
        CommonControlsFunction<DefSubclassProcFunction>("DefSubclassProc");
    if (defSubclassProc != nullptr) return defSubclassProc(window, message, wParam, lParam);
    // Unreachable while the hook is installed (it came from the same library); the window's
    // default handling is the least harmful answer.
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool EnableColumnSort(HWND parent, int listNumber) {
    HWND list = parent != nullptr ? GetDlgItem(parent, listNumber) : nullptr;
    if (list == nullptr) return false;
    HWND notified = GetParent(list);
    auto setWindowSubclass = CommonControlsFunction<SetWindowSubclassFunction>("SetWindowSubclass");
    if (notified == nullptr || setWindowSubclass == nullptr) return false;
    if (!setWindowSubclass(notified, ParentNotifyHook, kHookId, 0)) return false;
    SortableLists::Table().Register(listNumber);
    return true;
}

void SetOwnerDataRows(int listNumber, OwnerDataRows owner) {
    SortableLists::Table().SetOwner(listNumber, std::move(owner));
}

void OnColumnClick(HWND parent, int listNumber, int column) {
    if (!SortableLists::Table().IsSortable(listNumber)) return;
    HWND list = GetDlgItem(parent, listNumber);
    if (list == nullptr) return;
    if (const OwnerDataRows* owner = SortableLists::Table().Owner(listNumber)) {
        if (owner->showAll) owner->showAll();
    }

    // The arrow the column shows now decides: an up arrow turns into a descending sort, no arrow
    // or a down arrow into an ascending one; an unreadable header gives direction 0.
    int arrow = GetHeaderArrow(parent, listNumber, column);
    SortDirection direction = arrow == 1 ? Descending : arrow == -1 ? SortDirection(0) : Ascending;
    SortListByColumn(list, column, DetectColumnKind(list, column), direction);
    SetHeaderArrows(parent, listNumber, column, direction);

    int selected = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (selected >= 0) ShowSelectedRow(parent, listNumber, selected);
}

int GetHeaderArrow(HWND parent, int listNumber, int column) {
    HWND list = GetDlgItem(parent, listNumber);
    if (list == nullptr) return -1;
    HWND header = ListHeader(list);
    if (header == nullptr) return -1;
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, WPARAM(column), LPARAM(&item))) return -1;
    if (item.fmt & HDF_SORTUP) return 1;
    if (item.fmt & HDF_SORTDOWN) return 2;
    return 0;
}

bool SetHeaderArrows(HWND parent, int listNumber, int column, SortDirection direction) {
    HWND list = GetDlgItem(parent, listNumber);
    if (list == nullptr) return false;
    HWND header = ListHeader(list);
    int count = header != nullptr ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        // An item that cannot be read is left alone rather than overwritten with made-up flags.
        if (!SendMessageW(header, HDM_GETITEMW, WPARAM(i), LPARAM(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column && direction == Ascending) item.fmt |= HDF_SORTUP;
        if (i == column && direction == Descending) item.fmt |= HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, WPARAM(i), LPARAM(&item));
    }
    return true;
}

bool ShowSelectedRow(HWND parent, int listNumber, int row) {
    HWND list = GetDlgItem(parent, listNumber);
    if (list == nullptr) return false;
    SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(row), TRUE);
    return true;
}

void SortListByColumn(HWND list, int column, ColumnKind kind, SortDirection direction) {
    SortRequest request{list, column, kind, direction, Text()};
    if (kind == ColumnKind::Date) {
        ProbeTexts probes = ReadProbeTexts(list, column);
        request.dateMask = ChooseColumnDateMask(probes.first, probes.last, probes.middle);
        if (request.dateMask.empty()) request.kind = ColumnKind::Text;
    }
    int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (count < 2) return;
    std::vector<int> order(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) order[size_t(row)] = row;
    // Each row's sort text is read once: the list does not change while the order is decided,
    // so this is what CompareRows would read at every comparison (reading it again each time
    // made a 2,000-row sort several times slower).
    std::vector<Text> texts(order.size());
    for (int row = 0; row < count; ++row) texts[size_t(row)] = ReadCellForSort(request, row);
    std::vector<int> scratch(order.size());
    MergeRows(request, texts, order, scratch, 0, order.size());
    if (GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA) {
        MoveOwnerDataRows(list, order);
    } else {
        MoveRows(list, order);
    }
}

int CompareRows(int first, int second, const SortRequest& request) {
    return CompareSortTexts(ReadCellForSort(request, first), ReadCellForSort(request, second),
                            request);
}

int CompareSortTexts(const Text& a, const Text& b, const SortRequest& request) {
    if (a == b) return 0;
    switch (request.kind) {
        case ColumnKind::Text:
            return CompareText(a, b, request.direction, LocaleLower);
        case ColumnKind::WholeNumber:
            return CompareWholeNumbers(a, b, request.direction);
        case ColumnKind::DecimalNumber:
            return CompareDecimalNumbers(a, b, request.direction);
        case ColumnKind::Size:
            return CompareSizes(a, b, request.direction);
        case ColumnKind::Date:
            return CompareDates(a, b, request.direction, request.dateMask);
    }
    return 0;
}

Text ReadCellForSort(const SortRequest& request, int row) {
    wchar_t buffer[kSortBufferUnits] = {};
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iSubItem = int(request.column);
    item.pszText = buffer;
    item.cchTextMax = kSortBufferAnnounced;
    int copied = int(SendMessageW(request.list, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item)));
    if (copied <= 0) return Text();
    // The list view never reports more than fits, but the buffer bounds the text regardless.
    if (copied > kSortBufferAnnounced) copied = kSortBufferAnnounced;
    return FromWide(buffer, size_t(copied));
}
