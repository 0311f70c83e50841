#include "messaging/blink.h"

namespace {

void Toggle(BlinkState* state, const char* icon_color) {
    state->icon = state->icon == BlinkIcon::Normal ? AlertIcon(icon_color) : BlinkIcon::Normal;
}

}  // namespace

BlinkIcon AlertIcon(const char* icon_color) {
    switch (icon_color[0]) {
        case 'Y': return BlinkIcon::Yellow;
        case 'G': return BlinkIcon::Green;
        case 'R': return BlinkIcon::Red;
        case 'S': return BlinkIcon::SkyBlue;
        default: return BlinkIcon::Normal;
    }
}

BlinkIcon TrayBlinkTick(BlinkState* state, const char* icon_color) {
    Toggle(state, icon_color);
    return state->icon;
}

TitleBlinkStep TitleBlinkTick(BlinkState* state, const char* icon_color) {
    Toggle(state, icon_color);
    uint16_t noted = state->title_ticks++;
    bool stop = noted >= kTitleBlinkToggles;
    if (stop) {
        state->icon = BlinkIcon::Normal;
        state->title_ticks = 0;
    }
    return {state->icon, stop};
}
