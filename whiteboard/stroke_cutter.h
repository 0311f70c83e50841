// The rules that cut a drag on the whiteboard's canvas into strokes. A stroke
// begins at button-down and ends at button-up, when the mouse leaves the
// canvas (positions left of or above it arrive as large unsigned values), or
// when it holds 100 points; the rest of a drag after an end draws nothing
// until the next button-down. A click without moving becomes two equal
// points: a pixel at width 1, a dot of the pen width otherwise.
#pragma once
#include <cstdint>

#include "net/datagram.h"

constexpr int kCanvasSize = 300;

struct CanvasPoint {
    int x = 0, y = 0;
};

class StrokeCutter {
public:
    enum class Step {
        Nothing,  // not drawing: the move or release is not the board's
        Line,     // draw from `from` to `to`; the point was added
        End,      // the stroke is over: send it
        Dot,      // a click without moving: draw the dot at `to`, then send
    };
    struct Outcome {
        Step step = Step::Nothing;
        CanvasPoint from, to;
    };

    // Button-down at (x, y): a new stroke with that first point.
    void Begin(uint16_t x, uint16_t y);
    Outcome Move(uint16_t x, uint16_t y);
    Outcome Release();

    bool drawing() const { return drawing_; }
    // The points so far (count and coordinates; colour, width and the clear
    // flag are the sender's to fill).
    const BoardStroke& stroke() const { return stroke_; }

private:
    void Add(uint16_t x, uint16_t y);

    BoardStroke stroke_;
    bool drawing_ = false;
    CanvasPoint last_;
};
