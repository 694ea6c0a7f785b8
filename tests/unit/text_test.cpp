#include "common/text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct IntegerCase {
    const char16_t* text;
    int64_t value;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    for (const char16_t* p = c.text; *p; ++p) *os << (*p < 128 ? char(*p) : '?');
}

class TextToIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(TextToIntegerTest, ReadsLeadingNumber) {
    Text text = GetParam().text;
    EXPECT_EQ(TextToInteger(text), GetParam().value)
        << "text: " << std::string(text.begin(), text.end());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextToIntegerTest,
    testing::Values(IntegerCase{u"42 apples", 42}, IntegerCase{u"$1F", 31}, IntegerCase{u"$1f", 31},
                    IntegerCase{u"%101", 5}, IntegerCase{u"1.9", 1}, IntegerCase{u"", 0},
                    IntegerCase{u"-0", 0}, IntegerCase{u"-5", -5}, IntegerCase{u"+7", 7},
                    IntegerCase{u" \t 12", 12}, IntegerCase{u"\n12", 0}, IntegerCase{u"abc", 0},
                    IntegerCase{u"$", 0}, IntegerCase{u"%102", 2}, IntegerCase{u"$G", 0},
                    IntegerCase{u"-$10", -16}, IntegerCase{u"--1", 0}, IntegerCase{u"+-1", 0},
                    IntegerCase{u"1 2", 1}, IntegerCase{u"0012", 12},
                    IntegerCase{u"\uFF11", 0},  // full-width digit one is not a digit
                    IntegerCase{u"9223372036854775807", std::numeric_limits<int64_t>::max()},
                    IntegerCase{u"-9223372036854775808", std::numeric_limits<int64_t>::min()},
                    // One past the maximum wraps to the minimum.
                    IntegerCase{u"9223372036854775808", std::numeric_limits<int64_t>::min()},
                    IntegerCase{u"18446744073709551615", -1},
                    IntegerCase{u"18446744073709551616", 0}, IntegerCase{u"$FFFFFFFFFFFFFFFF", -1},
                    IntegerCase{u"$10000000000000001", 1}));

TEST(TextToIntegerTest, HugeDecimalWrapsLikeUnsignedArithmetic) {
    // 32 nines computed modulo 2^64 by the same recurrence the rule defines.
    uint64_t expected = 0;
    for (int i = 0; i < 32; ++i) expected = expected * 10 + 9;
    EXPECT_EQ(TextToInteger(u"99999999999999999999999999999999"), int64_t(expected));
    EXPECT_EQ(TextToInteger(u"-99999999999999999999999999999999"), int64_t(0 - expected));
}

TEST(IntegerToTextTest, FormatsSignedDecimal) {
    EXPECT_EQ(IntegerToText(0), u"0");
    EXPECT_EQ(IntegerToText(4294967295), u"4294967295");
    EXPECT_EQ(IntegerToText(-1), u"-1");
    EXPECT_EQ(IntegerToText(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(IntegerToText(std::numeric_limits<int64_t>::max()), u"9223372036854775807");
}

}  // namespace
