// A "Search:"-style link: a STATIC child the program paints itself, with a hover colour, a hand
// cursor, greyed text when disabled, and a control event on left-button release over it.
#pragma once

#include <windows.h>

// Turns an existing STATIC window into the link label. The control event is WM_COMMAND with
// the window's id and STN_CLICKED, sent to the parent.
void MakeLinkLabel(HWND label, COLORREF hoverColour);
// Changes the hover colour of a link label (the system's colours changed).
void SetLinkHoverColour(HWND label, COLORREF hoverColour);
