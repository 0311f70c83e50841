#include "settings/window_modes.h"

WindowModes g_modes;

void ResetWindowModes() { g_modes = WindowModes{}; }
