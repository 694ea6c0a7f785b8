// UTF-16 text of the platform-free code, and the integer rule shared by every subsystem.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using Text = std::u16string;
using TextView = std::u16string_view;

// Maps one UTF-16 code unit to another (case folding is injected through this, so the
// platform-free code never depends on a process locale).
using CodeUnitMap = char16_t (*)(char16_t);

// Folds A-Z to a-z and leaves every other code unit alone: the mapping of the "C" locale.
char16_t AsciiLower(char16_t c);
char16_t AsciiUpper(char16_t c);

// One of the ten ASCII digits, and nothing else (no other script's digits, no sign or point).
[[nodiscard]] inline bool IsAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// A fold whose results for the code units 0..255 are looked up once, so that the common Latin-1
// text of program names and paths costs a table read per code unit instead of a call through
// fold, even where fold is a table itself (LocaleLower): without it a text sort of 10,000 rows
// took about 5 ms longer and a search keystroke about 3 ms (bench/run.sh, fastest of 5). Gives
// what fold gives: fold must be pure.
struct FoldTable {
    static constexpr size_t kSize = 256;
    explicit FoldTable(CodeUnitMap fold);
    char16_t operator()(char16_t c) const { return c < kSize ? low[c] : fold(c); }
    std::array<char16_t, kSize> low{};
    CodeUnitMap fold;
};

// The text with every code unit mapped by fold (a CodeUnitMap or a FoldTable).
template <typename Fold>
[[nodiscard]] Text FoldedText(TextView text, const Fold& fold) {
    Text folded(text);
    for (char16_t& c : folded) c = fold(c);
    return folded;
}

// The integer value of a text: blanks and tabs skipped, an optional sign, then "$" hex digits,
// "%" binary digits (kept on purpose: docs/behaviour.md) or decimal digits up to the first
// non-digit. No digits give 0. The value wraps as a signed 64-bit integer (computed unsigned, so
// no input is undefined behaviour).
int64_t TextToInteger(TextView text);

// Signed decimal text of a 64-bit integer: no leading zeros, "-" only for negative values.
[[nodiscard]] Text IntegerToText(int64_t value);

// Widens 7-bit text (literals, digits) to UTF-16.
[[nodiscard]] Text AsciiToText(std::string_view ascii);

// The title of every box that reports an error.
inline constexpr TextView kErrorTitle = u"Error";
