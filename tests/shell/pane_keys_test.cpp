#include <gtest/gtest.h>

#include "shell/pane_keys.h"

namespace {

using Kind = KeyOutcome::Kind;

Pane Next(Pane from, bool shift, bool personal) {
    KeyOutcome o = PaneKeyOutcome(from, kTabCharacter, shift, false, personal);
    EXPECT_EQ(Kind::Focus, o.kind);
    return o.target;
}

TEST(PaneKeys, TabRunsTheFixedOrderAndShiftTabRunsItBack) {
    for (bool personal : {false, true}) {
        std::vector<Pane> forward = {Pane::Input};
        for (int i = 0; i < 4; ++i) forward.push_back(Next(forward.back(), false, personal));
        std::vector<Pane> expected = personal
            ? std::vector<Pane>{Pane::Input, Pane::SendButton, Pane::UserArea, Pane::Output, Pane::Input}
            : std::vector<Pane>{Pane::Input, Pane::SendButton, Pane::Output, Pane::Input, Pane::SendButton};
        EXPECT_EQ(expected, forward) << "personal " << personal;
        // Shift+Tab from each pane lands where Tab came from.
        for (Pane p : {Pane::Input, Pane::SendButton, Pane::Output})
            EXPECT_EQ(p, Next(Next(p, false, personal), true, personal)) << "personal " << personal;
    }
    // The user area is left by Tab even when personal mode is off.
    EXPECT_EQ(Pane::Output, Next(Pane::UserArea, false, false));
    EXPECT_EQ(Pane::SendButton, Next(Pane::UserArea, true, false));
}

TEST(PaneKeys, EnterSendsOnceFromInputAndButtonOnly) {
    for (Pane p : {Pane::Input, Pane::SendButton}) {
        EXPECT_EQ(Kind::Send, PaneKeyOutcome(p, kEnterCharacter, false, false, false).kind);
        EXPECT_EQ(Kind::Send, PaneKeyOutcome(p, kEnterCharacter, true, false, true).kind);  // Shift+Enter too
        EXPECT_EQ(Kind::Consume, PaneKeyOutcome(p, kEnterCharacter, false, true, false).kind);
    }
    for (Pane p : {Pane::UserArea, Pane::Output})
        EXPECT_EQ(Kind::PassOn, PaneKeyOutcome(p, kEnterCharacter, false, false, false).kind);
    EXPECT_EQ(Kind::PassOn, PaneKeyOutcome(Pane::Input, 'a', false, false, false).kind);
    EXPECT_EQ(Kind::PassOn, PaneKeyOutcome(Pane::Input, 10, false, false, false).kind);  // Ctrl+Enter's line feed
}

}  // namespace
