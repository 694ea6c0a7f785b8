// What every fuzz target shares: how the fuzzer's bytes become texts, the reporting of a broken
// property, and a few pure case mappings to run the searches and comparisons with.
//
// Input layout. A target reads its input through FuzzedDataProvider:
// - numbers (a sort direction, a fold choice, a value type, tick states) are taken first, one
//   byte each, from the END of the input (ConsumeIntegral reads backwards);
// - texts are then taken from the FRONT: every text but the last is one
//   ConsumeRandomLengthString field, which ends at a backslash followed by any other byte (a
//   doubled backslash stands for one backslash); the last text is whatever remains.
// A target that takes one text and no number uses the whole input as that text.
// The bytes of a text are read as UTF-8 (3-byte forms may encode lone surrogates); a byte that
// does not start a well-formed sequence stands for the code unit of the same value. So every
// UTF-16 text can be written as a seed file, and every byte string is some text.
//
// Seed files follow the same layout: one text per line, each line but the last ending in a
// backslash (the line feed after it is the byte that ends the field; a backslash inside these
// texts is doubled), the last text as it stands, then the number bytes.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/text.h"
#include "printable.h"

namespace fuzz {

// The text that bytes stand for, as described at the top of this file.
inline Text DecodeText(std::string_view bytes) {
    Text text;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned lead = static_cast<unsigned char>(bytes[i]);
        size_t length = 0;
        uint32_t point = 0;
        if (lead < 0x80) {
            length = 1;
            point = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            point = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            point = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            point = lead & 0x07;
        }
        bool wellFormed = length != 0 && i + length <= bytes.size();
        for (size_t k = 1; wellFormed && k < length; ++k) {
            const unsigned next = static_cast<unsigned char>(bytes[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms and points beyond U+10FFFF are not UTF-8: their lead byte stands alone.
        if (wellFormed && length == 3) wellFormed = point >= 0x800;
        if (wellFormed && length == 4) wellFormed = point >= 0x10000 && point <= 0x10FFFF;
        if (!wellFormed) {
            text.push_back(char16_t(lead));
            ++i;
            continue;
        }
        if (point < 0x10000) {
            text.push_back(char16_t(point));
        } else {
            point -= 0x10000;
            text.push_back(char16_t(0xD800 + (point >> 10)));
            text.push_back(char16_t(0xDC00 + (point & 0x3FF)));
        }
        i += length;
    }
    return text;
}

// One text that is not the last of the input.
inline Text ConsumeText(FuzzedDataProvider& data) {
    return DecodeText(data.ConsumeRandomLengthString());
}

// The last text of the input: everything that is left.
inline Text RemainingText(FuzzedDataProvider& data) {
    return DecodeText(data.ConsumeRemainingBytesAsString());
}

// Text for failure messages (tests/support/printable.h).
using ::Printable;

// Reports a broken property and aborts, so that libFuzzer keeps the input as a crash artifact.
[[noreturn]] inline void PropertyFailed(const char* file, int line, const char* condition,
                                        const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: property failed: %s\n  %s\n", file, line, condition,
                 detail.c_str());
    std::abort();
}

// The detail is built only when the property fails.
#define FUZZ_CHECK(condition, detail)                                                     \
    do {                                                                                  \
        if (!(condition)) fuzz::PropertyFailed(__FILE__, __LINE__, #condition, (detail)); \
    } while (0)

inline char16_t Identity(char16_t c) {
    return c;
}

// A lower-case mapping shaped like a real locale's: Latin-1 capitals, Greek and Cyrillic
// capitals fold to small letters, and the Kelvin sign and the dotted capital I fold to ASCII,
// so that code units above 255 map below it and the other way round (the micro sign).
inline char16_t SampleLocaleLower(char16_t c) {
    if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return char16_t(c + 32);
    if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);
    if (c == 0x212A) return u'k';  // KELVIN SIGN
    if (c == 0x130) return u'i';   // LATIN CAPITAL LETTER I WITH DOT ABOVE
    if (c == 0xB5) return 0x3BC;   // MICRO SIGN to GREEK SMALL LETTER MU
    return c;
}

// The fold a selector byte chooses: the folds the program passes (ASCII and a locale's) and two
// that make every comparison exact or that fold towards capitals instead.
inline CodeUnitMap ChooseFold(uint8_t selector) {
    switch (selector % 4) {
        case 0:
            return AsciiLower;
        case 1:
            return SampleLocaleLower;
        case 2:
            return AsciiUpper;
        default:
            return Identity;
    }
}

inline Text Folded(TextView text, CodeUnitMap fold) {
    Text folded(text);
    for (char16_t& c : folded) c = fold(c);
    return folded;
}

}  // namespace fuzz
