// board_bench: the whiteboard's two drawing costs against one block copy of
// the whole 300 x 300 canvas, measured in the same run: drawing one received
// 100-point stroke of width 8 into the off-screen bitmap (the program's own
// DrawStrokeOn), and one paint of the canvas (invalidated, then painted by
// copying the bitmap to the window, as the board does).
//
//   board_bench [ROUNDS]
//
// Each measurement is the median of ROUNDS (default 2000) timings, each
// followed by GdiFlush so that the drawing is done, not queued. One line per
// measurement: microseconds and the ratio to the block copy.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "net/datagram.h"
#include "whiteboard/win32/board_drawing.h"

namespace {

double g_ticks_per_us = 0;
HDC g_bitmap_dc = nullptr;

double NowUs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / g_ticks_per_us;
}

double MedianUs(int rounds, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        double start = NowUs();
        work();
        GdiFlush();
        times.push_back(NowUs() - start);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BitBlt(dc, 0, 0, kBoardPixels, kBoardPixels, g_bitmap_dc, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// A stroke of 100 points zigzagging across the canvas.
BoardStroke LongStroke() {
    BoardStroke stroke;
    stroke.red = 200;
    stroke.width = 8;
    stroke.count = kMaxBoardPoints;
    for (int i = 0; i < kMaxBoardPoints; ++i) {
        stroke.x[i] = static_cast<uint16_t>(3 * i);
        stroke.y[i] = static_cast<uint16_t>(i % 2 == 0 ? 20 + i : 280 - i);
    }
    return stroke;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticks_per_us = static_cast<double>(frequency.QuadPart) / 1e6;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = CanvasProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BoardBenchCanvas";
    RegisterClassA(&wc);
    HWND canvas = CreateWindowExA(0, wc.lpszClassName, "board bench", WS_POPUP | WS_VISIBLE, 10, 10, kBoardPixels,
                                  kBoardPixels, nullptr, nullptr, wc.hInstance, nullptr);
    if (canvas == nullptr) return 1;
    HDC canvas_dc = GetDC(canvas);
    g_bitmap_dc = CreateCompatibleDC(canvas_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(canvas_dc, kBoardPixels, kBoardPixels);
    SelectObject(g_bitmap_dc, bitmap);
    FillWhite(g_bitmap_dc);
    UpdateWindow(canvas);

    double copy = MedianUs(rounds, [&] { BitBlt(canvas_dc, 0, 0, kBoardPixels, kBoardPixels, g_bitmap_dc, 0, 0, SRCCOPY); });
    BoardStroke stroke = LongStroke();
    double draw = MedianUs(rounds, [&] { DrawStrokeOn(g_bitmap_dc, stroke); });
    double paint = MedianUs(rounds, [&] {
        InvalidateRect(canvas, nullptr, FALSE);
        UpdateWindow(canvas);
    });
    std::printf("block copy 300x300: %.1f us (baseline)\n", copy);
    std::printf("received stroke, 100 points, width 8: %.1f us, %.2f x the block copy\n", draw, draw / copy);
    std::printf("one paint of the canvas: %.1f us, %.2f x the block copy\n", paint, paint / copy);
    ReleaseDC(canvas, canvas_dc);
    DestroyWindow(canvas);
    return 0;
}
