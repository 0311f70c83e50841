#include "settings/base_page.h"

#include <algorithm>
#include <cstring>

#include "settings/page_writes.h"
#include "settings/settings.h"

namespace {

constexpr size_t kNameLimit = sizeof(Settings::Name) - 1;

constexpr KeyStep kBaseKeys[] = {
    {"Name", 0x10},     {"IME_Auto_Change", 0x20}, {"Date_View", 0x30},
    {"Time_View", 0x40}, {"Log_Save", 0x50},        {"Msg_TextColor", 0x60},
};

void StoreName(const std::string& name) {
    std::memset(g_settings.Name, 0, sizeof g_settings.Name);
    std::memcpy(g_settings.Name, name.data(), std::min(name.size(), kNameLimit));
}

}  // namespace

BasePageResult ApplyBasePage(const BasePageChoice& choice, const BasePageOpening& opening,
                             const std::string& login_name, bool log_active) {
    BasePageResult result;
    result.name_was_empty = choice.name.empty();
    StoreName(result.name_was_empty ? login_name : choice.name);
    StoreFlag(g_settings.IME_Auto_Change, choice.ime_auto_change);
    StoreFlag(g_settings.Date_View, choice.date_view);
    StoreFlag(g_settings.Time_View, choice.time_view);
    StoreFlag(g_settings.Log_Save, log_active);
    g_settings.Msg_TextColor = choice.own_colour;

    result.failed_step = WriteKeysInOrder(kBaseKeys);
    const bool changed = std::string(g_settings.Name) != opening.name || g_settings.Msg_TextColor != opening.own_colour;
    result.announce = result.failed_step == 0 && changed;
    return result;
}
