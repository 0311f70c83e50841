#include "settings/display_page.h"

#include <cstring>

#include "settings/page_writes.h"
#include "settings/settings_keys.h"

namespace {

constexpr KeyStep kForceKeys[] = {
    {"OuArea_TextColor_Force", 0x10}, {"InArea_TextColor_Force", 0x20}, {"UsArea_TextColor_Force", 0x30}};
constexpr KeyStep kColourKeys[] = {
    {"OuArea_TextColor", 0x40}, {"OuArea_BackColor", 0x50}, {"InArea_BackColor", 0x60},
    {"InArea_TextColor", 0x70}, {"UsArea_TextColor", 0x80}, {"UsArea_BackColor", 0x90}};
constexpr KeyStep kViewKey = {"UserArea_View", 0x100};
constexpr KeyStep kFontKeys[] = {{"OuArea_Font", 0x110}, {"InArea_Font", 0x120}, {"UsArea_Font", 0x130}};

// The fields of one pane in the settings.
struct PaneFields {
    char (Settings::*forced)[4];
    uint32_t Settings::*text;
    uint32_t Settings::*back;
};

constexpr PaneFields kPaneFields[3] = {
    {&Settings::OuArea_TextColor_Force, &Settings::OuArea_TextColor, &Settings::OuArea_BackColor},
    {&Settings::InArea_TextColor_Force, &Settings::InArea_TextColor, &Settings::InArea_BackColor},
    {&Settings::UsArea_TextColor_Force, &Settings::UsArea_TextColor, &Settings::UsArea_BackColor},
};

}  // namespace

DisplayChoice DisplayChoiceOf(const Settings& settings) {
    DisplayChoice choice;
    for (int pane = 0; pane < 3; ++pane) {
        const PaneFields& f = kPaneFields[pane];
        choice.pane[pane].text_forced = TickedAtOpening(settings.*f.forced);
        choice.pane[pane].text = settings.*f.text;
        choice.pane[pane].back = settings.*f.back;
        choice.pane[pane].font = settings.pane_font[pane];
    }
    choice.type2 = UserAreaTypeII(settings);
    return choice;
}

void SetSplittersForType(Settings& settings, bool type2) {
    if (type2) {
        settings.Split1_Pos = 250;
        settings.Split3_Pos = 300;
    } else {
        settings.Split1_Pos = 330;
        settings.Split2_Pos = 135;
    }
}

DisplayResult ApplyDisplayPage(const DisplayChoice& choice, const char* opening_view) {
    for (int pane = 0; pane < 3; ++pane) {
        const PaneFields& f = kPaneFields[pane];
        StoreFlag(g_settings.*f.forced, choice.pane[pane].text_forced);
        g_settings.*f.text = choice.pane[pane].text;
        g_settings.*f.back = choice.pane[pane].back;
        g_settings.pane_font[pane] = choice.pane[pane].font;
    }
    // The types are compared, not the texts: a hand-edited value such as "3"
    // shows as TYPE I and stays as it is while TYPE I stays chosen.
    DisplayResult result;
    result.type_changed = choice.type2 != ViewIsTypeII(opening_view);
    if (result.type_changed) {
        std::memset(g_settings.UserArea_View, 0, sizeof g_settings.UserArea_View);
        std::strcpy(g_settings.UserArea_View, choice.type2 ? "2" : "1");
    }

    FailedStep failed;
    failed.Note(WriteKeysInOrder(kForceKeys));
    failed.Note(WriteKeysInOrder(kColourKeys));
    if (result.type_changed) {
        failed.Note(WriteSettingKey(kViewKey.key), kViewKey.step);
        SetSplittersForType(g_settings, choice.type2);
    }
    failed.Note(WriteKeysInOrder(kFontKeys));
    result.failed_step = failed.step();
    return result;
}
