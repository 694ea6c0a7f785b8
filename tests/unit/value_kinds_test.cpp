#include "listsort/value_kinds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <span>
#include <string>

#include "common/list_rows.h"
#include "comparisons.h"
#include "listsort/row_sort.h"
#include "printable.h"

namespace {

using enum SortDirection;

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr SortDirection kUnreadHeader = SortDirection(0);  // header could not be read

// Text for failure messages: ASCII as is, every other code unit as \uXXXX.

const char* KindName(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::PlainText:
            return "Text";
        case ColumnKind::WholeNumber:
            return "WholeNumber";
        case ColumnKind::DecimalNumber:
            return "DecimalNumber";
        case ColumnKind::Date:
            return "Date";
        case ColumnKind::Size:
            return "Size";
    }
    return "?";
}

// A locale-like lower-case mapping with a few non-ASCII pairs, as the user's locale would give.
char16_t TestLower(char16_t c) {
    switch (c) {
        case u'\u00C9':
            return u'\u00E9';  // E acute
        case u'\u0416':
            return u'\u0436';  // Cyrillic Zhe
        default:
            return AsciiLower(c);
    }
}

// ---------------------------------------------------------------------------------------------
// Character tests

TEST(CountNonDigitsTest, CountsEveryCodeUnitOutsideAsciiDigits) {
    struct Case {
        TextView text;
        size_t expected;
    } cases[] = {
        {u"", 0},
        {u"20230115", 0},
        {u"12a45", 1},
        {u"abc", 3},
        {u" ", 1},
        {u"-5", 1},
        {u"3.14", 1},
        {u"15.01.2023 18:05:59", 5},
        {u"\uFF11\uFF12", 2},        // full-width digits are no digits
        {u"\u0661\u0662\u0663", 3},  // Arabic-Indic digits are no digits
        {u"/09:", 2},                // the neighbours of 0 and 9
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountNonDigits(c.text), c.expected) << Printable(c.text);
    }
}

TEST(IsDigitAtTest, TestsOneBasedPositionAndGivesFalseOutside) {
    struct Case {
        TextView text;
        size_t position;
        bool expected;
    } cases[] = {
        {u"123", 1, true},
        {u"123", 3, true},
        {u"a1", 1, false},
        {u"a1", 2, true},
        {u"15.01", 3, false},
        {u"/:", 1, false},
        {u"/:", 2, false},
        {u"\uFF11", 1, false},
        // Positions outside the text hold no digit.
        {u"123", 0, false},
        {u"123", 4, false},
        {u"", 0, false},
        {u"", 1, false},
        {u"123", std::numeric_limits<size_t>::max(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDigitAt(c.text, c.position), c.expected)
            << Printable(c.text) << " at " << c.position;
    }
}

// ---------------------------------------------------------------------------------------------
// Kind detection

TEST(ColumnKindTest, HasTheStoredValuesAndEightBits) {
    EXPECT_EQ(sizeof(ColumnKind), 1u);
    EXPECT_EQ(int(ColumnKind::PlainText), 0);
    EXPECT_EQ(int(ColumnKind::WholeNumber), 1);
    EXPECT_EQ(int(ColumnKind::DecimalNumber), 2);
    EXPECT_EQ(int(ColumnKind::Date), 3);
    EXPECT_EQ(int(ColumnKind::Size), 4);
    EXPECT_EQ(sizeof(SortDirection), 1u);
    EXPECT_EQ(int(Ascending), 1);
    EXPECT_EQ(int(Descending), 2);
}

TEST(DetectCellKindTest, ClassifiesCellTexts) {
    struct Case {
        TextView text;
        ColumnKind expected;
    } cases[] = {
        // Whole numbers: digits only, the empty text, a leading $ or % with one non-digit.
        {u"", ColumnKind::WholeNumber},
        {u"20230115", ColumnKind::WholeNumber},
        {u"$12", ColumnKind::WholeNumber},
        {u"%101", ColumnKind::WholeNumber},
        {u"$", ColumnKind::WholeNumber},
        // One non-digit that is not a decimal mark and not leading $ or %.
        {u"-5", ColumnKind::PlainText},
        {u"50%", ColumnKind::PlainText},
        {u"a", ColumnKind::PlainText},
        // Decimal numbers: exactly one non-digit, which is a comma or a point.
        {u"3.14", ColumnKind::DecimalNumber},
        {u"1,5", ColumnKind::DecimalNumber},
        {u".", ColumnKind::DecimalNumber},
        {u",", ColumnKind::DecimalNumber},
        {u"10.0", ColumnKind::DecimalNumber},
        {u"1.2.3", ColumnKind::PlainText},
        // Sizes: the upper-cased tail occurs in " KB MB GB TB".
        {u"12.5 MB", ColumnKind::Size},
        {u"12 kb", ColumnKind::Size},
        {u"1.5 gb", ColumnKind::Size},
        {u"700 MB", ColumnKind::Size},
        {u"2 TB", ColumnKind::Size},
        {u"KB", ColumnKind::Size},
        {u"B", ColumnKind::Size},
        {u"b", ColumnKind::Size},
        {u"K", ColumnKind::Size},
        {u"M", ColumnKind::Size},
        {u"G", ColumnKind::Size},
        {u"T", ColumnKind::Size},
        {u" ", ColumnKind::Size},
        {u"12 KB ", ColumnKind::Size},
        {u"12KB", ColumnKind::PlainText},
        {u"512 B", ColumnKind::PlainText},  // "2 B" is no part of the unit list
        {u"12 XB", ColumnKind::PlainText},
        {u"12 K", ColumnKind::PlainText},
        {u"KBX", ColumnKind::PlainText},
        // Dates: dd.mm.yyyy with optional hh:ii and :ss, any separators.
        {u"15.01.2023", ColumnKind::Date},
        {u"12/31/2023 08:00:00", ColumnKind::Date},
        {u"01/31/2023 18:05", ColumnKind::Date},
        {u"15.01.2023 18:05:59", ColumnKind::Date},
        {u"15A01Z2023", ColumnKind::Date},
        {u"2023-01-15", ColumnKind::PlainText},
        {u"15.01.23", ColumnKind::PlainText},
        {u"15.01.2023x", ColumnKind::PlainText},
        {u"1.501.2023", ColumnKind::PlainText},
        {u"15.01.2023 1:805", ColumnKind::PlainText},     // position 14 is a digit
        {u"15.01.2023 18:05:5", ColumnKind::PlainText},   // 18 code units
        {u"15.01.2023 18:055:9", ColumnKind::PlainText},  // position 17 is a digit
        {u"15.01.2023 18:0559", ColumnKind::PlainText},
        // Other texts.
        {u"Machine", ColumnKind::PlainText},
        {u"\u0661\u0662", ColumnKind::PlainText},  // Arabic-Indic digits are no digits
        {u"1 2 3", ColumnKind::PlainText},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(KindName(DetectCellKind(c.text)), KindName(c.expected)) << Printable(c.text);
    }
}

// ---------------------------------------------------------------------------------------------
// Text to float

TEST(TextToFloatTest, ReadsTheLeadingDecimalNumber) {
    struct Case {
        TextView text;
        double expected;  // narrowed to float for the comparison, as the conversion does
    } cases[] = {
        // The three special words, whole texts only, any case.
        {u"+Infinity", kInfinity},
        {u"+INFINITY", kInfinity},
        {u"-Infinity", -kInfinity},
        {u"-infinity", -kInfinity},
        {u"Infinity", 0.0},
        {u" +Infinity", 0.0},
        {u"+Infinity ", 0.0},
        {u"inf", 0.0},
        {u"-inf", 0.0},
        {u"+NaN", 0.0},
        // Plain numbers.
        {u"3.14", 3.14},
        {u"0.1", 0.1},
        {u"42", 42.0},
        {u"000012.5", 12.5},
        {u"5.", 5.0},
        {u".5", 0.5},
        {u"+.5", 0.5},
        {u"-2.5", -2.5},
        {u"-0", 0.0},
        // Leading C white space, then a sign.
        {u"  \t\n\v\f\r3.25", 3.25},
        {u" -7", -7.0},
        {u"\u00A07", 0.0},  // a no-break space is not C white space
        {u"- 7", 0.0},
        {u"+-1", 0.0},
        {u"--1", 0.0},
        // Exponents, and exponent markers without digits that end the number before them.
        {u"1E3", 1000.0},
        {u"-2.5e2", -250.0},
        {u"2.5e-1", 0.25},
        {u"1.e5", 100000.0},
        {u".5e1", 5.0},
        {u"1e+0000000000000000000002", 100.0},
        {u"1e", 1.0},
        {u"1e+", 1.0},
        {u"1e-x", 1.0},
        {u"1ex", 1.0},
        {u"1e 5", 1.0},
        // No number at all.
        {u"", 0.0},
        {u".", 0.0},
        {u"-", 0.0},
        {u"-.", 0.0},
        {u"e5", 0.0},
        {u".e5", 0.0},
        {u"abc", 0.0},
        {u"\uFF11", 0.0},
        // Only "." is a decimal point, and the number ends at the first character it cannot use.
        {u"2,5", 2.0},
        {u"1.2.3", 1.2},
        {u"12 KB", 12.0},
        {u"0x1p3", 0.0},  // no hexadecimal numbers
        {u"0x10", 0.0},
        // Single precision: digits beyond it are lost.
        {u"1.00000001", 1.0},
        {u"1.00000002", 1.0},
        {u"123456789012345678901234567890", 123456789012345678901234567890.0},
        // Beyond the float range: IEEE rounding gives the largest float or infinity.
        {u"3.4028235e38", 3.4028234663852886e38},  // within half a place of the largest float
        {u"3.4028235677973362e38", 3.4028234663852886e38},
        {u"3.4028235677973366e38", kInfinity},
        {u"1e39", kInfinity},
        {u"-1e39", -kInfinity},
        // Beyond the double range: infinity when too large, 0 when too small.
        {u"1e400", kInfinity},
        {u"-1e400", -kInfinity},
        {u"10e99999999999999999999", kInfinity},
        {u"0.000000000000000000000001e-400", 0.0},
        {u"1e-400", 0.0},
        {u"-1e-400", 0.0},
        {u"1e-50", 0.0},
        {u"0e999999", 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextToFloat(c.text), static_cast<float>(c.expected)) << Printable(c.text);
    }
}

TEST(TextToFloatTest, NaNWordGivesQuietNaNInAnyCase) {
    for (TextView text : {u"NaN", u"nan", u"NAN", u"nAn"}) {
        EXPECT_TRUE(std::isnan(TextToFloat(text))) << Printable(text);
    }
    EXPECT_FALSE(std::isnan(TextToFloat(u"NaN ")));
    EXPECT_FALSE(std::isnan(TextToFloat(u"-NaN")));
}

TEST(TextToFloatTest, RoundsToDoubleBeforeSinglePrecision) {
    // The decimal lies just above the midpoint between 1 and the next float. Rounded to float
    // directly it would give that next float; through double it lands on the midpoint itself,
    // which rounds to the even float 1.
    EXPECT_EQ(TextToFloat(u"1.0000000596046447755"), 1.0f);
    EXPECT_EQ(TextToFloat(u"1.00000006"), std::nextafter(1.0f, 2.0f));
}

TEST(TextToFloatTest, LongInputsAreReadCompletely) {
    // Many digits on either side of the point, then an exponent that brings them back to 1.5.
    Text text = u"15" + Text(500, u'0') + u"e-501";
    EXPECT_EQ(TextToFloat(text), 1.5f);
    text = u"0." + Text(500, u'0') + u"15e501";
    EXPECT_EQ(TextToFloat(text), 1.5f);
    // An overflow measured by the digits before the point, not by the exponent.
    EXPECT_EQ(TextToFloat(u"1" + Text(400, u'0')), std::numeric_limits<float>::infinity());
    // An underflow measured by the zeros after the point.
    EXPECT_EQ(TextToFloat(u"0." + Text(400, u'0') + u"1"), 0.0f);
}

// ---------------------------------------------------------------------------------------------
// Sizes

TEST(SizeInBytesTest, ConvertsUnitsAndPlainNumbers) {
    struct Case {
        TextView text;
        int64_t expected;
    } cases[] = {
        {u"1.5 KB", 1536},
        {u"12.5 MB", 13107200},
        {u"0.1 KB", 102},  // single-precision 0.1 times 1024 is 102.40000152...
        {u"1,5 MB", 1048576},
        {u"2 TB", int64_t(1) << 41},
        {u"1.5 gb", 1610612736},
        {u"12 kb", 12288},
        {u"1 kB", 1024},
        {u"3GB", int64_t(3) << 30},
        {u"-1 KB", -1024},
        {u"KB", 0},
        {u"B", 0},
        // Without a unit: the integer rule.
        {u"5 B", 5},
        {u"512 B", 512},
        {u"0", 0},
        {u"", 0},
        {u"$10", 16},
        {u"1.9", 1},
        {u"10 MB ", 10},  // the unit must be the last two code units
        {u"12 KiB", 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeInBytes(c.text), c.expected) << Printable(c.text);
    }
}

TEST(SizeInBytesTest, RoundsHalvesToEven) {
    // Each number is an exact float that makes the product end in exactly one half.
    struct Case {
        TextView text;
        int64_t expected;
    } cases[] = {
        {u"0.00048828125 KB", 0},   // 0.5
        {u"0.00146484375 KB", 2},   // 1.5
        {u"0.00244140625 KB", 2},   // 2.5
        {u"0.00341796875 KB", 4},   // 3.5
        {u"-0.00048828125 KB", 0},  // -0.5
        {u"-0.00146484375 KB", -2}, {u"-0.00244140625 KB", -2},
        {u"0.0009765625 KB", 1},  // exactly 1
        {u"0.0004883 KB", 1},     // a little above one half
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeInBytes(c.text), c.expected) << Printable(c.text);
    }
}

TEST(SizeInBytesTest, SaturatesProductsBeyondTheIntegerRange) {
    struct Case {
        TextView text;
        int64_t expected;
    } cases[] = {
        {u"8388607.5 TB", int64_t(9223371487098961920)},  // 2^63 - 2^39, the largest that fits
        {u"8388608 TB", kInt64Max},                       // exactly 2^63
        {u"-8388608 TB", kInt64Min},                      // exactly -2^63 fits
        {u"-8388609 TB", kInt64Min},
        {u"16777216 TB", kInt64Max},
        {u"1e30 TB", kInt64Max},
        {u"-1e30 KB", kInt64Min},
        {u"1e39 KB", kInt64Max},   // the float is infinity
        {u"-1e39 KB", kInt64Min},  // the float is minus infinity
        {u"1e400 GB", kInt64Max},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeInBytes(c.text), c.expected) << Printable(c.text);
    }
}

// ---------------------------------------------------------------------------------------------
// Comparisons. Each case gives the result in ascending and in descending order; the header that
// could not be read (direction 0) must behave as descending.

struct CompareCase {
    TextView a;
    TextView b;
    int ascending;
    int descending;
};

template <typename Compare>
void ExpectComparisons(std::span<const CompareCase> cases, Compare compare) {
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(Printable(c.a) + " vs " + Printable(c.b));
        EXPECT_EQ(compare(c.a, c.b, Ascending), c.ascending);
        EXPECT_EQ(compare(c.a, c.b, Descending), c.descending);
        EXPECT_EQ(compare(c.a, c.b, kUnreadHeader), c.descending);
    }
}

TEST(CompareKeysTest, FollowsTheDirectionRule) {
    EXPECT_EQ(CompareKeys(1, 2, Ascending), -1);
    EXPECT_EQ(CompareKeys(2, 1, Ascending), 1);
    EXPECT_EQ(CompareKeys(2, 2, Ascending), 1);
    EXPECT_EQ(CompareKeys(1, 2, Descending), 1);
    EXPECT_EQ(CompareKeys(2, 1, Descending), -1);
    EXPECT_EQ(CompareKeys(2, 2, Descending), 1);
    EXPECT_EQ(CompareKeys(2, 1, kUnreadHeader), -1);
    EXPECT_EQ(CompareKeys(2, 1, SortDirection(7)), -1);
}

TEST(CompareTextTest, FoldsCaseAndComparesCodeUnits) {
    const CompareCase cases[] = {
        {u"abc", u"ABC", 1, 1},
        {u"ABC", u"abc", 1, 1},
        {u"Zeta", u"alpha", 1, -1},  // Z folds to z, after a
        {u"alpha", u"Zeta", -1, 1},
        {u"_x", u"a", -1, 1},      // underscore sorts before every letter...
        {u"_x", u"A", -1, 1},      // ...upper-case ones too, because they fold to lower case
        {u"abc", u"abcd", -1, 1},  // a prefix is smaller
        {u"abcd", u"abc", 1, -1},
        {u"", u"a", -1, 1},
        {u"a", u"", 1, -1},
        {u"", u"", 1, 1},
        {u"10", u"9", -1, 1},      // digits order by code value, not by number
        {u"\uFFFF", u"a", 1, -1},  // code units compare unsigned
        {u"\u00C9cole", u"\u00E9cole", 1, 1},
        {u"\u0416\u0443\u043A", u"\u0436\u0443\u043A", 1, 1},
        {u"\u0416", u"\u0437", -1, 1},  // folded Zhe (0436) before Ze (0437)
    };
    auto compare = [](TextView a, TextView b, SortDirection d) {
        return CompareText(a, b, d, TestLower);
    };
    ExpectComparisons(cases, compare);
}

TEST(CompareTextTest, UsesOnlyTheGivenFold) {
    // With the "C" mapping the non-ASCII capitals stay apart from their lower-case letters:
    // E acute (00C9) is below e acute (00E9), Zhe (0416) below its lower case (0436).
    const CompareCase cases[] = {
        {u"\u00C9cole", u"\u00E9cole", -1, 1},
        {u"\u0416", u"\u0436", -1, 1},
        {u"\u0416", u"\u0437", -1, 1},
        {u"\u0436", u"\u0416", 1, -1},
        {u"abc", u"ABC", 1, 1},
    };
    auto compare = [](TextView a, TextView b, SortDirection d) {
        return CompareText(a, b, d, AsciiLower);
    };
    ExpectComparisons(cases, compare);
}

TEST(CompareTextTest, NullFoldActsAsAsciiLower) {
    EXPECT_EQ(CompareText(u"abc", u"ABC", Ascending, nullptr), 1);
    EXPECT_EQ(CompareText(u"abc", u"ABC", Descending, nullptr), 1);
    EXPECT_EQ(CompareText(u"_", u"A", Ascending, nullptr), -1);
}

TEST(CompareWholeNumbersTest, ComparesIntegerKeys) {
    const CompareCase cases[] = {
        {u"12", u"$10", -1, 1},  // $10 is 16
        {u"$10", u"12", 1, -1},
        {u"-5", u"3", -1, 1},  // -5 has the key -5
        {u"3", u"-5", 1, -1},
        {u"%101", u"4", 1, -1},
        {u"", u"0", 1, 1},  // equal keys
        {u"abc", u"0", 1, 1},
        {u"7", u"7", 1, 1},
        {u"1.9", u"1", 1, 1},
        {u"9", u"10", -1, 1},
        {u"9223372036854775808", u"0", -1, 1},  // wraps to the minimum
    };
    ExpectComparisons(cases, CompareWholeNumbers);
}

TEST(CompareDecimalNumbersTest, ComparesSinglePrecisionKeys) {
    const CompareCase cases[] = {
        {u"1.0", u"1.00", 1, 1},
        {u"1.00", u"1.0", 1, 1},
        {u"1.00000001", u"1.00000002", 1, 1},
        {u"1.00000002", u"1.00000001", 1, 1},
        {u"2,5", u"2.5", 1, 1},  // the first comma is the point
        {u"2.5", u"2,5", 1, 1},
        {u"1,234.5", u"1.234", 1, 1},  // the second point ends the number
        {u"1,234.5", u"1.2345", -1, 1},
        {u"1,5,5", u"1.5", 1, 1},  // only the first comma is replaced
        {u"10.0", u"9.5", 1, -1},
        {u"9.5", u"10.0", -1, 1},
        {u"1.2.3", u"1.3", -1, 1},
        {u"-1.5", u"-1,4", -1, 1},
        {u"-Infinity", u"-1e30", -1, 1},
        {u"+Infinity", u"1e30", 1, -1},
        {u"1e39", u"+Infinity", 1, 1},
        {u"NaN", u"1", 1, 1},  // unordered keys count as equal
        {u"1", u"NaN", 1, 1},
    };
    ExpectComparisons(cases, CompareDecimalNumbers);
}

TEST(CompareSizesTest, ComparesByteCounts) {
    const CompareCase cases[] = {
        {u"1.5 KB", u"1536", 1, 1},         // 1536 bytes either way
        {u"0.1 KB", u"102", 1, 1},          // 102.4 rounds to 102
        {u"1 MB", u"1023 KB", 1, -1},       // 1048576 against 1047552
        {u"512 B", u"1 KB", -1, 1},         // 512 by the integer rule
        {u"2 TB", u"1.5 gb", 1, -1},        // 2^41 against 1.5 * 2^30
        {u"1,5 MB", u"1 MB", 1, 1},         // the comma ends the number
        {u"1e39 KB", u"8388608 TB", 1, 1},  // both saturate
    };
    ExpectComparisons(cases, CompareSizes);
}

TEST(SortKeysTest, TwoCellsCompareAsTheSortComparesThem) {
    const Text prefix253(253, u'x');
    const Text prefix254(254, u'x');
    constexpr SortDirection kUnreadHeader = SortDirection(0);
    struct Case {
        const char* name;
        ColumnKind kind;
        SortDirection direction;
        Text first, second;
        int expected;
    } cases[] = {
        {"identical texts", ColumnKind::PlainText, Ascending, u"abc", u"abc", 0},
        {"identical empty texts", ColumnKind::WholeNumber, Ascending, u"", u"", 0},
        {"case differs: 1 ascending", ColumnKind::PlainText, Ascending, u"abc", u"ABC", 1},
        {"case differs: 1 descending", ColumnKind::PlainText, Descending, u"abc", u"ABC", 1},
        {"text ascending", ColumnKind::PlainText, Ascending, u"a", u"B", -1},
        {"text descending", ColumnKind::PlainText, Descending, u"a", u"B", 1},
        {"text, unread header compares descending", ColumnKind::PlainText, kUnreadHeader, u"a",
         u"B", 1},
        {"same number, other text", ColumnKind::DecimalNumber, Ascending, u"1.0", u"1.00", 1},
        {"same number, other text, descending", ColumnKind::DecimalNumber, Descending, u"1.00",
         u"1.0", 1},
        {"whole numbers", ColumnKind::WholeNumber, Descending, u"$10", u"12", -1},
        {"sizes", ColumnKind::Size, Ascending, u"1 MB", u"1025 KB", -1},
        {"dates without a mask all fail alike", ColumnKind::Date, Ascending, u"01.01.2000",
         u"01.01.1999", 1},
        {"equal in the first 254 code units", ColumnKind::PlainText, Ascending, prefix254 + u"b",
         prefix254 + u"a", 0},
        {"equal in the first 254, long tails", ColumnKind::PlainText, Ascending,
         prefix254 + Text(100, u'z'), prefix254, 0},
        {"the 254th code unit still counts", ColumnKind::PlainText, Ascending, prefix253 + u"b",
         prefix253 + u"a", 1},
        {"a kind outside the enumeration", ColumnKind(9), Ascending, u"a", u"b", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SortRequest request{1, c.kind, c.direction, Text()};
        const TextView first = SortedCellText(c.first), second = SortedCellText(c.second);
        const FoldTable fold(AsciiLower);
        EXPECT_EQ(CompareSortKeys(SortKeyOf(first, request, fold), SortKeyOf(second, request, fold),
                                  request),
                  c.expected);
    }
}

TEST(SortKeysTest, SortedCellTextKeepsAtMost254CodeUnits) {
    for (size_t length : {0, 1, 253, 254, 255, 256, 1000}) {
        SCOPED_TRACE(length);
        Text cell(length, u'q');
        if (length > 0) cell[0] = u'\u00C9';
        EXPECT_EQ(SortedCellText(cell), TextView(cell).substr(0, std::min<size_t>(length, 254)));
    }
}

}  // namespace
