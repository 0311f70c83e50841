// Drawing a stroke into the board's off-screen bitmap.
#pragma once
#include <windows.h>

#include "net/datagram.h"

constexpr int kBoardPixels = 300;

// Draws a received (or the own) stroke into the drawing context of the
// off-screen bitmap: a clear fills it white, a click at width 1 sets one
// pixel, anything else draws its segments with a pen of its colour and
// (bounded) width. Drawing outside the bitmap is clipped by the context.
void DrawStrokeOn(HDC bitmap_dc, const BoardStroke& stroke);

void FillWhite(HDC bitmap_dc);
