// ParseDottedAddress on any text.
// Input: the whole input is the text (decoding in fuzz_support.h).
// Properties: a text with fewer than three "." gives 0; otherwise the value is built from the
// low 8 bits of TextToInteger of the text before the first dot (lowest byte), between the first
// and second, between the second and third, and of everything after the third (highest byte).
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "remote/remote_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text = fuzz::DecodeText({reinterpret_cast<const char*>(data), size});
    const TextView view(text);
    uint32_t expected = 0;
    const size_t dot1 = view.find(u'.');
    const size_t dot2 = dot1 == TextView::npos ? dot1 : view.find(u'.', dot1 + 1);
    const size_t dot3 = dot2 == TextView::npos ? dot2 : view.find(u'.', dot2 + 1);
    if (dot3 != TextView::npos) {
        const TextView octets[] = {view.substr(0, dot1), view.substr(dot1 + 1, dot2 - dot1 - 1),
                                   view.substr(dot2 + 1, dot3 - dot2 - 1), view.substr(dot3 + 1)};
        for (int i = 0; i < 4; ++i) {
            const uint8_t octet = uint8_t(TextToInteger(octets[i]));
            expected |= uint32_t(octet) << (8 * i);
        }
    }
    const uint32_t value = ParseDottedAddress(text);
    FUZZ_CHECK(value == expected, fuzz::Printable(text) + " gave " + std::to_string(value) +
                                      ", expected " + std::to_string(expected));
    return 0;
}
