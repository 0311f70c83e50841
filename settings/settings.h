// The settings record: one field per key of Mosswick.ini, read once at start.
#pragma once
#include <cstdint>
#include <cstring>

#include "platform/font_record.h"

class ProfileStore;

// The three sections of the settings file.
constexpr char kClientSection[] = "Client_Definition";
constexpr char kBroadcastSection[] = "Broadcast_Definition";
constexpr char kWindowSection[] = "Window_Information";

constexpr int kMaxHostAddresses = 30;

struct HostAddressEntry {
    uint8_t marker = 0;      // 1 when the stored value began with "@"
    uint32_t address = 0;    // network order; 255.255.255.255 when not an address
};

struct WindowRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

enum PaneFont { PANE_OUTPUT = 0, PANE_INPUT = 1, PANE_USER = 2 };

struct Settings {
    // Client_Definition (text fields hold the value as read, cut to the limit)
    char Name[20] = {};
    char ChatMsg_Recieve[5] = {};
    char PopupMsg_Recieve[5] = {};
    char ChatMsg_Recieve_At_Toray[5] = {};
    char PopupMsg_Recieve_At_Toray[5] = {};
    char IME_Auto_Change[4] = {};
    char Broadcast_Send_Check[4] = {};
    char Personal_Send_Check[4] = {};
    char Popup_Send_Check[4] = {};
    char Log_Save[4] = {};
    char Date_View[4] = {};
    char Time_View[4] = {};
    int32_t Port_Number = 0;
    uint32_t InArea_TextColor = 0;
    uint32_t InArea_BackColor = 0;
    uint32_t OuArea_TextColor = 0;
    uint32_t OuArea_BackColor = 0;
    uint32_t UsArea_TextColor = 0;
    uint32_t UsArea_BackColor = 0;
    uint32_t Msg_TextColor = 0;
    char OuArea_TextColor_Force[4] = {};
    char InArea_TextColor_Force[4] = {};
    char UsArea_TextColor_Force[4] = {};
    FontRecord pane_font[3];        // OuArea_Font, InArea_Font, UsArea_Font
    void* pane_font_object[3] = {}; // the font objects made from them (Windows only)
    char Icon_Color[8] = {};
    char UserArea_View[4] = {};
    char Start_Send[4] = {};
    char Debug[4] = {};
    char Undelivered_Notice[4] = {};
    // Broadcast_Definition
    char Broadcast_LocalNetwork[4] = {};
    int16_t Number = 0;             // clamped to 0..30
    HostAddressEntry Address[kMaxHostAddresses];
    // Window_Information
    int32_t Split1_Pos = 0, Split2_Pos = 0, Split3_Pos = 0;
    char Personal_Status[4] = {};
    char Popup_Status[4] = {};
};

extern Settings g_settings;

// The tests of the stored forms: a flag counts by its first letter.
inline bool FlagY(const char* v) { return v[0] == 'Y'; }        // set when it begins with "Y"
inline bool FlagNotN(const char* v) { return v[0] != 'N'; }     // set unless it begins with "N"

// Each key's own test, so that no reader picks the wrong one. Two flags count
// as set unless they begin with "N"; the others only when they begin with "Y".
inline bool ImeAutoChangeOn(const Settings& s) { return FlagNotN(s.IME_Auto_Change); }
inline bool StartSendOn(const Settings& s) { return FlagNotN(s.Start_Send); }
inline bool BroadcastSendCheckOn(const Settings& s) { return FlagY(s.Broadcast_Send_Check); }
inline bool PersonalSendCheckOn(const Settings& s) { return FlagY(s.Personal_Send_Check); }
inline bool PopupSendCheckOn(const Settings& s) { return FlagY(s.Popup_Send_Check); }
inline bool LogSaveOn(const Settings& s) { return FlagY(s.Log_Save); }
inline bool DateViewOn(const Settings& s) { return FlagY(s.Date_View); }
inline bool TimeViewOn(const Settings& s) { return FlagY(s.Time_View); }
inline bool OuAreaTextColorForceOn(const Settings& s) { return FlagY(s.OuArea_TextColor_Force); }
inline bool InAreaTextColorForceOn(const Settings& s) { return FlagY(s.InArea_TextColor_Force); }
inline bool UsAreaTextColorForceOn(const Settings& s) { return FlagY(s.UsArea_TextColor_Force); }
inline bool DebugOn(const Settings& s) { return FlagY(s.Debug); }
// A chat line or popup that never arrived is told to the user unless this
// begins with "N".
inline bool UndeliveredNoticeOn(const Settings& s) { return FlagNotN(s.Undelivered_Notice); }
inline bool BroadcastLocalNetworkOn(const Settings& s) { return FlagY(s.Broadcast_LocalNetwork); }
// Screen type II when a UserArea_View value begins with "2"; anything else,
// a hand-edited "3" or an empty value too, is type I.
inline bool ViewIsTypeII(const char* view) { return view[0] == '2'; }
inline bool UserAreaTypeII(const Settings& s) { return ViewIsTypeII(s.UserArea_View); }
// Personal and popup mode come back only for exactly "On".
inline bool PersonalStatusOn(const Settings& s) { return std::strcmp(s.Personal_Status, "On") == 0; }
inline bool PopupStatusOn(const Settings& s) { return std::strcmp(s.Popup_Status, "On") == 0; }
