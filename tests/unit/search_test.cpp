#include "inventory/search.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/list_rows.h"
#include "comparisons.h"
#include "printable.h"

namespace {

// A known locale-like mapping: ASCII plus the case pairs É/é and Ж/ж, and the Kelvin sign,
// which a Unicode lower-case mapping folds to an ASCII "k".
char16_t TestFold(char16_t c) {
    switch (c) {
        case u'\u00C9':
            return u'\u00E9';  // É -> é
        case u'\u0416':
            return u'\u0436';  // Ж -> ж
        case u'\u212A':
            return u'k';  // Kelvin sign -> k
        default:
            return AsciiLower(c);
    }
}

struct FindCase {
    const char16_t* text;
    const char16_t* find;
    size_t position;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << '"' << Narrow(c.find) << "\" in \"" << Narrow(c.text) << '"';
}

class FindLastNoCaseTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindLastNoCaseTest, GivesTheOneBasedPositionOfTheLastOccurrence) {
    EXPECT_EQ(FindLastNoCase(GetParam().text, GetParam().find, TestFold), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, FindLastNoCaseTest,
    testing::Values(FindCase{u"Editor", u"Editor", 1}, FindCase{u"Editor", u"E", 1},
                    FindCase{u"Editor", u"r", 6}, FindCase{u"Editor", u"dit", 2},
                    FindCase{u"Editor", u"x", 0}, FindCase{u"Editor", u"tor ", 0},
                    // The last of several occurrences, overlapping ones included.
                    FindCase{u"abcabcabc", u"abc", 7}, FindCase{u"aaaa", u"aa", 3},
                    FindCase{u"C:\\Tools\\tools.exe", u"TOOLS", 10}));

INSTANTIATE_TEST_SUITE_P(
    EmptyAndLonger, FindLastNoCaseTest,
    testing::Values(
        // An empty text to find is found just past the end, even in an empty text.
        FindCase{u"", u"", 1}, FindCase{u"Editor", u"", 7}, FindCase{u"", u"a", 0},
        // A text to find longer than the text is never found.
        FindCase{u"Edit", u"Editor", 0}, FindCase{u"ab", u"abc", 0}, FindCase{u"abc", u"abcd", 0}));

INSTANTIATE_TEST_SUITE_P(
    CaseFolding, FindLastNoCaseTest,
    testing::Values(FindCase{u"Microsoft Edge", u"EDGE", 11},
                    FindCase{u"MICROSOFT EDGE", u"edge", 11}, FindCase{u"mIxEd", u"MiXeD", 1},
                    // Both sides are folded, so each case pair matches in either direction.
                    FindCase{u"Caf\u00C9 Ж", u"\u00E9", 4}, FindCase{u"caf\u00E9", u"\u00C9", 4},
                    FindCase{u"\u0416ук", u"\u0436", 1}, FindCase{u"x\u0436ук", u"\u0416ук", 2},
                    // A code unit above 255 that folds into ASCII matches that ASCII letter.
                    FindCase{u"5 \u212A", u"k", 3}, FindCase{u"5 k", u"\u212A", 3},
                    // Accents, blanks and punctuation count as they stand.
                    FindCase{u"Cafe", u"caf\u00E9", 0}, FindCase{u"Caf\u00E9", u"cafe", 0},
                    FindCase{u"Visual C++", u"c++", 8}, FindCase{u"Visual C++", u"c+++", 0}));

TEST(FindLastNoCaseFoldTest, UsesOnlyTheInjectedMapping) {
    // The "C" mapping knows no case pair outside ASCII.
    EXPECT_EQ(FindLastNoCase(u"Caf\u00C9", u"caf\u00E9", AsciiLower), 0u);
    EXPECT_EQ(FindLastNoCase(u"\u0416", u"\u0436", AsciiLower), 0u);
    EXPECT_EQ(FindLastNoCase(u"CAF\u00C9", u"caf\u00C9", AsciiLower), 1u);
    // A mapping that folds nothing makes the search case-sensitive.
    auto identity = [](char16_t c) { return c; };
    EXPECT_EQ(FindLastNoCase(u"Editor", u"editor", identity), 0u);
    EXPECT_EQ(FindLastNoCase(u"editor Editor", u"Editor", identity), 8u);
}

SoftwareEntry Entry(const char16_t* type, const char16_t* name, const char16_t* version,
                    const char16_t* date, const char16_t* location, const char16_t* uninstall) {
    return SoftwareEntry{type, name, version, date, location, uninstall};
}

SoftwareList SampleList() {
    return {
        Entry(u"Machine", u"Editor", u"2.1", u"20240105", u"C:\\Program Files\\Editor",
              u"C:\\Program Files\\Editor\\uninst.exe"),
        Entry(u"User", u"Caf\u00E9 Viewer", u"10.0.1", u"", u"", u"MsiExec.exe /X{1234-ABCD}"),
        Entry(u"Machine", u"\u0416urnal Tool", u"1.0", u"20231231", u"D:\\Apps\\Journal",
              u"D:\\Apps\\Journal\\remove.exe /quiet"),
        Entry(u"User", u"Sketch Pad", u"3", u"20220101", u"", u""),
    };
}

struct FilterCase {
    const char16_t* search;
    std::vector<size_t> shown;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << '"' << Narrow(c.search) << '"';
}

class FilteredEntryIndexesTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilteredEntryIndexesTest, ShowsTheEntriesWithAFieldHoldingTheSearch) {
    EXPECT_EQ(FilteredEntryIndexes(SampleList(), GetParam().search, TestFold), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Choice, FilteredEntryIndexesTest,
    testing::Values(
        // Empty search: every entry, in list order.
        FilterCase{u"", {0, 1, 2, 3}},
        // Capitals and small letters choose the same entries.
        FilterCase{u"editor", {0}}, FilterCase{u"EDITOR", {0}}, FilterCase{u"eDiToR", {0}},
        FilterCase{u"machine", {0, 2}}, FilterCase{u"USER", {1, 3}},
        // Hits in a single late field: install date, install location, uninstall string.
        FilterCase{u"2023", {2}}, FilterCase{u"d:\\apps", {2}}, FilterCase{u"/QUIET", {2}},
        FilterCase{u"msiexec", {1}}, FilterCase{u"abcd}", {1}},
        // Non-ASCII case pairs through the injected mapping.
        FilterCase{u"CAF\u00C9", {1}}, FilterCase{u"\u0436URNAL", {2}},
        FilterCase{u"S\u212Aetch", {3}},
        // Each field is tested alone: no match across the end of one and the start of the next.
        FilterCase{u"Editor2.1", {}}, FilterCase{u"Editor 2.1", {}}, FilterCase{u"User Caf", {}},
        FilterCase{u"Machine\nEditor", {}},
        // A trailing blank finds only fields in which a blank follows the text.
        FilterCase{u"sketch ", {3}}, FilterCase{u"editor ", {}}, FilterCase{u"viewer ", {}},
        FilterCase{u"nothing like it", {}}));

TEST(FilteredEntryIndexesTest, AnEmptyListShowsNothing) {
    for (const char16_t* search : {u"", u"a", u"Editor"}) {
        EXPECT_TRUE(FilteredEntryIndexes({}, search, TestFold).empty()) << Narrow(search);
    }
}

TEST(FilteredEntryIndexesTest, EmptyFieldsAreFoundByTheEmptySearchOnly) {
    const SoftwareList blank{Entry(u"", u"", u"", u"", u"", u""),
                             Entry(u"", u"", u"", u"", u"", u"x")};
    EXPECT_EQ(FilteredEntryIndexes(blank, u"", TestFold), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(FilteredEntryIndexes(blank, u"X", TestFold), (std::vector<size_t>{1}));
    EXPECT_EQ(FilteredEntryIndexes(blank, u" ", TestFold), (std::vector<size_t>{}));
}

TEST(FilteredEntryIndexesTest, KeepsListOrderForALargeList) {
    // Every third of 2,000 entries carries the search text, spread over different fields.
    SoftwareList list;
    std::vector<size_t> expected;
    for (size_t i = 0; i < 2000; ++i) {
        std::array<Text, 6> fields{
            u"Machine",          u"Program", u"1.0", u"20240101", u"C:\\Program Files\\Program",
            u"C:\\uninstall.exe"};
        if (i % 3 == 0) {
            fields[(i / 3) % 6] += u"Needle\u00C9";
            expected.push_back(i);
        }
        list.push_back(
            SoftwareEntry{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    }
    EXPECT_EQ(FilteredEntryIndexes(list, u"nEEDLE\u00E9", TestFold), expected);
    EXPECT_EQ(FilteredEntryIndexes(list, u"needle\u00E9", AsciiLower), std::vector<size_t>{});
}

}  // namespace

// Type-to-find over the rows "Machine", "User", "machine", "Userland", "É": the row found for a
// text, as a plain list finds it.
struct FindRowCase {
    const char16_t* find;
    bool prefix;
    int start;
    bool wrap;
    int row;
};

class FindRowByTextTest : public testing::TestWithParam<FindRowCase> {};

TEST_P(FindRowByTextTest, FindsTheFirstMatchingRowFromStart) {
    const std::vector<Text> rows{u"Machine", u"User", u"machine", u"Userland", u"\u00C9"};
    const FindRowCase& c = GetParam();
    auto rowText = [&](size_t row) { return TextView(rows[row]); };
    EXPECT_EQ(FindRowByText(rows.size(), rowText, c.find, c.prefix, c.start, c.wrap, TestFold),
              c.row);
}

INSTANTIATE_TEST_SUITE_P(
    PrefixExactAndWrap, FindRowByTextTest,
    testing::Values(FindRowCase{u"u", true, 0, false, 1},          // the first "User" row
                    FindRowCase{u"U", true, 2, false, 3},          // from start on, inclusive
                    FindRowCase{u"m", true, 3, false, -1},         // nothing below start
                    FindRowCase{u"m", true, 3, true, 0},           // wraps to the top
                    FindRowCase{u"M", true, 2, true, 2},           // case folded, start itself
                    FindRowCase{u"user", false, 2, true, 1},       // whole text only
                    FindRowCase{u"usr", true, 0, true, -1},        // no match anywhere
                    FindRowCase{u"\u00E9", true, 0, false, 4},     // locale folding
                    FindRowCase{u"Userlands", true, 0, true, -1},  // longer than every row
                    FindRowCase{u"", true, 3, false, 3},     // the empty text begins every row
                    FindRowCase{u"u", true, -5, false, 1},   // a start below 0 is row 0
                    FindRowCase{u"u", true, 99, false, -1},  // past the end: nothing
                    FindRowCase{u"u", true, 99, true, 1}));  // unless wrapping

TEST(FindRowByTextTest, AnEmptyListFindsNothing) {
    auto none = [](size_t) { return TextView(); };
    EXPECT_EQ(FindRowByText(0, none, u"", true, 0, true, TestFold), -1);
}
