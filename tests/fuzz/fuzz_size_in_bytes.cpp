// SizeInBytes on any text.
// Input: the whole input is the text (decoding in fuzz_support.h).
// Properties: a text ending in TB, GB, MB or KB (any case) gives TextToFloat of the text times
// the unit's power of two, rounded by the floating-point unit's own round-to-nearest-even
// (std::nearbyint), saturating at the ends of the 64-bit range and 0 for NaN; every other text
// gives TextToInteger. Never undefined behaviour, even for infinite or huge products.
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "fuzz_support.h"
#include "listsort/value_kinds.h"

namespace {

int64_t ReferenceSize(TextView text) {
    if (text.size() < 2) return TextToInteger(text);
    const Text unit{AsciiUpper(text[text.size() - 2]), AsciiUpper(text[text.size() - 1])};
    int exponent = 0;
    if (unit == u"KB") exponent = 10;
    if (unit == u"MB") exponent = 20;
    if (unit == u"GB") exponent = 30;
    if (unit == u"TB") exponent = 40;
    if (exponent == 0) return TextToInteger(text);
    const double product = std::ldexp(double(TextToFloat(text)), exponent);
    if (std::isnan(product)) return 0;
    if (product >= 0x1p63) return std::numeric_limits<int64_t>::max();
    if (product < -0x1p63) return std::numeric_limits<int64_t>::min();
    return int64_t(std::nearbyint(product));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text = fuzz::DecodeText({reinterpret_cast<const char*>(data), size});
    const int64_t bytes = SizeInBytes(text);
    const int64_t expected = ReferenceSize(text);
    FUZZ_CHECK(bytes == expected, fuzz::Printable(text) + " gave " + std::to_string(bytes) +
                                      ", expected " + std::to_string(expected));
    return 0;
}
