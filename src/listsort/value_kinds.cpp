#include "listsort/value_kinds.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace {

// The white space that the "C" locale's isspace accepts: blank, \t, \n, \v, \f and \r.
bool IsCSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool EqualsIgnoringAsciiCase(TextView text, TextView word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(word[i])) return false;
    }
    return true;
}

// The last count code units of the text, or the whole text when it is shorter.
TextView Tail(TextView text, size_t count) {
    return text.substr(text.size() > count ? text.size() - count : 0);
}

// Size units as they may end a cell, each preceded by the blank that separates it from the number.
constexpr TextView kSizeUnitTexts = u" KB MB GB TB";

// Size units are upper-cased with the "C" mapping: they are matched only against A-Z and a blank,
// and no code unit outside ASCII upper-cases to one of those, so a locale's mapping would change
// nothing.
bool EndsInSizeUnit(TextView text) {
    return kSizeUnitTexts.find(FoldedText(Tail(text, 3), AsciiUpper)) != TextView::npos;
}

// True when every listed 1-based position holds a non-digit.
template <size_t Count>
bool NonDigitsAt(TextView text, const size_t (&positions)[Count]) {
    return std::none_of(std::begin(positions), std::end(positions),
                        [text](size_t p) { return IsDigitAt(text, p); });
}

// Whether a decimal number that does not fit the double range is too large (rather than too
// small): its magnitude is at least 1 exactly when the position of its first significant digit,
// shifted by the exponent, is at or above the units place. number is ASCII, validated by the
// caller, with a non-zero mantissa.
bool IsAtLeastOne(std::string_view number) {
    size_t i = 0;
    int64_t integerDigits = 0;  // significant digits before the point
    int64_t leadingZeros = 0;   // zeros after the point before the first significant digit
    bool significant = false;
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
        if (number[i] != '0') significant = true;
        if (significant) ++integerDigits;
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
            if (number[i] != '0') significant = true;
            if (!significant) ++leadingZeros;
        }
    }
    int64_t scale = integerDigits > 0 ? integerDigits - 1 : -leadingZeros - 1;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        bool negative = false;
        if (number[i] == '+' || number[i] == '-') negative = number[i++] == '-';
        // Capped well above any double exponent, so a long exponent cannot overflow.
        int64_t exponent = 0;
        for (; i < number.size(); ++i) {
            exponent = std::min<int64_t>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
        }
        scale += negative ? -exponent : exponent;
    }
    return scale >= 0;
}

// Rounds to single precision as IEEE round-to-nearest does. Spelled out because a static_cast of
// a double beyond the float range is undefined behaviour in C++.
float NarrowToFloat(double value) {
    // FLT_MAX plus half of its last place: from here on, the nearest float (ties to even) is
    // infinity.
    constexpr double kInfinityThreshold = 0x1.ffffffp127;
    const double magnitude = std::fabs(value);
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (magnitude >= kInfinityThreshold) {
        const float infinity = std::numeric_limits<float>::infinity();
        return value < 0 ? -infinity : infinity;
    }
    if (magnitude > FLT_MAX) return value < 0 ? -FLT_MAX : FLT_MAX;
    return static_cast<float>(value);
}

// Rounds to the nearest integer, halves to even, saturating at the ends of the 64-bit range (the
// conversion of a double beyond that range is undefined behaviour). NaN gives 0.
int64_t RoundToInt64(double value) {
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (std::isnan(value)) return 0;
    if (value >= kTwoTo63) return std::numeric_limits<int64_t>::max();
    if (value < -kTwoTo63) return std::numeric_limits<int64_t>::min();
    // Truncation and the remaining fraction are exact in double precision, and neither depends
    // on the process's rounding mode.
    double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += value < 0 ? -1.0 : 1.0;
    }
    return static_cast<int64_t>(whole);
}

struct SizeUnit {
    TextView unit;
    double factor;
};

// Tried in this order against the upper-cased last two code units of a size text.
constexpr SizeUnit kSizeUnits[] = {
    {u"TB", 1099511627776.0},
    {u"GB", 1073741824.0},
    {u"MB", 1048576.0},
    {u"KB", 1024.0},
};

}  // namespace

size_t CountNonDigits(TextView text) {
    return size_t(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return !IsAsciiDigit(c); }));
}

bool IsDigitAt(TextView text, size_t position) {
    return position >= 1 && position <= text.size() && IsAsciiDigit(text[position - 1]);
}

ColumnKind DetectCellKind(TextView text) {
    const size_t nonDigits = CountNonDigits(text);
    const size_t length = text.size();
    if (nonDigits > 0 && EndsInSizeUnit(text)) return ColumnKind::Size;
    switch (nonDigits) {
        case 0:
            return ColumnKind::WholeNumber;
        case 1:
            if (text.find_first_of(u",.") != TextView::npos) return ColumnKind::DecimalNumber;
            if (text[0] == u'$' || text[0] == u'%') return ColumnKind::WholeNumber;
            return ColumnKind::PlainText;
        case 2:
            return length == 10 && NonDigitsAt(text, {3, 6}) ? ColumnKind::Date
                                                             : ColumnKind::PlainText;
        case 4:
            return length == 16 && NonDigitsAt(text, {3, 6, 11, 14}) ? ColumnKind::Date
                                                                     : ColumnKind::PlainText;
        case 5:
            return length == 19 && NonDigitsAt(text, {3, 6, 11, 14, 17}) ? ColumnKind::Date
                                                                         : ColumnKind::PlainText;
        default:
            return ColumnKind::PlainText;
    }
}

float TextToFloat(TextView text) {
    if (EqualsIgnoringAsciiCase(text, u"+Infinity")) return std::numeric_limits<float>::infinity();
    if (EqualsIgnoringAsciiCase(text, u"-Infinity")) return -std::numeric_limits<float>::infinity();
    if (EqualsIgnoringAsciiCase(text, u"NaN")) return std::numeric_limits<float>::quiet_NaN();

    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // The number is copied as ASCII and converted by std::from_chars, which is correctly rounded
    // and ignores the process locale.
    std::string number;
    size_t mantissaDigits = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i, ++mantissaDigits)
        number.push_back(char(text[i]));
    if (i < text.size() && text[i] == u'.') {
        number.push_back('.');
        for (++i; i < text.size() && IsAsciiDigit(text[i]); ++i, ++mantissaDigits) {
            number.push_back(char(text[i]));
        }
    }
    if (mantissaDigits == 0) return 0.0f;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
        // An "e" without exponent digits is not part of the number: 1e reads as 1.
        if (j < text.size() && IsAsciiDigit(text[j])) {
            for (; i < text.size() && (i < j || IsAsciiDigit(text[i])); ++i)
                number.push_back(char(text[i]));
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = IsAtLeastOne(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return NarrowToFloat(negative ? -value : value);
}

int64_t SizeInBytes(TextView text) {
    const Text unit = FoldedText(Tail(text, 2), AsciiUpper);
    for (const SizeUnit& size : kSizeUnits) {
        if (unit == size.unit) return RoundToInt64(double(TextToFloat(text)) * size.factor);
    }
    return TextToInteger(text);
}

int CompareFoldedTexts(TextView a, TextView b, SortDirection direction) {
    // Code unit by code unit as unsigned 16-bit values, a prefix first.
    const int order = a.compare(b);
    return CompareKeys(order < 0 ? -1 : order > 0 ? 1 : 0, 0, direction);
}

float DecimalNumberKey(TextView text) {
    Text pointed(text);
    const size_t comma = pointed.find(u',');
    if (comma != Text::npos) pointed[comma] = u'.';
    return TextToFloat(pointed);
}
