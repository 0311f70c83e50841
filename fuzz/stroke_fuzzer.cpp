// Feeds arbitrary bytes to the whiteboard's stroke reader and drawing plan,
// as a peer's KIND_BOARD datagram, on an exact-size copy so that a read past
// the bytes is caught. The board draws what the plan says with the stroke's
// points: the plan must never ask for more points than the stroke holds, nor
// for a pen wider than the board draws.
//
// The same bytes also drive the stroke cutter, five bytes a mouse event (an
// operation byte, then x and y big-endian): what it ends must be a stroke
// that travels in a datagram and comes back the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "net/datagram.h"
#include "whiteboard/board_stroke.h"
#include "whiteboard/stroke_cutter.h"

namespace {

constexpr int kBoardOffsetPoints = 36;

bool SameStroke(const BoardStroke& a, const BoardStroke& b) {
    if (a.red != b.red || a.green != b.green || a.blue != b.blue || a.width != b.width ||
        a.count != b.count || a.clear != b.clear)
        return false;
    for (int i = 0; i < kMaxBoardPoints; ++i)
        if (a.x[i] != b.x[i] || a.y[i] != b.y[i]) return false;
    return true;
}

// A plan the board can carry out with the stroke it came from.
void CheckPlan(const BoardStroke& stroke) {
    StrokeDrawing plan = PlanDrawing(stroke);
    if (plan.width < 1 || plan.width > kMaxDrawnWidth) std::abort();
    if (plan.colour > 0x00FFFFFFu) std::abort();
    if ((plan.kind == StrokeDrawing::Kind::Clear) != (stroke.clear == 1)) std::abort();
    if (plan.kind == StrokeDrawing::Kind::Lines && stroke.count < 2) std::abort();
    if (plan.kind == StrokeDrawing::Kind::Pixel && stroke.count != 2) std::abort();
}

// Sent and read back, a stroke is the same stroke.
void CheckTravels(const BoardStroke& stroke) {
    std::vector<uint8_t> datagram(kBoardSize);
    if (BuildBoardDatagram(datagram.data(), MakeAddress(10, 0, 0, 7), 1, stroke) != kBoardSize) std::abort();
    if (!SameStroke(ReadBoardDatagram(datagram.data(), kBoardSize), stroke)) std::abort();
}

void CheckReceived(const std::vector<uint8_t>& bytes) {
    const int n = static_cast<int>(bytes.size());
    BoardStroke stroke = ReadBoardDatagram(bytes.data(), n);
    if (stroke.count > kMaxBoardPoints) std::abort();
    // Points past the count are zero; the others are read as the receive
    // buffer holds them, bytes missing from the datagram being 0.
    std::vector<uint8_t> buffer(kBoardSize, 0);
    std::copy_n(bytes.begin(), std::min(n, kBoardSize), buffer.begin());
    for (int i = 0; i < kMaxBoardPoints; ++i) {
        const uint8_t* point = buffer.data() + kBoardOffsetPoints + 4 * i;
        const bool used = i < stroke.count;
        if (stroke.x[i] != (used ? ReadU16BE(point) : 0) || stroke.y[i] != (used ? ReadU16BE(point + 2) : 0))
            std::abort();
    }
    CheckPlan(stroke);
    CheckTravels(stroke);
}

// A stroke the cutter has ended: the first point where the button went down
// on the canvas, every other point on the canvas too.
void CheckCut(const BoardStroke& stroke, StrokeCutter::Step step, uint16_t width) {
    if (stroke.count < 1 || stroke.count > kMaxBoardPoints) std::abort();
    for (int i = 0; i < stroke.count; ++i)
        if (stroke.x[i] > kCanvasSize || stroke.y[i] > kCanvasSize) std::abort();
    if (step == StrokeCutter::Step::Dot &&
        (stroke.count != 2 || stroke.x[0] != stroke.x[1] || stroke.y[0] != stroke.y[1]))
        std::abort();
    BoardStroke sent = stroke;
    sent.width = width;
    CheckPlan(sent);
    if (step == StrokeCutter::Step::Dot && width == 1 &&
        PlanDrawing(sent).kind != StrokeDrawing::Kind::Pixel)
        std::abort();
    CheckTravels(sent);
}

void RunCutter(const uint8_t* data, size_t size) {
    static const uint16_t kWidths[] = {1, 4, 8};
    StrokeCutter cutter;
    for (size_t at = 0; at + 5 <= size; at += 5) {
        const uint8_t op = data[at];
        uint16_t x = ReadU16BE(data + at + 1), y = ReadU16BE(data + at + 3);
        // Button-down only happens on the canvas; moves may leave it.
        if ((op & 3) != 1) {
            x %= kCanvasSize + 1;
            y %= kCanvasSize + 1;
        }
        StrokeCutter::Outcome outcome;
        switch (op & 3) {
            case 0: cutter.Begin(x, y); break;
            case 1: case 3: outcome = cutter.Move(x, y); break;
            case 2: outcome = cutter.Release(); break;
        }
        const BoardStroke& stroke = cutter.stroke();
        if (stroke.count > kMaxBoardPoints) std::abort();
        if (cutter.drawing() && stroke.count < 1) std::abort();
        switch (outcome.step) {
            case StrokeCutter::Step::Line:
                if (outcome.to.x != x || outcome.to.y != y) std::abort();
                if (stroke.x[stroke.count - 1] != x || stroke.y[stroke.count - 1] != y) std::abort();
                break;
            case StrokeCutter::Step::End:
            case StrokeCutter::Step::Dot:
                if (cutter.drawing()) std::abort();
                CheckCut(stroke, outcome.step, kWidths[(op >> 2) % 3]);
                break;
            case StrokeCutter::Step::Nothing:
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    CheckReceived(std::vector<uint8_t>(data, data + size));
    RunCutter(data, size);
    return 0;
}
