#include "settings/load_settings.h"

#include <cstring>
#include <string>

#include "platform/host_identity.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "platform/platform.h"
#include "settings/window_modes.h"

int LoadSettingsFrom(ProfileStore& store, const char* ini_path, const char* login_name,
                     Settings* settings, WindowModes* flags, WindowRect* rect) {
    settings->Number = 0;
    for (HostAddressEntry& entry : settings->Address) entry = HostAddressEntry{};
    settings->Port_Number = 0;
    // Name defaults to the login name, or to nothing when it does not fit.
    char name_default[sizeof settings->Name] = {};
    if (login_name != nullptr && std::strlen(login_name) < sizeof name_default) {
        std::strcpy(name_default, login_name);
    }
    WindowRect saved;
    const KeyTargets into{*settings, *flags, saved};
    for (const SettingKey& key : kSettingKeys) {
        const char* fallback = key.fallback == kLoginNameDefault ? name_default : key.fallback;
        ReadSettingKey(store, ini_path, key, fallback, into);
    }
    if (rect != nullptr) *rect = saved;
    return 1;
}

int LoadSettings(WindowRect* rect) {
    if (g_platform.profile == nullptr) return 0;
    std::string login = g_platform.host != nullptr ? g_platform.host->LoginName(kLoginNameBuffer) : std::string();
    return LoadSettingsFrom(*g_platform.profile, g_program_paths.ini_path, login.c_str(), &g_settings,
                            &g_modes, rect);
}
