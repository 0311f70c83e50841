#include "messaging/popup_limit.h"

PopupLimit g_popup_limit;

bool PopupLimit::TryOpen() {
    int open = open_.load();
    while (open < kMaxOpenPopups)
        if (open_.compare_exchange_weak(open, open + 1)) return true;
    return false;
}

void PopupLimit::Closed() {
    int open = open_.load();
    while (open > 0 && !open_.compare_exchange_weak(open, open - 1)) {
    }
}
