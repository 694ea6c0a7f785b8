// The driver's text: UTF-8 at the edges (script, rows files, console), UTF-16 inside; the
// escapes and words of a command line, its arguments, and the files the driver reads and writes.
#pragma once

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The driver only talks to Win32, whose wide text is UTF-16; it keeps all text as wchar_t.
static_assert(sizeof(wchar_t) == 2, "Win32 wide text is UTF-16");

namespace e2e {

// The result of one command or check: passed, or failed with the reason to print.
struct Outcome {
    bool ok = true;
    std::wstring reason;
};
Outcome Pass();
Outcome Fail(std::wstring reason);
// A failed Windows call: what could not be done, followed by the thread's last error.
Outcome FailWithError(std::wstring_view what);
std::wstring LastErrorText();

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
// Writes UTF-8 to standard output at once (no CRT buffering, no text-mode conversion), so that
// the output interleaves correctly with anything the harness prints.
void Print(std::wstring_view text);

// The escaped form of a text as the script and the row files write it: \t \n \r \\ for those
// characters, \xHHHH for other control characters and for surrogates without their partner
// (which UTF-8 cannot carry); everything else as it is.
std::wstring Escape(std::wstring_view text);
// A text in a failure message: quoted and escaped, so that blanks and control characters show.
std::wstring Quoted(std::wstring_view text);
// Decodes the escapes \n \t \r \b \\ \xHHHH. Returns nullopt, with the reason in error, for a
// backslash that starts no known escape, so that a typo never passes silently as text.
std::optional<std::wstring> Unescape(std::wstring_view raw, std::wstring& error);

bool IsBlank(wchar_t c);
// The blank-separated words of a text.
std::vector<std::wstring> Words(std::wstring_view text);
// The first word of a text and the rest after the one blank that ends it (the rest keeps any
// further blanks, which belong to a TEXT argument).
std::pair<std::wstring, std::wstring> SplitFirst(std::wstring_view text);
// The lines of a text without their LF or CR LF; a last LF ends the last line.
std::vector<std::wstring_view> Lines(std::wstring_view text);
// A whole word as a signed decimal number, or hexadecimal after "0x"; nullopt for anything
// else (a leading zero does not make it octal: row "08" is row 8).
std::optional<long long> ParseNumber(std::wstring_view word);
// A number argument from least to most; the failure says that `what` ("a row number") was
// expected and what was found.
Outcome NumberArg(std::wstring_view word, std::wstring_view what, long long& value,
                  long long least = LLONG_MIN, long long most = LLONG_MAX);
// A count argument "N", or ">=N" for at least N.
struct Count {
    long long value = 0;
    bool atLeast = false;
    bool HeldBy(long long n) const { return atLeast ? n >= value : n == value; }
    std::wstring Text() const { return (atLeast ? L"at least " : L"") + std::to_wstring(value); }
};
Outcome CountArg(std::wstring_view word, std::wstring_view what, Count& count);

// A rows file: UTF-8, one row per line (LF or CR LF), fields separated by TAB, with escapes.
using Rows = std::vector<std::vector<std::wstring>>;
std::wstring RowsFileText(const Rows& rows);
// Parses a rows file's text; nullopt with the reason for a bad escape.
std::optional<Rows> ParseRowsFile(std::wstring_view text, std::wstring& error);

bool IsRelativePath(std::wstring_view path);
// The absolute form of a path; a relative one is taken from the current directory.
std::wstring FullPath(const std::wstring& path);
// The folder that holds a file, from its full path.
std::wstring FolderOf(const std::wstring& fullPath);
// A UTF-8 file (a byte order mark is allowed) as UTF-16; nullopt when it cannot be read.
std::optional<std::wstring> ReadTextFile(const std::wstring& path);
// Writes a file, or fails saying which and why.
Outcome WriteWholeFile(const std::wstring& path, const void* data, size_t size);

}  // namespace e2e
