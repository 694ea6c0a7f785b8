// TextToInteger and IntegerToText on any text.
// Input: the whole input is the text (decoding in fuzz_support.h).
// Properties: the value equals the one computed here by an unsigned 64-bit recurrence over the
// same digits (blanks and tabs, sign, "$" or "%" base, digits up to the first non-digit), wrapping
// without undefined behaviour; IntegerToText of the value is its plain signed decimal form, and
// that reads back to the same value.
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "fuzz_support.h"

namespace {

int64_t ReferenceInteger(TextView text) {
    size_t i = text.find_first_not_of(u" \t");
    if (i == TextView::npos) return 0;
    bool negative = false;
    if (text[i] == u'-' || text[i] == u'+') negative = text[i++] == u'-';
    uint64_t base = 10;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'%')) base = text[i++] == u'$' ? 16 : 2;
    constexpr TextView kDigits = u"0123456789abcdef";
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const size_t digit = kDigits.substr(0, size_t(base)).find(AsciiLower(text[i]));
        // AsciiLower maps no code unit outside A-Z into a-f, so only real digits are found.
        if (digit == TextView::npos) break;
        value = value * base + digit;
    }
    if (negative) value = ~value + 1;
    return std::bit_cast<int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text = fuzz::DecodeText({reinterpret_cast<const char*>(data), size});
    const int64_t value = TextToInteger(text);
    const int64_t expected = ReferenceInteger(text);
    FUZZ_CHECK(value == expected, fuzz::Printable(text) + " gave " + std::to_string(value) +
                                      ", expected " + std::to_string(expected));

    std::array<char, 24> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    const Text decimal = IntegerToText(value);
    FUZZ_CHECK(decimal == AsciiToText({buffer.data(), size_t(end - buffer.data())}),
               std::to_string(value) + " written as " + fuzz::Printable(decimal));
    FUZZ_CHECK(TextToInteger(decimal) == value, fuzz::Printable(decimal) + " read back as " +
                                                    std::to_string(TextToInteger(decimal)));
    return 0;
}
