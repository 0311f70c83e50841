// Registration and version of the common-controls library.
#pragma once

// InitCommonControlsEx for the list view; InitCommonControls when that fails.
void RegisterCommonControls();

// True when comctl32.dll reports version 4.72 or later through DllGetVersion.
bool IsNewCommonControls();

// The version rule alone: 4.72 or later.
bool IsNewCommonControlsVersion(unsigned long major, unsigned long minor);
