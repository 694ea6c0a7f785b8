// The rows of the software list as every reader sees them: the list itself, the column sort,
// saving, type-to-find and the column fit all read the same texts from the program's own rows,
// never back through the control. Platform-free.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "common/text.h"

// A cell of the list shows at most this many code units of its text: Wine's list view draws and
// measures through 260-unit buffers (259 and the terminator), and the fit measures as it shows.
inline constexpr size_t kShownCellUnits = 259;

// The sort compares at most this many code units of a cell (kept on purpose: docs/behaviour.md).
inline constexpr size_t kSortedCellUnits = 254;

// The part of a text that its cell shows: up to the first NUL, at most kShownCellUnits.
[[nodiscard]] TextView ShownCellText(TextView text);

// The part of a text that the sort compares: at most kSortedCellUnits.
[[nodiscard]] TextView SortedCellText(TextView text);

// The rows a list shows, in shown order.
class ListRows {
  public:
    // Every row the owner holds, also those it has not told the list of yet.
    [[nodiscard]] virtual size_t RowCount() const = 0;
    // The whole text of row's column, exactly as read; the empty text outside the rows or columns.
    // Valid until the rows change.
    [[nodiscard]] virtual TextView CellText(size_t row, size_t column) const = 0;
    // Moves the row now at order[k] to position k, with its background, selection and focus.
    // False, and nothing changes, unless order names every row exactly once.
    [[nodiscard]] virtual bool Reorder(const std::vector<size_t>& order) = 0;

  protected:
    ~ListRows() = default;
};

// True when order names each of 0 .. rowCount - 1 exactly once.
[[nodiscard]] bool IsRowOrder(const std::vector<size_t>& order, size_t rowCount);

// position[r]: where row r goes under order (IsRowOrder holds).
[[nodiscard]] std::vector<size_t> PositionsAfter(const std::vector<size_t>& order);

// The row a list finds for a typed text: the first row, from start on, whose text (rowText)
// equals find, or begins with it when prefix is set, comparing code unit by code unit after
// fold; with wrap the search then goes on from row 0 up to start. A start below 0 begins at
// row 0, one at or past rowCount finds nothing unless wrap is set. -1 when no row matches.
[[nodiscard]] int FindRowByText(size_t rowCount, const std::function<TextView(size_t row)>& rowText,
                                TextView find, bool prefix, int start, bool wrap, CodeUnitMap fold);
