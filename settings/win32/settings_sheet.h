// The settings sheet: four pages (Base, Send/Receive, Display, Network),
// run modally over the main window. Pages copy the settings into their
// controls when first shown and write their keys when the sheet closes
// with OK.
#pragma once
#include <windows.h>

// Runs the sheet. 1 when it ran (closed with OK or Cancel), 0 when it could
// not be built. Afterwards the main window's title shows the name.
int OpenSettingsSheet(HWND main_window);
