// Copying to the clipboard.
#pragma once

#include <windows.h>

#include "common/text.h"

// Puts text on the clipboard as Unicode text (CF_UNICODETEXT), owned by owner. Another program
// may hold the clipboard open for a moment, so opening it is tried for about 100 ms. False when
// the text is not on the clipboard.
[[nodiscard]] bool CopyToClipboard(HWND owner, TextView text);
