// The screen's pixels: what the driver sees of a row's colours, and screenshots.
#pragma once

#include <cstdint>

#include "script.h"

namespace e2e {

// The pixels of a screen rectangle, row by row from the top, as 0xRRGGBB; empty on failure.
std::vector<uint32_t> CaptureScreen(const RECT& area);
// Saves the primary screen as a bottom-up 24-bit BMP file.
Outcome SaveScreenshot(const std::wstring& path);
// The WCAG 2 contrast ratio of two 0xRRGGBB colours, from 1 to 21.
double ContrastRatio(uint32_t a, uint32_t b);
// A colour as RRGGBB.
std::wstring ColourText(uint32_t rgb);

}  // namespace e2e
