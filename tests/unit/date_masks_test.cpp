#include "listsort/date_masks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "comparisons.h"
#include "printable.h"

namespace {

constexpr SortDirection kUnreadHeader = SortDirection(0);  // header could not be read

// Text for failure messages: ASCII as is, every other code unit as \uXXXX.

constexpr TextView kDayFirst = u"%dd.%mm.%yyyy";
constexpr TextView kDayFirstSeconds = u"%dd.%mm.%yyyy %hh:%ii:%ss";

// ---------------------------------------------------------------------------------------------
// Masks of single cells

TEST(DateMaskOfTest, BuildsMasksFromCellShapes) {
    struct Case {
        TextView text;
        TextView mask;
    } cases[] = {
        {u"15.01.2023", u"%dd.%mm.%yyyy"},
        {u"01/31/2023", u"%mm/%dd/%yyyy"},
        {u"05.06.2023 14:07", u"%dd.%mm.%yyyy %hh:%ii"},
        {u"12-25-2023 08:15:00", u"%mm-%dd-%yyyy %hh:%ii:%ss"},
        {u"12/11/2023", u"%dd/%mm/%yyyy"},  // ambiguous: day first wins
        {u"15.01.2023 18:05:59", u"%dd.%mm.%yyyy %hh:%ii:%ss"},
        {u"01.12.2023", u"%dd.%mm.%yyyy"},  // 12 can be a month
        {u"01.13.2023", u"%mm.%dd.%yyyy"},  // 13 cannot
        {u"00.00.0000", u"%dd.%mm.%yyyy"},  // the shape decides, not the values
        // Separators are copied as they stand, whatever they are.
        {u"15x01y2023", u"%ddx%mmy%yyyy"},
        {u"15%01%2023", u"%dd%%mm%%yyyy"},
        {u"15.01.2023T18h05", u"%dd.%mm.%yyyyT%hhh%ii"},
        {u"15\u060C01\u060C2023", u"%dd\u060C%mm\u060C%yyyy"},
        // No mask.
        {u"2023-01-15", u""},  // year first
        {u"2023/01/15 12:00", u""},
        {u"2023.01.15 12:00:00", u""},
        {u"12.4..7.90123456", u""},  // positions 5 and 8 win over 3 and 6
        {u"15.01.23", u""},
        {u"", u""},
        {u"15.01.2023x", u""},
        {u"1.501.2023", u""},  // position 3 is a digit
        {u"15.0120.23", u""},  // position 6 is a digit
        {u"15.01.2023 18:05:5", u""},
        {u"15.01.2023 1805", u""},
        {u"Machine", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateMaskOf(c.text), c.mask) << Printable(c.text);
    }
}

TEST(DateMaskOfTest, EveryCellDetectedAsDateHasAMask) {
    const TextView dates[] = {
        u"15.01.2023", u"01/31/2023 18:05",    u"12/31/2023 08:00:00",
        u"15A01Z2023", u"99-99-9999",          u"00.00.0000 00:00",
        u"15%01%2023", u"31.12.9999 23:59:59", u"15x01x2023x18x05",
    };
    for (TextView text : dates) {
        ASSERT_EQ(DetectCellKind(text), ColumnKind::Date) << Printable(text);
        EXPECT_FALSE(DateMaskOf(text).empty()) << Printable(text);
    }
}

// ---------------------------------------------------------------------------------------------
// The mask of a column

TEST(ChooseColumnDateMaskTest, PrefersAProvedMonthFirstOrder) {
    struct Case {
        TextView first;
        TextView last;
        TextView middle;
        TextView mask;
    } cases[] = {
        // The last row proves month first.
        {u"12/11/2023", u"01/31/2023", u"05/06/2023", u"%mm/%dd/%yyyy"},
        // Month first from the first row; later day-first masks do not replace it.
        {u"01/31/2023", u"12/11/2023", u"05/06/2023", u"%mm/%dd/%yyyy"},
        // The middle row proves month first.
        {u"12/11/2023", u"05/06/2023", u"01/31/2023", u"%mm/%dd/%yyyy"},
        // All day first.
        {u"12/11/2023", u"05/06/2023", u"01/02/2023", u"%dd/%mm/%yyyy"},
        // A differing month-first mask replaces even a month-first one.
        {u"01/31/2023", u"12-31-2023", u"05/06/2023", u"%mm-%dd-%yyyy"},
        // Masks that differ otherwise leave the first row's mask.
        {u"15.01.2023", u"15/01/2023", u"15-01-2023", u"%dd.%mm.%yyyy"},
        {u"15.01.2023", u"15.01.2023 18:05", u"15.01.2023 18:05:59", u"%dd.%mm.%yyyy"},
        {u"15.01.2023 18:05", u"15.01.2023", u"15.01.2023", u"%dd.%mm.%yyyy %hh:%ii"},
        // Month first proved with a time of day.
        {u"15.01.2023", u"01.31.2023 18:05", u"15.01.2023", u"%mm.%dd.%yyyy %hh:%ii"},
        // Any probe without a mask: not sortable as dates.
        {u"", u"15.01.2023", u"15.01.2023", u""},
        {u"15.01.2023", u"", u"15.01.2023", u""},
        {u"15.01.2023", u"15.01.2023", u"", u""},
        {u"15.01.2023", u"2023-01-15", u"01/31/2023", u""},
        {u"01/31/2023", u"15.01.2023", u"Machine", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseColumnDateMask(c.first, c.last, c.middle), c.mask)
            << Printable(c.first) << ", " << Printable(c.last) << ", " << Printable(c.middle);
    }
}

// ---------------------------------------------------------------------------------------------
// Date values

struct ValueCase {
    TextView mask;
    TextView text;
    int64_t value;
};

TEST(DateValueTest, CountsSecondsSince1970) {
    const ValueCase cases[] = {
        {kDayFirst, u"01.01.1970", 0},
        {kDayFirst, u"02.01.1970", 86400},
        {kDayFirst, u"01.01.1601", -11644473600},
        {kDayFirstSeconds, u"31.12.9999 23:59:59", 253402300799},
        {kDayFirstSeconds, u"31.12.1969 23:59:58", -2},
        {kDayFirst, u"15.01.2023", 1673740800},
        {u"%mm/%dd/%yyyy", u"01/31/2023", 1675123200},
        {u"%dd.%mm.%yyyy %hh:%ii", u"05.06.2023 14:07", 1685974020},
        {u"%mm-%dd-%yyyy %hh:%ii:%ss", u"12-25-2023 08:15:00", 1703492100},
        {u"%mm/%dd/%yyyy %hh:%ii:%ss", u"12/31/2023 08:00:00", 1704009600},
        // Fields may have fewer digits than their token.
        {kDayFirst, u"1.2.2023", 1675209600},
        {kDayFirst, u"01.02.2023", 1675209600},
        {kDayFirst, u"1.2.1970", 2678400},
        // The separator "%" is a literal even right before a token.
        {u"%dd%%mm%%yyyy", u"15%01%2023", 1673740800},
        // Unknown tokens are literals; fields the mask does not name keep 1970-01-01 00:00:00.
        {u"%d-%yyyy", u"%d-2023", 1672531200},
        {u"x", u"x", 0},
        {u"%hh", u"1", 3600},
    };
    for (const ValueCase& c : cases) {
        EXPECT_EQ(DateValue(c.mask, c.text), c.value)
            << Printable(c.mask) << " " << Printable(c.text);
    }
}

TEST(DateValueTest, ChecksCalendarRanges) {
    const ValueCase cases[] = {
        {kDayFirst, u"31.01.2023", 1675123200},
        {kDayFirst, u"31.02.2023", -1},  // no 31 February
        {kDayFirst, u"29.02.2023", -1},  // 2023 is no leap year
        {kDayFirst, u"28.02.2023", 1677542400},
        {kDayFirst, u"29.02.2024", 1709164800},
        {kDayFirst, u"30.02.2024", -1},
        {kDayFirst, u"29.02.2000", 951782400},  // divisible by 400
        {kDayFirst, u"29.02.1900", -1},         // divisible by 100 only
        {kDayFirst, u"29.02.2100", -1},
        {kDayFirst, u"29.02.1604", -11544768000},
        {kDayFirst, u"30.04.2023", 1682812800},
        {kDayFirst, u"31.04.2023", -1},
        {kDayFirst, u"31.06.2023", -1},
        {kDayFirst, u"31.09.2023", -1},
        {kDayFirst, u"31.11.2023", -1},
        {kDayFirst, u"31.12.2023", 1703980800},
        {kDayFirst, u"32.01.2023", -1},
        {kDayFirst, u"00.01.2023", -1},
        {kDayFirst, u"01.00.2023", -1},
        {kDayFirst, u"01.13.2023", -1},
        {u"%dd/%mm/%yyyy", u"01/31/2023", -1},  // 31 is no month
        // Years 1601 to 9999.
        {kDayFirst, u"01.01.1600", -1},
        {kDayFirst, u"31.12.1600", -1},
        {kDayFirst, u"01.01.0999", -1},
        {kDayFirst, u"15.01.23", -1},
        {kDayFirst, u"01.01.0000", -1},
        {kDayFirst, u"01.01.10000", -1},  // at most four year digits: a digit is left over
        // Time of day.
        {kDayFirstSeconds, u"15.01.2023 00:00:00", 1673740800},
        {kDayFirstSeconds, u"15.01.2023 23:59:59", 1673827199},
        {kDayFirstSeconds, u"15.01.2023 24:00:00", -1},
        {kDayFirstSeconds, u"15.01.2023 23:60:00", -1},
        {kDayFirstSeconds, u"15.01.2023 23:59:60", -1},
    };
    for (const ValueCase& c : cases) {
        EXPECT_EQ(DateValue(c.mask, c.text), c.value)
            << Printable(c.mask) << " " << Printable(c.text);
    }
}

TEST(DateValueTest, RejectsTextsThatDoNotFitTheMask) {
    const ValueCase cases[] = {
        {u"", u"15.01.2023", -1},
        {kDayFirst, u"", -1},
        {u"", u"", -1},
        {kDayFirst, u"15/01/2023", -1},  // a literal differs
        {kDayFirst, u"15..2023", -1},    // a field without digits
        {kDayFirst, u"15.01.", -1},
        {kDayFirst, u"015.01.2023", -1},  // a third digit meets the literal
        {kDayFirst, u" 1.01.2023", -1},
        {kDayFirst, u"+1.01.2023", -1},
        {kDayFirst, u"\u0661\u0665.01.2023", -1},  // Arabic-Indic digits are no digits
        {kDayFirst, u"15.01.2023x", -1},
        // A time of day where the mask has none, and none where it has one.
        {kDayFirst, u"15.01.2023 18:05", -1},
        {u"%dd.%mm.%yyyy %hh:%ii", u"15.01.2023", -1},
        {u"%dd.%mm.%yyyy %hh:%ii", u"15.01.2023 18:05:59", -1},
        {kDayFirstSeconds, u"15.01.2023 18:05", -1},
        {u"x", u"", -1},
        {u"x", u"y", -1},
    };
    for (const ValueCase& c : cases) {
        EXPECT_EQ(DateValue(c.mask, c.text), c.value)
            << Printable(c.mask) << " " << Printable(c.text);
    }
}

TEST(DateValueTest, FailureCoincidesWithLastSecondOf1969) {
    EXPECT_EQ(DateValue(kDayFirstSeconds, u"31.12.1969 23:59:59"), -1);
    EXPECT_EQ(DateValue(kDayFirstSeconds, u"31.02.1969 23:59:59"), -1);
}

TEST(DateValueTest, NewYearOfEveryYearMatchesCountedDays) {
    // Counts the days year by year, independently of the closed formula of the conversion.
    int64_t days = 0;  // from 1970-01-01 to the first of January of the year
    for (int year = 1969; year >= 1601; --year) {
        days -= (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 366 : 365;
    }
    for (int year = 1601; year <= 9999; ++year) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "01.01.%04d", year);
        const Text text(buffer, buffer + 10);
        ASSERT_EQ(DateValue(kDayFirst, text), days * 86400) << buffer;
        days += (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 366 : 365;
    }
}

TEST(DateValueTest, FirstOfEveryMonthFollowsTheMonthLengths) {
    const int monthDays2024[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int64_t newYear2024 = 1704067200;
    int64_t days = 0;
    for (int month = 1; month <= 12; ++month) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "01.%02d.2024", month);
        const Text text(buffer, buffer + 10);
        EXPECT_EQ(DateValue(kDayFirst, text), newYear2024 + days * 86400) << buffer;
        days += monthDays2024[month - 1];
    }
}

// ---------------------------------------------------------------------------------------------
// Date comparisons

TEST(CompareDatesTest, ComparesDateValues) {
    struct Case {
        TextView mask;
        TextView a;
        TextView b;
        int ascending;
        int descending;
    } cases[] = {
        {kDayFirst, u"15.01.2023", u"16.01.2023", -1, 1},
        {kDayFirst, u"16.01.2023", u"15.01.2023", 1, -1},
        {kDayFirst, u"01.02.2023", u"31.01.2023", 1, -1},  // by date, not by text
        {kDayFirst, u"1.2.2023", u"01.02.2023", 1, 1},     // equal keys
        {kDayFirst, u"01.01.1601", u"31.12.9999", -1, 1},
        // A failing text (-1) sorts before every valid date from 1970 on...
        {u"%dd/%mm/%yyyy", u"01/31/2023", u"01/01/1970", -1, 1},
        {kDayFirst, u"", u"15.01.2023", -1, 1},
        {kDayFirst, u"31.02.2023", u"01.01.1970", -1, 1},
        // ...after every valid date before 1969-12-31 23:59:59...
        {kDayFirst, u"31.02.2023", u"01.01.1601", 1, -1},
        // ...and equal to that moment itself.
        {kDayFirstSeconds, u"31.12.1969 23:59:59", u"not a date", 1, 1},
        {kDayFirstSeconds, u"not a date", u"31.12.1969 23:59:59", 1, 1},
        {kDayFirst, u"31.02.2023", u"29.02.2023", 1, 1},
        {u"", u"15.01.2023", u"16.01.2023", 1, 1},  // no mask: every key is -1
        {u"%dd.%mm.%yyyy %hh:%ii", u"15.01.2023 18:05", u"15.01.2023 18:04", 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.mask) + " " + Printable(c.a) + " vs " + Printable(c.b));
        EXPECT_EQ(CompareDates(c.a, c.b, SortDirection::Ascending, c.mask), c.ascending);
        EXPECT_EQ(CompareDates(c.a, c.b, SortDirection::Descending, c.mask), c.descending);
        EXPECT_EQ(CompareDates(c.a, c.b, kUnreadHeader, c.mask), c.descending);
    }
}

}  // namespace
