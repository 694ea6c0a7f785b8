#include "listsort/column_sort_win.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "common/case_win.h"
#include "listsort/date_masks.h"

namespace {

// The lists that react to header clicks, keyed by control number: the list's window and the
// rows it shows. The notification hook gets no context of its own (its reference data is 0), so
// the table is one object that lives as long as the process, reached through
// SortableLists::Table().
class SortableLists {
  public:
    static SortableLists& Table() {
        static SortableLists table;
        return table;
    }

    void Register(int listNumber, HWND list, ListRows& rows) { lists_[listNumber] = {list, &rows}; }

    // The rows of the registered list, or null unless list is the window registered under
    // listNumber.
    ListRows* RowsOf(int listNumber, HWND list) const {
        auto entry = lists_.find(listNumber);
        return entry != lists_.end() && entry->second.list == list ? entry->second.rows : nullptr;
    }

  private:
    struct Sortable {
        HWND list;
        ListRows* rows;
    };
    std::map<int, Sortable> lists_;
};

constexpr UINT_PTR kHookId = 0;

// The texts of the three rows whose cells decide a column's kind and date mask: the first, the
// last and the middle one (row count / 2), each whole. In an empty list all three are empty; in
// a list of one row they are that row's.
struct ProbeTexts {
    TextView first, last, middle;
};

ProbeTexts ReadProbeTexts(const ListRows& rows, size_t column) {
    const size_t count = rows.RowCount();
    if (count == 0) return {};
    return {rows.CellText(0, column), rows.CellText(count - 1, column),
            rows.CellText(count / 2, column)};
}

HWND ListHeader(HWND list) {
    return HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
}

// One cell as the sort compares it: its sort text and the key its column's kind orders it by,
// worked out once per cell rather than at every comparison (a 10,000-row sort makes about
// 130,000 comparisons).
struct CellKey {
    TextView text;
    Text folded;         // Text
    int64_t number = 0;  // WholeNumber (TextToInteger), Size (SizeInBytes), Date (DateValue)
    float decimal = 0;   // DecimalNumber
};

CellKey KeyOf(TextView text, const SortRequest& request, const FoldTable& fold) {
    CellKey key{text};
    switch (request.kind) {
        case ColumnKind::Text:
            key.folded = FoldedText(text, fold);
            break;
        case ColumnKind::WholeNumber:
            key.number = TextToInteger(text);
            break;
        case ColumnKind::DecimalNumber:
            key.decimal = DecimalNumberKey(text);
            break;
        case ColumnKind::Size:
            key.number = SizeInBytes(text);
            break;
        case ColumnKind::Date:
            key.number = DateValue(request.dateMask, text);
            break;
    }
    return key;
}

// The comparison of the request's kind (CompareText, CompareWholeNumbers, CompareDecimalNumbers,
// CompareSizes, CompareDates) on the keys; 0 for identical texts.
int CompareCellKeys(const CellKey& a, const CellKey& b, const SortRequest& request) {
    if (a.text == b.text) return 0;
    switch (request.kind) {
        case ColumnKind::Text:
            return CompareFoldedTexts(a.folded, b.folded, request.direction);
        case ColumnKind::DecimalNumber:
            return CompareKeys(a.decimal, b.decimal, request.direction);
        case ColumnKind::WholeNumber:
        case ColumnKind::Size:
        case ColumnKind::Date:
            return CompareKeys(a.number, b.number, request.direction);
    }
    return 0;
}

// Orders order[begin, end) as a merge sort: a row of the right half goes before a row of the left
// half only when the comparison puts the left one after it (1), so rows that compare as 0 keep
// their order. Whatever the comparisons answer, the result is an order of all rows.
void MergeRows(const SortRequest& request, const std::vector<CellKey>& keys,
               std::vector<size_t>& order, std::vector<size_t>& scratch, size_t begin, size_t end) {
    if (end - begin < 2) return;
    size_t middle = begin + (end - begin) / 2;
    MergeRows(request, keys, order, scratch, begin, middle);
    MergeRows(request, keys, order, scratch, middle, end);
    size_t left = begin, right = middle, out = begin;
    while (left < middle && right < end) {
        if (CompareCellKeys(keys[order[left]], keys[order[right]], request) > 0) {
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
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

bool EnableColumnSort(HWND parent, int listNumber, ListRows& rows) {
    HWND list = parent != nullptr ? GetDlgItem(parent, listNumber) : nullptr;
    if (list == nullptr) return false;
    HWND notified = GetParent(list);
    if (notified == nullptr || !SetWindowSubclass(notified, ParentNotifyHook, kHookId, 0)) {
        return false;
    }
    SortableLists::Table().Register(listNumber, list, rows);
    return true;
}

void OnColumnClick(HWND parent, int listNumber, int column) {
    HWND list = GetDlgItem(parent, listNumber);
    ListRows* rows = list != nullptr ? SortableLists::Table().RowsOf(listNumber, list) : nullptr;
    if (rows == nullptr) return;

    // The arrow the column shows now decides: an up arrow turns into a descending sort, no arrow
    // or a down arrow into an ascending one; an unreadable header gives direction 0.
    int arrow = GetHeaderArrow(parent, listNumber, column);
    SortDirection direction = arrow == 1 ? Descending : arrow == -1 ? SortDirection(0) : Ascending;
    // A column the rows do not have reads as empty texts everywhere.
    const size_t cells = column >= 0 ? size_t(column) : SIZE_MAX;
    if (!SortRowsByColumn(*rows, cells, DetectColumnKind(*rows, cells), direction)) return;
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

ColumnKind DetectColumnKind(const ListRows& rows, size_t column) {
    const ProbeTexts probes = ReadProbeTexts(rows, column);
    const ColumnKind first = DetectCellKind(probes.first);
    if (DetectCellKind(probes.last) != first || DetectCellKind(probes.middle) != first) {
        return ColumnKind::Text;
    }
    return first;
}

bool SortRowsByColumn(ListRows& rows, size_t column, ColumnKind kind, SortDirection direction) {
    SortRequest request{column, kind, direction, Text()};
    if (kind == ColumnKind::Date) {
        const ProbeTexts probes = ReadProbeTexts(rows, column);
        request.dateMask = ChooseColumnDateMask(probes.first, probes.last, probes.middle);
        if (request.dateMask.empty()) request.kind = ColumnKind::Text;
    }
    const size_t count = rows.RowCount();
    std::vector<size_t> order(count);
    // Each row's key is worked out once; the rows do not change while the order is decided.
    std::vector<CellKey> keys;
    keys.reserve(count);
    const FoldTable fold(LocaleLower);
    for (size_t row = 0; row < count; ++row) {
        order[row] = row;
        keys.push_back(KeyOf(SortedCellText(rows.CellText(row, column)), request, fold));
    }
    std::vector<size_t> scratch(count);
    MergeRows(request, keys, order, scratch, 0, count);
    return rows.Reorder(order);
}

int CompareSortTexts(TextView a, TextView b, const SortRequest& request) {
    const FoldTable fold(LocaleLower);
    return CompareCellKeys(KeyOf(a, request, fold), KeyOf(b, request, fold), request);
}
