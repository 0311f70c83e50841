// What the main window gives the settings sheet to work on.
#pragma once
#include "settings/win32/settings_sheet_host.h"

// The host the settings sheet is opened with: the message log at the
// program's log path, the presence announcement, the main window's panes,
// alert icons and size, and the users of the peer table. One for the whole
// run; it keeps no state of its own.
SettingsSheetHost& MainWindowSheetHost();
