#include "tools/driver/screen_pixels.h"

#include <cstdlib>

long CountScreenPixels(const RECT& screen, COLORREF color, int tolerance) {
    int width = screen.right - screen.left;
    int height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0) return 0;
    HDC screen_dc = GetDC(nullptr);
    if (!screen_dc) return -1;
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
    long count = -1;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory_dc, bitmap);
        if (BitBlt(memory_dc, 0, 0, width, height, screen_dc, screen.left, screen.top, SRCCOPY)) {
            GdiFlush();
            const auto* pixels = static_cast<const unsigned char*>(bits);  // blue, green, red, unused
            count = 0;
            for (long i = 0; i < static_cast<long>(width) * height; ++i) {
                const unsigned char* p = pixels + 4 * i;
                if (std::abs(p[2] - GetRValue(color)) <= tolerance && std::abs(p[1] - GetGValue(color)) <= tolerance &&
                    std::abs(p[0] - GetBValue(color)) <= tolerance)
                    ++count;
            }
        }
        SelectObject(memory_dc, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory_dc);
    ReleaseDC(nullptr, screen_dc);
    return count;
}
