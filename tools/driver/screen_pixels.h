// What the screen shows: pixels counted by colour, or a digest of them,
// inside a rectangle, read from the screen itself, so they are what the
// program has drawn.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// The pixels of the screen rectangle, row by row, each 0x00RRGGBB. False when
// the screen cannot be read.
bool ReadScreenPixels(const RECT& screen, std::vector<uint32_t>* pixels);

// The number of pixels in the screen rectangle whose red, green and blue
// each lie within `tolerance` of the colour's. -1 when the screen cannot be
// read.
long CountScreenPixels(const RECT& screen, COLORREF color, int tolerance);

// A digest of the rectangle's pixels (two equal pictures give equal digests)
// and how many of them are not white.
bool ScreenDigest(const RECT& screen, uint64_t* digest, long* not_white);
