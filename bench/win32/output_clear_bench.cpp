// output_clear_bench: how long emptying the output area takes, and whether
// the memory it held is given back, at the area's chosen maximum. An output
// area made as the main window makes it (hidden, so that filling is quick)
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

#include <cstdio>
#include <cstdlib>

#include "platform/win32/wide_text.h"
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
    HWND area = CreateOutputArea(g_frame, 0, GetModuleHandleW(nullptr));
    if (area == nullptr) return nullptr;
    MoveWindow(area, 0, 0, 540, 280, FALSE);
    SetOutputAreaLimit(area);
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
        if (n < 0) break;
        // In characters, line ends counted two: the append never overflows.
        if (GetWindowTextLengthW(g_area) + static_cast<LONG>(WideFromCp932(line).size()) > kOutputAreaMaxText)
            break;
        if (!AppendOutputAreaLine(g_area, line, colours[lines % 3])) break;
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const int baseline_lines = argc > 2 ? std::atoi(argv[2]) : 3000;
    if (LoadLibraryW(kOutputAreaLibrary) == nullptr) {
        std::fprintf(stderr, "output_clear_bench: the rich edit library cannot be loaded\n");
        return 1;
    }
    g_frame = CreateWindowExW(0, L"STATIC", L"output clear bench", WS_OVERLAPPEDWINDOW, 0, 0, 560, 320, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
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
        long chars = GetWindowTextLengthW(g_area);
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
    long chars = GetWindowTextLengthW(g_area);
    SendMessageW(g_area, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    double emptied = NowMs();
    std::printf("%-22s %7d %9ld %9.0f %10.1f %9.1f %11.1f\n", "in place (baseline)", lines, chars, filled - started,
                emptied - filled, full, CommittedMiB());
    DestroyWindow(g_frame);
    return 0;
}
