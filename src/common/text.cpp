#include "common/text.h"

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

namespace {

// Value of c as a digit of the base, or -1 when it is not one.
int DigitValue(char16_t c, unsigned base) {
    int v = -1;
    if (IsAsciiDigit(c)) {
        v = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
        v = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
        v = c - u'A' + 10;
    }
    return (v >= 0 && unsigned(v) < base) ? v : -1;
}

}  // namespace

int64_t TextToInteger(TextView text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == u'%') {
        base = 2;
        ++i;
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int digit = DigitValue(text[i], base);
        if (digit < 0) break;
        value = value * base + unsigned(digit);
    }
    if (negative) value = 0 - value;
    return static_cast<int64_t>(value);  // two's complement wrap, defined since C++20
}

Text IntegerToText(int64_t value) {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : uint64_t(value);
    char16_t digits[24];
    size_t n = 0;
    do {
        digits[n++] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    Text text;
    if (value < 0) text.push_back(u'-');
    while (n > 0) text.push_back(digits[--n]);
    return text;
}

Text AsciiToText(std::string_view ascii) {
    return Text(ascii.begin(), ascii.end());
}

FoldTable::FoldTable(CodeUnitMap map) : fold(map) {
    for (size_t c = 0; c < kSize; ++c) low[c] = fold(char16_t(c));
}
