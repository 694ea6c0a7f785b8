#include "listsort/date_masks.h"

#include <cstddef>
#include <initializer_list>
#include <utility>

namespace {

// The code unit at a 1-based position that the caller has checked to lie within the text.
char16_t At(TextView text, size_t position) {
    return text[position - 1];
}

enum class Field { Year, Month, Day, Hour, Minute, Second };

struct FieldToken {
    TextView token;
    Field field;
    size_t maxDigits;
};

// The tokens a mask may hold; every other code unit of a mask is a literal.
constexpr FieldToken kFieldTokens[] = {
    {u"%yyyy", Field::Year, 4}, {u"%mm", Field::Month, 2},  {u"%dd", Field::Day, 2},
    {u"%hh", Field::Hour, 2},   {u"%ii", Field::Minute, 2}, {u"%ss", Field::Second, 2},
};

bool IsLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t DaysInMonth(int64_t year, int64_t month) {
    constexpr int64_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar, counted in whole
// 400-year eras (146097 days each) from 0000-03-01 so that February ends each counted year. The
// year is at least 1601 here, so every quotient is of non-negative numbers.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = y / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

Text DateMaskOf(TextView text) {
    const size_t nonDigits = CountNonDigits(text);
    const size_t length = text.size();
    const bool dateShape = (nonDigits == 2 && length == 10) || (nonDigits == 4 && length == 16) ||
                           (nonDigits == 5 && length == 19);
    if (!dateShape) return Text();
    if (!IsDigitAt(text, 5) && !IsDigitAt(text, 8)) return Text();  // year first
    if (IsDigitAt(text, 3) || IsDigitAt(text, 6)) return Text();

    // A second field of 13 or more cannot be a month, so only then is the text month first; an
    // ambiguous text such as 12/11/2023 is taken as day first.
    const bool dayFirst = TextToInteger(text.substr(3, 2)) < 13;
    Text mask(dayFirst ? u"%dd" : u"%mm");
    mask += At(text, 3);
    mask += dayFirst ? u"%mm" : u"%dd";
    mask += At(text, 6);
    mask += u"%yyyy";
    if (length >= 16) {
        mask += At(text, 11);
        mask += u"%hh";
        mask += At(text, 14);
        mask += u"%ii";
    }
    if (length == 19) {
        mask += At(text, 17);
        mask += u"%ss";
    }
    return mask;
}

Text ChooseColumnDateMask(TextView first, TextView last, TextView middle) {
    Text mask = DateMaskOf(first);
    if (mask.empty()) return Text();
    // A later probe replaces the mask only when it proves the month-first order; a day-first
    // probe is never proof, since day first is merely the guess for ambiguous texts.
    for (TextView probe : {last, middle}) {
        Text other = DateMaskOf(probe);
        if (other.empty()) return Text();
        if (other != mask && other.starts_with(u"%mm")) mask = std::move(other);
    }
    return mask;
}

int64_t DateValue(TextView mask, TextView text) {
    if (mask.empty() || text.empty()) return -1;
    int64_t fields[] = {1970, 1, 1, 0, 0, 0};  // indexed by Field
    size_t m = 0;
    size_t t = 0;
    while (m < mask.size()) {
        const FieldToken* token = nullptr;
        for (const FieldToken& candidate : kFieldTokens) {
            if (mask.substr(m).starts_with(candidate.token)) token = &candidate;
        }
        if (token == nullptr) {
            if (t >= text.size() || text[t] != mask[m]) return -1;
            ++m;
            ++t;
            continue;
        }
        int64_t value = 0;
        size_t digits = 0;
        for (; digits < token->maxDigits && t < text.size() && IsAsciiDigit(text[t]);
             ++digits, ++t) {
            value = value * 10 + (text[t] - u'0');
        }
        if (digits == 0) return -1;
        fields[size_t(token->field)] = value;
        m += token->token.size();
    }
    if (t != text.size()) return -1;

    const int64_t year = fields[size_t(Field::Year)];
    const int64_t month = fields[size_t(Field::Month)];
    const int64_t day = fields[size_t(Field::Day)];
    const int64_t hour = fields[size_t(Field::Hour)];
    const int64_t minute = fields[size_t(Field::Minute)];
    const int64_t second = fields[size_t(Field::Second)];
    if (year < 1601 || year > 9999 || month < 1 || month > 12) return -1;
    if (day < 1 || day > DaysInMonth(year, month)) return -1;
    if (hour > 23 || minute > 59 || second > 59) return -1;
    // At most about 2.5e11 seconds for the year 9999: far inside the 64-bit range.
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}
