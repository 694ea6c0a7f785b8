// TextToFloat on any text.
// Input: the whole input is the text (decoding in fuzz_support.h).
// Properties: the result equals the C library's reading of the same text (strtod in the "C"
// locale, which this process never leaves) narrowed to single precision, except where the
// program reads less than strtod: no hexadecimal numbers ("0x1p3" reads as 0) and no "inf" or
// "nan" words (they read as 0); only the whole texts "+Infinity", "-Infinity" and "NaN", in any
// case, give infinities and NaN. Bit for bit, so the sign of a zero counts too.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz_support.h"
#include "listsort/value_kinds.h"

namespace {

bool IsWholeWord(TextView text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (AsciiLower(text[i]) != char16_t(AsciiLower(char16_t(word[i])))) return false;
    }
    return true;
}

// Single precision nearest to value, ties to even, also beyond the float range (where a plain
// conversion would be undefined): from FLT_MAX plus half its last place on, that is infinity.
float NearestFloat(double value) {
    if (std::isnan(value) || std::fabs(value) <= FLT_MAX) return static_cast<float>(value);
    const double halfwayToInfinity = double(FLT_MAX) + std::ldexp(1.0, 103);
    const float magnitude =
        std::fabs(value) >= halfwayToInfinity ? std::numeric_limits<float>::infinity() : FLT_MAX;
    return std::signbit(value) ? -magnitude : magnitude;
}

float ReferenceFloat(TextView text) {
    if (IsWholeWord(text, "+infinity")) return std::numeric_limits<float>::infinity();
    if (IsWholeWord(text, "-infinity")) return -std::numeric_limits<float>::infinity();
    if (IsWholeWord(text, "nan")) return std::numeric_limits<float>::quiet_NaN();
    // Code units outside ASCII end a number, as DEL does for strtod.
    std::string narrow;
    for (char16_t c : text) narrow.push_back(c < 0x80 ? char(c) : '\x7f');
    size_t i = 0;
    while (i < narrow.size() && (narrow[i] == ' ' || (narrow[i] >= '\t' && narrow[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) negative = narrow[i++] == '-';
    // Where strtod would read a hexadecimal number, the program reads the 0 before the x.
    if (narrow.compare(i, 2, "0x") == 0 || narrow.compare(i, 2, "0X") == 0) {
        return negative ? -0.0f : 0.0f;
    }
    // Where strtod would read an inf or nan word, the program finds no number.
    if (i < narrow.size() && std::strchr("iInN", narrow[i]) != nullptr && narrow[i] != '\0') {
        return 0.0f;
    }
    return NearestFloat(std::strtod(narrow.c_str(), nullptr));
}

bool SameFloat(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text = fuzz::DecodeText({reinterpret_cast<const char*>(data), size});
    const float value = TextToFloat(text);
    const float expected = ReferenceFloat(text);
    char detail[96];
    std::snprintf(detail, sizeof detail, " gave %a, expected %a", double(value), double(expected));
    FUZZ_CHECK(SameFloat(value, expected), fuzz::Printable(text) + detail);
    return 0;
}
