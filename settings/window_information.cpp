#include "settings/window_information.h"

#include <algorithm>

#include "settings/program_paths.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "platform/platform.h"
#include "platform/window_placement.h"
#include "settings/window_modes.h"

namespace {

// Window_Information in the order it is written at shutdown.
constexpr const SettingKey* kShutdownKeys[] = {
    FindSettingKey("Top"),          FindSettingKey("Bottom"),     FindSettingKey("Left"),
    FindSettingKey("Right"),        FindSettingKey("End_Status"), FindSettingKey("Personal_Status"),
    FindSettingKey("Popup_Status"), FindSettingKey("Split1_Pos"), FindSettingKey("Split2_Pos"),
    FindSettingKey("Split3_Pos"),
};

// Every key of the section is saved, each once. (A name not in the table
// fails the compilation where its entry is read.)
constexpr bool SavesTheWholeSection() {
    size_t in_section = 0;
    for (const SettingKey& key : kSettingKeys) {
        if (std::string_view(key.section) == kWindowSection) ++in_section;
    }
    for (const SettingKey* key : kShutdownKeys) {
        if (std::string_view(key->section) != kWindowSection) return false;
        if (std::ranges::count(kShutdownKeys, key) != 1) return false;
    }
    return in_section == std::size(kShutdownKeys);
}
static_assert(SavesTheWholeSection());

}  // namespace

int WriteWindowInformation(ProfileStore& store, const char* ini_path, const WindowRect& rect,
                           const WindowModes& flags, const Settings& settings) {
    if (ini_path == nullptr || *ini_path == '\0') return 0;
    const KeySources from{.settings = &settings, .flags = &flags, .rect = &rect};
    bool all_written = true;
    for (const SettingKey* key : kShutdownKeys) {
        if (!WriteSettingKey(store, ini_path, *key, from)) all_written = false;
    }
    return all_written ? 1 : 0;
}

int WriteWindowInformation(const WindowRect& rect) {
    if (g_platform.profile == nullptr) return 0;
    return WriteWindowInformation(*g_platform.profile, g_program_paths.ini_path, rect, g_modes,
                                  g_settings);
}

bool IsSavedRectUsable(const WindowRect& rect, const Screens& screens) {
    return IsSavedRectOnScreen(ScreenRect{rect.left, rect.top, rect.right, rect.bottom}, screens);
}
