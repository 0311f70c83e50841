// Loading Mosswick.ini through the real POSIX store from real files.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "platform/posix/profile_store_posix.h"
#include "platform/window_placement.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/window_information.h"
#include "settings/window_modes.h"
#include "tests/settings/temp_ini.h"

namespace {

static_assert(sizeof(FontRecord) == 60, "FontRecord has no padding, so memcmp compares fields");
bool SameFont(const FontRecord& a, const FontRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The four bytes of a network-order address, as text.
std::string Dotted(uint32_t address) {
    unsigned char b[4];
    std::memcpy(b, &address, 4);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

struct Loaded {
    Settings settings;
    WindowModes flags;
    WindowRect rect;
};

// Loads from the file holding `ini` (no file when ini is null), starting from
// a record full of leftovers that loading must replace.
Loaded Load(const char* ini, const char* login = "taro") {
    TempIni file;
    if (ini) file.Put(ini);
    PosixProfileStore store;
    Loaded out;
    out.settings.Number = 7;
    out.settings.Address[3] = {1, 0x01020304};
    out.settings.Port_Number = 1;
    out.flags.window_shown = false;
    LoadSettingsFrom(store, file.path(), login, &out.settings, &out.flags, &out.rect);
    return out;
}

TEST(LoadSettings, WithoutFileEveryKeyTakesItsDefault) {
    Loaded l = Load(nullptr);
    const Settings& s = l.settings;
    EXPECT_STREQ(s.Name, "taro");
    EXPECT_STREQ(s.ChatMsg_Recieve, "Icon");
    EXPECT_STREQ(s.PopupMsg_Recieve, "Icon");
    EXPECT_STREQ(s.ChatMsg_Recieve_At_Toray, "Icon");
    EXPECT_STREQ(s.PopupMsg_Recieve_At_Toray, "Icon");
    for (const char* flag : {s.IME_Auto_Change, s.Broadcast_Send_Check, s.Personal_Send_Check,
                             s.Popup_Send_Check, s.Log_Save, s.Date_View, s.Time_View,
                             s.Broadcast_LocalNetwork, s.OuArea_TextColor_Force,
                             s.UsArea_TextColor_Force, s.Start_Send, s.Debug}) {
        EXPECT_STREQ(flag, "No");
    }
    EXPECT_STREQ(s.InArea_TextColor_Force, "Yes");
    EXPECT_EQ(s.Port_Number, 55700);
    EXPECT_EQ(s.InArea_TextColor, 0u);
    EXPECT_EQ(s.OuArea_TextColor, 0u);
    EXPECT_EQ(s.UsArea_TextColor, 0u);
    EXPECT_EQ(s.Msg_TextColor, 0u);
    EXPECT_EQ(s.InArea_BackColor, 16777215u);
    EXPECT_EQ(s.OuArea_BackColor, 16777215u);
    EXPECT_EQ(s.UsArea_BackColor, 16777215u);
    for (const FontRecord& f : s.pane_font) EXPECT_TRUE(SameFont(f, DefaultFontRecord()));
    EXPECT_STREQ(s.Icon_Color, "Yellow");
    EXPECT_STREQ(s.UserArea_View, "1");
    EXPECT_EQ(s.Number, 0);
    for (const HostAddressEntry& e : s.Address) {
        EXPECT_EQ(e.marker, 0);
        EXPECT_EQ(e.address, 0u);
    }
    EXPECT_EQ(s.Split1_Pos, 330);
    EXPECT_EQ(s.Split2_Pos, 140);
    EXPECT_EQ(s.Split3_Pos, 400);
    EXPECT_STREQ(s.Personal_Status, "Off");
    EXPECT_STREQ(s.Popup_Status, "Off");
    EXPECT_TRUE(l.flags.window_shown);
    EXPECT_EQ(l.rect.left, 100);
    EXPECT_EQ(l.rect.top, 100);
    EXPECT_EQ(l.rect.right, 0);
    EXPECT_EQ(l.rect.bottom, 0);

    // What the defaults mean: no confirmations, no log, TYPE I, no start at launch.
    EXPECT_FALSE(StartSendOn(s));
    EXPECT_FALSE(ImeAutoChangeOn(s));
    EXPECT_FALSE(BroadcastSendCheckOn(s) || PersonalSendCheckOn(s) || PopupSendCheckOn(s));
    EXPECT_FALSE(LogSaveOn(s) || DebugOn(s) || BroadcastLocalNetworkOn(s));
    EXPECT_TRUE(InAreaTextColorForceOn(s));
    EXPECT_FALSE(UserAreaTypeII(s) || PersonalStatusOn(s) || PopupStatusOn(s));
    EXPECT_FALSE(IsSavedRectUsable(l.rect, Screens{1024, 768, 19, {}}));
}

struct RuleCase {
    const char* ini;
    std::function<bool(const Loaded&)> test;
    bool expected;
};

TEST(LoadSettings, EachKeyHasItsOwnTest) {
    auto start = [](const Loaded& l) { return StartSendOn(l.settings); };
    auto ime = [](const Loaded& l) { return ImeAutoChangeOn(l.settings); };
    auto confirm = [](const Loaded& l) { return BroadcastSendCheckOn(l.settings); };
    auto debug = [](const Loaded& l) { return DebugOn(l.settings); };
    auto shown = [](const Loaded& l) { return l.flags.window_shown; };
    auto type2 = [](const Loaded& l) { return UserAreaTypeII(l.settings); };
    auto personal = [](const Loaded& l) { return PersonalStatusOn(l.settings); };
    auto popup = [](const Loaded& l) { return PopupStatusOn(l.settings); };
    const RuleCase cases[] = {
        {"[Client_Definition]\r\nStart_Send=0\r\n", start, true},
        {"[Client_Definition]\r\nStart_Send=no\r\n", start, true},
        {"[Client_Definition]\r\nStart_Send=No\r\n", start, false},
        {"[Client_Definition]\r\nIME_Auto_Change=Yes\r\n", ime, true},
        {"[Client_Definition]\r\nBroadcast_Send_Check=yes\r\n", confirm, false},
        {"[Client_Definition]\r\nBroadcast_Send_Check=Y\r\n", confirm, true},
        {"[Client_Definition]\r\nDebug=yes\r\n", debug, false},
        {"[Client_Definition]\r\nDebug=Yes\r\n", debug, true},
        {"[Window_Information]\r\nEnd_Status=view\r\n", shown, false},
        {"[Window_Information]\r\nEnd_Status=TaskToray\r\n", shown, false},
        {"[Window_Information]\r\nEnd_Status=View\r\n", shown, true},
        {"[Client_Definition]\r\nUserArea_View=2x\r\n", type2, true},
        {"[Client_Definition]\r\nUserArea_View=3\r\n", type2, false},
        {"[Client_Definition]\r\nUserArea_View=\r\n", type2, false},
        {"[Window_Information]\r\nPersonal_Status=on\r\n", personal, false},
        {"[Window_Information]\r\nPersonal_Status=On\r\n", personal, true},
        {"[Window_Information]\r\nPersonal_Status=Onx\r\n", personal, false},
        {"[Window_Information]\r\nPopup_Status=On\r\n", popup, true},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.ini);
        EXPECT_EQ(c.test(Load(c.ini)), c.expected);
    }
}

TEST(LoadSettings, HostAddressList) {
    Loaded two = Load("[Broadcast_Definition]\r\nNumber=2\r\nAddress01=10.1.2.3\r\n");
    ASSERT_EQ(two.settings.Number, 2);
    EXPECT_EQ(Dotted(two.settings.Address[0].address), "10.1.2.3");
    EXPECT_EQ(Dotted(two.settings.Address[1].address), "127.0.0.1");
    EXPECT_EQ(two.settings.Address[1].marker, 0);

    Loaded marked = Load("[Broadcast_Definition]\r\nNumber=3\r\nAddress01=@10.0.0.5\r\n"
                         "Address02=host.example\r\nAddress03=@\r\n");
    EXPECT_EQ(marked.settings.Address[0].marker, 1);
    EXPECT_EQ(Dotted(marked.settings.Address[0].address), "10.0.0.5");
    EXPECT_EQ(marked.settings.Address[1].marker, 0);
    EXPECT_EQ(Dotted(marked.settings.Address[1].address), "255.255.255.255");
    EXPECT_EQ(marked.settings.Address[2].marker, 1);
    EXPECT_EQ(Dotted(marked.settings.Address[2].address), "255.255.255.255");

    // Above 30 the list holds 30; the thirty-first key is never read.
    Loaded many = Load("[Broadcast_Definition]\r\nNumber=99\r\nAddress30=10.0.0.30\r\n"
                       "Address31=10.0.0.31\r\n");
    EXPECT_EQ(many.settings.Number, 30);
    EXPECT_EQ(Dotted(many.settings.Address[0].address), "127.0.0.1");
    EXPECT_EQ(Dotted(many.settings.Address[29].address), "10.0.0.30");

    // Zero or less gives an empty list, and what was there before is gone.
    Loaded negative = Load("[Broadcast_Definition]\r\nNumber=-3\r\nAddress01=10.0.0.1\r\n");
    EXPECT_EQ(negative.settings.Number, 0);
    EXPECT_EQ(negative.settings.Address[0].address, 0u);
    EXPECT_EQ(negative.settings.Address[3].marker, 0);
    EXPECT_EQ(negative.settings.Address[3].address, 0u);
    EXPECT_EQ(Load("[Broadcast_Definition]\r\nNumber=abc\r\n").settings.Number, 0);
    // A count beyond 16 bits is held to 30 before it is stored, not wrapped.
    EXPECT_EQ(Load("[Broadcast_Definition]\r\nNumber=70000\r\n").settings.Number, 30);
}

TEST(LoadSettings, NumbersReadAsPercentD) {
    Loaded l = Load("[Client_Definition]\r\nPort_Number=abc\r\nInArea_BackColor=x1\r\n"
                    "Msg_TextColor=255 red\r\nOuArea_BackColor=-1\r\n"
                    "[Window_Information]\r\nSplit1_Pos=\r\nSplit2_Pos=+12px\r\nTop=-20\r\n"
                    "Left=99999999999\r\n");
    EXPECT_EQ(l.settings.Port_Number, 0);
    EXPECT_EQ(l.settings.InArea_BackColor, 0u);
    EXPECT_EQ(l.settings.Msg_TextColor, 255u);
    EXPECT_EQ(l.settings.OuArea_BackColor, 0xFFFFFFFFu);
    EXPECT_EQ(l.settings.Split1_Pos, 0);
    EXPECT_EQ(l.settings.Split2_Pos, 12);
    EXPECT_EQ(l.rect.top, -20);
    EXPECT_EQ(l.rect.left, 2147483647);
}

TEST(LoadSettings, TextsCutToTheirFields) {
    Loaded l = Load("[Client_Definition]\r\nName=abcdefghijklmnopqrstuvwxyz\r\n"
                    "ChatMsg_Recieve=Iconic\r\nIcon_Color=SkyBlueish\r\n"
                    "[Window_Information]\r\nPopup_Status=Offline\r\n");
    EXPECT_STREQ(l.settings.Name, "abcdefghijklmnopqrs");
    EXPECT_STREQ(l.settings.ChatMsg_Recieve, "Icon");
    EXPECT_STREQ(l.settings.Icon_Color, "SkyBlue");
    EXPECT_STREQ(l.settings.Popup_Status, "Off");
    // Ten double-byte characters are 20 bytes: nine fit in 19.
    EXPECT_STREQ(Load("[Client_Definition]\r\nName=日本語の名前です山田\r\n").settings.Name,
                 "日本語の名前です山");
}

TEST(LoadSettings, NameAndLoginName) {
    EXPECT_STREQ(Load("[Client_Definition]\r\nName=\r\n").settings.Name, "");
    EXPECT_STREQ(Load(nullptr, "abcdefghijklmnopqrs").settings.Name, "abcdefghijklmnopqrs");
    EXPECT_STREQ(Load(nullptr, "abcdefghijklmnopqrst").settings.Name, "");
    EXPECT_STREQ(Load(nullptr, "山田").settings.Name, "山田");
}

TEST(LoadSettings, FontKeys) {
    Loaded l = Load("[Client_Definition]\r\n"
                    "OuArea_Font=-16:0:0:0:700:1:0:0:128:3:2:1:49:ＭＳ 明朝\r\n"
                    "InArea_Font=Nothing:1:2\r\n"
                    "UsArea_Font=14:0:0:0:400:0:0:0:128:2:0:0:0:\r\n");
    const FontRecord& out = l.settings.pane_font[PANE_OUTPUT];
    EXPECT_EQ(out.lfHeight, -16);
    EXPECT_EQ(out.lfWeight, 700);
    EXPECT_EQ(out.lfItalic, 1);
    EXPECT_EQ(out.lfPitchAndFamily, 49);
    EXPECT_STREQ(out.lfFaceName, "ＭＳ 明朝");
    EXPECT_TRUE(SameFont(l.settings.pane_font[PANE_INPUT], DefaultFontRecord()));
    EXPECT_TRUE(SameFont(l.settings.pane_font[PANE_USER], DefaultFontRecord()));
}

}  // namespace
