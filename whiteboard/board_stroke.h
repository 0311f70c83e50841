// Strokes between boards: sending one to the peers, and what a received one
// asks to be drawn, bounded so that no peer can make the board draw more than
// it offers itself.
#pragma once
#include <cstdint>

#include "net/datagram.h"

// The widest pen drawn for a received stroke. The board itself offers 1, 4
// and 8; a width from the network beyond this is drawn at this width, so a
// width of 65535 neither stalls the program nor makes a huge pen.
constexpr uint16_t kMaxDrawnWidth = 32;

// Sends the stroke (its colour, width, points and clear flag) to every
// peer-table entry after the own one, in table order, under the peer-table
// lock, without a copy for resending; stops at the first failed send.
void SendStroke(const BoardStroke& stroke);
// The same datagram to one address (the console peer's chosen receivers).
bool SendStrokeTo(const BoardStroke& stroke, uint32_t address);

struct StrokeDrawing {
    enum class Kind { Clear, Pixel, Lines, Nothing } kind = Kind::Nothing;
    uint32_t colour = 0;  // 0x00BBGGRR
    int width = 1;        // 1 to kMaxDrawnWidth
};
// A click at width 1 (two equal points) is one pixel; two or more points
// otherwise are lines from each point to the next; fewer draw nothing.
StrokeDrawing PlanDrawing(const BoardStroke& stroke);
