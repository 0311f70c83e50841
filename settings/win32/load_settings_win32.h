// Loading the settings on Windows: the portable loader, then the three pane
// font objects.
#pragma once
#include <windows.h>

// Reads every setting (see LoadSettings in settings/load_settings.h) into
// g_settings, fills rect (zeroed by the caller) with the saved window
// rectangle and creates the output, input and user-area fonts from their
// records (their face names read as CP932) into g_settings.pane_font_object. Needs
// g_platform.profile, g_platform.host and g_program_paths set. Returns 1, or
// 0 when no profile store is set.
int LoadSettings(HWND main_window, RECT* rect);

// Deletes the pane font objects that exist (shutdown).
void DeletePaneFonts();
