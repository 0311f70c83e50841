// What the pages of the settings sheet store and write when the sheet closes
// with OK: the keys each writes and their order, the step code of failed
// writes, when the user's change is told to the peers, and the host list
// being edited on the Network page.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <string>

#include "platform/platform.h"
#include "platform/posix/profile_store_posix.h"
#include "settings/base_page.h"
#include "settings/display_page.h"
#include "platform/inet_address.h"
#include "settings/load_settings.h"
#include "settings/network_page.h"
#include "settings/program_paths.h"
#include "settings/send_receive_page.h"
#include "settings/settings.h"
#include "tests/settings/temp_ini.h"

namespace {

// The real store, refusing the writes of the keys named.
struct RefusingStore : PosixProfileStore {
    std::set<std::string> refused;
    bool WriteString(const char* section, const char* key, const char* value, const char* path) override {
        if (refused.count(key) != 0) return false;
        return PosixProfileStore::WriteString(section, key, value, path);
    }
};

// The program's settings file in a fresh directory, the settings at their
// defaults.
class PagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_paths_ = g_program_paths;
        saved_profile_ = g_platform.profile;
        std::snprintf(g_program_paths.ini_path, sizeof g_program_paths.ini_path, "%s", file.path());
        g_platform.profile = &store;
        g_settings = Settings{};
        std::strcpy(g_settings.Name, "yamada");
    }
    void TearDown() override {
        g_program_paths = saved_paths_;
        g_platform.profile = saved_profile_;
        g_settings = Settings{};
    }

    TempIni file;
    RefusingStore store;

private:
    ProgramPaths saved_paths_;
    ProfileStore* saved_profile_ = nullptr;
};

BasePageChoice Choice(const char* name, uint32_t colour) {
    BasePageChoice choice;
    choice.name = name;
    choice.date_view = true;
    choice.own_colour = colour;
    return choice;
}

TEST_F(PagesTest, BasePageWritesItsSixKeysInOrderAndAnnouncesOnlyAChange) {
    file.Put("[Client_Definition]\r\nPort_Number=1\r\n");
    const BasePageOpening opening{"yamada", 0};
    BasePageResult same = ApplyBasePage(Choice("yamada", 0), opening, "login", true);
    EXPECT_EQ(same.failed_step, 0);
    EXPECT_FALSE(same.announce);
    EXPECT_EQ(file.Slurp(),
              "[Client_Definition]\r\nPort_Number=1\r\nName=yamada\r\nIME_Auto_Change=No\r\nDate_View=Yes\r\n"
              "Time_View=No\r\nLog_Save=Yes\r\nMsg_TextColor=0\r\n");

    // A letter's case is a change; so is the colour alone.
    EXPECT_TRUE(ApplyBasePage(Choice("Yamada", 0), opening, "login", false).announce);
    EXPECT_TRUE(ApplyBasePage(Choice("yamada", 0x0000FF), opening, "login", false).announce);
    EXPECT_EQ(g_settings.Msg_TextColor, 0x0000FFu);

    // An empty name is the login name; a name is kept to 19 bytes.
    BasePageResult empty = ApplyBasePage(Choice("", 0), opening, "login", false);
    EXPECT_TRUE(empty.name_was_empty);
    EXPECT_STREQ(g_settings.Name, "login");
    ApplyBasePage(Choice("abcdefghijklmnopqrstuvwxyz", 0), opening, "login", false);
    EXPECT_STREQ(g_settings.Name, "abcdefghijklmnopqrs");
}

TEST_F(PagesTest, TheLastFailedKeyNamesTheStepAndNothingIsAnnounced) {
    store.refused = {"Name", "Time_View"};
    BasePageResult base = ApplyBasePage(Choice("suzuki", 0), {"yamada", 0}, "login", false);
    EXPECT_EQ(base.failed_step, 0x40);
    EXPECT_FALSE(base.announce);
    EXPECT_STREQ(g_settings.Name, "suzuki");  // in effect anyway
    EXPECT_NE(file.Slurp().find("Msg_TextColor=0"), std::string::npos);  // later keys still written

    store.refused = {"Personal_Send_Check", "ChatMsg_Recieve"};
    EXPECT_EQ(ApplySendReceivePage(SendReceiveChoice{}), 0x40);

    store.refused = {"InArea_TextColor_Force", "UsArea_BackColor", "InArea_Font"};
    DisplayChoice display = DisplayChoiceOf(g_settings);
    EXPECT_EQ(ApplyDisplayPage(display, "1").failed_step, 0x120);
    store.refused = {"OuArea_TextColor", "UserArea_View"};
    display.type2 = true;
    EXPECT_EQ(ApplyDisplayPage(display, "1").failed_step, 0x100);

    store.refused = {"Port_Number", "Start_Send"};
    EXPECT_EQ(ApplyNetworkPage(NetworkChoice{"55701", false, false, {}}), 0x20);
    store.refused = {"Broadcast_LocalNetwork", "Address02"};
    EXPECT_EQ(ApplyNetworkPage(NetworkChoice{"55701", false, false, {"10.0.0.1", "10.0.0.2", "10.0.0.3"}}), 0x60);
    EXPECT_EQ(file.Slurp().find("Address03"), std::string::npos);  // the list stops at the failure
}

TEST_F(PagesTest, SendReceivePageReadsAndStoresItsChoices) {
    // Exact values select their items; anything else selects what the
    // program does with it: nothing.
    EXPECT_EQ(ArrivalItemFor("Icon"), 0);
    EXPECT_EQ(ArrivalItemFor("Msg"), 1);
    EXPECT_EQ(ArrivalItemFor("None"), 2);
    EXPECT_EQ(ArrivalItemFor("Iconic"), 2);
    EXPECT_EQ(ArrivalItemFor("icon"), 2);
    EXPECT_EQ(IconButtonFor("SkyBlue"), ICON_BUTTON_SKYBLUE);
    EXPECT_EQ(IconButtonFor("Rose"), ICON_BUTTON_RED);
    EXPECT_EQ(IconButtonFor("Magenta"), -1);

    SendReceiveChoice choice;
    choice.broadcast_check = true;
    choice.shown_item = 1;
    choice.tray_item = 2;
    choice.icon_checked[ICON_BUTTON_SKYBLUE] = true;
    choice.icon_checked[ICON_BUTTON_RED] = true;  // red comes before sky blue
    EXPECT_EQ(ApplySendReceivePage(choice), 0);
    EXPECT_EQ(file.Slurp(),
              "[Client_Definition]\r\nPersonal_Send_Check=No\r\nBroadcast_Send_Check=Yes\r\nPopup_Send_Check=No\r\n"
              "ChatMsg_Recieve=Msg\r\nChatMsg_Recieve_At_Toray=None\r\nIcon_Color=Red\r\n");
    choice = SendReceiveChoice{};
    choice.shown_item = -1;  // no selection: the value stays
    ApplySendReceivePage(choice);
    EXPECT_STREQ(g_settings.ChatMsg_Recieve, "Msg");
    EXPECT_STREQ(g_settings.Icon_Color, "Yellow");
}

TEST_F(PagesTest, DisplayPageWritesTheScreenTypeOnlyWhenItChanged) {
    std::strcpy(g_settings.UserArea_View, "3");  // hand-edited: TYPE I, and kept while TYPE I stays
    g_settings.Split1_Pos = 301;
    g_settings.Split2_Pos = 141;
    g_settings.Split3_Pos = 401;
    DisplayChoice choice = DisplayChoiceOf(g_settings);
    EXPECT_FALSE(choice.type2);
    choice.pane[PANE_USER].back = 0x00FFEEDD;
    DisplayResult same = ApplyDisplayPage(choice, "3");
    EXPECT_FALSE(same.type_changed);
    EXPECT_STREQ(g_settings.UserArea_View, "3");
    for (auto [opening, type2] : {std::pair{"", false}, {"2x", true}}) {
        choice.type2 = type2;
        EXPECT_FALSE(ApplyDisplayPage(choice, opening).type_changed) << '"' << opening << '"';
    }
    EXPECT_EQ(file.Slurp().find("UserArea_View"), std::string::npos);
    EXPECT_NE(file.Slurp().find("UsArea_BackColor=16772829\r\nOuArea_Font="), std::string::npos);
    EXPECT_EQ(g_settings.Split1_Pos, 301);

    choice.type2 = true;
    EXPECT_TRUE(ApplyDisplayPage(choice, "1").type_changed);
    EXPECT_EQ((std::array{g_settings.Split1_Pos, g_settings.Split2_Pos, g_settings.Split3_Pos}),
              (std::array{250, 141, 300}));
    choice.type2 = false;
    EXPECT_TRUE(ApplyDisplayPage(choice, "2").type_changed);
    EXPECT_EQ((std::array{g_settings.Split1_Pos, g_settings.Split2_Pos, g_settings.Split3_Pos}),
              (std::array{330, 135, 300}));
    EXPECT_NE(file.Slurp().find("UserArea_View=1"), std::string::npos);
}

constexpr uint32_t kOwn = 0x050012C6;  // 198.18.0.5 in network order

TEST(HostList, AddressCheckOrderAndDuplicates) {
    EXPECT_TRUE(HostAddressAcceptable("10.1", kOwn));
    EXPECT_TRUE(HostAddressAcceptable("127.1.2.3", kOwn));
    EXPECT_FALSE(HostAddressAcceptable("127.0.0.1", kOwn));
    EXPECT_FALSE(HostAddressAcceptable("127.0.0.200", kOwn));
    EXPECT_FALSE(HostAddressAcceptable("198.18.0.5", kOwn));
    EXPECT_FALSE(HostAddressAcceptable("@10.0.0.5", kOwn));
    EXPECT_FALSE(HostAddressAcceptable("host.example", kOwn));

    HostListEdit list;
    for (const char* text : {"10.0.0.9", "10.1", "10.0.0.10", "0x0A.0.0.7"})
        EXPECT_EQ(list.Add(text, kOwn), HostListEdit::Added::Yes) << text;
    EXPECT_EQ(list.last_added(), 0);
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"0x0A.0.0.7", "10.0.0.10", "10.0.0.9", "10.1"}));
    // The same text in other letters, nothing and the own address are refused.
    EXPECT_EQ(list.Add("0X0a.0.0.7", kOwn), HostListEdit::Added::Refused);
    EXPECT_EQ(list.Add("", kOwn), HostListEdit::Added::Refused);
    EXPECT_EQ(list.Add("198.18.0.5", kOwn), HostListEdit::Added::Refused);
    // A deleted entry gives its text back; with its "@" it cannot come back.
    HostListEdit marked({"@10.0.0.5"});
    EXPECT_EQ(marked.Remove(0), "@10.0.0.5");
    EXPECT_EQ(marked.Add("@10.0.0.5", kOwn), HostListEdit::Added::Refused);
    EXPECT_EQ(marked.Remove(0), "");
}

TEST(HostList, FullListAndTheWalkOverTheUserArea) {
    HostListEdit list;
    for (int i = 1; i <= 30; ++i) list.Add("10.0.1." + std::to_string(i), kOwn);
    EXPECT_EQ(list.Add("", kOwn), HostListEdit::Added::Full);
    EXPECT_EQ(list.Add("10.0.2.1", kOwn), HostListEdit::Added::Full);
    EXPECT_TRUE(list.AddUserAddresses({"10.0.3.1"}, kOwn));

    // From the last row up: a held address is passed over, the own row ends
    // the walk, so rows above it are never reached.
    HostListEdit walked({"10.0.0.3"});
    EXPECT_FALSE(walked.AddUserAddresses({"10.0.0.1", "198.18.0.5", "10.0.0.2", "10.0.0.3", "10.0.0.4"}, kOwn));
    EXPECT_EQ(walked.texts(), (std::vector<std::string>{"10.0.0.2", "10.0.0.3", "10.0.0.4"}));
    // The walk stops at a full list.
    HostListEdit nearly;
    for (int i = 1; i <= 29; ++i) nearly.Add("10.0.1." + std::to_string(i), kOwn);
    EXPECT_TRUE(nearly.AddUserAddresses({"10.0.0.1", "10.0.0.2"}, kOwn));
    EXPECT_EQ(nearly.texts().size(), 30u);
    EXPECT_FALSE(nearly.Holds("10.0.0.1"));
}

TEST_F(PagesTest, NetworkPageWritesTheListAsTypedAndLeavesLongerListsKeys) {
    file.Put("[Broadcast_Definition]\r\nNumber=5\r\nAddress01=10.0.0.1\r\nAddress02=10.0.0.2\r\n"
             "Address03=10.0.0.3\r\nAddress04=10.0.0.4\r\nAddress05=10.0.0.5\r\n");
    g_settings.Port_Number = 55700;
    NetworkChoice choice{"5x", true, false, {"10.0.0.10", "10.0.0.9", "@10.1"}};
    EXPECT_EQ(ApplyNetworkPage(choice), 0);
    EXPECT_EQ(file.Slurp(),
              "[Broadcast_Definition]\r\nNumber=3\r\nAddress01=10.0.0.10\r\nAddress02=10.0.0.9\r\n"
              "Address03=@10.1\r\nAddress04=10.0.0.4\r\nAddress05=10.0.0.5\r\nBroadcast_LocalNetwork=Yes\r\n"
              "[Client_Definition]\r\nPort_Number=5x\r\nStart_Send=No\r\n");
    // In use at once; the port only at the next start.
    EXPECT_EQ(g_settings.Port_Number, 55700);
    EXPECT_EQ(g_settings.Number, 3);
    EXPECT_EQ(g_settings.Address[2].marker, 1);
    EXPECT_EQ(FormatDottedAddress(g_settings.Address[2].address), "10.0.0.1");
    EXPECT_EQ(HostTextsOf(g_settings), (std::vector<std::string>{"10.0.0.10", "10.0.0.9", "@10.0.0.1"}));
}

TEST_F(PagesTest, AFailedCountKeepsTheNewListInUseAndIsReported) {
    store.refused = {"Number"};
    EXPECT_EQ(ApplyNetworkPage(NetworkChoice{"55700", false, false, {"10.0.0.1", "10.0.0.2"}}), 0x40);
    EXPECT_EQ(g_settings.Number, 2);
    EXPECT_EQ(FormatDottedAddress(g_settings.Address[1].address), "10.0.0.2");
    EXPECT_EQ(file.Slurp().find("Address01"), std::string::npos);
}

}  // namespace
