// The settings sheet: four pages (Base, Send/Receive, Display, Network),
// run modally over the main window. Pages copy the settings into their
// controls when first shown and write their keys when the sheet closes
// with OK; what they change outside the settings they change through the
// host.
#pragma once
#include <windows.h>

#include "settings/win32/settings_sheet_host.h"

// Runs the sheet. 1 when it ran (closed with OK or Cancel), 0 when it could
// not be built.
int OpenSettingsSheet(HWND main_window, SettingsSheetHost& host);
