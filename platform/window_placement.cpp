#include "platform/window_placement.h"

int Cascade::TakeOffset(int caption_height) {
    int k = index_.load();
    while (!index_.compare_exchange_weak(k, (k + 1) % kCascadePositions)) {
    }
    return k * caption_height;
}

ScreenPoint CornerPosition(int screen_width, int fullscreen_client_height, int caption_height,
                           int window_width, int window_height) {
    ScreenPoint p;
    p.x = screen_width - window_width - 1;
    p.y = fullscreen_client_height + caption_height - window_height - 1;
    return p;
}
