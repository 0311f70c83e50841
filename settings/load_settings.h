// Reading the settings file, once, at start-up.
#pragma once

class ProfileStore;
struct Settings;
struct WindowModes;
struct WindowRect;

// Reads every key of the three sections, in the order of the table in
// settings/settings_keys.h, into `settings`: absent keys take their defaults, texts are cut to their fields,
// numbers and colours are read as "%d" reads them, fonts that are "None"
// (anything beginning with "N") or unreadable become the default font,
// `Number` is held to 0..30 and each host address is converted (marker 1 for
// a leading "@"). `login_name` is the default of Name; a login name longer
// than 19 bytes gives an empty default. Sets flags->window_shown from
// End_Status and fills rect (when not null) from Left, Top, Right, Bottom.
// The pane font objects are left alone. Returns 1.
int LoadSettingsFrom(ProfileStore& store, const char* ini_path, const char* login_name,
                     Settings* settings, WindowModes* flags, WindowRect* rect);

// The same for the program: g_platform.profile, g_program_paths.ini_path, the
// login name from g_platform.host, into g_settings and g_modes. Returns 0
// without reading when no profile store is set.
int LoadSettings(WindowRect* rect);
