// Saving the window state at shutdown and the rule for putting it back.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/posix/profile_store_posix.h"
#include "platform/window_placement.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/window_information.h"
#include "settings/window_modes.h"
#include "tests/settings/temp_ini.h"

namespace {

struct State {
    Settings settings;
    WindowModes flags;
    WindowRect rect;
};

State Sample() {
    State s;
    s.rect = {-8, 12, 542, 470};  // left, top, right, bottom
    s.flags.window_shown = false;
    s.flags.personal_mode = true;
    s.flags.popup_mode = false;
    s.settings.Split1_Pos = 331;
    s.settings.Split2_Pos = 141;
    s.settings.Split3_Pos = 401;
    return s;
}

TEST(WindowInformation, OverwritesInPlaceAndLoadsBack) {
    TempIni file;
    file.Put("[Client_Definition]\r\nName=山田\r\n[Window_Information]\r\nLeft=1\r\nTop=2\r\n"
             "End_Status=View\r\n[Broadcast_Definition]\r\nNumber=0\r\n");
    PosixProfileStore store;
    State s = Sample();
    s.flags.window_shown = true;
    s.flags.popup_mode = true;
    ASSERT_EQ(WriteWindowInformation(store, file.path(), s.rect, s.flags, s.settings), 1);
    EXPECT_EQ(file.Slurp(),
              "[Client_Definition]\r\nName=山田\r\n[Window_Information]\r\nLeft=-8\r\nTop=12\r\n"
              "End_Status=View\r\nBottom=470\r\nRight=542\r\nPersonal_Status=On\r\n"
              "Popup_Status=On\r\nSplit1_Pos=331\r\nSplit2_Pos=141\r\nSplit3_Pos=401\r\n"
              "[Broadcast_Definition]\r\nNumber=0\r\n");

    State back;
    LoadSettingsFrom(store, file.path(), "", &back.settings, &back.flags, &back.rect);
    EXPECT_EQ(back.rect.left, -8);
    EXPECT_EQ(back.rect.top, 12);
    EXPECT_EQ(back.rect.right, 542);
    EXPECT_EQ(back.rect.bottom, 470);
    EXPECT_TRUE(back.flags.window_shown);
    EXPECT_TRUE(PersonalStatusOn(back.settings));
    EXPECT_TRUE(PopupStatusOn(back.settings));
    EXPECT_EQ(back.settings.Split3_Pos, 401);
    EXPECT_STREQ(back.settings.Name, "山田");
}

TEST(WindowInformation, FailedWritesReportZero) {
    TempIni file;
    PosixProfileStore store;
    State s = Sample();
    // The program's directory was never found: nothing is written anywhere.
    EXPECT_EQ(WriteWindowInformation(store, "", s.rect, s.flags, s.settings), 0);
    std::string missing_dir = file.dir() + "/missing/Mosswick.ini";
    EXPECT_EQ(WriteWindowInformation(store, missing_dir.c_str(), s.rect, s.flags, s.settings), 0);
    EXPECT_EQ(file.Slurp(), "<no file>");
}

TEST(WindowInformation, SavedRectangleRule) {
    const Screens primary_only{1024, 738, 19, {}};
    struct Case {
        WindowRect rect;  // left, top, right, bottom
        bool usable;
    } cases[] = {
        {{100, 100, 470, 450}, true},          // 370 x 350, the smallest
        {{100, 100, 469, 450}, false},         // 369 wide
        {{100, 100, 470, 449}, false},         // 349 high
        {{1018, 100, 1600, 600}, true},        // left = full-screen width - 6
        {{1019, 100, 1600, 600}, false},       // left = full-screen width - 5
        {{100, 732, 600, 1200}, true},         // top = full-screen height - 6
        {{100, 733, 600, 1200}, false},        // top = full-screen height - 5
        {{100, -1, 600, 500}, false},          // negative top
        {{-4, 100, 600, 500}, false},          // negative left (minimised: -32000)
        {{-32000, -32000, -31840, -31972}, false},
        {{100, 100, 0, 0}, false},             // the defaults
        {{0, 0, INT_MAX, INT_MAX}, true},
        {{INT_MIN, 0, INT_MAX, 500}, false},   // width beyond 32 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rect.left) + "," + std::to_string(c.rect.top) + "," +
                     std::to_string(c.rect.right) + "," + std::to_string(c.rect.bottom));
        EXPECT_EQ(IsSavedRectUsable(c.rect, primary_only), c.usable);
    }
}

}  // namespace
