// The one adapter between the platform-free UTF-16 text and the text of the Win32 calls: wchar_t
// (UTF-16 too) and the system's ANSI code page.
#pragma once

#include <windows.h>

#include <climits>
#include <optional>
#include <string>

#include "common/text.h"

static_assert(sizeof(wchar_t) == 2, "Win32 wide text is UTF-16");

[[nodiscard]] inline std::wstring ToWide(TextView text) {
    return std::wstring(text.begin(), text.end());
}

[[nodiscard]] inline Text FromWide(const wchar_t* chars, size_t count) {
    return Text(chars, chars + count);
}

[[nodiscard]] inline Text FromWide(std::wstring_view text) {
    return Text(text.begin(), text.end());
}

// text in the ANSI code page (CP_ACP), converted without flags: a character the code page lacks
// becomes its best-fit character where the code page has one ("Straße" gives "Strase" under 932,
// "İ" gives "I" under 1252), otherwise the code page's default character; none when the
// conversion fails.
[[nodiscard]] inline std::optional<std::string> ToAnsiCodePage(TextView text) {
    if (text.empty()) return std::string();
    if (text.size() > size_t(INT_MAX)) return std::nullopt;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = int(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string bytes(size_t(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide, length, bytes.data(), size, nullptr, nullptr) !=
        size) {
        return std::nullopt;
    }
    return bytes;
}
