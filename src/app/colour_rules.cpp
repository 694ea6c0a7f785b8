#include "app/colour_rules.h"

#include <algorithm>
#include <cmath>

namespace {

// Relative luminance of an sRGB colour (WCAG 2).
double Luminance(Colour colour) {
    auto linear = [](uint32_t channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour & 0xff) + 0.7152 * linear((colour >> 8) & 0xff) +
           0.0722 * linear((colour >> 16) & 0xff);
}

// Grid lines closer to the background than this cannot be told from it.
constexpr double kVisibleLine = 1.05;

}  // namespace

double ContrastRatio(Colour a, Colour b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ListColours ListColoursFor(const SystemColours& system) {
    ListColours colours{kHoverColour, std::nullopt, system.buttonFace};
    if (system.highContrast || ContrastRatio(system.windowText, kHoverColour) < kTextContrast) {
        colours.hoverBackground = system.highlight;
        colours.hoverText = system.highlightText;
    }
    if (system.highContrast || ContrastRatio(system.buttonFace, system.window) < kVisibleLine) {
        colours.gridLines = system.windowText;
    }
    return colours;
}

Colour LinkHoverColourFor(const SystemColours& system) {
    if (!system.highContrast &&
        ContrastRatio(kLinkHoverColour, system.buttonFace) >= kTextContrast) {
        return kLinkHoverColour;
    }
    return ContrastRatio(system.hotLight, system.buttonFace) >= kTextContrast ? system.hotLight
                                                                              : system.windowText;
}
