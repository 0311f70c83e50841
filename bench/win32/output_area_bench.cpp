// output_area_bench: how long appending one line to the output area takes as
// the area fills up. A window with an output area made as the main window
// makes it is filled with chat lines in alternating colours through the
// program's own append, hidden so that filling is quick. At each checkpoint
// the next appends are timed one by one, first with the window hidden (the
// work that grows with the text: caret, colour, insertion, scroll), then
// shown, each with the repaint that follows it.
//
//   output_area_bench [MAX_KIB] [SECONDS]
//
// Checkpoints: 16 Ki characters (the baseline, a nearly empty area), 64 Ki
// and every doubled size up to MAX_KIB Ki characters (default 16384), as the
// area counts them through WM_GETTEXTLENGTH (a line end two). SECONDS (default 900) ends the
// run early when filling has become too slow to reach the next checkpoint.
// One line per checkpoint: size; median of the hidden appends in
// microseconds and its ratio to the baseline's; median and worst of the
// shown appends with their repaint and the median's ratio to the baseline's;
// the lines in the area; the time since the start.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/win32/output_area.h"

namespace {

constexpr int kTimedAppends = 100;
constexpr LONG kBenchLimit = 0x7FFFFFF0;  // the bench itself never overflows
const COLORREF kColours[3] = {RGB(255, 0, 0), RGB(0, 0, 160), RGB(0, 128, 0)};

double g_ticks_per_us = 0;

double NowUs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / g_ticks_per_us;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The frame stands for the main window; the area has the output area's
// styles and about its size at the main window's default size.
HWND CreateOutputArea(HWND* frame) {
    *frame = CreateWindowExW(0, L"STATIC", L"output area bench", WS_OVERLAPPEDWINDOW, 0, 0, 560, 320, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (*frame == nullptr) return nullptr;
    HWND output = CreateOutputArea(*frame, 0, GetModuleHandleW(nullptr));
    if (output != nullptr) MoveWindow(output, 0, 0, 540, 280, FALSE);
    return output;
}

class LineSource {
public:
    const char* Next() {
        ++number_;
        std::snprintf(line_, sizeof line_, "[03/14 09:05] %d user%d > こんにちは、出力エリアの計測です。%d\r\n",
                      number_, number_ % 7, number_ * 37);
        return line_;
    }
    COLORREF Colour() const { return kColours[number_ % 3]; }
    int Count() const { return number_; }

private:
    int number_ = 0;
    char line_[128] = {};
};

struct Timing {
    double hidden_median, shown_median, shown_worst;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool Append(HWND output, LineSource* lines) {
    const char* line = lines->Next();
    if (AppendOutputAreaLine(output, line, lines->Colour())) return true;
    std::fprintf(stderr, "output_area_bench: append refused at %ld bytes\n",
                 static_cast<long>(GetWindowTextLengthW(output)));
    return false;
}

// Appends to the hidden area: the work that depends on how much text the
// area holds, without any drawing.
bool TimeHiddenAppends(HWND output, LineSource* lines, double* median) {
    std::vector<double> appends;
    for (int i = 0; i < kTimedAppends; ++i) {
        double before = NowUs();
        if (!Append(output, lines)) return false;
        appends.push_back(NowUs() - before);
    }
    *median = Median(appends);
    return true;
}

// Appends to the shown area, each with the repaint that follows it.
bool TimeShownAppends(HWND frame, HWND output, LineSource* lines, Timing* timing) {
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    UpdateWindow(frame);
    Pump();
    std::vector<double> totals;
    for (int i = 0; i < kTimedAppends; ++i) {
        double before = NowUs();
        if (!Append(output, lines)) return false;
        UpdateWindow(output);
        Pump();
        totals.push_back(NowUs() - before);
    }
    ShowWindow(frame, SW_HIDE);
    Pump();
    timing->shown_median = Median(totals);
    timing->shown_worst = *std::max_element(totals.begin(), totals.end());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    long max_kib = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 16384;
    double budget_us = (argc > 2 ? std::strtod(argv[2], nullptr) : 900.0) * 1e6;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticks_per_us = static_cast<double>(frequency.QuadPart) / 1e6;

    if (LoadLibraryW(kOutputAreaLibrary) == nullptr) {
        std::fprintf(stderr, "output_area_bench: the rich edit library cannot be loaded\n");
        return 1;
    }
    HWND frame = nullptr;
    HWND output = CreateOutputArea(&frame);
    if (output == nullptr) {
        std::fprintf(stderr, "output_area_bench: no window (is there a display?)\n");
        return 1;
    }
    SetOutputAreaLimit(output, kBenchLimit);

    LineSource lines;
    double start = NowUs();
    Timing baseline = {};
    std::printf("%8s %10s %6s %10s %10s %6s %8s %9s\n", "KiB", "hidden_med", "ratio", "shown_med", "shown_max",
                "ratio", "lines", "elapsed_s");
    std::vector<long> checkpoints = {16};
    for (long kib = 64; kib <= max_kib; kib *= 2) checkpoints.push_back(kib);
    for (long kib : checkpoints) {
        while (GetWindowTextLengthW(output) < kib * 1024) {
            if (!Append(output, &lines)) return 1;
            if ((lines.Count() & 255) == 0) Pump();
            if (NowUs() - start > budget_us) {
                std::printf("stopped filling at %ld KiB after %.0f s\n",
                            static_cast<long>(GetWindowTextLengthW(output) / 1024), (NowUs() - start) / 1e6);
                return 0;
            }
        }
        Timing t;
        if (!TimeHiddenAppends(output, &lines, &t.hidden_median)) return 1;
        if (!TimeShownAppends(frame, output, &lines, &t)) return 1;
        if (baseline.hidden_median == 0) baseline = t;
        std::printf("%8ld %10.0f %6.2f %10.0f %10.0f %6.2f %8d %9.1f\n", kib, t.hidden_median,
                    t.hidden_median / baseline.hidden_median, t.shown_median, t.shown_worst,
                    t.shown_median / baseline.shown_median, lines.Count(), (NowUs() - start) / 1e6);
        std::fflush(stdout);
    }
    DestroyWindow(frame);
    return 0;
}
