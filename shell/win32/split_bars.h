// The two splitter bars of the main window, windows of the program's own
// class "SplitBar": the first between the output and input areas, the second
// beside (TYPE I) or above (TYPE II) the user area. The user drags them with
// the mouse (the bar holds the mouse capture while the button is down); each
// move is kept within limits and lays the panes out again.
#pragma once
#include <windows.h>

#include "shell/split_drag.h"

// Registers the class and makes the two bars, visible, first bar first.
void CreateSplitBars(HWND parent);

HWND SplitBarWindow(SplitBar bar);
