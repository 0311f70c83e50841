#include "settings/load_settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/host_identity.h"
#include "platform/profile_store.h"
#include "settings/font_value.h"
#include "settings/inet_address.h"
#include "settings/number_scan.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "platform/platform.h"

namespace {

// Reads keys of one file into their fields.
class KeyReader {
public:
    KeyReader(ProfileStore& store, const char* path) : store_(store), path_(path) {}

    template <size_t N>
    void Text(const char* section, const char* key, const char* fallback, char (&field)[N]) {
        store_.GetString(section, key, fallback, field, N, path_);
    }

    int32_t Number(const char* section, const char* key, const char* fallback) {
        char value[50];
        store_.GetString(section, key, fallback, value, sizeof value, path_);
        return ScanNumber(value);
    }

    uint32_t Colour(const char* key, const char* fallback) {
        return static_cast<uint32_t>(Number(kClientSection, key, fallback));
    }

    FontRecord Font(const char* key) {
        char value[kFontValueSize];
        store_.GetString(kClientSection, key, "None", value, sizeof value, path_);
        FontRecord font;
        if (value[0] == 'N' || !ParseFontValue(value, &font)) font = DefaultFontRecord();
        return font;
    }

    HostAddressEntry HostAddress(int position) {
        char key[16];
        std::snprintf(key, sizeof key, "Address%02d", position);
        char value[50];
        store_.GetString(kBroadcastSection, key, "127.0.0.1", value, sizeof value, path_);
        HostAddressEntry entry;
        entry.marker = value[0] == '@' ? 1 : 0;
        entry.address = ParseInetAddress(value + entry.marker);
        return entry;
    }

private:
    ProfileStore& store_;
    const char* path_;
};

void ReadClientDefinition(KeyReader& in, const char* login_name, Settings* s) {
    char name_default[sizeof s->Name] = {};
    if (login_name != nullptr && std::strlen(login_name) < sizeof name_default) {
        std::strcpy(name_default, login_name);
    }
    in.Text(kClientSection, "Name", name_default, s->Name);
    in.Text(kClientSection, "ChatMsg_Recieve", "Icon", s->ChatMsg_Recieve);
    in.Text(kClientSection, "PopupMsg_Recieve", "Icon", s->PopupMsg_Recieve);
    in.Text(kClientSection, "ChatMsg_Recieve_At_Toray", "Icon", s->ChatMsg_Recieve_At_Toray);
    in.Text(kClientSection, "PopupMsg_Recieve_At_Toray", "Icon", s->PopupMsg_Recieve_At_Toray);
    in.Text(kClientSection, "IME_Auto_Change", "No", s->IME_Auto_Change);
    in.Text(kClientSection, "Broadcast_Send_Check", "No", s->Broadcast_Send_Check);
    in.Text(kClientSection, "Personal_Send_Check", "No", s->Personal_Send_Check);
    in.Text(kClientSection, "Popup_Send_Check", "No", s->Popup_Send_Check);
    in.Text(kClientSection, "Log_Save", "No", s->Log_Save);
    in.Text(kClientSection, "Date_View", "No", s->Date_View);
    in.Text(kClientSection, "Time_View", "No", s->Time_View);
    in.Text(kBroadcastSection, "Broadcast_LocalNetwork", "No", s->Broadcast_LocalNetwork);
    s->Port_Number = in.Number(kClientSection, "Port_Number", "55700");
    s->InArea_TextColor = in.Colour("InArea_TextColor", "0");
    s->InArea_BackColor = in.Colour("InArea_BackColor", "16777215");
    s->OuArea_TextColor = in.Colour("OuArea_TextColor", "0");
    s->OuArea_BackColor = in.Colour("OuArea_BackColor", "16777215");
    s->UsArea_TextColor = in.Colour("UsArea_TextColor", "0");
    s->UsArea_BackColor = in.Colour("UsArea_BackColor", "16777215");
    s->Msg_TextColor = in.Colour("Msg_TextColor", "0");
    in.Text(kClientSection, "OuArea_TextColor_Force", "No", s->OuArea_TextColor_Force);
    in.Text(kClientSection, "InArea_TextColor_Force", "Yes", s->InArea_TextColor_Force);
    in.Text(kClientSection, "UsArea_TextColor_Force", "No", s->UsArea_TextColor_Force);
    s->pane_font[PANE_OUTPUT] = in.Font("OuArea_Font");
    s->pane_font[PANE_INPUT] = in.Font("InArea_Font");
    s->pane_font[PANE_USER] = in.Font("UsArea_Font");
    in.Text(kClientSection, "Icon_Color", "Yellow", s->Icon_Color);
    in.Text(kClientSection, "UserArea_View", "1", s->UserArea_View);
    in.Text(kClientSection, "Start_Send", "No", s->Start_Send);
    in.Text(kClientSection, "Debug", "No", s->Debug);
}

// Number is held to what the list holds: above 30 reads 30 entries, zero or
// less none.
void ReadHostAddresses(KeyReader& in, Settings* s) {
    int32_t count = in.Number(kBroadcastSection, "Number", "0");
    if (count < 0) count = 0;
    if (count > kMaxHostAddresses) count = kMaxHostAddresses;
    s->Number = static_cast<int16_t>(count);
    for (int i = 0; i < count; ++i) s->Address[i] = in.HostAddress(i + 1);
}

void ReadWindowInformation(KeyReader& in, Settings* s, ShellFlags* flags, WindowRect* rect) {
    s->Split1_Pos = in.Number(kWindowSection, "Split1_Pos", "330");
    s->Split2_Pos = in.Number(kWindowSection, "Split2_Pos", "140");
    s->Split3_Pos = in.Number(kWindowSection, "Split3_Pos", "400");
    WindowRect r;
    r.top = in.Number(kWindowSection, "Top", "100");
    r.bottom = in.Number(kWindowSection, "Bottom", "0");
    r.left = in.Number(kWindowSection, "Left", "100");
    r.right = in.Number(kWindowSection, "Right", "0");
    if (rect != nullptr) *rect = r;
    char end_status[10];
    in.Text(kWindowSection, "End_Status", "View", end_status);
    flags->window_shown = end_status[0] == 'V';
    in.Text(kWindowSection, "Personal_Status", "Off", s->Personal_Status);
    in.Text(kWindowSection, "Popup_Status", "Off", s->Popup_Status);
}

}  // namespace

int LoadSettingsFrom(ProfileStore& store, const char* ini_path, const char* login_name,
                     Settings* settings, ShellFlags* flags, WindowRect* rect) {
    settings->Number = 0;
    for (HostAddressEntry& entry : settings->Address) entry = HostAddressEntry{};
    settings->Port_Number = 0;
    KeyReader in(store, ini_path);
    ReadClientDefinition(in, login_name, settings);
    ReadHostAddresses(in, settings);
    ReadWindowInformation(in, settings, flags, rect);
    return 1;
}

int LoadSettings(WindowRect* rect) {
    if (g_platform.profile == nullptr) return 0;
    std::string login = g_platform.host != nullptr ? g_platform.host->LoginName() : std::string();
    return LoadSettingsFrom(*g_platform.profile, g_program_paths.ini_path, login.c_str(), &g_settings,
                            &g_flags, rect);
}
