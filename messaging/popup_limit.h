// How many popup windows may be open at once. Each popup is a window on a
// thread of its own, and a peer can send them faster than anyone closes them;
// past the bound a popup is left unacknowledged, so its sender resends it and
// it opens once windows have been closed. Nothing is lost while the sender
// keeps resending (five times, fifteen seconds apart).
#pragma once
#include <atomic>

constexpr int kMaxOpenPopups = 40;

class PopupLimit {
public:
    // Counts a window in; false (and nothing counted) when the bound is reached.
    bool TryOpen();
    void Closed();
    int open() const { return open_.load(); }
    void Reset() { open_.store(0); }

private:
    std::atomic<int> open_{0};
};

// The one count of the program's popup windows.
extern PopupLimit g_popup_limit;
