// The main window's modes that the settings file keeps from one run to the
// next: whether the window was shown or waited in the tray (End_Status) and
// the personal and popup send modes (Personal_Status, Popup_Status).
#pragma once

struct WindowModes {
    bool window_shown = false;   // loaded from End_Status, saved back to it
    bool personal_mode = false;
    bool popup_mode = false;
};

extern WindowModes g_modes;

// Back to the modes of a fresh start (used by tests and the console peer).
void ResetWindowModes();
