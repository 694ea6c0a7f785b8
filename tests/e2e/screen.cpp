#include "screen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace e2e {

std::vector<uint32_t> CaptureScreen(const RECT& area) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            pixels.assign(p, p + size_t(width) * size_t(height));
            for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

Outcome SaveScreenshot(const std::wstring& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const std::vector<uint32_t> pixels = CaptureScreen({0, 0, width, height});
    if (pixels.empty()) return FailWithError(L"could not copy the screen");
    // Rows of 3 bytes a pixel (blue, green, red), each padded to 4 bytes, from the bottom up.
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    const DWORD imageSize = DWORD(stride * size_t(height));
    const BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0};
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + imageSize;
    std::string file(header.bfSize, '\0');
    std::copy_n(reinterpret_cast<const char*>(&header), sizeof header, file.data());
    std::copy_n(reinterpret_cast<const char*>(&info), sizeof info, file.data() + sizeof header);
    for (int y = 0; y < height; ++y) {
        char* row = file.data() + header.bfOffBits + stride * size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[size_t(y) * size_t(width) + size_t(x)];
            for (int byte = 0; byte < 3; ++byte) row[3 * x + byte] = char(pixel >> (8 * byte));
        }
    }
    return WriteWholeFile(path, file.data(), file.size());
}

double ContrastRatio(uint32_t a, uint32_t b) {
    auto luminance = [](uint32_t rgb) {
        double sum = 0;
        for (auto [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double c = ((rgb >> shift) & 0xFF) / 255.0;
            sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::wstring ColourText(uint32_t rgb) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"%06X", rgb & 0xFFFFFF);
    return buffer;
}

}  // namespace e2e
