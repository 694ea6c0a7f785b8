// RegistryValueToText on raw value data of any type.
// Input: the type (the last byte, 0-255: 1 REG_SZ, 2 REG_EXPAND_SZ, 3 REG_BINARY, 4 REG_DWORD,
// every other number an unsupported type), then the data bytes (the rest, as they are; not
// decoded as text).
// Properties: REG_SZ and REG_EXPAND_SZ give a text without NUL that is a prefix of the data's
// little-endian code units (an odd last byte left out), ending where the data or its first NUL
// ends; REG_BINARY gives 2 * size upper-case hex digits that decode to the data; REG_DWORD gives
// "0" for data longer than 8 bytes, else the plain signed decimal of the bytes read little-endian
// into a zeroed 64-bit integer, which TextToInteger reads back; other types give the empty text.
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "inventory/registry_text.h"

namespace {

std::string Hex(const uint8_t* data, size_t size) {
    std::string out;
    for (size_t i = 0; i < size && i < 64; ++i) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02x", unsigned(data[i]));
        out += buffer;
    }
    return out + (size > 64 ? "..." : "");
}

int HexDigitValue(char16_t c) {
    constexpr TextView kDigits = u"0123456789ABCDEF";  // upper case only
    const size_t value = kDigits.find(c);
    return value == TextView::npos ? -1 : int(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t inputSize) {
    FuzzedDataProvider provider(input, inputSize);
    const uint32_t type = provider.ConsumeIntegral<uint8_t>();
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    const Text text = RegistryValueToText(type, data, size);
    const std::string shown = "type " + std::to_string(type) + ", data " + Hex(data, size) + " (" +
                              std::to_string(size) + " bytes) gave " + fuzz::Printable(text);

    switch (type) {
        case kRegSz:
        case kRegExpandSz: {
            const size_t units = size / 2;
            auto unitAt = [data](size_t i) {
                return char16_t(data[2 * i] + 256 * data[2 * i + 1]);
            };
            FUZZ_CHECK(text.size() <= units, shown);
            for (size_t i = 0; i < text.size(); ++i) {
                FUZZ_CHECK(text[i] != u'\0' && text[i] == unitAt(i), shown);
            }
            FUZZ_CHECK(text.size() == units || unitAt(text.size()) == u'\0', shown);
            break;
        }
        case kRegBinary:
            FUZZ_CHECK(text.size() == 2 * size, shown);
            for (size_t i = 0; i < size; ++i) {
                const int high = HexDigitValue(text[2 * i]);
                const int low = HexDigitValue(text[2 * i + 1]);
                FUZZ_CHECK(high >= 0 && low >= 0 && high * 16 + low == data[i], shown);
            }
            break;
        case kRegDword: {
            if (size > 8) {
                FUZZ_CHECK(text == u"0", shown);
                break;
            }
            std::array<uint8_t, 8> littleEndian{};  // zeroed, then the data in its low bytes
            for (size_t i = 0; i < size; ++i) littleEndian[i] = data[i];
            uint64_t bits = 0;
            for (size_t i = 8; i-- > 0;) bits = bits * 256 + littleEndian[i];
            const int64_t expected = std::bit_cast<int64_t>(bits);
            std::array<char, 24> buffer{};
            const auto end =
                std::to_chars(buffer.data(), buffer.data() + buffer.size(), expected).ptr;
            FUZZ_CHECK(text == AsciiToText({buffer.data(), size_t(end - buffer.data())}), shown);
            FUZZ_CHECK(TextToInteger(text) == expected, shown);
            break;
        }
        default:
            FUZZ_CHECK(text.empty(), shown);
    }
    return 0;
}
