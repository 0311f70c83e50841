// Writing the keys through the table (as the settings sheet will): each key
// is written from its own field in its stored form and reads back the same.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/posix/profile_store_posix.h"
#include "platform/inet_address.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "settings/window_modes.h"
#include "tests/settings/temp_ini.h"

namespace {

struct State {
    Settings settings;
    WindowModes flags;
    WindowRect rect;
    KeySources sources() const { return {.settings = &settings, .flags = &flags, .rect = &rect}; }
};

// Every value differs from its default and from every other key's value, so
// a key written from or read into another key's field shows.
State Unusual() {
    State s;
    Settings& v = s.settings;
    std::strcpy(v.Name, "山田太郎");
    std::strcpy(v.ChatMsg_Recieve, "Pop");
    std::strcpy(v.PopupMsg_Recieve, "Beep");
    std::strcpy(v.ChatMsg_Recieve_At_Toray, "Win");
    std::strcpy(v.PopupMsg_Recieve_At_Toray, "Off");
    std::strcpy(v.IME_Auto_Change, "IME");
    std::strcpy(v.Broadcast_Send_Check, "BSC");
    std::strcpy(v.Personal_Send_Check, "PSC");
    std::strcpy(v.Popup_Send_Check, "PoC");
    std::strcpy(v.Log_Save, "Log");
    std::strcpy(v.Date_View, "Dat");
    std::strcpy(v.Time_View, "Tim");
    std::strcpy(v.Broadcast_LocalNetwork, "BLN");
    v.Port_Number = 55701;
    v.InArea_TextColor = 1;
    v.InArea_BackColor = 2;
    v.OuArea_TextColor = 3;
    v.OuArea_BackColor = 4;
    v.UsArea_TextColor = 5;
    v.UsArea_BackColor = 0x00FF8000;
    v.Msg_TextColor = 0xFFFFFFFF;
    std::strcpy(v.OuArea_TextColor_Force, "OTF");
    std::strcpy(v.InArea_TextColor_Force, "ITF");
    std::strcpy(v.UsArea_TextColor_Force, "UTF");
    for (FontRecord& font : v.pane_font) font = DefaultFontRecord();
    v.pane_font[PANE_OUTPUT].lfHeight = -11;
    std::strcpy(v.pane_font[PANE_OUTPUT].lfFaceName, "ＭＳ 明朝");
    v.pane_font[PANE_INPUT].lfHeight = -12;
    v.pane_font[PANE_USER].lfWeight = 700;
    std::strcpy(v.Icon_Color, "Magenta");
    std::strcpy(v.UserArea_View, "2");
    std::strcpy(v.Start_Send, "SS");
    std::strcpy(v.Debug, "Dbg");
    std::strcpy(v.Undelivered_Notice, "UN");
    v.Number = 3;
    v.Address[0] = {1, MakeAddress(10, 0, 0, 5)};
    v.Address[1] = {0, MakeAddress(192, 168, 1, 20)};
    v.Address[2] = {1, kInetAddressNone};
    v.Address[3] = {0, MakeAddress(10, 0, 0, 4)};  // beyond Number: not written
    v.Split1_Pos = 331;
    v.Split2_Pos = 141;
    v.Split3_Pos = 401;
    // The mode texts are what was loaded; the modes themselves are saved.
    std::strcpy(v.Personal_Status, "Off");
    std::strcpy(v.Popup_Status, "On");
    s.flags.window_shown = false;
    s.flags.personal_mode = true;
    s.flags.popup_mode = false;
    s.rect = {-8, 12, 542, 470};  // left, top, right, bottom
    return s;
}

std::string WriteEveryKey(const State& s) {
    TempIni file;
    PosixProfileStore store;
    for (const SettingKey& key : kSettingKeys) {
        EXPECT_EQ(WriteSettingKey(store, file.path(), key, s.sources()), 1) << key.key;
    }
    return file.Slurp();
}

TEST(SettingKeys, EveryKeyWrittenFromItsFieldAndReadBack) {
    const std::string written = WriteEveryKey(Unusual());
    EXPECT_EQ(written,
              "[Client_Definition]\r\nName=山田太郎\r\nChatMsg_Recieve=Pop\r\nPopupMsg_Recieve=Beep\r\n"
              "ChatMsg_Recieve_At_Toray=Win\r\nPopupMsg_Recieve_At_Toray=Off\r\n"
              "IME_Auto_Change=IME\r\nBroadcast_Send_Check=BSC\r\nPersonal_Send_Check=PSC\r\n"
              "Popup_Send_Check=PoC\r\nLog_Save=Log\r\nDate_View=Dat\r\nTime_View=Tim\r\n"
              "Port_Number=55701\r\nInArea_TextColor=1\r\nInArea_BackColor=2\r\n"
              "OuArea_TextColor=3\r\nOuArea_BackColor=4\r\nUsArea_TextColor=5\r\n"
              "UsArea_BackColor=16744448\r\nMsg_TextColor=-1\r\n"
              "OuArea_TextColor_Force=OTF\r\nInArea_TextColor_Force=ITF\r\n"
              "UsArea_TextColor_Force=UTF\r\n"
              "OuArea_Font=-11:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ 明朝\r\n"
              "InArea_Font=-12:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック\r\n"
              "UsArea_Font=14:0:0:0:700:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック\r\n"
              "Icon_Color=Magenta\r\nUserArea_View=2\r\nStart_Send=SS\r\nDebug=Dbg\r\nUndelivered_Notice=UN\r\n"
              "[Broadcast_Definition]\r\nBroadcast_LocalNetwork=BLN\r\nNumber=3\r\n"
              "Address01=@10.0.0.5\r\nAddress02=192.168.1.20\r\nAddress03=@255.255.255.255\r\n"
              "[Window_Information]\r\nSplit1_Pos=331\r\nSplit2_Pos=141\r\nSplit3_Pos=401\r\n"
              "Top=12\r\nBottom=470\r\nLeft=-8\r\nRight=542\r\nEnd_Status=TaskToray\r\n"
              "Personal_Status=On\r\nPopup_Status=Off\r\n");

    // Read back and written again, the file is the same: each key is read
    // into the field it is written from.
    TempIni file;
    file.Put(written);
    PosixProfileStore store;
    State back;
    ASSERT_EQ(LoadSettingsFrom(store, file.path(), "login", &back.settings, &back.flags, &back.rect),
              1);
    EXPECT_TRUE(PersonalStatusOn(back.settings));
    EXPECT_FALSE(PopupStatusOn(back.settings));
    back.flags.personal_mode = PersonalStatusOn(back.settings);
    back.flags.popup_mode = PopupStatusOn(back.settings);
    EXPECT_EQ(WriteEveryKey(back), written);
}

// The real store, counting the writes asked of it.
struct CountingStore : PosixProfileStore {
    int writes = 0;
    bool WriteString(const char* section, const char* key, const char* value,
                     const char* path) override {
        ++writes;
        return PosixProfileStore::WriteString(section, key, value, path);
    }
};

TEST(SettingKeys, KeyWithoutItsRecordOrPathWritesNothing) {
    TempIni file;
    CountingStore store;
    Settings settings;
    std::strcpy(settings.Log_Save, "Yes");
    const KeySources only_settings{.settings = &settings};
    EXPECT_EQ(WriteSettingKey(store, file.path(), "Top", only_settings), 0);
    EXPECT_EQ(WriteSettingKey(store, file.path(), "End_Status", only_settings), 0);
    EXPECT_EQ(WriteSettingKey(store, file.path(), "Popup_Status", only_settings), 0);
    EXPECT_EQ(WriteSettingKey(store, file.path(), "Log_Save", KeySources{}), 0);
    EXPECT_EQ(WriteSettingKey(store, file.path(), "Address", KeySources{}), 0);
    // The list is written as a whole, under the name of the list.
    EXPECT_EQ(WriteSettingKey(store, file.path(), "Address01", only_settings), 0);
    // Keys match without regard to case in the file, but the table is looked
    // up by its own spelling.
    EXPECT_EQ(WriteSettingKey(store, file.path(), "log_save", only_settings), 0);
    // No settings path: the store is not asked (Windows would pick a file).
    EXPECT_EQ(WriteSettingKey(store, "", "Log_Save", only_settings), 0);
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(file.Slurp(), "<no file>");

    EXPECT_EQ(WriteSettingKey(store, file.path(), "Log_Save", only_settings), 1);
    EXPECT_EQ(file.Slurp(), "[Client_Definition]\r\nLog_Save=Yes\r\n");
}

}  // namespace
