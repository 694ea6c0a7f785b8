// The one adapter between the platform-free UTF-16 text and the wchar_t of the Win32 calls.
#pragma once

#include <string>

#include "common/text.h"

static_assert(sizeof(wchar_t) == 2, "Win32 wide text is UTF-16");

inline std::wstring ToWide(TextView text) { return std::wstring(text.begin(), text.end()); }

inline Text FromWide(const wchar_t* chars, size_t count) { return Text(chars, chars + count); }

inline Text FromWide(std::wstring_view text) { return Text(text.begin(), text.end()); }
