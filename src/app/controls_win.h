// The main window's controls, as data (the list's columns are common/columns.h).
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <array>
#include <string>

#include "app/colour_rules.h"
#include "common/columns.h"
#include "common/wide_win.h"

enum ControlId : int {
    ComputerField = 2,
    ListSoftwareButton = 3,
    SoftwareListView = 4,
    EnterShortcutItem = 5,
    SaveListButton = 6,
    SaveInstallTypeCheck = 7,
    SaveVersionCheck = 8,
    SaveInstallDateCheck = 9,
    SaveInstallLocationCheck = 10,
    SaveUninstallCommandCheck = 11,
    ClearListButton = 12,
    StatusLine = 13,
    SearchField = 14,
    SearchClearLink = 15,
};

enum class ControlKind { TextField, StaticText, PushButton, CheckBox, LinkLabel, ReportList };

struct ControlSpec {
    int id;
    ControlKind kind;
    int x, y, width, height;
    const wchar_t* text;
    const wchar_t* hint;  // cue banner of a text field, tooltip of the link label
    // The name a screen reader gives a text field that has no visible label before it: an
    // invisible static label with this text is created just before it.
    const wchar_t* label = nullptr;
};

// In creation order (which is also the Tab order); the list comes last.
inline constexpr std::array<ControlSpec, 13> kControls{{
    {ComputerField, ControlKind::TextField, 10, 10, 200, 20, L"", L"Enter Computer Name or IP",
     L"Computer name"},
    {SearchClearLink, ControlKind::LinkLabel, 770, 12, 39, 20, L"Search:",
     L"Click to clear search"},
    {SearchField, ControlKind::TextField, 814, 10, 200, 20, L"", L"Enter Search Parameters"},
    {StatusLine, ControlKind::StaticText, 350, 15, 400, 20, L"", nullptr},
    {ListSoftwareButton, ControlKind::PushButton, 220, 5, 100, 30, L"List Software", nullptr},
    {SaveListButton, ControlKind::PushButton, 10, 595, 100, 30, L"Save List", nullptr},
    {ClearListButton, ControlKind::PushButton, 130, 595, 100, 30, L"Clear List", nullptr},
    {SaveInstallTypeCheck, ControlKind::CheckBox, 250, 600, 103, 20, L"Save Install Type", nullptr},
    {SaveVersionCheck, ControlKind::CheckBox, 370, 600, 100, 20, L"Save Version", nullptr},
    {SaveInstallDateCheck, ControlKind::CheckBox, 470, 600, 120, 20, L"Save Install Date", nullptr},
    {SaveInstallLocationCheck, ControlKind::CheckBox, 590, 600, 125, 20, L"Save Install Location",
     nullptr},
    {SaveUninstallCommandCheck, ControlKind::CheckBox, 730, 600, 150, 20, L"Save Uninstall Command",
     nullptr},
    // Microsoft's pages name a list by its window text and by a label before it: it has both.
    {SoftwareListView, ControlKind::ReportList, 10, 50, 1004, 540, L"Installed software", nullptr,
     L"Installed software"},
}};

// The list's columns, in the order of kColumnTitles.
struct ListColumn {
    int width;    // pixels, until the fit after a scan
    bool fitted;  // sized to its widest text after a scan
};
inline constexpr std::array<ListColumn, kColumnCount> kListColumns{{
    {85, false},
    {200, true},
    {150, true},
    {150, true},
    {200, true},
    {345, true},
}};

// Inserts the columns of kColumnTitles and kListColumns into a report list that has none.
inline void InsertProgramColumns(HWND list) {
    for (size_t i = 0; i < kColumnCount; ++i) {
        std::wstring title = ToWide(kColumnTitles[i]);
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = kListColumns[i].width;
        column.pszText = title.data();
        column.iSubItem = int(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

// The controls that follow whether SoftwareList holds entries, in the order they are switched.
inline constexpr std::array kListDependentControls{
    SearchClearLink,           SearchField,      SaveListButton,       ClearListButton,
    SaveInstallTypeCheck,      SaveVersionCheck, SaveInstallDateCheck, SaveInstallLocationCheck,
    SaveUninstallCommandCheck,
};

// The five save check boxes, in the order of the check indexes of kSaveColumns.
inline constexpr std::array kSaveChecks{
    SaveInstallTypeCheck,     SaveVersionCheck,          SaveInstallDateCheck,
    SaveInstallLocationCheck, SaveUninstallCommandCheck,
};

// On a work area shorter than the window the list loses the difference in height and the row
// below it (the buttons and the check boxes) moves up by as much, down to a list of this height.
static_assert(kControls.back().id == SoftwareListView);
constexpr int kListBottom = kControls.back().y + kControls.back().height;
constexpr int kMostShortening = kControls.back().height - 100;

// Where a control goes in a window shortened by shortening pixels (0: the table's place).
[[nodiscard]] constexpr ControlSpec ShortenedControl(ControlSpec control, int shortening) {
    if (control.id == SoftwareListView) {
        control.height -= shortening;
    } else if (control.y >= kListBottom) {
        control.y -= shortening;
    }
    return control;
}

constexpr wchar_t kMainWindowTitle[] = L"List Software on a Remote PC ('.' For local machine)";
constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 630;
constexpr UINT_PTR kProgressTimer = 1;
constexpr int kEnEventTextChanged = EN_CHANGE;  // 768
