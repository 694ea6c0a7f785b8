#include "export/save_win.h"

#include <windows.h>
// commdlg.h needs the types of windows.h.
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/handles_win.h"
#include "common/message_box_win.h"
#include "common/system_library_win.h"
#include "common/wide_win.h"

namespace {

// The common dialog library is loaded when the dialog is first needed, not at start: imported
// at start, it kept the window from appearing for more than 20 s under Wine on a machine whose
// network is down. Like every library the program loads itself, it comes from the system
// directory.
BOOL ShowSaveDialog(OPENFILENAMEW* dialog) {
    static const auto show = LibraryFunction<decltype(&::GetSaveFileNameW)>(
        SystemLibrary(L"comdlg32.dll"), "GetSaveFileNameW");
    return show != nullptr && show(dialog);
}

constexpr size_t kWriteBufferSize = 4096;

// Collects the bytes of the file and hands them to WriteFile in blocks of kWriteBufferSize. The
// first failed or short write stops all later writes, so the caller checks once, at Flush.
class BufferedFileWriter {
  public:
    explicit BufferedFileWriter(HANDLE file) : file_(file) { buffer_.reserve(kWriteBufferSize); }

    void Append(std::string_view bytes) {
        while (ok_ && !bytes.empty()) {
            const size_t take = std::min(bytes.size(), kWriteBufferSize - buffer_.size());
            buffer_.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
            if (buffer_.size() == kWriteBufferSize) WriteBuffer();
        }
    }

    // Writes what is still buffered. False when this or any earlier write failed.
    bool Flush() {
        if (ok_ && !buffer_.empty()) WriteBuffer();
        return ok_;
    }

  private:
    void WriteBuffer() {
        DWORD written = 0;
        ok_ = WriteFile(file_, buffer_.data(), DWORD(buffer_.size()), &written, nullptr) &&
              written == buffer_.size();
        buffer_.clear();
    }

    HANDLE file_;
    std::string buffer_;
    bool ok_ = true;
};

bool WriteRecords(HANDLE file, std::span<const SaveRowCells> rows, const SaveChecks& checks) {
    BufferedFileWriter writer(file);
    for (const SaveRowCells& cells : rows) {
        // The record text already ends with the empty line that follows every record.
        // A record that cannot be converted is never left out silently.
        std::optional<std::string> bytes = ToAnsiCodePage(SaveRecordText(cells, checks));
        if (!bytes) return false;
        writer.Append(*bytes);
    }
    return writer.Flush();
}

}  // namespace

Text LocalComputerName() {
    const DWORD size = GetEnvironmentVariableW(L"COMPUTERNAME", nullptr, 0);
    if (size == 0) return Text();
    std::wstring value(size, L'\0');
    const DWORD copied = GetEnvironmentVariableW(L"COMPUTERNAME", value.data(), size);
    if (copied == 0 || copied >= size) return Text();
    return FromWide(value.data(), copied);
}

namespace {

// Shows the "Save Application List" dialog for defaultName. The chosen path, or none when the
// operator cancelled or the dialog failed.
std::optional<Text> AskSavePath(HWND owner, TextView defaultName) {
    const SaveDialogStart start = SaveDialogStartFor(defaultName);
    std::array<wchar_t, kSaveFileNameBufferLength> file{};
    // SaveDialogStartFor never proposes a name that leaves no room for the terminating zero.
    const size_t nameLength = std::min(start.fileName.size(), file.size() - 1);
    std::copy_n(start.fileName.begin(), nameLength, file.begin());

    const std::wstring filter = ToWide(SaveFilterList(kSaveFilterText));
    const std::wstring title = ToWide(kSaveDialogTitle);
    const std::wstring folder = start.initialFolder ? ToWide(*start.initialFolder) : L"";

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = start.initialFolder ? folder.c_str() : nullptr;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!ShowSaveDialog(&dialog)) return std::nullopt;
    return FromWide(file.data(), wcsnlen(file.data(), file.size()));
}

enum class PathObject { Missing, Directory, File };

PathObject ExistingObjectAt(TextView path) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW(ToWide(path).c_str(), &found));
    if (!find) return PathObject::Missing;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathObject::Directory
                                                               : PathObject::File;
}

// The cell texts of every row the list shows, in the shown order.
std::vector<SaveRowCells> ShownRows(const ListRows& shown) {
    std::vector<SaveRowCells> rows(shown.RowCount());
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows[row].size(); ++column) {
            rows[row][column] = Text(shown.CellText(row, column));
        }
    }
    return rows;
}

}  // namespace

bool WriteSaveFile(TextView path, std::span<const SaveRowCells> rows, const SaveChecks& checks) {
    const std::wstring widePath = ToWide(path);
    UniqueFileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bool written = WriteRecords(file.get(), rows, checks);
    // Closed by hand because the close can still report data the system failed to write.
    written = CloseHandle(file.release()) && written;
    if (!written) {
        // Nothing more can be done when the delete fails: the caller reports the failed save.
        static_cast<void>(DeleteFileW(widePath.c_str()));
    }
    return written;
}

void SaveListToFile(HWND owner, const ListRows& rows, const SaveChecks& checks,
                    TextView proposedName, const SessionEndedQuery& sessionEnded) {
    // Choosing a directory's name offers the dialog again; every other outcome ends the save.
    for (;;) {
        const std::optional<Text> chosen = AskSavePath(owner, proposedName);
        if (!chosen || sessionEnded()) return;
        const Text path = EnsureTxtExtension(*chosen);
        switch (ExistingObjectAt(path)) {
            case PathObject::Missing:
                break;
            case PathObject::Directory:
                ShowMessageBox(owner, kSaveDirectoryExistsText, kErrorTitle, MB_OK | MB_ICONERROR);
                if (sessionEnded()) return;
                continue;
            case PathObject::File:
                if (ShowMessageBox(owner, kSaveOverwriteQuestion, kSaveFileExistsTitle,
                                   MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES ||
                    sessionEnded()) {
                    return;
                }
                break;
        }
        if (!WriteSaveFile(path, ShownRows(rows), checks)) {
            ShowMessageBox(owner, SaveFailedMessage(path), kErrorTitle, MB_OK | MB_ICONERROR);
        }
        return;
    }
}
