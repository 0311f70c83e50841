// The output area: a read-only rich edit holding the conversation, each line
// in its sender's colour, always scrolled to the newest line. When a line no
// longer fits, the user is told and the area is emptied.
//
// The area is a Unicode rich edit (RICHED20.DLL, class "RichEdit20W"): the
// lines, CP932 like every text the program keeps, are converted with code
// page 932 as they go in, so they show the same whatever the system's code
// page. Rich edit 1.0 (RICHED32.DLL) takes text only in the system's code
// page; since Windows 2000 it is an emulation shipped with this rich edit
// 3.0. Rich edit 2.0 and later end a paragraph with a lone CR: a line's
// CR LF is kept as CR (one character), and its text read back (WM_GETTEXT)
// has CR LF again.
//
// The area keeps its own state (the overflow under way, the held drawing,
// the function told when it is emptied) in a record on its window, made the
// first time one of these functions is given the window. Emptying the area
// puts a new window in its place, which takes the record over; the record is
// freed with the last window that holds it.
#pragma once
#include <windows.h>

// The library that registers the area's window class; the program loads it
// before making the area and frees it after the area is gone.
constexpr wchar_t kOutputAreaLibrary[] = L"RICHED20.DLL";

// A new, empty output area, child `id` of `parent`, with the area's class
// and styles; null when it cannot be made (the library is not loaded).
HWND CreateOutputArea(HWND parent, int id, HINSTANCE instance);

// The most characters (UTF-16 units, a line end counting one) the output
// area holds. Appending a line takes longer the more text the area already
// holds, so the area is emptied before appending gets slow (the figures are
// in bench/RESULTS.md).
constexpr LONG kOutputAreaMaxText = 1024 * 1024;

// Gives the output area its maximum text length.
void SetOutputAreaLimit(HWND output, LONG max_text = kOutputAreaMaxText);

// Appends a NUL-terminated CP932 line at the end of the output area in
// `colour` (0x00BBGGRR), with the face, size and effects of the area's
// default format, then scrolls so the line is visible. False when the line
// does not fit: the overflow message has been shown (once) and the area
// emptied; the line is not shown. True when there is no output area (nothing
// to show).
bool AppendOutputAreaLine(HWND output, const char* line, COLORREF colour);

// EN_MAXTEXT from the output area: the overflow message and an empty area,
// unless the overflow is already being handled.
void OnOutputAreaMaxText(HWND output);

// Empties the area: a new, empty area with the same class, styles, id,
// place, font, limit and background takes the old one's place (the old one
// is destroyed) and is returned; the function given to SetOutputAreaRenewal
// for the area is told it first. The overflow empties the area the same way,
// so an owner that keeps the area's handle learns of the new one from that
// function.
HWND ClearOutputAreaText(HWND output);
// The function told the new window each time `output` (or an area that
// takes its place) is emptied.
void SetOutputAreaRenewal(HWND output, void (*renewed)(HWND area));

// Around a burst of lines: between the two nothing is drawn; the area is
// drawn once, 25 ms after the burst (together with any bursts that follow
// within that time), scrolled to the last line.
void HoldOutputAreaDrawing(HWND output);
void DrawHeldOutputArea(HWND output);
