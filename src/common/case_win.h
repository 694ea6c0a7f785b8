// The case folding of the running process: the lower-case mapping of the C runtime's
// character-type locale, which start-up sets to the user's default.
#pragma once

#include "common/text.h"

char16_t LocaleLower(char16_t c);
