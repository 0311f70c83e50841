// The Window_Information section: the main window's rectangle and state,
// written at shutdown and applied at the next start.
#pragma once
#include <cstdint>

class ProfileStore;
struct Screens;
struct Settings;
struct WindowModes;
struct WindowRect;

// Writes, in this order, Top, Bottom, Left, Right (from rect), End_Status
// ("View" when the window is shown, else "TaskToray"), Personal_Status and
// Popup_Status ("On"/"Off" from the modes), Split1_Pos, Split2_Pos and
// Split3_Pos. Every write is attempted; returns 1 only when all succeeded.
// An empty settings path (the program's directory was never found) writes
// nothing and returns 0.
int WriteWindowInformation(ProfileStore& store, const char* ini_path, const WindowRect& rect,
                           const WindowModes& flags, const Settings& settings);

// The same into the program's settings file, from g_modes and g_settings.
int WriteWindowInformation(const WindowRect& rect);

// Whether a saved rectangle is put back at start: at least 370 wide and 350
// high, and its top-left corner on one of the screens there are now (the
// rule is IsSavedRectOnScreen in platform/window_placement.h). With the
// primary screen alone: top and left not negative and the top-left corner
// more than 5 pixels inside the full-screen client area.
bool IsSavedRectUsable(const WindowRect& rect, const Screens& screens);
