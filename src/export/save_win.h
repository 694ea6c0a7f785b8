// "Save List": the save dialog, the questions about an existing file or folder, and writing the
// shown rows to the chosen file in the ANSI code page.
#pragma once

#include <windows.h>

#include <functional>
#include <span>

#include "common/list_rows.h"
#include "common/text.h"
#include "export/save_format.h"

// Whether the session ended while a dialog or box was open.
using SessionEndedQuery = std::function<bool()>;

// Writes rows, in their order, with the fields that checks choose, to a file the operator chooses
// in the "Save Application List" dialog owned by owner, which first proposes proposedName. A save
// that cannot be done is reported in an "Error" box. Once sessionEnded says so after the dialog
// or a box returned, the save stops there: it writes nothing and opens nothing more.
void SaveListToFile(HWND owner, const ListRows& rows, const SaveChecks& checks,
                    TextView proposedName, const SessionEndedQuery& sessionEnded);

// The local computer's name from the environment (COMPUTERNAME); the empty text when it is not
// set.
[[nodiscard]] Text LocalComputerName();

// Creates path (or empties the file it names) and writes the SaveRecordText of every row, in
// order, converted to the ANSI code page as ToAnsiCodePage converts (best fit first, then the
// code page's default character); rows whose column 0 is empty write nothing.
// True when the file was written completely and closed: it then holds exactly those bytes.
// False when the file could not be opened (in use, no access, missing folder, a directory, a
// path too long): nothing was written and an existing file is left as it was. Also false when
// a write or the close failed: the partly written file is then deleted, so that no truncated
// list is left behind that could be taken for a whole one (a file that existed before was
// already emptied by the open, so its earlier content is gone as well).
[[nodiscard]] bool WriteSaveFile(TextView path, std::span<const SaveRowCells> rows,
                                 const SaveChecks& checks);
