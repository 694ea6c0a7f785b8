#include "script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>

namespace e2e {
namespace {

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

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The escapes of one letter: the letter and the character it stands for.
constexpr std::pair<wchar_t, wchar_t> kLetterEscapes[] = {
    {L'n', L'\n'}, {L't', L'\t'}, {L'r', L'\r'}, {L'b', L'\b'}, {L'\\', L'\\'}};

}  // namespace

Outcome Pass() {
    return {};
}
Outcome Fail(std::wstring reason) {
    return {false, std::move(reason)};
}
std::wstring LastErrorText() {
    return L"Windows error " + std::to_wstring(GetLastError());
}
Outcome FailWithError(std::wstring_view what) {
    return Fail(std::wstring(what) + L" (" + LastErrorText() + L")");
}

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

std::wstring Escape(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\t' || c == L'\n' || c == L'\r' || c == L'\\') {
            out += c == L'\t' ? L"\\t" : c == L'\n' ? L"\\n" : c == L'\r' ? L"\\r" : L"\\\\";
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += text.substr(i++, 2);
        } else if (c < 0x20 || c == 0x7F || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += L"\\x" + Hex4(c);
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring Quoted(std::wstring_view text) {
    return L"\"" + Escape(text) + L"\"";
}

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
        const wchar_t kind = raw[++i];
        if (kind == L'x') {
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
            continue;
        }
        const size_t before = out.size();
        for (auto [letter, character] : kLetterEscapes) {
            if (kind == letter) out += character;
        }
        if (out.size() == before) {
            error = std::wstring(L"unknown escape \\") + kind;
            return std::nullopt;
        }
    }
    return out;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

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

std::pair<std::wstring, std::wstring> SplitFirst(std::wstring_view text) {
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    size_t end = start;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::wstring rest = end < text.size() ? std::wstring(text.substr(end + 1)) : std::wstring();
    return {std::wstring(text.substr(start, end - start)), rest};
}

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

Outcome NumberArg(std::wstring_view word, std::wstring_view what, long long& value, long long least,
                  long long most) {
    auto number = ParseNumber(word);
    if (!number || *number < least || *number > most) {
        return Fail(L"expected " + std::wstring(what) + L", found " + Quoted(word));
    }
    value = *number;
    return Pass();
}

Outcome CountArg(std::wstring_view word, std::wstring_view what, Count& count) {
    count.atLeast = word.starts_with(L">=");
    return NumberArg(word.substr(count.atLeast ? 2 : 0), what, count.value);
}

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

std::vector<std::wstring_view> Lines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::optional<Rows> ParseRowsFile(std::wstring_view text, std::wstring& error) {
    Rows rows;
    int lineNumber = 0;
    for (std::wstring_view line : Lines(text)) {
        ++lineNumber;
        std::vector<std::wstring> row;
        for (size_t fieldStart = 0;;) {
            size_t tab = line.find(L'\t', fieldStart);
            std::wstring why;
            auto field = Unescape(line.substr(fieldStart, tab - fieldStart), why);
            if (!field) {
                error = L"line " + std::to_wstring(lineNumber) + L": " + why;
                return std::nullopt;
            }
            row.push_back(*field);
            if (tab == std::wstring_view::npos) break;
            fieldStart = tab + 1;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool IsRelativePath(std::wstring_view path) {
    if (path.empty()) return true;
    if (path[0] == L'\\' || path[0] == L'/') return false;
    return !(path.size() >= 2 && path[1] == L':');
}

std::wstring FullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring out(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, out.data(), nullptr);
    out.resize(size);
    return out;
}

std::wstring FolderOf(const std::wstring& fullPath) {
    size_t slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : fullPath.substr(0, slash);
}

std::optional<std::wstring> ReadTextFile(const std::wstring& path) {
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
    std::string_view utf8 = bytes;
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    return FromUtf8(utf8);
}

Outcome WriteWholeFile(const std::wstring& path, const void* data, size_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailWithError(L"could not write " + path);
    DWORD written = 0;
    bool ok = WriteFile(file, data, DWORD(size), &written, nullptr) && written == size;
    if (CloseHandle(file) && ok) return Pass();
    return FailWithError(L"could not write " + path);
}

}  // namespace e2e
