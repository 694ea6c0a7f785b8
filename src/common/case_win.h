// The case folding of the program: Windows' lower-case mapping for the user's locale, the same
// whatever the C runtime's locale (which may refuse the user's code page, UTF-8 above all).
#pragma once

#include "common/text.h"

// The code unit in lower case, as LCMapStringEx with LOCALE_NAME_USER_DEFAULT and LCMAP_LOWERCASE
// maps it; a surrogate, or a unit Windows does not map one to one, stays as it is. Looked up in a
// table of every code unit, made at the first call.
char16_t LocaleLower(char16_t c);
