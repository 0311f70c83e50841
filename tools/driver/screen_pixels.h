// What the screen shows: pixels counted by colour inside a rectangle, read
// from the screen itself, so they are what the program has drawn.
#pragma once
#include <windows.h>

// The number of pixels in the screen rectangle whose red, green and blue
// each lie within `tolerance` of the colour's. -1 when the screen cannot be
// read.
long CountScreenPixels(const RECT& screen, COLORREF color, int tolerance);
