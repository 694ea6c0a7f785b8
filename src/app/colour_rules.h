// Which colours the list's hover highlight, its grid lines and the link's hover text take: the
// program's own where they read well against the system's colours, the system's where they do
// not (high contrast above all). Platform-free: colours are numbers as Windows packs them.
#pragma once

#include <cstdint>
#include <optional>

// A colour as Windows' COLORREF packs it: 0x00BBGGRR.
using Colour = uint32_t;

inline constexpr Colour kHoverColour = 0xfff3e5;      // red 229, green 243, blue 255
inline constexpr Colour kLinkHoverColour = 0xff0000;  // blue

// The contrast ratio of two colours as WCAG 2 defines it, from 1 (the same) to 21 (black and
// white): (L1 + 0.05) / (L2 + 0.05), L1 the higher relative luminance of the sRGB colours.
[[nodiscard]] double ContrastRatio(Colour a, Colour b);

// The least contrast of text against its background (WCAG 2, level AA).
inline constexpr double kTextContrast = 4.5;

// The system's colours the choices are made from, and whether high contrast is on.
struct SystemColours {
    Colour windowText, window, buttonFace, highlight, highlightText, hotLight;
    bool highContrast;
};

struct ListColours {
    Colour hoverBackground;
    std::optional<Colour> hoverText;  // none: the list's own text colour
    Colour gridLines;
};

// The hover highlight is kHoverColour behind the list's text, unless high contrast is on or the
// two fall below kTextContrast: then the system's highlight pair. The grid lines are in the
// button face colour, unless high contrast is on or they can hardly be told from the list's
// background: then in the window text colour.
[[nodiscard]] ListColours ListColoursFor(const SystemColours& system);

// The link's hover text on the button face: kLinkHoverColour, unless high contrast is on or it
// falls below kTextContrast: then the system's hot-tracking colour, or the window text colour
// where even that falls below it.
[[nodiscard]] Colour LinkHoverColourFor(const SystemColours& system);
