// The software list: the one owner of the entries (SoftwareList, in scan order) and of the order
// the owner-data report list shows them in (the search filter's and the sort's). The list holds
// no texts of its own; each row names an entry, whose six fields are its six cells (a line feed
// inside a field stays in its cell), and carries its own background colour. Everything that reads
// the rows (painting, the column fit, type-to-find, the column sort, saving) reads them here:
// Windows' list view hands out no cell text of an owner-data list.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <functional>
#include <optional>
#include <vector>

#include "app/colour_rules.h"
#include "common/list_rows.h"
#include "inventory/software.h"

class SoftwareListOwner final : public ListRows {
  public:
    SoftwareListOwner() = default;
    SoftwareListOwner(const SoftwareListOwner&) = delete;
    SoftwareListOwner& operator=(const SoftwareListOwner&) = delete;

    // Takes charge of list, an owner-data report list with its columns, and gives it the
    // program's extended styles (whole rows selected, double buffered).
    void Attach(HWND list);
    HWND Handle() const { return list_; }

    size_t RowCount() const override { return rows_.size(); }
    [[nodiscard]] TextView CellText(size_t row, size_t column) const override;
    // Also gives the list every row held, so that a reorder during a scan covers the rows found
    // so far; the selection and focus, which the list keeps by position, move with their rows.
    [[nodiscard]] bool Reorder(const std::vector<size_t>& order) override;

    // The entries in scan order, whatever the rows show.
    [[nodiscard]] const SoftwareList& Entries() const { return entries_; }
    // No entries and no rows: a new request, Clear List.
    void Clear();
    // Appends an entry, as the scan finds it, and a row showing it. The list learns of the rows
    // appended so far at the next ShowAppended.
    void Append(SoftwareEntry entry);
    // Gives the list its rows appended since the last call, painting only what they change; the
    // scroll position stays.
    void ShowAppended();
    // True when the rows the list knows fill its page, so that new rows only lengthen the
    // scroll bar.
    [[nodiscard]] bool FillsPage() const;
    // Gives the list the rows appended since the last ShowAppended and fits its columns, with
    // one repaint for both: under Wine a shown list repaints for every new row count (about
    // 40 ms at 2,000 rows) and every column width (about 11 ms each), measured.
    void ShowAllFitted();
    // Replaces every row at once: one row per entry index, in this order, default backgrounds.
    // An index past the entries names no row.
    void ShowEntries(const std::vector<size_t>& entryIndexes);
    // Fits the columns kListColumns marks fitted to the widest text each shows over every row
    // (not only the rows in view, which is all a virtual list measures on Windows); the others
    // keep their widths.
    void FitColumns();

    // The colours of the hover highlight and the grid lines, from the system's; repaints.
    void SetColours(const ListColours& colours);

    // CLR_DEFAULT restores the list's own background (kHoverColour: the hover highlight); row -1
    // means every row; a row outside the list changes nothing. Repaints the whole list when a
    // colour changed.
    void SetBackground(int row, COLORREF colour);
    // The rows whose background is colour, in row order.
    [[nodiscard]] std::vector<int> RowsWithBackground(COLORREF colour) const;

    // The row under a screen point, with its column in column; -1 over the header, below the
    // last row or beside the list's rows.
    [[nodiscard]] int RowAt(POINT screen, int* column = nullptr) const;
    // The selected row, or -1.
    [[nodiscard]] int SelectedRow() const;
    // Selects row and gives it the focus and the selection mark, as a click on it does.
    void SelectRow(int row);
    // Where a menu opened from the keyboard for row appears: below the start of the row, kept
    // inside the rows' area, or at its top left without a row; in screen coordinates.
    [[nodiscard]] POINT MenuPoint(int row) const;

    // The answer to a notification from the list (texts, colours, find), or none for those it
    // leaves to the window.
    [[nodiscard]] std::optional<LRESULT> OnNotify(const NMHDR& header);

  private:
    // Sets the list's row count to the rows held; false when it already had them.
    bool TellListOfRows(DWORD flags);
    [[nodiscard]] int KnownRowCount() const;
    // Where the rows begin: the bottom of the header, in client coordinates (0 without one).
    [[nodiscard]] int HeaderBottom() const;
    void OnGetDisplayInfo(NMLVDISPINFOW& info) const;

    struct ShownRow {
        size_t entry;         // index into entries_
        COLORREF background;  // CLR_DEFAULT for the list's own
    };
    SoftwareList entries_;
    std::vector<ShownRow> rows_;                          // each names an entry of entries_
    ListColours colours_{kHoverColour, std::nullopt, 0};  // the grid's from the system at Attach
    HWND list_ = nullptr;
};

// The answer to a list's LVN_ODFINDITEMW, as a plain list finds an item: by text (LVFI_STRING
// for the whole text, LVFI_PARTIAL or LVFI_SUBSTRING for its beginning; either of those alone
// also means by text, which is how Wine's list asks while the operator types, and LVFI_WRAP alone
// is a search for the whole text), compared after fold, against firstColumn(row), from
// request.iStart on and, with LVFI_WRAP, on from row 0. The row, or -1 when none matches or the
// request is not by text (item data, position).
[[nodiscard]] int AnswerFindItem(const NMLVFINDITEMW& request, size_t rowCount,
                                 const std::function<TextView(size_t row)>& firstColumn,
                                 CodeUnitMap fold);
