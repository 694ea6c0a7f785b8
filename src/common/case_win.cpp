#include "common/case_win.h"

#include <cwctype>

char16_t LocaleLower(char16_t c) {
    return char16_t(std::towlower(wint_t(c)));
}
