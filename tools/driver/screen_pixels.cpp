#include "tools/driver/screen_pixels.h"

#include <cstdlib>

bool ReadScreenPixels(const RECT& screen, std::vector<uint32_t>* pixels) {
    pixels->clear();
    int width = screen.right - screen.left;
    int height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0) return true;
    HDC screen_dc = GetDC(nullptr);
    if (!screen_dc) return false;
    HDC memory_dc = CreateCompatibleDC(screen_dc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool read = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory_dc, bitmap);
        if (BitBlt(memory_dc, 0, 0, width, height, screen_dc, screen.left, screen.top, SRCCOPY)) {
            GdiFlush();
            const auto* p = static_cast<const uint32_t*>(bits);
            pixels->assign(p, p + static_cast<size_t>(width) * height);
            for (uint32_t& pixel : *pixels) pixel &= 0x00FFFFFFu;  // blue, green, red; the fourth byte is unused
            read = true;
        }
        SelectObject(memory_dc, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory_dc);
    ReleaseDC(nullptr, screen_dc);
    return read;
}

long CountScreenPixels(const RECT& screen, COLORREF color, int tolerance) {
    std::vector<uint32_t> pixels;
    if (!ReadScreenPixels(screen, &pixels)) return -1;
    long count = 0;
    for (uint32_t p : pixels) {
        int blue = p & 0xFF, green = (p >> 8) & 0xFF, red = (p >> 16) & 0xFF;
        if (std::abs(red - GetRValue(color)) <= tolerance && std::abs(green - GetGValue(color)) <= tolerance &&
            std::abs(blue - GetBValue(color)) <= tolerance)
            ++count;
    }
    return count;
}

bool ScreenDigest(const RECT& screen, uint64_t* digest, long* not_white) {
    std::vector<uint32_t> pixels;
    if (!ReadScreenPixels(screen, &pixels)) return false;
    uint64_t hash = 1469598103934665603ull;  // FNV-1a over the pixels' bytes
    *not_white = 0;
    for (uint32_t p : pixels) {
        if (p != 0x00FFFFFFu) ++*not_white;
        for (int i = 0; i < 3; ++i) {
            hash ^= (p >> (8 * i)) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    *digest = hash;
    return true;
}
