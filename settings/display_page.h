// The Display page as the program's settings see it: for each pane (output,
// input and user area) the text colour, whether it is enforced, the
// background and the font, and the screen type.
#pragma once
#include <cstdint>

#include "settings/settings.h"

struct PaneLook {
    bool text_forced = false;
    uint32_t text = 0;
    uint32_t back = 0;
    FontRecord font;
};

struct DisplayChoice {
    PaneLook pane[3];  // by PaneFont: output, input, user area
    bool type2 = false;
};

struct DisplayResult {
    uint16_t failed_step = 0;  // report 0x0006 with this step when not 0
    bool type_changed = false; // the layout is to switch (the splitters are set already)
};

constexpr uint16_t kDisplayPageReport = 0x0006;

// The program's settings as the page shows them when it opens.
DisplayChoice DisplayChoiceOf(const Settings& settings);

// Splitter positions for a newly chosen screen type: type II puts the first
// bar at 250 and its second at 300, type I at 330 and 135; the second bar of
// the other type keeps its place.
void SetSplittersForType(Settings& settings, bool type2);

// Stores the choice and writes the three enforce flags, the six colours,
// UserArea_View when the chosen type differs from the type `opening_view`
// stands for (ViewIsTypeII), and the three fonts, in that order. When the
// type changed, UserArea_View becomes "1" or "2" and the splitters are set
// for it; an unchanged type leaves UserArea_View as it was.
DisplayResult ApplyDisplayPage(const DisplayChoice& choice, const char* opening_view);
