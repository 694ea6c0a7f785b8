#include "common/case_win.h"

#include <windows.h>

#include <array>

namespace {

using LowerTable = std::array<char16_t, 0x10000>;

// Unit by unit: the mapping of a string may look at neighbouring units, the fold must not.
LowerTable MakeLowerTable() {
    LowerTable table;
    for (size_t unit = 0; unit < table.size(); ++unit) {
        const wchar_t c = wchar_t(unit);
        wchar_t lower = c;
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        if (surrogate || LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE, &c, 1, &lower, 1,
                                       nullptr, nullptr, 0) != 1) {
            lower = c;
        }
        table[unit] = char16_t(lower);
    }
    return table;
}

}  // namespace

char16_t LocaleLower(char16_t c) {
    static const LowerTable table = MakeLowerTable();
    return table[c];
}
