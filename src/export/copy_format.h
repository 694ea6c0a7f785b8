// The platform-free half of copying from the list: the texts a cell, a row or every shown row
// put on the clipboard, in the form spreadsheets paste (tab-separated, CR LF between lines), and
// the texts of the list's copy menu.
#pragma once

#include <cstddef>
#include <span>

#include "common/list_rows.h"
#include "common/text.h"

inline constexpr TextView kCopyCellItemPrefix = u"Copy ";  // followed by the column's title
inline constexpr TextView kCopyRowItem = u"Copy Row";
inline constexpr TextView kCopyAllRowsItem = u"Copy All Shown Rows";
inline constexpr TextView kUnableToCopyText = u"Unable to copy to the clipboard";

// A field of a copied row: as it stands, or in double quotes with each double quote doubled
// when it holds a tab, a CR, an LF or a double quote, which is how spreadsheets read pasted text
// (a line feed inside a value then does not end the row).
[[nodiscard]] Text CopiedField(TextView field);

// Row row of rows: the texts of columns 0 to columns - 1, each a CopiedField, joined by one tab,
// without a line end.
[[nodiscard]] Text CopiedRow(const ListRows& rows, size_t row, size_t columns);

// The titles joined by tabs (each a CopiedField), then every row of rows in shown order as
// CopiedRow of titles.size() columns; every line, the last included, ends with CR LF.
[[nodiscard]] Text CopiedRows(const ListRows& rows, std::span<const TextView> titles);
