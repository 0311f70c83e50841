// Every key of Mosswick.ini, declared once: its section, its name, its
// default, the bytes it is read into, the form of its stored value and the
// field it fills. The loader reads the keys in the order of this table, the
// window-information save writes through it, and the settings sheet is to
// write each key it changes with WriteSettingKey.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "platform/platform.h"
#include "settings/font_value.h"
#include "settings/settings.h"
#include "settings/window_modes.h"

class ProfileStore;

// The form of a stored value.
enum KeyKind {
    KEY_YES_NO,        // "Yes" or "No", kept as text (each key's test is in settings.h)
    KEY_NUMBER,        // decimal, read the way "%d" reads it
    KEY_COLOUR,        // a colour as the decimal number of its 32 bits
    KEY_FONT,          // a font value (settings/font_value.h); "None" is the default font
    KEY_ADDRESS_LIST,  // Address01, Address02, ...: "@" before an address marks it
    KEY_TEXT,          // any other text, kept as it stands
};

// Where a key's value lives. A text field of the record is reached both from
// a record being loaded and from one being saved.
struct TextField {
    std::span<char> (*of)(Settings&);
    std::span<const char> (*of_const)(const Settings&);
};

template <auto Field>
constexpr TextField TextOf() {
    return {[](Settings& s) -> std::span<char> { return s.*Field; },
            [](const Settings& s) -> std::span<const char> { return s.*Field; }};
}

struct NumberField { int32_t Settings::*field; };
struct ColourField { uint32_t Settings::*field; };
struct FontField { PaneFont pane; };                    // Settings::pane_font[pane]
struct WindowEdge { int32_t WindowRect::*edge; };       // the main window's saved rectangle
// Number of the address list, held to 0..kMaxHostAddresses when read.
struct HostCount { int16_t Settings::*field; };
// The address list: as many keys as Settings::Number says, each made of the
// key's name and a two-digit position from 01.
struct HostList { HostAddressEntry (Settings::*list)[kMaxHostAddresses]; };
// A key written from one of the shell's flags: `on` when set, else `off`.
// Read back (End_Status), the flag is set when the value begins as `on` does.
struct FlagWords {
    bool WindowModes::*flag;
    const char* on;
    const char* off;
};
// Personal_Status and Popup_Status: read as text into the record, written
// from the mode flags.
struct ModeStatus {
    TextField text;
    FlagWords words;
};

using KeyField = std::variant<TextField, NumberField, ColourField, FontField, WindowEdge, HostCount,
                              HostList, FlagWords, ModeStatus>;

struct SettingKey {
    const char* section;
    const char* key;
    const char* fallback;  // the default
    size_t size;           // bytes the value is read into, its NUL included
    KeyKind kind;
    KeyField field;
};

// The default of Name: the login name when it fits the field, else empty.
inline constexpr char kLoginNameDefault[] = "";

// Bytes a number, a colour or an address is read into.
constexpr size_t kNumberValueSize = 50;

inline constexpr SettingKey kSettingKeys[] = {
    {kClientSection, "Name", kLoginNameDefault, 20, KEY_TEXT, TextOf<&Settings::Name>()},
    {kClientSection, "ChatMsg_Recieve", "Icon", 5, KEY_TEXT, TextOf<&Settings::ChatMsg_Recieve>()},
    {kClientSection, "PopupMsg_Recieve", "Icon", 5, KEY_TEXT,
     TextOf<&Settings::PopupMsg_Recieve>()},
    {kClientSection, "ChatMsg_Recieve_At_Toray", "Icon", 5, KEY_TEXT,
     TextOf<&Settings::ChatMsg_Recieve_At_Toray>()},
    {kClientSection, "PopupMsg_Recieve_At_Toray", "Icon", 5, KEY_TEXT,
     TextOf<&Settings::PopupMsg_Recieve_At_Toray>()},
    {kClientSection, "IME_Auto_Change", "No", 4, KEY_YES_NO, TextOf<&Settings::IME_Auto_Change>()},
    {kClientSection, "Broadcast_Send_Check", "No", 4, KEY_YES_NO,
     TextOf<&Settings::Broadcast_Send_Check>()},
    {kClientSection, "Personal_Send_Check", "No", 4, KEY_YES_NO,
     TextOf<&Settings::Personal_Send_Check>()},
    {kClientSection, "Popup_Send_Check", "No", 4, KEY_YES_NO,
     TextOf<&Settings::Popup_Send_Check>()},
    {kClientSection, "Log_Save", "No", 4, KEY_YES_NO, TextOf<&Settings::Log_Save>()},
    {kClientSection, "Date_View", "No", 4, KEY_YES_NO, TextOf<&Settings::Date_View>()},
    {kClientSection, "Time_View", "No", 4, KEY_YES_NO, TextOf<&Settings::Time_View>()},
    {kBroadcastSection, "Broadcast_LocalNetwork", "No", 4, KEY_YES_NO,
     TextOf<&Settings::Broadcast_LocalNetwork>()},
    {kClientSection, "Port_Number", "55700", kNumberValueSize, KEY_NUMBER,
     NumberField{&Settings::Port_Number}},
    {kClientSection, "InArea_TextColor", "0", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::InArea_TextColor}},
    {kClientSection, "InArea_BackColor", "16777215", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::InArea_BackColor}},
    {kClientSection, "OuArea_TextColor", "0", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::OuArea_TextColor}},
    {kClientSection, "OuArea_BackColor", "16777215", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::OuArea_BackColor}},
    {kClientSection, "UsArea_TextColor", "0", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::UsArea_TextColor}},
    {kClientSection, "UsArea_BackColor", "16777215", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::UsArea_BackColor}},
    {kClientSection, "Msg_TextColor", "0", kNumberValueSize, KEY_COLOUR,
     ColourField{&Settings::Msg_TextColor}},
    {kClientSection, "OuArea_TextColor_Force", "No", 4, KEY_YES_NO,
     TextOf<&Settings::OuArea_TextColor_Force>()},
    {kClientSection, "InArea_TextColor_Force", "Yes", 4, KEY_YES_NO,
     TextOf<&Settings::InArea_TextColor_Force>()},
    {kClientSection, "UsArea_TextColor_Force", "No", 4, KEY_YES_NO,
     TextOf<&Settings::UsArea_TextColor_Force>()},
    {kClientSection, "OuArea_Font", "None", kFontValueSize, KEY_FONT, FontField{PANE_OUTPUT}},
    {kClientSection, "InArea_Font", "None", kFontValueSize, KEY_FONT, FontField{PANE_INPUT}},
    {kClientSection, "UsArea_Font", "None", kFontValueSize, KEY_FONT, FontField{PANE_USER}},
    {kClientSection, "Icon_Color", "Yellow", 8, KEY_TEXT, TextOf<&Settings::Icon_Color>()},
    {kClientSection, "UserArea_View", "1", 4, KEY_TEXT, TextOf<&Settings::UserArea_View>()},
    {kClientSection, "Start_Send", "No", 4, KEY_YES_NO, TextOf<&Settings::Start_Send>()},
    {kClientSection, "Debug", "No", 4, KEY_YES_NO, TextOf<&Settings::Debug>()},
    {kClientSection, "Undelivered_Notice", "Yes", 4, KEY_YES_NO, TextOf<&Settings::Undelivered_Notice>()},
    {kBroadcastSection, "Number", "0", kNumberValueSize, KEY_NUMBER, HostCount{&Settings::Number}},
    {kBroadcastSection, "Address", "127.0.0.1", kNumberValueSize, KEY_ADDRESS_LIST,
     HostList{&Settings::Address}},
    {kWindowSection, "Split1_Pos", "330", kNumberValueSize, KEY_NUMBER,
     NumberField{&Settings::Split1_Pos}},
    {kWindowSection, "Split2_Pos", "140", kNumberValueSize, KEY_NUMBER,
     NumberField{&Settings::Split2_Pos}},
    {kWindowSection, "Split3_Pos", "400", kNumberValueSize, KEY_NUMBER,
     NumberField{&Settings::Split3_Pos}},
    {kWindowSection, "Top", "100", kNumberValueSize, KEY_NUMBER, WindowEdge{&WindowRect::top}},
    {kWindowSection, "Bottom", "0", kNumberValueSize, KEY_NUMBER, WindowEdge{&WindowRect::bottom}},
    {kWindowSection, "Left", "100", kNumberValueSize, KEY_NUMBER, WindowEdge{&WindowRect::left}},
    {kWindowSection, "Right", "0", kNumberValueSize, KEY_NUMBER, WindowEdge{&WindowRect::right}},
    {kWindowSection, "End_Status", "View", 10, KEY_TEXT,
     FlagWords{&WindowModes::window_shown, "View", "TaskToray"}},
    {kWindowSection, "Personal_Status", "Off", 4, KEY_TEXT,
     ModeStatus{TextOf<&Settings::Personal_Status>(), {&WindowModes::personal_mode, "On", "Off"}}},
    {kWindowSection, "Popup_Status", "Off", 4, KEY_TEXT,
     ModeStatus{TextOf<&Settings::Popup_Status>(), {&WindowModes::popup_mode, "On", "Off"}}},
};

// The entry of a key, by its name as the table spells it ("Address" for the
// address list); null when there is none. Usable at compile time.
constexpr const SettingKey* FindSettingKey(std::string_view key) {
    for (const SettingKey& entry : kSettingKeys) {
        if (key == entry.key) return &entry;
    }
    return nullptr;
}

// The records keys are read into.
struct KeyTargets {
    Settings& settings;
    WindowModes& flags;
    WindowRect& rect;
};

// The records keys are written from. A key whose record is not given is not
// written.
struct KeySources {
    const Settings* settings = nullptr;
    const WindowModes* flags = nullptr;
    const WindowRect* rect = nullptr;
};

// Reads one key (all the keys of the address list for it, as many as
// into.settings.Number says) with `fallback` as its default, the value cut to
// key.size bytes with the NUL: texts as they stand, numbers and colours as
// "%d" reads them, a font beginning with "N" or unreadable as the default
// font, Number held to 0..30, an address with marker 1 for a leading "@".
void ReadSettingKey(ProfileStore& store, const char* ini_path, const SettingKey& key,
                    const char* fallback, const KeyTargets& into);

// Writes one key from its record: texts as they stand, numbers and colours
// in decimal (a colour as the signed number of its 32 bits, the way it reads
// back), fonts as font values, flags as their words, the address list as
// Address01.. for the first Number entries (an address "@"-prefixed when
// marked, 255.255.255.255 when it was no address). Returns 1 when every write
// succeeded; 0 when one failed, when the key's record is not given, or when
// the path is empty (nothing is written then).
int WriteSettingKey(ProfileStore& store, const char* ini_path, const SettingKey& key,
                    const KeySources& from);

// The same for a key by name; 0, writing nothing, for a name not in the table.
int WriteSettingKey(ProfileStore& store, const char* ini_path, std::string_view key,
                    const KeySources& from);

// The same into the program's settings file (g_platform.profile,
// g_program_paths) from g_settings and g_modes; the window rectangle is not
// given, so its keys are not written.
int WriteSettingKey(std::string_view key);

// Writes `text` as it stands under the key's section and name, into the
// program's settings file: for the values the settings sheet stores as the
// user typed them (the port, the host addresses). With a position the name
// is the key's with two digits ("Address" and 1 give Address01). Returns 1
// when written; 0 when the write failed or the name is not in the table.
int WriteSettingText(std::string_view key, const char* text, int position = 0);
