// Date masks: patterns such as %dd.%mm.%yyyy %hh:%ii that name the fields of a date text and keep
// its separators literally; detecting one from a cell, choosing one for a column, and ordering
// cells by the moment they denote. Platform-free: texts in, values out.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "listsort/value_kinds.h"

// The mask of one date text, or the empty text. Only texts of 10, 16 or 19 code units with 2, 4
// or 5 non-digits at positions 3, 6 (and 11, 14, 17) give a mask: day first ("%dd" then "%mm")
// when the second field is below 13, month first otherwise, the separators copied as they stand,
// then "%yyyy" and, for the longer shapes, "%hh", "%ii" and "%ss". Year-first texts (non-digits at
// positions 5 and 8) give the empty text. Ambiguous dates are day first on purpose
// (docs/behaviour.md).
[[nodiscard]] Text DateMaskOf(TextView text);

// The mask for a whole column from its first, last and middle probe rows: the first row's mask,
// replaced by a later probe's mask that differs from it and is month first. The empty text when
// any of the three texts has no mask (the column is then not sortable as dates).
[[nodiscard]] Text ChooseColumnDateMask(TextView first, TextView last, TextView middle);

// Seconds from 1970-01-01 00:00:00 to the moment the text denotes under the mask, on the plain
// proleptic Gregorian calendar (no time zone, no daylight saving; negative before 1970). Fields
// the mask does not name default to 1970-01-01 00:00:00. Returns -1 when the mask or the text is
// empty, when the text does not fit the mask (a field without digits, a differing literal, text
// left over) or when the fields are no valid moment of the years 1601 to 9999. The -1 of a
// failure is also the value of 1969-12-31 23:59:59; the sort treats them as equal.
int64_t DateValue(TextView mask, TextView text);
