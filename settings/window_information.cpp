#include "settings/window_information.h"

#include <cstdio>

#include "platform/profile_store.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "platform/platform.h"

int WriteWindowInformation(ProfileStore& store, const char* ini_path, const WindowRect& rect,
                           const ShellFlags& flags, const Settings& settings) {
    if (ini_path == nullptr || *ini_path == '\0') return 0;
    bool all_written = true;
    auto text = [&](const char* key, const char* value) {
        if (!store.WriteString(kWindowSection, key, value, ini_path)) all_written = false;
    };
    auto number = [&](const char* key, int32_t value) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
        text(key, digits);
    };
    number("Top", rect.top);
    number("Bottom", rect.bottom);
    number("Left", rect.left);
    number("Right", rect.right);
    text("End_Status", flags.window_shown ? "View" : "TaskToray");
    text("Personal_Status", flags.personal_mode ? "On" : "Off");
    text("Popup_Status", flags.popup_mode ? "On" : "Off");
    number("Split1_Pos", settings.Split1_Pos);
    number("Split2_Pos", settings.Split2_Pos);
    number("Split3_Pos", settings.Split3_Pos);
    return all_written ? 1 : 0;
}

int WriteWindowInformation(const WindowRect& rect) {
    if (g_platform.profile == nullptr) return 0;
    return WriteWindowInformation(*g_platform.profile, g_program_paths.ini_path, rect, g_flags,
                                  g_settings);
}

bool IsSavedRectUsable(const WindowRect& rect, int fullscreen_width, int fullscreen_height) {
    // 64-bit arithmetic: a hand-edited rectangle must not overflow.
    const int64_t width = int64_t{rect.right} - rect.left;
    const int64_t height = int64_t{rect.bottom} - rect.top;
    return rect.top >= 0 && rect.left >= 0 && width >= 370 && height >= 350 &&
           rect.left < int64_t{fullscreen_width} - 5 && rect.top < int64_t{fullscreen_height} - 5;
}
