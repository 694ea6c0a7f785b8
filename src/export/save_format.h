// The platform-free half of saving the shown list: record texts, the path rules of the save
// dialog and the texts of its message boxes.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "common/columns.h"
#include "common/text.h"

// The cell texts of one shown row, in column order (Install Type ... Uninstall String).
using SaveRowCells = std::array<Text, kColumnCount>;

// A column's lines in a saved file, in the order of kColumnTitles: a line is the label, then the
// cell's text, written when the check box of index check is ticked (-1: always).
struct SaveColumn {
    TextView label;
    int check;
};
inline constexpr std::array<SaveColumn, kColumnCount> kSaveColumns{{
    {u"App Type: ", 0},
    {u"App Name: ", -1},
    {u"App Version: ", 1},
    {u"Install Date: ", 2},
    {u"Install Location: ", 3},
    {u"Uninstall Command: ", 4},
}};

// Tick states of the five field check boxes, in this order: the check of each column.
enum SaveCheck : size_t {
    SaveInstallType,
    SaveVersion,
    SaveInstallDate,
    SaveInstallLocation,
    SaveUninstallCommand,
};
using SaveChecks = std::array<bool, 5>;

// Line end of the saved file.
inline constexpr TextView kSaveLineEnd = u"\r\n";

// The UTF-16 text written for one row: a "label + cell + CR LF" line for each column whose
// check box is ticked, and for App Name, which has none, in column order, then one empty line
// (CR LF). Cells are written as they
// stand (a line feed inside a cell stays in that line's value). The empty text when the row
// does not qualify, that is when its column 0 is empty.
[[nodiscard]] Text SaveRecordText(const SaveRowCells& cells, const SaveChecks& checks);

// path with ".txt" appended unless its last four code units are exactly ".txt" (case-sensitive:
// "report.TXT" becomes "report.TXT.txt").
[[nodiscard]] Text EnsureTxtExtension(TextView path);

// False when name cannot be offered in the save dialog: empty, or holding a code unit 0-31 or
// one of " * / : < > ? \ |.
[[nodiscard]] bool IsUsableProposedName(TextView name);

struct DefaultSaveNameResult {
    Text computerName;  // the computer name with "." replaced; the caller keeps it
    Text fileName;      // computerName + ".txt"
};

// The file name the save dialog proposes: computerName + ".txt", where a computerName of exactly
// "." is first replaced by localComputerName (the empty text when that is unknown).
[[nodiscard]] DefaultSaveNameResult DefaultSaveName(TextView computerName,
                                                    TextView localComputerName);

// Characters the dialog's file name buffer holds, terminating zero included.
inline constexpr size_t kSaveFileNameBufferLength = 260;

struct SaveDialogStart {
    std::optional<Text> initialFolder;  // none: the system chooses the folder
    Text fileName;                      // the name the dialog opens with; may be empty
};

// How the save dialog opens for defaultName: the text before its last backslash is the initial
// folder and the text after it the proposed name (no backslash: no folder, the whole text is the
// proposed name). A proposed name that is not IsUsableProposedName, or that would not fit the
// file name buffer with its terminating zero, opens as the empty name.
[[nodiscard]] SaveDialogStart SaveDialogStartFor(TextView defaultName);

// The dialog's filter as written in the program: display text and pattern separated by "|".
inline constexpr TextView kSaveFilterText = u"Text (*.txt)|*.txt";

// The filter list the save dialog expects: every "|" of filterText turned into a zero code unit,
// and the list ended by two zero code units (the last pattern's and the list's own).
[[nodiscard]] Text SaveFilterList(TextView filterText);

inline constexpr TextView kSaveDialogTitle = u"Save Application List";
inline constexpr TextView kSaveDirectoryExistsText = u"Already exists as a directory";
inline constexpr TextView kSaveFileExistsTitle = u"File Exists";
inline constexpr TextView kSaveOverwriteQuestion = u"Overwrite Existing File?";

// The text of the "Error" box shown when the file at path cannot be opened or written, so that
// a failed save is never mistaken for a written file.
[[nodiscard]] Text SaveFailedMessage(TextView path);
