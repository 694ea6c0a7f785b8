// End-to-end driver: runs one scenario script against the real listsoftware window the way an
// operator would, and says whether every step behaved as the script expects.
//
// Usage:  driver.exe SCRIPT
//
// SCRIPT is a UTF-8 text file (a byte order mark is allowed), one command per line. Blank lines
// and lines whose first non-blank character is '#' are ignored. Each command is printed as
// "line N: <command>" before it runs. The first command that fails prints
//     FAIL line N: <command>: <reason>
// (the reason names what was expected and what was found) and the driver exits with 1; when
// every command has passed it prints "PASS" and exits with 0 (2: wrong command line). After a
// failure the driver saves the screen to the file named by "fail-screenshot" (if any) and ends the
// program it started with "start" (never one it found with "attach"), so that no half-driven
// program is left over.
//
// Arguments
//   ID          a control id of the main window: 2 ComputerField, 3 "List Software", 4 the list
//               view, 6 "Save List", 7-11 the check boxes, 12 "Clear List", 13 StatusLine,
//               14 SearchField, 15 the "Search:" link.
//   TEXT        the rest of the line after the one blank that ends the previous argument, kept
//               exactly as written (leading and trailing blanks count), with the escapes
//               \n \t \r \b \\ and \xHHHH (one UTF-16 code unit, exactly four hex digits); any
//               other backslash sequence is an error. An empty rest is the empty text.
//   PATH, FILE  taken as written, without escapes, so that Windows paths keep their
//               backslashes. A relative rows FILE of expect-rows is relative to the script's
//               folder; every other relative path (the program, dump-rows, screenshots, the
//               save dialog's file) to the current directory, which the program inherits, so
//               that a run writes nothing beside its scripts.
//   [t]         the command takes an optional last token "timeout=MS": how long it waits
//               instead of the default (5000 ms, changed by "timeout MS"). A TEXT whose last
//               word really is such a token is written with an escape in it: "\x0074imeout=5".
//
// Every command that waits for the program polls until its condition holds or its time runs
// out, because the program handles input asynchronously from its own loop. A check can only
// tell states apart, not moments: the status line keeps "Completed Successfully" from an
// earlier request, so a script that starts a second request first sets the status line to a
// marker ("set-text 13 -") and then waits for the new status.
//
// Program
//   start PATH [ARGS...]     start the program (PATH may be in double quotes; ARGS go on its
//                            command line as written) and wait up to 20 s for its top-level
//                            window titled exactly "List Software on a Remote PC ('.' For
//                            local machine)"; then, when the environment variable LS_E2E_INJECT
//                            names a library, inject it.
//   attach [t]               use an already running window with that title instead.
//   run PATH [ARGS...] [t]   run another program (PATH and ARGS as for start), wait until it
//                            has ended and pass when its exit code is 0; the program under
//                            test stays the one driven.
//   close                    the close box: WM_SYSCOMMAND SC_CLOSE posted to the main window.
//   close-message            WM_CLOSE posted to the main window, as other programs ask a
//                            window to close (taskkill without /f); it arrives even while the
//                            window is disabled behind a modal box, when the close box does not.
//   close-message session [t]  as Restart Manager closes a program for an installer: sends
//                            WM_QUERYENDSESSION (ENDSESSION_CLOSEAPP), which must answer 1, then
//                            WM_ENDSESSION (TRUE, ENDSESSION_CLOSEAPP), which must be taken.
//   expect-exit CODE [t]     the program ends with exit code CODE (waits on its process).
//   expect-alive             the program is still running.
//   kill                     TerminateProcess, for cleanup; succeeds when nothing runs.
//   inject PATH [t]          load the library PATH into the program (a thread of the program
//                            runs LoadLibraryW with it) and wait until it has; fails when the
//                            library was not loaded (LoadLibraryW returned NULL: the thread's
//                            exit code holds the low 32 bits of the module handle).
//
// Input (posted to the program, so it acts on it from its own loop)
//   set-text ID TEXT         WM_SETTEXT.
//   paste ID COUNT TEXT      put TEXT repeated and cut to exactly COUNT code units on the
//                            clipboard and post WM_PASTE to the control, as Ctrl+V would; the
//                            control takes what its limit allows.
//   type ID TEXT             one posted WM_CHAR per UTF-16 code unit; \b is a backspace, which
//                            deletes in an edit. Posted messages keep their order among each
//                            other, but a later set-text is sent and may overtake them: follow
//                            "type" with an expect-* before a set-text of the same control.
//   click ID                 a button click: BM_CLICK posted to the button.
//   check ID                 the same for a check box.
//   enter ID                 make the main window the foreground window, then post
//                            WM_KEYDOWN and WM_KEYUP of VK_RETURN to the control (the program
//                            turns Enter into its shortcut with an accelerator table).
//   foreground               make the main window the foreground window.
//   press KEY...             real key strokes (SendInput) to the foreground window, one per
//                            word: a letter, a digit, f1-f12, down, up, return, escape, tab,
//                            apps, space, each optionally after ctrl+, shift+ or alt+ ("ctrl+c",
//                            "shift+tab"). They go to the control with the keyboard focus.
//   sleep MS                 wait.
//   timeout MS               set the default time-out of the commands marked [t].
// "click", "check" and "type" first wait (default time-out) until the control is enabled and
// visible, as an operator would; they fail if it never is.
//
// Real mouse input (SetCursorPos + SendInput; the point must not be covered by another window)
//   mouse-click ID           left button down and up at the centre of control ID.
//   move-to ID X Y           move the mouse to client point X,Y of control ID (ID 0: the main
//                            window's client area); the point may lie outside the control.
//   move-to-row ROW          move to the centre of the visible part of list row ROW.
//   post-mousemove ID        the mouse stays where it is: post control ID a WM_MOUSEMOVE at the
//                            cursor's position in its client coordinates, no MK_ flags, as
//                            Windows posts one when a window appears, moves or is redrawn under
//                            a cursor that did not move. Fails unless the cursor is over the
//                            control (the window that would get the message).
//   show-column COL          scroll the list sideways (LVM_SCROLL) so that header item COL
//                            starts at the left of the header, as the scroll bar would.
//   click-row ROW [COL] [right]  left click at the centre of the visible part of list row ROW,
//                            or of its cell in column COL; "right": with the right button.
//   click-header COL         left click at the centre of the visible part of header item COL
//                            of the list, then wait the double-click time plus 100 ms so that
//                            two header clicks never make a double click.
//
// Checks
//   expect-text ID TEXT [t]         the control's text (WM_GETTEXT) is TEXT.
//   expect-text-length ID N [t]     the control's text is N code units long (WM_GETTEXTLENGTH).
//   wait-status TEXT [t]            the same for StatusLine (13).
//   expect-enabled ID [ID...] [t]   every control named is enabled.
//   expect-disabled ID [ID...] [t]  every control named is disabled.
//   expect-checked ID 0|1 [t]       the check box is unticked (0) or ticked (1).
//   expect-focus ID [t]             the program thread's keyboard focus is control ID.
//   expect-on-screen ID [ID...]     every control named (0: the main window) lies wholly inside
//                                   the work area of the screen.
//   expect-row-count N [t]          the list has N rows (">=N": at least N).
//   expect-selected ROW [t]         the list's only selected row is ROW (-1: none).
//   keep-column COL                 remember the text of column COL in every row, and which
//                                   row is selected, for the next check.
//   expect-kept-sorted COL ROW      what keep-column remembered holds, for some k from 1 to
//                                   the row count - 1: the first k rows of the list as it is
//                                   now (scan order), sorted ascending by column COL as text
//                                   without regard to case, then its other rows in their
//                                   order; the row that was selected is the one that is row
//                                   ROW now, and it was in view. Prints k.
//   expect-rows FILE [t]            the list's rows, every column, equal FILE.
//   dump-rows FILE                  write the list's rows to FILE (how expectations are made).
//   expect-row-background ROW RRGGBB [t]  the colour that covers most of the visible pixels of
//                                   list row ROW on the screen is red RR, green GG, blue BB
//                                   (hex); the hover colour is E5F3FF.
//   expect-header-arrow COL none|up|down [t]  the sort arrow of header item COL.
//   expect-row-background ROW contrast>=R [t]  in the visible part of list row ROW's first cell
//                                   (its grid lines left out), the colour that most contrasts
//                                   with the one that covers most of it (the text against its
//                                   background) has a WCAG 2 contrast ratio of R or more.
//   expect-name ID TEXT [t]         a screen reader's name of control ID (accName of its client
//                                   object, through AccessibleObjectFromWindow) is TEXT.
//   count-announcements             from now on, count the live-region events
//                                   (EVENT_OBJECT_LIVEREGIONCHANGED) of the status line.
//   expect-announcements N [t]      N have come since count-announcements (">=N": at least N).
//   expect-clipboard TEXT [t]       the clipboard holds TEXT as Unicode text (CF_UNICODETEXT).
//   expect-menu [t]                 the program shows a popup menu.
// A rows FILE is UTF-8, one row per line (LF or CR LF), the fields of a row separated by TAB,
// with the escapes \t \n \r \\ (and \b, \xHHHH) inside fields; an empty file is an empty list.
//
// Message boxes and dialogs (top-level "#32770" windows of the program's process)
//   expect-box TITLE\tTEXT [t]       a box titled TITLE shows TEXT (its static, id 0xFFFF); the
//                                    title and the text are separated by the escape \t. Without
//                                    \tTEXT: a box or dialog titled TITLE is open, in the
//                                    foreground (where "press" sends its keys).
//   expect-no-box                    the program shows no box or dialog.
//   answer-box TITLE BUTTON [t]      press button yes|no|ok|cancel of the box titled TITLE and
//                                    wait until the box is gone.
//   save-dialog PATH [t]             in the "Save Application List" dialog put PATH into the
//                                    file name field and press Save; wait until it is gone.
//   cancel-dialog TITLE [t]          press Cancel in the dialog or box titled TITLE and wait
//                                    until it is gone.
// A button of a box or dialog is pressed by posting to the box the WM_COMMAND that the button
// itself sends when clicked (BN_CLICKED with the button's id and window).
//
// Artefacts
//   screenshot FILE.bmp      save the whole screen as a 24-bit BMP.
//   fail-screenshot FILE.bmp save the screen there if a later command fails.
//
// Timing (benchmarks)
//   mark                     remember now.
//   elapsed LABEL            print "elapsed LABEL <ms> ms", the time since the last mark.
//   paint ID                 make control ID paint what is invalid and wait until it has.
//   poll-interval MS         how often waiting commands look again (default 20 ms).
//   click-header COL nowait  the header click without the double-click pause after it.
//
// Build (console program):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -Wno-missing-field-initializers
//     -municode -static -DUNICODE -D_UNICODE -o driver.exe tests/e2e/driver.cpp
//     -lcomctl32 -lgdi32 -luser32
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
#include <oleacc.h>
// clang-format on

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The driver only talks to Win32, whose wide text is UTF-16; it keeps all text as wchar_t.
static_assert(sizeof(wchar_t) == 2, "Win32 wide text is UTF-16");

namespace {

constexpr wchar_t kMainTitle[] = L"List Software on a Remote PC ('.' For local machine)";
constexpr wchar_t kSaveDialogTitle[] = L"Save Application List";
constexpr int kStatusLineId = 13;
constexpr DWORD kStartWaitMs = 20000;
// How often waiting commands look again; "poll-interval" lowers it for timing runs.
DWORD kPollIntervalMs = 20;
// Upper bound for one cross-process request while polling: a busy program (a probe, a service
// check) is asked again on the next poll instead of blocking the driver for the whole wait.
constexpr DWORD kAskMs = 1000;
// One list cell is read into a remote buffer of this many code units at first; a longer text
// grows the buffer up to kMaxCellUnits.
constexpr size_t kCellUnits = 4096;
constexpr size_t kMaxCellUnits = size_t{1} << 20;

using Clock = std::chrono::steady_clock;

// The result of one command or check: passed, or failed with the reason to print.
struct Outcome {
    bool ok = true;
    std::wstring reason;
};

Outcome Pass() {
    return {};
}
Outcome Fail(std::wstring reason) {
    return {false, std::move(reason)};
}

// ---------------------------------------------------------------------------------------------
// Text: UTF-8 at the edges (script, row files, console), UTF-16 inside.

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size);
    return out;
}

// Writes UTF-8 to standard output at once (no CRT buffering, no text-mode conversion), so that
// the output interleaves correctly with anything the harness prints.
void Print(std::wstring_view text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.data(), DWORD(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = ToUtf8(text);
    WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::wstring Hex4(unsigned value) {
    wchar_t buffer[8];
    swprintf(buffer, 8, L"%04X", value & 0xFFFF);
    return buffer;
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The escaped form of a text as the script and the row files write it: \t \n \r \\ for those
// characters, \xHHHH for other control characters and for surrogates without their partner
// (which UTF-8 cannot carry); everything else as it is.
std::wstring Escape(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\t') {
            out += L"\\t";
        } else if (c == L'\n') {
            out += L"\\n";
        } else if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\\') {
            out += L"\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            out += L"\\x" + Hex4(c);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += c;
            out += text[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += L"\\x" + Hex4(c);
        } else {
            out += c;
        }
    }
    return out;
}

// A text in a failure message: quoted and escaped, so that blanks and control characters show.
std::wstring Quoted(std::wstring_view text) {
    return L"\"" + Escape(text) + L"\"";
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Decodes the escapes \n \t \r \b \\ \xHHHH. Returns nullopt, with the reason in error, for a
// backslash that starts no known escape, so that a typo never passes silently as text.
std::optional<std::wstring> Unescape(std::wstring_view raw, std::wstring& error) {
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != L'\\') {
            out += raw[i];
            continue;
        }
        if (i + 1 >= raw.size()) {
            error = L"a lone backslash ends the text (write \\\\ for a backslash)";
            return std::nullopt;
        }
        wchar_t kind = raw[++i];
        switch (kind) {
            case L'n':
                out += L'\n';
                break;
            case L't':
                out += L'\t';
                break;
            case L'r':
                out += L'\r';
                break;
            case L'b':
                out += L'\b';
                break;
            case L'\\':
                out += L'\\';
                break;
            case L'x': {
                unsigned value = 0;
                for (int k = 0; k < 4; ++k) {
                    int digit = i + 1 + k < raw.size() ? HexDigit(raw[i + 1 + k]) : -1;
                    if (digit < 0) {
                        error = L"\\x needs exactly four hex digits";
                        return std::nullopt;
                    }
                    value = value * 16 + unsigned(digit);
                }
                out += wchar_t(value);
                i += 4;
                break;
            }
            default:
                error = std::wstring(L"unknown escape \\") + kind;
                return std::nullopt;
        }
    }
    return out;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The blank-separated words of a text.
std::vector<std::wstring> Words(std::wstring_view text) {
    std::vector<std::wstring> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (i > start) words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

// The first word of a text and the rest after the one blank that ends it (the rest keeps any
// further blanks, which belong to a TEXT argument).
std::pair<std::wstring, std::wstring> SplitFirst(std::wstring_view text) {
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    size_t end = start;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::wstring rest = end < text.size() ? std::wstring(text.substr(end + 1)) : std::wstring();
    return {std::wstring(text.substr(start, end - start)), rest};
}

// A whole word as a signed decimal number, or hexadecimal after "0x"; nullopt for anything
// else (a leading zero does not make it octal: row "08" is row 8).
std::optional<long long> ParseNumber(std::wstring_view word) {
    std::wstring text(word);
    size_t digits = text.starts_with(L"-") || text.starts_with(L"+") ? 1 : 0;
    bool hex = text.compare(digits, 2, L"0x") == 0 || text.compare(digits, 2, L"0X") == 0;
    if (text.size() <= digits + (hex ? 2 : 0)) return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    long long value = wcstoll(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == text.c_str() || *end != L'\0') return std::nullopt;
    return value;
}

// ---------------------------------------------------------------------------------------------
// Files and paths.

bool IsRelativePath(std::wstring_view path) {
    if (path.empty()) return true;
    if (path[0] == L'\\' || path[0] == L'/') return false;
    return !(path.size() >= 2 && path[1] == L':');
}

// The absolute form of a path; a relative one is taken from the current directory.
std::wstring FullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring out(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, out.data(), nullptr);
    out.resize(size);
    return out;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const void* data, size_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, DWORD(size), &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

std::wstring LastErrorText() {
    return L"Windows error " + std::to_wstring(GetLastError());
}

// ---------------------------------------------------------------------------------------------
// Windows of another process.

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// Sends a message to a window of the program and waits at most timeoutMs for its answer;
// nullopt when the program did not answer in time (it is busy in a long step) or the window is
// gone.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           DWORD timeoutMs = kAskMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) {
        return std::nullopt;
    }
    return LRESULT(result);
}

// The current text of a window of the program through WM_GETTEXT (GetWindowText would give
// an edit's creation text, not what was typed since); nullopt when the program did not answer.
std::optional<std::wstring> TextOf(HWND window, DWORD timeoutMs = kAskMs) {
    auto length = Ask(window, WM_GETTEXTLENGTH, 0, 0, timeoutMs);
    if (!length) return std::nullopt;
    // A little slack: the text may grow between the two requests; the answer says what came.
    std::wstring text(size_t(*length) + 64, L'\0');
    auto copied = Ask(window, WM_GETTEXT, text.size(), LPARAM(text.data()), timeoutMs);
    if (!copied) return std::nullopt;
    text.resize(std::min(size_t(*copied), text.size()));
    return text;
}

// A block of memory inside the program's process, for the control messages whose arguments
// are pointers that the control dereferences in its own process. Freed on destruction.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process),
          size_(size),
          base_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (base_ != nullptr) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return base_ != nullptr; }
    // Leaves the block to the program: it is not freed on destruction.
    void Keep() { base_ = nullptr; }
    size_t Size() const { return size_; }
    // The address of an offset inside the block, as the program sees it.
    LPARAM At(size_t offset) const { return LPARAM(static_cast<char*>(base_) + offset); }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, static_cast<char*>(base_) + offset, data, size,
                                  &done) &&
               done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &done) &&
               done == size;
    }

  private:
    HANDLE process_;
    size_t size_;
    void* base_;
};

// A RECT filled by a control message in the program's process (LVM_GETITEMRECT,
// HDM_GETITEMRECT); `in` is what the message expects to find in the rectangle beforehand.
// nullopt when the control refused or did not answer.
std::optional<RECT> RemoteRect(HANDLE process, HWND control, UINT message, WPARAM wParam, RECT in) {
    RemoteMemory memory(process, sizeof(RECT));
    if (!memory.Valid() || !memory.Write(0, &in, sizeof in)) return std::nullopt;
    auto answer = Ask(control, message, wParam, memory.At(0));
    RECT out{};
    if (!answer || *answer == 0 || !memory.Read(0, &out, sizeof out)) return std::nullopt;
    return out;
}

POINT Centre(const RECT& r) {
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

std::wstring RectText(const RECT& r) {
    return L"(" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L")-(" +
           std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom) + L")";
}

// ---------------------------------------------------------------------------------------------
// Real mouse input.

// The absolute SendInput coordinate (0..65535 over the primary screen) that lands on pixel p:
// rounding up makes the system's scaling back to pixels give p again.
LONG Normalized(LONG p, int extent) {
    long long value = (static_cast<long long>(p) * 65536 + extent - 1) / extent;
    return LONG(std::clamp<long long>(value, 0, 65535));
}

// Moves the mouse to a screen point as a real device would, so that the window under it gets
// WM_MOUSEMOVE through the system's input queue. False when the cursor did not get there.
bool MoveMouse(POINT to) {
    SetCursorPos(to.x, to.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalized(to.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalized(to.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    auto deadline = Clock::now() + std::chrono::milliseconds(1000);
    for (;;) {
        POINT at{};
        GetCursorPos(&at);
        if (at.x == to.x && at.y == to.y) return true;
        if (Clock::now() >= deadline) return false;
        Sleep(5);
    }
}

// Presses the left (or right) button where the cursor is and releases it holdMs later.
void MouseButtonClick(DWORD holdMs, bool right = false) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    if (holdMs > 0) Sleep(holdMs);
    input.mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// The virtual key of a key name of "press", or 0.
WORD VirtualKeyOf(std::wstring_view name) {
    if (name.size() == 1 && iswalnum(name[0])) return WORD(towupper(name[0]));
    if (name.size() >= 2 && name[0] == L'f' && iswdigit(name[1])) {
        int n = _wtoi(std::wstring(name.substr(1)).c_str());
        if (n >= 1 && n <= 12) return WORD(VK_F1 + n - 1);
    }
    static const std::pair<std::wstring_view, WORD> kNamed[] = {
        {L"down", VK_DOWN},   {L"up", VK_UP},     {L"return", VK_RETURN}, {L"escape", VK_ESCAPE},
        {L"tab", VK_TAB},     {L"apps", VK_APPS}, {L"space", VK_SPACE},   {L"ctrl", VK_CONTROL},
        {L"shift", VK_SHIFT}, {L"alt", VK_MENU},
    };
    for (const auto& [named, key] : kNamed) {
        if (name == named) return key;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Screen pixels.

// The WCAG 2 contrast ratio of two 0xRRGGBB colours, from 1 to 21.
double ContrastRatio(uint32_t a, uint32_t b) {
    auto luminance = [](uint32_t rgb) {
        double sum = 0;
        for (auto [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double c = ((rgb >> shift) & 0xFF) / 255.0;
            sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The pixels of a screen rectangle, row by row from the top, as 0xRRGGBB; empty on failure.
std::vector<uint32_t> CaptureScreen(const RECT& area) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            pixels.assign(p, p + size_t(width) * size_t(height));
            for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Saves the primary screen as a bottom-up 24-bit BMP file.
Outcome SaveScreenshot(const std::wstring& path) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    size_t imageSize = stride * size_t(height);
    info.bmiHeader.biSizeImage = DWORD(imageSize);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    std::string file;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        if (copied) {
            BITMAPFILEHEADER header{};
            header.bfType = 0x4D42;  // "BM"
            header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
            header.bfSize = DWORD(header.bfOffBits + imageSize);
            file.append(reinterpret_cast<const char*>(&header), sizeof header);
            file.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
            file.append(static_cast<const char*>(bits), imageSize);
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) return Fail(L"could not copy the screen (" + LastErrorText() + L")");
    if (!WriteWholeFile(path, file.data(), file.size())) {
        return Fail(L"could not write " + path + L" (" + LastErrorText() + L")");
    }
    return Pass();
}

// ---------------------------------------------------------------------------------------------
// Rows files.

using Rows = std::vector<std::vector<std::wstring>>;

std::wstring RowsFileText(const Rows& rows) {
    std::wstring text;
    for (const auto& row : rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            if (column > 0) text += L'\t';
            text += Escape(row[column]);
        }
        text += L'\n';
    }
    return text;
}

// Parses a rows file (see the header comment); nullopt with the reason for a bad escape.
std::optional<Rows> ParseRowsFile(std::wstring_view text, std::wstring& error) {
    Rows rows;
    size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        ++lineNumber;
        std::vector<std::wstring> row;
        size_t fieldStart = 0;
        for (;;) {
            size_t tab = line.find(L'\t', fieldStart);
            std::wstring_view raw =
                line.substr(fieldStart, tab == std::wstring_view::npos ? std::wstring_view::npos
                                                                       : tab - fieldStart);
            std::wstring why;
            auto field = Unescape(raw, why);
            if (!field) {
                error = L"line " + std::to_wstring(lineNumber) + L": " + why;
                return std::nullopt;
            }
            row.push_back(*field);
            if (tab == std::wstring_view::npos) break;
            fieldStart = tab + 1;
        }
        rows.push_back(std::move(row));
        start = end + 1;
    }
    return rows;
}

// ---------------------------------------------------------------------------------------------
// The driver.

// The program being driven: its process, its GUI thread and its main window.
struct Target {
    HANDLE process = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
    HWND window = nullptr;
    bool startedHere = false;  // by "start", not "attach": the driver may end it after a failure
};

// One script command: its name, the rest of its line and the time it may wait.
struct Command {
    std::wstring name;
    std::wstring args;  // after the name and one blank; the timeout=MS token removed
    DWORD timeout = 0;
};

// The visible top-level windows of a process that have a given class.
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className) {
    struct Search {
        DWORD processId;
        const wchar_t* className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && IsWindowVisible(window) &&
                (s.className == nullptr || ClassOf(window) == s.className)) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[1024] = {};
    GetWindowTextW(window, title, 1024);
    return title;
}

// The visible top-level window with the program's exact title; with processId 0 of any process.
HWND FindMainWindow(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if ((s.processId == 0 || owner == s.processId) && IsWindowVisible(window) &&
                GetParent(window) == nullptr && TitleOf(window) == kMainTitle) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// First descendant of a window with a control id (and, when given, a class).
HWND FindDescendant(HWND parent, int id, const wchar_t* className = nullptr) {
    struct Search {
        int id;
        const wchar_t* className;
        HWND found;
    } search{id, className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if ((s.id < 0 || GetDlgCtrlID(window) == s.id) &&
                (s.className == nullptr || ClassOf(window) == s.className)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Driver {
  public:
    explicit Driver(std::wstring scriptFolder) : scriptFolder_(std::move(scriptFolder)) {}
    ~Driver() { CloseTarget(); }

    // Runs one command; the Outcome says why it failed.
    Outcome Run(std::wstring_view line);

    // After a failure: the screenshot asked for and the end of the program started here.
    void CleanUpAfterFailure() {
        if (!failScreenshot_.empty()) SaveScreenshot(failScreenshot_);
        if (target_.startedHere && target_.process != nullptr &&
            WaitForSingleObject(target_.process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(target_.process, 1);
            WaitForSingleObject(target_.process, 5000);
        }
    }

  private:
    using Handler = Outcome (Driver::*)(const Command&);
    struct CommandKind {
        const wchar_t* name;
        Handler handler;
        bool takesTimeout;  // accepts the trailing timeout=MS token
    };
    static const CommandKind kCommands[];

    // -- program
    Outcome Start(const Command& c);
    Outcome Attach(const Command& c);
    Outcome RunProgram(const Command& c);
    Outcome Close(const Command& c);
    Outcome CloseMessage(const Command& c);
    Outcome ExpectExit(const Command& c);
    Outcome ExpectAlive(const Command& c);
    Outcome Kill(const Command& c);
    Outcome Inject(const Command& c);
    // -- input
    Outcome SetText(const Command& c);
    Outcome Paste(const Command& c);
    Outcome ExpectTextLength(const Command& c);
    Outcome Type(const Command& c);
    Outcome Click(const Command& c);
    Outcome Enter(const Command& c);
    Outcome Foreground(const Command& c);
    Outcome Press(const Command& c);
    Outcome SleepFor(const Command& c);
    Outcome SetTimeout(const Command& c);
    // -- real mouse
    Outcome MouseClick(const Command& c);
    Outcome MoveTo(const Command& c);
    Outcome MoveToRow(const Command& c);
    Outcome PostMouseMove(const Command& c);
    Outcome ClickRow(const Command& c);
    Outcome ClickHeader(const Command& c);
    Outcome ShowColumn(const Command& c);
    Outcome FindHeaderItem(int column, HWND& list, HWND& header, RECT& item);
    Outcome Mark(const Command& c);
    Outcome Elapsed(const Command& c);
    Outcome Paint(const Command& c);
    Outcome PollInterval(const Command& c);
    // -- checks
    Outcome ExpectText(const Command& c);
    Outcome WaitStatus(const Command& c);
    Outcome ExpectEnabled(const Command& c);
    Outcome ExpectDisabled(const Command& c);
    Outcome ExpectChecked(const Command& c);
    Outcome ExpectFocus(const Command& c);
    Outcome ExpectOnScreen(const Command& c);
    Outcome ExpectRowCount(const Command& c);
    Outcome ExpectSelected(const Command& c);
    Outcome KeepColumn(const Command& c);
    Outcome ExpectKeptSorted(const Command& c);
    Outcome ExpectRows(const Command& c);
    Outcome DumpRows(const Command& c);
    Outcome ExpectRowBackground(const Command& c);
    Outcome ExpectHeaderArrow(const Command& c);
    Outcome ExpectClipboard(const Command& c);
    Outcome ExpectMenu(const Command& c);
    Outcome ExpectName(const Command& c);
    Outcome CountAnnouncements(const Command& c);
    Outcome ExpectAnnouncements(const Command& c);
    // -- boxes and dialogs
    Outcome ExpectBox(const Command& c);
    Outcome ExpectNoBox(const Command& c);
    Outcome AnswerBox(const Command& c);
    Outcome SaveDialog(const Command& c);
    Outcome CancelDialog(const Command& c);
    // -- artefacts
    Outcome Screenshot(const Command& c);
    Outcome FailScreenshot(const Command& c);

    // -- helpers
    // A file that belongs to the scenario (expected rows) lives beside the script.
    std::wstring ScenarioPath(const std::wstring& path) const {
        return FullPath(IsRelativePath(path) ? scriptFolder_ + L"\\" + path : path);
    }
    void CloseTarget() {
        if (target_.process != nullptr) CloseHandle(target_.process);
        target_ = Target{};
    }
    Outcome NeedTarget() const {
        if (target_.window == nullptr) return Fail(L"no program: use start or attach first");
        return Pass();
    }
    // The control with an id, or null (with the reason) when the main window has none.
    HWND Control(long long id, Outcome& outcome) const;
    Outcome ParseControl(const std::wstring& word, HWND& control) const;
    Outcome ParseControlText(const std::wstring& args, HWND& control, long long& id,
                             std::wstring& text) const;
    Outcome WaitUsable(HWND control, long long id, DWORD timeout) const;
    Outcome MoveToScreenPoint(POINT point) const;
    // A real left (or right) click at point, which must show control; the button is held holdMs.
    Outcome ClickAt(HWND control, POINT point, DWORD holdMs = 50, bool right = false) const;
    Outcome ExpectEnabledState(const Command& c, bool enabled);
    std::optional<HWND> ListHeader(HWND list) const;
    std::optional<RECT> VisibleRowRect(HWND list, int row, std::wstring& why) const;
    Outcome RowCentre(const std::wstring& args, HWND& list, POINT& centre) const;
    // Every cell of the list, or only those of column onlyColumn (each row then holds one).
    std::optional<Rows> ReadRows(std::wstring& why, int onlyColumn = -1) const;
    std::optional<int> SelectedRow(HWND list) const;
    HWND FindBox(const std::wstring& title) const;
    std::wstring DescribeBoxes() const;
    Outcome WaitForBox(const std::wstring& title, DWORD timeout, HWND& box) const;
    Outcome PressDialogButton(HWND box, int buttonId, DWORD timeout) const;

    Target target_;
    std::wstring scriptFolder_;
    std::wstring failScreenshot_;
    DWORD defaultTimeout_ = 5000;
    Clock::time_point mark_ = Clock::now();
    // What keep-column remembered: one text per row, the selected row and whether it was in view.
    std::vector<std::wstring> kept_;
    int keptSelected_ = -1;
    bool keptSelectedInView_ = false;
};

// Waits ms while handing this thread's messages on: out-of-context WinEvents arrive as messages.
void PumpFor(DWORD ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left.count()) + 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

// The live-region events of the window announcing counts, since count-announcements.
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED (Windows 8)
HWND announcing = nullptr;
int announcements = 0;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (window == announcing && object == OBJID_CLIENT) ++announcements;
}

// Calls check until it passes or timeoutMs has gone by; the last failure explains a time-out.
Outcome Poll(DWORD timeoutMs, const std::function<Outcome()>& check) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Outcome outcome = check();
        if (outcome.ok) return outcome;
        if (Clock::now() >= deadline) {
            outcome.reason += L" (after " + std::to_wstring(timeoutMs) + L" ms)";
            return outcome;
        }
        PumpFor(kPollIntervalMs);
    }
}

const Driver::CommandKind Driver::kCommands[] = {
    {L"start", &Driver::Start, false},
    {L"attach", &Driver::Attach, true},
    {L"run", &Driver::RunProgram, true},
    {L"close", &Driver::Close, false},
    {L"close-message", &Driver::CloseMessage, true},
    {L"expect-exit", &Driver::ExpectExit, true},
    {L"expect-alive", &Driver::ExpectAlive, false},
    {L"kill", &Driver::Kill, false},
    {L"inject", &Driver::Inject, true},
    {L"set-text", &Driver::SetText, false},
    {L"paste", &Driver::Paste, false},
    {L"expect-text-length", &Driver::ExpectTextLength, true},
    {L"type", &Driver::Type, false},
    {L"click", &Driver::Click, false},
    {L"check", &Driver::Click, false},
    {L"enter", &Driver::Enter, false},
    {L"foreground", &Driver::Foreground, false},
    {L"press", &Driver::Press, false},
    {L"sleep", &Driver::SleepFor, false},
    {L"timeout", &Driver::SetTimeout, false},
    {L"mouse-click", &Driver::MouseClick, false},
    {L"move-to", &Driver::MoveTo, false},
    {L"move-to-row", &Driver::MoveToRow, false},
    {L"post-mousemove", &Driver::PostMouseMove, false},
    {L"click-row", &Driver::ClickRow, false},
    {L"show-column", &Driver::ShowColumn, false},
    {L"click-header", &Driver::ClickHeader, false},
    {L"expect-text", &Driver::ExpectText, true},
    {L"wait-status", &Driver::WaitStatus, true},
    {L"expect-enabled", &Driver::ExpectEnabled, true},
    {L"expect-disabled", &Driver::ExpectDisabled, true},
    {L"expect-checked", &Driver::ExpectChecked, true},
    {L"expect-focus", &Driver::ExpectFocus, true},
    {L"expect-on-screen", &Driver::ExpectOnScreen, false},
    {L"expect-row-count", &Driver::ExpectRowCount, true},
    {L"expect-selected", &Driver::ExpectSelected, true},
    {L"keep-column", &Driver::KeepColumn, false},
    {L"expect-kept-sorted", &Driver::ExpectKeptSorted, false},
    {L"expect-rows", &Driver::ExpectRows, true},
    {L"dump-rows", &Driver::DumpRows, false},
    {L"expect-row-background", &Driver::ExpectRowBackground, true},
    {L"expect-header-arrow", &Driver::ExpectHeaderArrow, true},
    {L"expect-clipboard", &Driver::ExpectClipboard, true},
    {L"expect-menu", &Driver::ExpectMenu, true},
    {L"expect-name", &Driver::ExpectName, true},
    {L"count-announcements", &Driver::CountAnnouncements, false},
    {L"expect-announcements", &Driver::ExpectAnnouncements, true},
    {L"expect-box", &Driver::ExpectBox, true},
    {L"expect-no-box", &Driver::ExpectNoBox, false},
    {L"answer-box", &Driver::AnswerBox, true},
    {L"save-dialog", &Driver::SaveDialog, true},
    {L"cancel-dialog", &Driver::CancelDialog, true},
    {L"screenshot", &Driver::Screenshot, false},
    {L"fail-screenshot", &Driver::FailScreenshot, false},
    {L"mark", &Driver::Mark, false},
    {L"elapsed", &Driver::Elapsed, false},
    {L"paint", &Driver::Paint, false},
    {L"poll-interval", &Driver::PollInterval, false},
};

Outcome Driver::Run(std::wstring_view line) {
    auto [name, args] = SplitFirst(line);
    const CommandKind* kind = nullptr;
    for (const auto& candidate : kCommands) {
        if (name == candidate.name) kind = &candidate;
    }
    if (kind == nullptr) return Fail(L"unknown command " + Quoted(name));
    Command command{name, args, defaultTimeout_};
    if (kind->takesTimeout) {
        // The last blank-separated word, when it is timeout=MS, belongs to the command, not to
        // its text.
        size_t blank = command.args.find_last_of(L" \t");
        size_t wordStart = blank == std::wstring::npos ? 0 : blank + 1;
        std::wstring_view word = std::wstring_view(command.args).substr(wordStart);
        if (word.starts_with(L"timeout=")) {
            auto ms = ParseNumber(word.substr(8));
            if (!ms || *ms < 0) return Fail(L"bad time-out " + Quoted(word));
            command.timeout = DWORD(*ms);
            command.args.resize(blank == std::wstring::npos ? 0 : blank);
        }
    }
    return (this->*(kind->handler))(command);
}

HWND Driver::Control(long long id, Outcome& outcome) const {
    outcome = NeedTarget();
    if (!outcome.ok) return nullptr;
    HWND control = GetDlgItem(target_.window, int(id));
    if (control == nullptr) {
        outcome = Fail(IsWindow(target_.window)
                           ? L"the main window has no control with id " + std::to_wstring(id)
                           : L"the main window is gone");
    }
    return control;
}

Outcome Driver::ParseControl(const std::wstring& word, HWND& control) const {
    auto id = ParseNumber(word);
    if (!id) return Fail(L"expected a control id, found " + Quoted(word));
    Outcome outcome;
    control = Control(*id, outcome);
    return outcome;
}

// "ID TEXT": the control and the text with its escapes resolved.
Outcome Driver::ParseControlText(const std::wstring& args, HWND& control, long long& id,
                                 std::wstring& text) const {
    auto [idWord, raw] = SplitFirst(args);
    if (Outcome o = ParseControl(idWord, control); !o.ok) return o;
    id = *ParseNumber(idWord);
    std::wstring why;
    auto unescaped = Unescape(raw, why);
    if (!unescaped) return Fail(why);
    text = std::move(*unescaped);
    return Pass();
}

Outcome Driver::WaitUsable(HWND control, long long id, DWORD timeout) const {
    return Poll(timeout, [&] {
        if (!IsWindow(control)) return Fail(L"control " + std::to_wstring(id) + L" is gone");
        if (!IsWindowVisible(control)) {
            return Fail(L"control " + std::to_wstring(id) + L" is not visible");
        }
        if (!IsWindowEnabled(control)) {
            return Fail(L"control " + std::to_wstring(id) + L" stays disabled");
        }
        return Pass();
    });
}

// ----- program --------------------------------------------------------------------------------

// Starts the program that "PATH [ARGS...]" names (PATH made full); info gets its process (the
// thread handle is closed).
Outcome StartProgram(std::wstring_view args, PROCESS_INFORMATION& info) {
    while (!args.empty() && IsBlank(args.front())) args.remove_prefix(1);
    std::wstring path;
    std::wstring rest;
    if (!args.empty() && args.front() == L'"') {
        size_t close = args.find(L'"', 1);
        if (close == std::wstring_view::npos) return Fail(L"unterminated quote in the path");
        path = args.substr(1, close - 1);
        rest = args.substr(close + 1);
    } else {
        auto [first, after] = SplitFirst(args);
        path = first;
        rest = after.empty() ? L"" : L" " + after;
    }
    if (path.empty()) return Fail(L"the program's path is missing");
    path = FullPath(path);
    std::wstring commandLine = L"\"" + path + L"\"" + rest;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    info = {};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return Fail(L"could not start " + path + L" (" + LastErrorText() + L")");
    }
    CloseHandle(info.hThread);
    return Pass();
}

Outcome Driver::Start(const Command& c) {
    CloseTarget();
    PROCESS_INFORMATION info{};
    if (Outcome o = StartProgram(c.args, info); !o.ok) return o;
    target_.process = info.hProcess;
    target_.processId = info.dwProcessId;
    target_.startedHere = true;
    auto deadline = Clock::now() + std::chrono::milliseconds(kStartWaitMs);
    Outcome shown = Poll(kStartWaitMs, [&] {
        DWORD code = 0;
        if (WaitForSingleObject(target_.process, 0) == WAIT_OBJECT_0) {
            GetExitCodeProcess(target_.process, &code);
            return Fail(L"the program ended with exit code " + std::to_wstring(code) +
                        L" before its window appeared");
        }
        target_.window = FindMainWindow(target_.processId);
        if (target_.window == nullptr) {
            return Fail(L"no window titled " + Quoted(kMainTitle) + L" appeared");
        }
        target_.threadId = GetWindowThreadProcessId(target_.window, nullptr);
        return Pass();
    });
    if (!shown.ok) return shown;
    // The window may be shown before the program has built all its controls; its loop waiting
    // for input says that start-up is over.
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    WaitForInputIdle(target_.process, DWORD(std::max<long long>(left.count(), 0)));
    wchar_t library[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LS_E2E_INJECT", library, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return Inject({L"inject", library, kStartWaitMs});
    return Pass();
}

Outcome Driver::RunProgram(const Command& c) {
    PROCESS_INFORMATION info{};
    if (Outcome o = StartProgram(c.args, info); !o.ok) return o;
    DWORD code = 0;
    bool ended = WaitForSingleObject(info.hProcess, c.timeout) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(info.hProcess, &code);
    if (!ended) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    if (!ended) return Fail(L"it did not end (after " + std::to_wstring(c.timeout) + L" ms)");
    if (code != 0) return Fail(L"it ended with exit code " + std::to_wstring(code));
    return Pass();
}

Outcome Driver::Attach(const Command& c) {
    CloseTarget();
    Outcome found = Poll(c.timeout, [&] {
        target_.window = FindMainWindow(0);
        if (target_.window == nullptr) {
            return Fail(L"no window titled " + Quoted(kMainTitle) + L" is open");
        }
        return Pass();
    });
    if (!found.ok) return found;
    target_.threadId = GetWindowThreadProcessId(target_.window, &target_.processId);
    target_.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                      PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                  FALSE, target_.processId);
    if (target_.process == nullptr) {
        return Fail(L"could not open the program's process (" + LastErrorText() + L")");
    }
    return Pass();
}

Outcome Driver::Close(const Command&) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    if (!PostMessageW(target_.window, WM_SYSCOMMAND, SC_CLOSE, 0)) {
        return Fail(L"could not post the close request (" + LastErrorText() + L")");
    }
    return Pass();
}

Outcome Driver::CloseMessage(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    if (c.args == L"session") {
        // Both are waited for as long as the command may take (a dialog that is still opening
        // takes them late), as Restart Manager waits for its answers.
        auto agreed = Ask(target_.window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, c.timeout);
        if (agreed != 1) return Fail(L"WM_QUERYENDSESSION was not answered 1");
        if (!Ask(target_.window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, c.timeout)) {
            return Fail(L"WM_ENDSESSION was not taken");
        }
        return Pass();
    }
    if (!PostMessageW(target_.window, WM_CLOSE, 0, 0)) {
        return Fail(L"could not post WM_CLOSE (" + LastErrorText() + L")");
    }
    return Pass();
}

Outcome Driver::ExpectExit(const Command& c) {
    auto expected = ParseNumber(c.args);
    if (!expected) return Fail(L"expected an exit code, found " + Quoted(c.args));
    if (target_.process == nullptr) return Fail(L"no program: use start or attach first");
    DWORD wait = WaitForSingleObject(target_.process, c.timeout);
    if (wait == WAIT_TIMEOUT) {
        return Fail(L"the program still runs after " + std::to_wstring(c.timeout) + L" ms");
    }
    DWORD code = 0;
    GetExitCodeProcess(target_.process, &code);
    if (code != DWORD(*expected)) {
        return Fail(L"expected exit code " + std::to_wstring(DWORD(*expected)) + L", got " +
                    std::to_wstring(code));
    }
    return Pass();
}

Outcome Driver::ExpectAlive(const Command&) {
    if (target_.process == nullptr) return Fail(L"no program: use start or attach first");
    if (WaitForSingleObject(target_.process, 0) != WAIT_TIMEOUT) {
        DWORD code = 0;
        GetExitCodeProcess(target_.process, &code);
        return Fail(L"the program has ended with exit code " + std::to_wstring(code));
    }
    return Pass();
}

Outcome Driver::Kill(const Command&) {
    if (target_.process != nullptr && WaitForSingleObject(target_.process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(target_.process, 1);
        if (WaitForSingleObject(target_.process, 5000) != WAIT_OBJECT_0) {
            return Fail(L"the program did not end after TerminateProcess");
        }
    }
    return Pass();
}

Outcome Driver::Inject(const Command& c) {
    if (target_.process == nullptr) return Fail(L"no program: use start or attach first");
    if (c.args.empty()) return Fail(L"expected the library's path");
    const std::wstring path = FullPath(c.args);
    RemoteMemory memory(target_.process, (path.size() + 1) * sizeof(wchar_t));
    if (!memory.Valid() || !memory.Write(0, path.c_str(), memory.Size())) {
        return Fail(L"could not write the path into the program (" + LastErrorText() + L")");
    }
    // kernel32 lies at the same address in every process of a session, so the driver's own
    // LoadLibraryW is the program's too.
    auto* loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(target_.process, nullptr, 0, loadLibrary,
                                       reinterpret_cast<void*>(memory.At(0)), 0, nullptr);
    if (thread == nullptr) {
        return Fail(L"could not start a thread in the program (" + LastErrorText() + L")");
    }
    DWORD loaded = 0;
    bool ended = WaitForSingleObject(thread, c.timeout) == WAIT_OBJECT_0 &&
                 GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    if (!ended) {
        memory.Keep();  // the thread may still read the path
        return Fail(L"LoadLibraryW did not return (after " + std::to_wstring(c.timeout) + L" ms)");
    }
    if (loaded == 0) return Fail(L"the program could not load " + path);
    return Pass();
}

// ----- input ----------------------------------------------------------------------------------

Outcome Driver::SetText(const Command& c) {
    HWND control = nullptr;
    long long id = 0;
    std::wstring text;
    if (Outcome o = ParseControlText(c.args, control, id, text); !o.ok) return o;
    if (!Ask(control, WM_SETTEXT, 0, LPARAM(text.c_str()), c.timeout)) {
        return Fail(L"the program did not take WM_SETTEXT within " + std::to_wstring(c.timeout) +
                    L" ms");
    }
    return Pass();
}

Outcome Driver::Paste(const Command& c) {
    auto [idWord, afterId] = SplitFirst(c.args);
    auto [countWord, raw] = SplitFirst(afterId);
    HWND control = nullptr;
    if (Outcome o = ParseControl(idWord, control); !o.ok) return o;
    auto count = ParseNumber(countWord);
    if (!count || *count < 0) return Fail(L"expected a count of code units");
    std::wstring why;
    auto unit = Unescape(raw, why);
    if (!unit) return Fail(why);
    if (unit->empty()) return Fail(L"paste needs a text to repeat");
    if (Outcome o = WaitUsable(control, *ParseNumber(idWord), c.timeout); !o.ok) return o;
    const size_t units = size_t(*count);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t));
    if (memory == nullptr) return Fail(L"could not allocate the clipboard text");
    auto* text = static_cast<wchar_t*>(GlobalLock(memory));
    for (size_t i = 0; i < units; ++i) text[i] = (*unit)[i % unit->size()];
    text[units] = L'\0';
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return Fail(L"could not open the clipboard (" + LastErrorText() + L")");
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    std::wstring error = placed ? L"" : LastErrorText();
    CloseClipboard();
    if (!placed) {
        GlobalFree(memory);
        return Fail(L"could not put the text on the clipboard (" + error + L")");
    }
    if (!PostMessageW(control, WM_PASTE, 0, 0)) {
        return Fail(L"could not post WM_PASTE (" + LastErrorText() + L")");
    }
    return Pass();
}

Outcome Driver::Type(const Command& c) {
    HWND control = nullptr;
    long long id = 0;
    std::wstring text;
    if (Outcome o = ParseControlText(c.args, control, id, text); !o.ok) return o;
    if (Outcome o = WaitUsable(control, id, c.timeout); !o.ok) return o;
    for (wchar_t unit : text) {
        if (!PostMessageW(control, WM_CHAR, WPARAM(unit), 1)) {
            return Fail(L"could not post WM_CHAR (" + LastErrorText() + L")");
        }
    }
    return Pass();
}

Outcome Driver::Click(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 1) return Fail(L"expected one control id");
    HWND control = nullptr;
    if (Outcome o = ParseControl(words[0], control); !o.ok) return o;
    if (Outcome o = WaitUsable(control, *ParseNumber(words[0]), c.timeout); !o.ok) return o;
    if (!PostMessageW(control, BM_CLICK, 0, 0)) {
        return Fail(L"could not post BM_CLICK (" + LastErrorText() + L")");
    }
    return Pass();
}

// Makes the main window the foreground window and waits until the system agrees.
Outcome BringToFront(HWND window) {
    return Poll(2000, [&] {
        if (GetForegroundWindow() == window) return Pass();
        SetForegroundWindow(window);
        return Fail(L"the main window does not become the foreground window");
    });
}

Outcome Driver::Enter(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 1) return Fail(L"expected one control id");
    HWND control = nullptr;
    if (Outcome o = ParseControl(words[0], control); !o.ok) return o;
    if (Outcome o = BringToFront(target_.window); !o.ok) return o;
    // Repeat count 1 and the scan code of Enter; the key-up form also has the previous-state
    // and transition bits set, as the keyboard driver would send them.
    constexpr LPARAM kDown = 0x001C0001;
    constexpr LPARAM kUp = LPARAM(0xC01C0001);
    if (!PostMessageW(control, WM_KEYDOWN, VK_RETURN, kDown) ||
        !PostMessageW(control, WM_KEYUP, VK_RETURN, kUp)) {
        return Fail(L"could not post the Enter key (" + LastErrorText() + L")");
    }
    return Pass();
}

Outcome Driver::Foreground(const Command&) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    return BringToFront(target_.window);
}

Outcome Driver::Press(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    for (const std::wstring& stroke : Words(c.args)) {
        std::vector<WORD> keys;  // the modifiers, then the key
        for (size_t start = 0;;) {
            size_t plus = stroke.find(L'+', start);
            WORD key = VirtualKeyOf(std::wstring_view(stroke).substr(start, plus - start));
            if (key == 0) return Fail(L"unknown key in " + Quoted(stroke));
            keys.push_back(key);
            if (plus == std::wstring::npos) break;
            start = plus + 1;
        }
        std::vector<INPUT> inputs;
        for (size_t i = 0; i < 2 * keys.size(); ++i) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            bool up = i >= keys.size();
            input.ki.wVk = up ? keys[2 * keys.size() - 1 - i] : keys[i];
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        }
        if (SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
            return Fail(L"could not send " + Quoted(stroke) + L" (" + LastErrorText() + L")");
        }
        Sleep(50);
    }
    return Pass();
}

Outcome Driver::ExpectClipboard(const Command& c) {
    std::wstring why;
    auto expected = Unescape(c.args, why);
    if (!expected) return Fail(why);
    return Poll(c.timeout, [&] {
        if (!OpenClipboard(nullptr)) return Fail(L"could not open the clipboard");
        std::optional<std::wstring> text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = std::wstring(units, wcsnlen(units, GlobalSize(data) / sizeof(wchar_t)));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        if (!text) return Fail(L"the clipboard holds no Unicode text");
        if (*text != *expected) {
            return Fail(L"expected " + Quoted(*expected) + L", found " + Quoted(*text));
        }
        return Pass();
    });
}

// Under Wine another process's menu cannot be read (its handle is invalid here), so only the
// popup window itself is looked for.
Outcome Driver::ExpectMenu(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    return Poll(c.timeout, [&] {
        for (HWND popup = nullptr;
             (popup = FindWindowExW(nullptr, popup, L"#32768", nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(popup, &owner);
            if (owner == target_.processId && IsWindowVisible(popup)) return Pass();
        }
        return Fail(L"the program shows no popup menu");
    });
}

Outcome Driver::SleepFor(const Command& c) {
    auto ms = ParseNumber(c.args);
    if (!ms || *ms < 0) return Fail(L"expected milliseconds, found " + Quoted(c.args));
    PumpFor(DWORD(*ms));
    return Pass();
}

Outcome Driver::SetTimeout(const Command& c) {
    auto ms = ParseNumber(c.args);
    if (!ms || *ms < 0) return Fail(L"expected milliseconds, found " + Quoted(c.args));
    defaultTimeout_ = DWORD(*ms);
    return Pass();
}

// ----- real mouse -----------------------------------------------------------------------------

Outcome Driver::MoveToScreenPoint(POINT point) const {
    if (!MoveMouse(point)) {
        POINT at{};
        GetCursorPos(&at);
        return Fail(L"the cursor went to " + std::to_wstring(at.x) + L"," + std::to_wstring(at.y) +
                    L" instead of " + std::to_wstring(point.x) + L"," + std::to_wstring(point.y));
    }
    return Pass();
}

// A real left click at a screen point that must show `control` (or a window inside it, or the
// program's own tooltip, which lets clicks through): a click that another window would catch
// fails instead.
Outcome Driver::ClickAt(HWND control, POINT point, DWORD holdMs, bool right) const {
    HWND hit = WindowFromPoint(point);
    DWORD owner = 0;
    if (hit != nullptr) GetWindowThreadProcessId(hit, &owner);
    bool onTarget = hit == control || (hit != nullptr && IsChild(control, hit)) ||
                    (owner == target_.processId && ClassOf(hit) == TOOLTIPS_CLASSW);
    if (!onTarget) {
        std::wstring what = hit == nullptr ? L"no window"
                                           : L"a window of class " + Quoted(ClassOf(hit)) +
                                                 L" titled " + Quoted(TitleOf(hit));
        return Fail(L"screen point " + std::to_wstring(point.x) + L"," + std::to_wstring(point.y) +
                    L" shows " + what + L", not the control (is it disabled or covered?)");
    }
    if (Outcome o = MoveToScreenPoint(point); !o.ok) return o;
    MouseButtonClick(holdMs, right);
    return Pass();
}

Outcome Driver::MouseClick(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 1) return Fail(L"expected one control id");
    HWND control = nullptr;
    if (Outcome o = ParseControl(words[0], control); !o.ok) return o;
    RECT rect{};
    GetWindowRect(control, &rect);
    return ClickAt(control, Centre(rect));
}

Outcome Driver::MoveTo(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 3) return Fail(L"expected ID X Y");
    auto id = ParseNumber(words[0]);
    auto x = ParseNumber(words[1]);
    auto y = ParseNumber(words[2]);
    if (!id || !x || !y) return Fail(L"expected ID X Y as numbers");
    if (Outcome need = NeedTarget(); !need.ok) return need;
    HWND window = target_.window;
    if (*id != 0) {
        Outcome outcome;
        window = Control(*id, outcome);
        if (!outcome.ok) return outcome;
    }
    POINT point{LONG(*x), LONG(*y)};
    ClientToScreen(window, &point);
    return MoveToScreenPoint(point);
}

std::optional<HWND> Driver::ListHeader(HWND list) const {
    auto header = Ask(list, LVM_GETHEADER, 0, 0);
    if (!header || *header == 0) return std::nullopt;
    return HWND(*header);
}

// The screen rectangle of the part of a row that shows inside the list's client area below the
// header; nullopt (with the reason) when the row does not exist or none of it shows.
std::optional<RECT> Driver::VisibleRowRect(HWND list, int row, std::wstring& why) const {
    auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
    if (!count) {
        why = L"the list did not answer";
        return std::nullopt;
    }
    if (row < 0 || row >= *count) {
        why = L"the list has " + std::to_wstring(*count) + L" rows, no row " + std::to_wstring(row);
        return std::nullopt;
    }
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    auto item = RemoteRect(target_.process, list, LVM_GETITEMRECT, WPARAM(row), bounds);
    if (!item) {
        why = L"the list gave no rectangle for row " + std::to_wstring(row);
        return std::nullopt;
    }
    RECT client{};
    GetClientRect(list, &client);
    if (auto header = ListHeader(list); header && IsWindowVisible(*header)) {
        RECT headerRect{};
        GetWindowRect(*header, &headerRect);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&headerRect), 2);
        client.top = std::max(client.top, headerRect.bottom);
    }
    RECT visible{};
    if (!IntersectRect(&visible, &*item, &client)) {
        why = L"row " + std::to_wstring(row) + L" at " + RectText(*item) +
              L" lies outside the visible rows " + RectText(client);
        return std::nullopt;
    }
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&visible), 2);
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT onScreen{};
    if (!IntersectRect(&onScreen, &visible, &screen)) {
        why = L"row " + std::to_wstring(row) + L" lies off the screen";
        return std::nullopt;
    }
    return onScreen;
}

// The centre of the visible part of the list row that args names, on the screen.
Outcome Driver::RowCentre(const std::wstring& args, HWND& list, POINT& centre) const {
    auto row = ParseNumber(args);
    if (!row) return Fail(L"expected a row number, found " + Quoted(args));
    Outcome outcome;
    list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    std::wstring why;
    auto rect = VisibleRowRect(list, int(*row), why);
    if (!rect) return Fail(why);
    centre = Centre(*rect);
    return Pass();
}

Outcome Driver::MoveToRow(const Command& c) {
    HWND list = nullptr;
    POINT centre{};
    if (Outcome o = RowCentre(c.args, list, centre); !o.ok) return o;
    return MoveToScreenPoint(centre);
}

Outcome Driver::PostMouseMove(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 1) return Fail(L"expected one control id");
    HWND control = nullptr;
    if (Outcome o = ParseControl(words[0], control); !o.ok) return o;
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return Fail(L"GetCursorPos failed (" + LastErrorText() + L")");
    HWND under = WindowFromPoint(cursor);
    if (under != control) {
        std::wstring what = under == nullptr
                                ? L"no window"
                                : L"a window of class " + Quoted(ClassOf(under)) + L" with id " +
                                      std::to_wstring(GetDlgCtrlID(under));
        return Fail(L"the cursor at " + std::to_wstring(cursor.x) + L"," +
                    std::to_wstring(cursor.y) + L" is over " + what + L", not over control " +
                    words[0]);
    }
    POINT client = cursor;
    ScreenToClient(control, &client);
    if (!PostMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y))) {
        return Fail(L"could not post WM_MOUSEMOVE (" + LastErrorText() + L")");
    }
    return Pass();
}

// The list, its header and header item column's rectangle (header client coordinates).
Outcome Driver::ClickRow(const Command& c) {
    auto words = Words(c.args);
    const bool right = !words.empty() && words.back() == L"right";
    if (right) words.pop_back();
    if (words.empty() || words.size() > 2) return Fail(L"expected ROW [COL] [right]");
    HWND list = nullptr;
    POINT centre{};
    if (Outcome o = RowCentre(words[0], list, centre); !o.ok) return o;
    if (words.size() == 2) {
        auto column = ParseNumber(words[1]);
        if (!column) return Fail(L"expected a column number, found " + Quoted(words[1]));
        HWND header = nullptr;
        RECT item{};
        if (Outcome o = FindHeaderItem(int(*column), list, header, item); !o.ok) return o;
        MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&item), 2);
        RECT listRect{};
        GetWindowRect(list, &listRect);
        if (!IntersectRect(&item, &item, &listRect))
            return Fail(L"the cell is scrolled out of view");
        centre.x = item.left + (item.right - item.left) / 2;
    }
    return ClickAt(list, centre, 50, right);
}

Outcome Driver::FindHeaderItem(int column, HWND& list, HWND& header, RECT& item) {
    Outcome outcome;
    list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    auto found = ListHeader(list);
    if (!found) return Fail(L"the list has no header");
    header = *found;
    auto rect = RemoteRect(target_.process, header, HDM_GETITEMRECT, WPARAM(column), RECT{});
    if (!rect) return Fail(L"the header has no item " + std::to_wstring(column));
    item = *rect;
    return Pass();
}

Outcome Driver::ShowColumn(const Command& c) {
    auto column = ParseNumber(c.args);
    if (!column) return Fail(L"expected a column number, found " + Quoted(c.args));
    HWND list = nullptr, header = nullptr;
    RECT item{};
    if (Outcome o = FindHeaderItem(int(*column), list, header, item); !o.ok) return o;
    // The item's left edge, in the list's client coordinates, goes to x = 0.
    POINT left{item.left, 0};
    MapWindowPoints(header, list, &left, 1);
    if (left.x != 0 && !Ask(list, LVM_SCROLL, WPARAM(left.x), 0)) {
        return Fail(L"the list did not answer LVM_SCROLL");
    }
    return Pass();
}

Outcome Driver::ClickHeader(const Command& c) {
    auto [columnWord, option] = SplitFirst(c.args);
    bool wait = option != L"nowait";
    if (!wait || !option.empty()) {
        if (option != L"nowait") return Fail(L"unknown option " + Quoted(option));
    }
    auto column = ParseNumber(columnWord);
    if (!column) return Fail(L"expected a column number, found " + Quoted(c.args));
    HWND list = nullptr, header = nullptr;
    RECT item{};
    if (Outcome o = FindHeaderItem(int(*column), list, header, item); !o.ok) return o;
    // Only the part of the item inside the header (and inside the list, which clips it when
    // the columns are scrolled) can take the click.
    RECT headerClient{};
    GetClientRect(header, &headerClient);
    RECT visible{};
    if (!IntersectRect(&visible, &item, &headerClient)) {
        return Fail(L"header item " + std::to_wstring(*column) + L" at " + RectText(item) +
                    L" is scrolled out of view");
    }
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&visible), 2);
    RECT listRect{};
    GetWindowRect(list, &listRect);
    if (!IntersectRect(&visible, &visible, &listRect)) {
        return Fail(L"header item " + std::to_wstring(*column) + L" lies outside the list");
    }
    // A timed click (nowait) is released at once: the 50 ms that other clicks hold the button
    // are no part of what a header click costs the program.
    if (Outcome o = ClickAt(header, Centre(visible), wait ? 50 : 0); !o.ok) return o;
    if (wait) Sleep(GetDoubleClickTime() + 100);
    return Pass();
}

// ----- timing (benchmarks) ------------------------------------------------------------------

Outcome Driver::Mark(const Command&) {
    mark_ = Clock::now();
    return Pass();
}

// Prints "elapsed LABEL <ms> ms": the time since the last mark.
Outcome Driver::Elapsed(const Command& c) {
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - mark_).count();
    wchar_t text[64];
    swprintf(text, 64, L"%.1f", ms);
    Print(L"elapsed " + c.args + L" " + text + L" ms\n");
    return Pass();
}

// Makes the control paint what is invalid now and waits until it has.
Outcome Driver::Paint(const Command& c) {
    HWND control = nullptr;
    if (Outcome o = ParseControl(c.args, control); !o.ok) return o;
    if (!RedrawWindow(control, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN)) {
        return Fail(L"RedrawWindow failed: " + LastErrorText());
    }
    return Pass();
}

Outcome Driver::PollInterval(const Command& c) {
    auto ms = ParseNumber(c.args);
    if (!ms || *ms < 1 || *ms > 1000)
        return Fail(L"expected 1 to 1000 ms, found " + Quoted(c.args));
    kPollIntervalMs = DWORD(*ms);
    return Pass();
}

// ----- checks ---------------------------------------------------------------------------------

Outcome Driver::ExpectText(const Command& c) {
    HWND control = nullptr;
    long long id = 0;
    std::wstring expected;
    if (Outcome o = ParseControlText(c.args, control, id, expected); !o.ok) return o;
    return Poll(c.timeout, [&] {
        auto actual = TextOf(control);
        if (!actual) return Fail(L"the program did not answer WM_GETTEXT");
        if (*actual != expected) {
            return Fail(L"expected " + Quoted(expected) + L", found " + Quoted(*actual));
        }
        return Pass();
    });
}

Outcome Driver::ExpectTextLength(const Command& c) {
    auto [idWord, countWord] = SplitFirst(c.args);
    HWND control = nullptr;
    if (Outcome o = ParseControl(idWord, control); !o.ok) return o;
    auto expected = ParseNumber(countWord);
    if (!expected) return Fail(L"expected a length");
    return Poll(c.timeout, [&] {
        auto length = Ask(control, WM_GETTEXTLENGTH, 0, 0);
        if (!length) return Fail(L"the program did not answer WM_GETTEXTLENGTH");
        if (*length != *expected) {
            return Fail(L"expected length " + std::to_wstring(*expected) + L", found " +
                        std::to_wstring(*length));
        }
        return Pass();
    });
}

Outcome Driver::WaitStatus(const Command& c) {
    Command status = c;
    status.args = std::to_wstring(kStatusLineId) + L" " + c.args;
    return ExpectText(status);
}

Outcome Driver::ExpectEnabledState(const Command& c, bool enabled) {
    auto words = Words(c.args);
    if (words.empty()) return Fail(L"expected one or more control ids");
    std::vector<std::pair<std::wstring, HWND>> controls;
    for (const auto& word : words) {
        HWND control = nullptr;
        if (Outcome o = ParseControl(word, control); !o.ok) return o;
        controls.emplace_back(word, control);
    }
    return Poll(c.timeout, [&] {
        std::wstring wrong;
        for (const auto& [word, control] : controls) {
            if ((IsWindowEnabled(control) != FALSE) != enabled) wrong += L" " + word;
        }
        if (!wrong.empty()) {
            return Fail(std::wstring(L"expected enabled=") + (enabled ? L"yes" : L"no") +
                        L", but these are " + (enabled ? L"disabled:" : L"enabled:") + wrong);
        }
        return Pass();
    });
}

Outcome Driver::ExpectEnabled(const Command& c) {
    return ExpectEnabledState(c, true);
}
Outcome Driver::ExpectDisabled(const Command& c) {
    return ExpectEnabledState(c, false);
}

Outcome Driver::ExpectChecked(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 2 || (words[1] != L"0" && words[1] != L"1")) {
        return Fail(L"expected ID 0|1");
    }
    HWND control = nullptr;
    if (Outcome o = ParseControl(words[0], control); !o.ok) return o;
    LRESULT expected = words[1] == L"1" ? BST_CHECKED : BST_UNCHECKED;
    return Poll(c.timeout, [&] {
        auto state = Ask(control, BM_GETCHECK, 0, 0);
        if (!state) return Fail(L"the program did not answer BM_GETCHECK");
        if (*state != expected) {
            return Fail(L"expected " + words[1] + L", found check state " +
                        std::to_wstring(*state));
        }
        return Pass();
    });
}

Outcome Driver::ExpectOnScreen(const Command& c) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const std::wstring& word : Words(c.args)) {
        HWND control = target_.window;
        if (word != L"0") {
            if (Outcome o = ParseControl(word, control); !o.ok) return o;
        }
        RECT rect{};
        RECT inside{};
        GetWindowRect(control, &rect);
        if (!IntersectRect(&inside, &rect, &work) || !EqualRect(&inside, &rect)) {
            return Fail(L"control " + word + L" at " + RectText(rect) +
                        L" is not inside the work area " + RectText(work));
        }
    }
    return Pass();
}

Outcome Driver::ExpectFocus(const Command& c) {
    auto id = ParseNumber(c.args);
    if (!id) return Fail(L"expected a control id, found " + Quoted(c.args));
    if (Outcome need = NeedTarget(); !need.ok) return need;
    return Poll(c.timeout, [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(target_.threadId, &info)) {
            return Fail(L"GetGUIThreadInfo failed (" + LastErrorText() + L")");
        }
        if (info.hwndFocus == nullptr) {
            return Fail(L"expected the focus on control " + std::to_wstring(*id) +
                        L", but no window of the program has it");
        }
        bool isControl = GetParent(info.hwndFocus) == target_.window;
        int focusId = GetDlgCtrlID(info.hwndFocus);
        if (!isControl || focusId != *id) {
            std::wstring actual = isControl
                                      ? L"control " + std::to_wstring(focusId)
                                      : L"a window of class " + Quoted(ClassOf(info.hwndFocus)) +
                                            L" with id " + std::to_wstring(focusId);
            return Fail(L"expected the focus on control " + std::to_wstring(*id) +
                        L", found it on " + actual);
        }
        return Pass();
    });
}

Outcome Driver::ExpectName(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    HWND control = nullptr;
    std::wstring expected;
    long long id = 0;
    if (Outcome o = ParseControlText(c.args, control, id, expected); !o.ok) return o;
    // IAccessible's IID by value: the one of mingw's libraries is not answered under Wine.
    static const IID kIAccessible = {
        0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    return Poll(c.timeout, [&] {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(control, DWORD(OBJID_CLIENT), kIAccessible,
                                              reinterpret_cast<void**>(&object)))) {
            return Fail(L"no accessible object for control " + std::to_wstring(id));
        }
        VARIANT self = {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        const HRESULT got = object->get_accName(self, &name);
        const std::wstring actual = SUCCEEDED(got) && name != nullptr ? name : L"";
        SysFreeString(name);
        object->Release();
        if (actual != expected) {
            return Fail(L"control " + std::to_wstring(id) + L" is named " + Quoted(actual) +
                        L", expected " + Quoted(expected));
        }
        return Pass();
    });
}

Outcome Driver::CountAnnouncements(const Command&) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    static HWINEVENTHOOK hook = nullptr;
    if (hook != nullptr) UnhookWinEvent(hook);
    hook = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, OnWinEvent,
                           target_.processId, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return Fail(L"SetWinEventHook failed (" + LastErrorText() + L")");
    announcing = GetDlgItem(target_.window, kStatusLineId);
    announcements = 0;
    return Pass();
}

Outcome Driver::ExpectAnnouncements(const Command& c) {
    const bool atLeast = c.args.starts_with(L">=");
    auto expected = ParseNumber(atLeast ? c.args.substr(2) : c.args);
    if (!expected) return Fail(L"expected a number of announcements, found " + Quoted(c.args));
    return Poll(c.timeout, [&] {
        if (atLeast ? announcements >= *expected : announcements == *expected) return Pass();
        return Fail(L"expected " + c.args + L" announcements of the status line, counted " +
                    std::to_wstring(announcements));
    });
}

Outcome Driver::ExpectRowCount(const Command& c) {
    const bool atLeast = c.args.starts_with(L">=");
    auto expected = ParseNumber(atLeast ? c.args.substr(2) : c.args);
    if (!expected) return Fail(L"expected a row count, found " + Quoted(c.args));
    Outcome outcome;
    HWND list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    return Poll(c.timeout, [&] {
        auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
        if (!count) return Fail(L"the list did not answer");
        if (atLeast ? *count < *expected : *count != *expected) {
            return Fail(L"expected " + std::wstring(atLeast ? L"at least " : L"") +
                        std::to_wstring(*expected) + L" rows, found " + std::to_wstring(*count));
        }
        return Pass();
    });
}

// The only selected row of the list, -1 for none; nullopt when the list did not answer or more
// than one row is selected.
std::optional<int> Driver::SelectedRow(HWND list) const {
    auto selected = Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    auto count = Ask(list, LVM_GETSELECTEDCOUNT, 0, 0);
    if (!selected || !count || *count > 1) return std::nullopt;
    return int(*selected);
}

Outcome Driver::ExpectSelected(const Command& c) {
    auto expected = ParseNumber(c.args);
    if (!expected) return Fail(L"expected a row number, found " + Quoted(c.args));
    Outcome outcome;
    HWND list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    return Poll(c.timeout, [&] {
        auto row = SelectedRow(list);
        if (!row) return Fail(L"the list did not answer, or more than one row is selected");
        if (*row != *expected) {
            return Fail(L"expected row " + std::to_wstring(*expected) + L" selected, found " +
                        std::to_wstring(*row));
        }
        return Pass();
    });
}

Outcome Driver::KeepColumn(const Command& c) {
    auto column = ParseNumber(c.args);
    if (!column) return Fail(L"expected a column number, found " + Quoted(c.args));
    Outcome outcome;
    HWND list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    std::wstring why;
    auto rows = ReadRows(why, int(*column));
    if (!rows) return Fail(why);
    auto selected = SelectedRow(list);
    auto top = Ask(list, LVM_GETTOPINDEX, 0, 0);
    auto perPage = Ask(list, LVM_GETCOUNTPERPAGE, 0, 0);
    if (!selected || !top || !perPage) return Fail(L"the list did not answer");
    kept_.clear();
    for (auto& row : *rows) kept_.push_back(std::move(row[0]));
    keptSelected_ = *selected;
    keptSelectedInView_ = *selected >= *top && *selected <= *top + *perPage;
    return Pass();
}

Outcome Driver::ExpectKeptSorted(const Command& c) {
    auto words = Words(c.args);
    auto column = words.size() == 2 ? ParseNumber(words[0]) : std::nullopt;
    auto selectedRow = words.size() == 2 ? ParseNumber(words[1]) : std::nullopt;
    if (!column || !selectedRow) return Fail(L"expected a column and a row number");
    std::wstring why;
    auto rows = ReadRows(why, int(*column));
    if (!rows) return Fail(why);
    std::vector<std::wstring> now;
    for (auto& row : *rows) now.push_back(std::move(row[0]));
    if (now.size() != kept_.size()) {
        return Fail(L"kept " + std::to_wstring(kept_.size()) + L" rows, the list has " +
                    std::to_wstring(now.size()));
    }
    // k: where the rows that kept their place begin.
    size_t k = now.size();
    while (k > 0 && kept_[k - 1] == now[k - 1]) --k;
    auto noCase = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
               CSTR_LESS_THAN;
    };
    std::vector<std::wstring> sortedHead(now.begin(), now.begin() + std::ptrdiff_t(k));
    std::stable_sort(sortedHead.begin(), sortedHead.end(), noCase);
    if (!std::equal(sortedHead.begin(), sortedHead.end(), kept_.begin())) {
        return Fail(L"the first " + std::to_wstring(k) +
                    L" kept rows are not the list's first rows sorted by column " +
                    std::to_wstring(*column));
    }
    if (k == 0 || k == now.size()) {
        return Fail(L"expected sorted rows followed by unsorted ones, found k = " +
                    std::to_wstring(k));
    }
    if (*selectedRow < 0 || size_t(*selectedRow) >= now.size() || keptSelected_ < 0 ||
        kept_[size_t(keptSelected_)] != now[size_t(*selectedRow)] || !keptSelectedInView_) {
        return Fail(L"the selected row (" + std::to_wstring(keptSelected_) +
                    L") is not the program of row " + std::to_wstring(*selectedRow) +
                    L", or it was not in view");
    }
    Print(L"  " + std::to_wstring(k) + L" rows sorted, " + std::to_wstring(now.size() - k) +
          L" after them in scan order\n");
    return Pass();
}

// Every cell of the list, read in the program's process; nullopt (with the reason) when the
// list did not answer.
std::optional<Rows> Driver::ReadRows(std::wstring& why, int onlyColumn) const {
    Outcome outcome;
    HWND list = Control(4, outcome);
    if (!outcome.ok) {
        why = outcome.reason;
        return std::nullopt;
    }
    std::optional<LRESULT> columns;
    if (auto header = ListHeader(list)) columns = Ask(*header, HDM_GETITEMCOUNT, 0, 0);
    auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
    if (!columns || !count) {
        why = L"the list did not answer";
        return std::nullopt;
    }
    // The LVITEMW first, then the text buffer it points to.
    constexpr size_t kTextOffset = (sizeof(LVITEMW) + 15) & ~size_t(15);
    size_t units = kCellUnits;
    auto memory =
        std::make_unique<RemoteMemory>(target_.process, kTextOffset + units * sizeof(wchar_t));
    Rows rows;
    for (int row = 0; row < *count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < *columns; ++column) {
            if (onlyColumn >= 0 && column != onlyColumn) continue;
            for (;;) {
                if (!memory->Valid()) {
                    why = L"could not allocate memory in the program (" + LastErrorText() + L")";
                    return std::nullopt;
                }
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iSubItem = column;
                item.pszText = reinterpret_cast<LPWSTR>(memory->At(kTextOffset));
                item.cchTextMax = int(units);
                wchar_t none = L'\0';
                if (!memory->Write(0, &item, sizeof item) ||
                    !memory->Write(kTextOffset, &none, sizeof none)) {
                    why = L"could not write into the program's memory";
                    return std::nullopt;
                }
                auto length = Ask(list, LVM_GETITEMTEXTW, WPARAM(row), memory->At(0));
                if (!length) {
                    why = L"the list did not answer LVM_GETITEMTEXTW";
                    return std::nullopt;
                }
                // A text that fills the buffer may have been cut: read it again with more room.
                if (size_t(*length) + 1 >= units && units < kMaxCellUnits) {
                    units *= 4;
                    memory = std::make_unique<RemoteMemory>(target_.process,
                                                            kTextOffset + units * sizeof(wchar_t));
                    continue;
                }
                std::wstring text(std::min(size_t(*length), units), L'\0');
                if (!text.empty() &&
                    !memory->Read(kTextOffset, text.data(), text.size() * sizeof(wchar_t))) {
                    why = L"could not read the program's memory";
                    return std::nullopt;
                }
                cells.push_back(std::move(text));
                break;
            }
        }
        rows.push_back(std::move(cells));
    }
    return rows;
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

Outcome Driver::ExpectRows(const Command& c) {
    if (c.args.empty()) return Fail(L"expected a rows file");
    std::wstring path = ScenarioPath(c.args);
    auto bytes = ReadWholeFile(path);
    if (!bytes) return Fail(L"could not read " + path + L" (" + LastErrorText() + L")");
    std::string_view utf8 = *bytes;
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    std::wstring why;
    auto expected = ParseRowsFile(FromUtf8(utf8), why);
    if (!expected) return Fail(path + L": " + why);
    if (Outcome need = NeedTarget(); !need.ok) return need;
    return Poll(c.timeout, [&] {
        std::wstring readWhy;
        auto actual = ReadRows(readWhy);
        if (!actual) return Fail(readWhy);
        std::wstring difference = FirstDifference(*expected, *actual);
        if (!difference.empty()) return Fail(difference);
        return Pass();
    });
}

Outcome Driver::DumpRows(const Command& c) {
    if (c.args.empty()) return Fail(L"expected a rows file");
    if (Outcome need = NeedTarget(); !need.ok) return need;
    std::wstring why;
    auto rows = ReadRows(why);
    if (!rows) return Fail(why);
    std::string utf8 = ToUtf8(RowsFileText(*rows));
    std::wstring path = FullPath(c.args);
    if (!WriteWholeFile(path, utf8.data(), utf8.size())) {
        return Fail(L"could not write " + path + L" (" + LastErrorText() + L")");
    }
    Print(L"  " + std::to_wstring(rows->size()) + L" rows written to " + path + L"\n");
    return Pass();
}

std::wstring ColourText(uint32_t rgb) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"%06X", rgb & 0xFFFFFF);
    return buffer;
}

Outcome Driver::ExpectRowBackground(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 2) return Fail(L"expected ROW RRGGBB");
    auto row = ParseNumber(words[0]);
    if (!row) return Fail(L"expected a row number, found " + Quoted(words[0]));
    uint32_t expected = 0;
    const bool contrast = words[1].starts_with(L"contrast>=");
    const double least = contrast ? _wtof(words[1].substr(10).c_str()) : 0;
    if (!contrast && words[1].size() != 6) return Fail(L"expected RRGGBB or contrast>=R");
    for (wchar_t ch : contrast ? L"" : words[1]) {
        int digit = HexDigit(ch);
        if (digit < 0) return Fail(L"expected the colour as six hex digits RRGGBB");
        expected = expected * 16 + uint32_t(digit);
    }
    Outcome outcome;
    HWND list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    return Poll(c.timeout, [&] {
        std::wstring why;
        auto rect = VisibleRowRect(list, int(*row), why);
        if (!rect) return Fail(why);
        if (contrast) {
            // The first cell, inside the grid lines at its edges.
            auto header = ListHeader(list);
            auto first = header ? RemoteRect(target_.process, *header, HDM_GETITEMRECT, 0, {})
                                : std::nullopt;
            if (!first) return Fail(L"no header item 0");
            rect->right = std::min(rect->right, rect->left + first->right - first->left - 3);
            rect->left += 3;
            rect->top += 2;
            rect->bottom -= 2;
        }
        std::vector<uint32_t> pixels = CaptureScreen(*rect);
        if (pixels.empty()) return Fail(L"could not copy the screen (" + LastErrorText() + L")");
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
            return Fail(L"row " + std::to_wstring(*row) + L": the text's contrast with its " +
                        ColourText(most) + L" background is at most " + std::to_wstring(best));
        }
        if (most != expected) {
            return Fail(L"row " + std::to_wstring(*row) + L" at screen " + RectText(*rect) +
                        L" is mostly " + ColourText(most) + L" (" +
                        std::to_wstring(mostCount * 100 / pixels.size()) +
                        L"% of its pixels), expected " + ColourText(expected));
        }
        return Pass();
    });
}

Outcome Driver::ExpectHeaderArrow(const Command& c) {
    auto words = Words(c.args);
    if (words.size() != 2 || (words[1] != L"none" && words[1] != L"up" && words[1] != L"down")) {
        return Fail(L"expected COL none|up|down");
    }
    auto column = ParseNumber(words[0]);
    if (!column) return Fail(L"expected a column number, found " + Quoted(words[0]));
    Outcome outcome;
    HWND list = Control(4, outcome);
    if (!outcome.ok) return outcome;
    return Poll(c.timeout, [&] {
        auto header = ListHeader(list);
        if (!header) return Fail(L"the list has no header");
        RemoteMemory memory(target_.process, sizeof(HDITEMW));
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!memory.Valid() || !memory.Write(0, &item, sizeof item)) {
            return Fail(L"could not write into the program's memory");
        }
        auto answer = Ask(*header, HDM_GETITEMW, WPARAM(*column), memory.At(0));
        if (!answer || *answer == 0 || !memory.Read(0, &item, sizeof item)) {
            return Fail(L"the header gave no item " + std::to_wstring(*column));
        }
        bool up = (item.fmt & HDF_SORTUP) != 0;
        bool down = (item.fmt & HDF_SORTDOWN) != 0;
        std::wstring actual = up && down ? L"both up and down"
                              : up       ? L"up"
                              : down     ? L"down"
                                         : L"none";
        if (actual != words[1]) {
            return Fail(L"expected arrow " + words[1] + L", found " + actual);
        }
        return Pass();
    });
}

// ----- boxes and dialogs ----------------------------------------------------------------------

HWND Driver::FindBox(const std::wstring& title) const {
    for (HWND box : TopLevelWindows(target_.processId, L"#32770")) {
        if (TitleOf(box) == title) return box;
    }
    return nullptr;
}

// The program's boxes and dialogs with their titles and texts, for failure messages.
std::wstring Driver::DescribeBoxes() const {
    std::wstring text;
    for (HWND box : TopLevelWindows(target_.processId, L"#32770")) {
        text += text.empty() ? L"" : L", ";
        text += Quoted(TitleOf(box));
        if (HWND label = GetDlgItem(box, 0xFFFF)) {
            auto labelText = TextOf(label);
            text += L": " + (labelText ? Quoted(*labelText) : L"(no answer)");
        }
    }
    return text.empty() ? L"the program shows no box or dialog" : L"the program shows " + text;
}

Outcome Driver::WaitForBox(const std::wstring& title, DWORD timeout, HWND& box) const {
    return Poll(timeout, [&] {
        box = FindBox(title);
        if (box == nullptr)
            return Fail(L"no box titled " + Quoted(title) + L"; " + DescribeBoxes());
        return Pass();
    });
}

// Presses a button of a box or dialog by posting the WM_COMMAND that the button sends when it
// is clicked, then waits until the box is gone.
Outcome Driver::PressDialogButton(HWND box, int buttonId, DWORD timeout) const {
    HWND button = GetDlgItem(box, buttonId);
    if (button == nullptr || !IsWindowVisible(button)) {
        return Fail(L"the box " + Quoted(TitleOf(box)) + L" has no button with id " +
                    std::to_wstring(buttonId));
    }
    if (!IsWindowEnabled(button)) {
        return Fail(L"button " + std::to_wstring(buttonId) + L" of the box is disabled");
    }
    if (!PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), LPARAM(button))) {
        return Fail(L"could not post the button's command (" + LastErrorText() + L")");
    }
    std::wstring title = TitleOf(box);
    return Poll(timeout, [&] {
        if (IsWindow(box) && IsWindowVisible(box)) {
            return Fail(L"the box " + Quoted(title) + L" is still open; " + DescribeBoxes());
        }
        return Pass();
    });
}

Outcome Driver::ExpectBox(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    std::wstring why;
    auto both = Unescape(c.args, why);
    if (!both) return Fail(why);
    size_t tab = both->find(L'\t');
    std::wstring title = both->substr(0, tab);
    std::wstring text = tab == std::wstring::npos ? L"" : both->substr(tab + 1);
    return Poll(c.timeout, [&] {
        HWND box = FindBox(title);
        if (box == nullptr) {
            return Fail(L"no box titled " + Quoted(title) + L"; " + DescribeBoxes());
        }
        // Keys pressed next go to the foreground window: without a text, wait for the box there.
        if (tab == std::wstring::npos) {
            if (GetForegroundWindow() == box) return Pass();
            return Fail(L"the box " + Quoted(title) + L" is not in the foreground");
        }
        HWND label = GetDlgItem(box, 0xFFFF);
        if (label == nullptr) return Fail(L"the box " + Quoted(title) + L" has no text");
        auto actual = TextOf(label);
        if (!actual) return Fail(L"the box did not answer WM_GETTEXT");
        if (*actual != text) {
            return Fail(L"box " + Quoted(title) + L": expected text " + Quoted(text) + L", found " +
                        Quoted(*actual));
        }
        return Pass();
    });
}

Outcome Driver::ExpectNoBox(const Command&) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    if (!TopLevelWindows(target_.processId, L"#32770").empty()) return Fail(DescribeBoxes());
    return Pass();
}

Outcome Driver::AnswerBox(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    size_t blank = c.args.find_last_of(L" \t");
    if (blank == std::wstring::npos) return Fail(L"expected TITLE BUTTON");
    std::wstring buttonWord = c.args.substr(blank + 1);
    static const std::pair<const wchar_t*, int> kButtons[] = {
        {L"yes", IDYES}, {L"no", IDNO}, {L"ok", IDOK}, {L"cancel", IDCANCEL}};
    int buttonId = 0;
    for (const auto& [word, id] : kButtons) {
        if (buttonWord == word) buttonId = id;
    }
    if (buttonId == 0)
        return Fail(L"expected the button yes|no|ok|cancel, found " + Quoted(buttonWord));
    std::wstring why;
    auto title = Unescape(std::wstring_view(c.args).substr(0, blank), why);
    if (!title) return Fail(why);
    HWND box = nullptr;
    if (Outcome o = WaitForBox(*title, c.timeout, box); !o.ok) return o;
    return PressDialogButton(box, buttonId, c.timeout);
}

Outcome Driver::SaveDialog(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    if (c.args.empty()) return Fail(L"expected the path to save to");
    std::wstring path = FullPath(c.args);
    HWND dialog = nullptr;
    if (Outcome o = WaitForBox(kSaveDialogTitle, c.timeout, dialog); !o.ok) return o;
    // The file name field: cmb13 (a combo box with an edit inside) in the Explorer-style
    // dialog, edt1 in the old style.
    HWND nameField = FindDescendant(dialog, 0x47C);
    if (nameField == nullptr) nameField = FindDescendant(dialog, 0x480);
    if (nameField == nullptr) return Fail(L"the save dialog has no file name field (0x47C, 0x480)");
    if (ClassOf(nameField) != L"Edit") {
        if (HWND edit = FindDescendant(nameField, -1, L"Edit")) nameField = edit;
    }
    if (!Ask(nameField, WM_SETTEXT, 0, LPARAM(path.c_str()), c.timeout)) {
        return Fail(L"the save dialog did not take the file name");
    }
    auto shown = TextOf(nameField, c.timeout);
    if (!shown || *shown != path) {
        return Fail(L"the file name field shows " + (shown ? Quoted(*shown) : L"nothing") +
                    L" instead of " + Quoted(path));
    }
    return PressDialogButton(dialog, IDOK, c.timeout);
}

Outcome Driver::CancelDialog(const Command& c) {
    if (Outcome need = NeedTarget(); !need.ok) return need;
    std::wstring why;
    auto title = Unescape(c.args, why);
    if (!title) return Fail(why);
    HWND box = nullptr;
    if (Outcome o = WaitForBox(*title, c.timeout, box); !o.ok) return o;
    return PressDialogButton(box, IDCANCEL, c.timeout);
}

// ----- artefacts ------------------------------------------------------------------------------

Outcome Driver::Screenshot(const Command& c) {
    if (c.args.empty()) return Fail(L"expected a .bmp file");
    return SaveScreenshot(FullPath(c.args));
}

Outcome Driver::FailScreenshot(const Command& c) {
    if (c.args.empty()) return Fail(L"expected a .bmp file");
    failScreenshot_ = FullPath(c.args);
    return Pass();
}

// The folder that holds a file, from its full path.
std::wstring FolderOf(const std::wstring& fullPath) {
    size_t slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : fullPath.substr(0, slash);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        Print(L"usage: driver.exe SCRIPT\n");
        return 2;
    }
    std::wstring scriptPath = FullPath(argv[1]);
    auto bytes = ReadWholeFile(scriptPath);
    if (!bytes) {
        Print(L"FAIL line 0: " + scriptPath + L": cannot read the script (" + LastErrorText() +
              L")\n");
        return 1;
    }
    std::string_view utf8 = *bytes;
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    std::wstring script = FromUtf8(utf8);

    // For the accessible objects of expect-name.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Driver driver(FolderOf(scriptPath));
    size_t start = 0;
    int lineNumber = 0;
    while (start <= script.size()) {
        size_t end = script.find(L'\n', start);
        if (end == std::wstring::npos) end = script.size();
        std::wstring_view line = std::wstring_view(script).substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() == L'#') continue;

        Print(L"line " + std::to_wstring(lineNumber) + L": " + std::wstring(line) + L"\n");
        Outcome outcome = driver.Run(line);
        if (!outcome.ok) {
            Print(L"FAIL line " + std::to_wstring(lineNumber) + L": " + std::wstring(line) + L": " +
                  outcome.reason + L"\n");
            driver.CleanUpAfterFailure();
            return 1;
        }
    }
    Print(L"PASS\n");
    return 0;
}
