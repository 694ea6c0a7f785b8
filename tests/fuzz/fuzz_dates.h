// Date references of the fuzz targets: the calendar of the standard library (std::chrono), used
// to check the date masks and date values without the program's own day arithmetic.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace fuzz {

// 1601-01-01 00:00:00 and 9999-12-31 23:59:59, in seconds from 1970-01-01 00:00:00.
inline constexpr int64_t kFirstDateValue = -11644473600;
inline constexpr int64_t kLastDateValue = 253402300799;

// Seconds from 1970 to a moment of the years 1601 to 9999, or none when the fields name no
// valid moment there.
inline std::optional<int64_t> CivilSeconds(int64_t year, int64_t month, int64_t day, int64_t hour,
                                           int64_t minute, int64_t second) {
    using namespace std::chrono;
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year(int(year)), std::chrono::month(unsigned(month)),
                              std::chrono::day(unsigned(day))};
    if (!date.ok()) return std::nullopt;
    const sys_seconds moment = sys_days(date) + hours(hour) + minutes(minute) + seconds(second);
    return int64_t(moment.time_since_epoch().count());
}

// One piece of a date mask: a field token ("%dd", "%mm", "%yyyy", "%hh", "%ii", "%ss") or one
// literal code unit.
struct MaskPiece {
    bool isToken;
    TextView text;
};

inline constexpr TextView kMaskTokens[] = {u"%yyyy", u"%mm", u"%dd", u"%hh", u"%ii", u"%ss"};

// The pieces of a mask, read from the left: a token wherever one begins, else one literal.
inline std::vector<MaskPiece> MaskPieces(TextView mask) {
    std::vector<MaskPiece> pieces;
    size_t m = 0;
    while (m < mask.size()) {
        bool found = false;
        for (TextView token : kMaskTokens) {
            if (mask.substr(m).starts_with(token)) {
                pieces.push_back({true, mask.substr(m, token.size())});
                m += token.size();
                found = true;
                break;
            }
        }
        if (!found) {
            pieces.push_back({false, mask.substr(m, 1)});
            ++m;
        }
    }
    return pieces;
}

// The text of a moment under a mask: each token as its field with leading zeros to the token's
// width (4 digits for the year, 2 for the others), each literal as it stands.
inline Text FormatUnderMask(TextView mask, int64_t value) {
    using namespace std::chrono;
    const sys_seconds moment{seconds(value)};
    const sys_days dayStart = floor<days>(moment);
    const year_month_day date{dayStart};
    const hh_mm_ss<seconds> time{moment - dayStart};
    auto digits = [](int64_t field, int width) {
        Text out(size_t(width), u'0');
        for (int i = width - 1; i >= 0; --i, field /= 10)
            out[size_t(i)] = char16_t(u'0' + field % 10);
        return out;
    };
    Text text;
    for (const MaskPiece& piece : MaskPieces(mask)) {
        if (!piece.isToken) {
            text += piece.text;
        } else if (piece.text == u"%yyyy") {
            text += digits(int(date.year()), 4);
        } else if (piece.text == u"%mm") {
            text += digits(unsigned(date.month()), 2);
        } else if (piece.text == u"%dd") {
            text += digits(unsigned(date.day()), 2);
        } else if (piece.text == u"%hh") {
            text += digits(time.hours().count(), 2);
        } else if (piece.text == u"%ii") {
            text += digits(time.minutes().count(), 2);
        } else {
            text += digits(time.seconds().count(), 2);
        }
    }
    return text;
}

}  // namespace fuzz
