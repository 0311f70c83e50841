// output_clear_bench: how long emptying the output area takes, and whether
// the memory it held is given back, at the area's chosen maximum. A rich
// edit like the main window's output area (hidden, so that filling is quick)
// is filled through the program's own append with chat lines in three
// colours up to the maximum, then emptied the program's way (a new empty
// area in its place), ROUNDS times. For comparison, the same area filled
// with BASELINE_LINES lines is emptied in place (WM_SETTEXT with an empty
// text), as the program did before.
//
//   output_clear_bench [ROUNDS] [BASELINE_LINES]
//
// One line per round: lines held, characters, the time to fill, the time
// to empty in milliseconds, and the process's committed memory full and
// emptied (MiB); then the emptying in place of the baseline.
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>

#include "shell/win32/output_area.h"

namespace {

HWND g_frame = nullptr;
HWND g_area = nullptr;

void TakeNewArea(HWND area) { g_area = area; }

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double CommittedMiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

HWND CreateArea() {
    HWND area = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_DISABLENOSCROLL,
                                0, 0, 540, 280, g_frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (area != nullptr) SetOutputAreaLimit(area);
    return area;
}

// Appends numbered chat lines until the next one would not fit, or `most`
// lines are in; returns the lines appended.
int Fill(int most) {
    const COLORREF colours[3] = {RGB(255, 0, 0), RGB(0, 0, 160), RGB(0, 128, 0)};
    char line[128];
    int lines = 0;
    for (; lines < most; ++lines) {
        int n = std::snprintf(line, sizeof line, "[03/14 09:05] %d user%d > こんにちは、出力エリアの計測です。%d\r\n",
                              lines, lines % 7, lines * 37);
        if (GetWindowTextLengthA(g_area) + n > kOutputAreaMaxText) break;
        if (!AppendOutputAreaLine(g_area, line, colours[lines % 3])) break;
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const int baseline_lines = argc > 2 ? std::atoi(argv[2]) : 3000;
    if (LoadLibraryA("RICHED32.DLL") == nullptr) {
        std::fprintf(stderr, "output_clear_bench: RICHED32.DLL cannot be loaded\n");
        return 1;
    }
    g_frame = CreateWindowExA(0, "STATIC", "output clear bench", WS_OVERLAPPEDWINDOW, 0, 0, 560, 320, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    g_area = g_frame != nullptr ? CreateArea() : nullptr;
    if (g_area == nullptr) {
        std::fprintf(stderr, "output_clear_bench: no window (is there a display?)\n");
        return 1;
    }
    SetOutputAreaRenewal(g_area, TakeNewArea);

    std::printf("%-22s %7s %9s %9s %10s %9s %11s\n", "emptying", "lines", "chars", "fill_ms", "empty_ms",
                "full_MiB", "emptied_MiB");
    for (int round = 1; round <= rounds; ++round) {
        double started = NowMs();
        int lines = Fill(1 << 30);
        double filled = NowMs();
        double full = CommittedMiB();
        long chars = GetWindowTextLengthA(g_area);
        ClearOutputAreaText(g_area);
        double emptied = NowMs();
        std::printf("%-22s %7d %9ld %9.0f %10.1f %9.1f %11.1f\n", "new area (round)", lines, chars, filled - started,
                    emptied - filled, full, CommittedMiB());
        std::fflush(stdout);
    }

    double started = NowMs();
    int lines = Fill(baseline_lines);
    double filled = NowMs();
    double full = CommittedMiB();
    long chars = GetWindowTextLengthA(g_area);
    SendMessageA(g_area, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    double emptied = NowMs();
    std::printf("%-22s %7d %9ld %9.0f %10.1f %9.1f %11.1f\n", "in place (baseline)", lines, chars, filled - started,
                emptied - filled, full, CommittedMiB());
    DestroyWindow(g_frame);
    return 0;
}
