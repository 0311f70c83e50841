// The colour and font dialogs, with one custom colour table for the whole run.
#pragma once
#include <windows.h>

#include "platform/font_record.h"

constexpr int kCustomColorCount = 16;

// Sets every custom colour to white (start-up).
void ResetCustomColors();

// The colour dialog opened in full with *color preselected. Returns 1 and
// replaces *color when the user pressed OK; otherwise 0, *color unchanged.
int PickColor(HWND owner, COLORREF* color);

// The font dialog listing screen fonts, initialised from *font. Returns 1
// when the user pressed OK (*font then describes the chosen font, its face
// name in CP932 as FromLogFontW gives it), else 0.
int PickFont(HWND owner, FontRecord* font);
