// At most one arrival notice box at a time: an arrival while one is open is
// shown only in the output area. The flag is set before the notice's thread
// starts (and given back when it cannot start), so a notice that ends at once
// cannot leave it set behind it.
#pragma once
#include <atomic>

class NoticeGate {
public:
    // True when no notice is open; the caller then starts one.
    bool TryBegin() { return !busy_.exchange(true); }
    // The notice has ended, or its thread could not be started.
    void End() { busy_.store(false); }
    bool busy() const { return busy_.load(); }

private:
    std::atomic<bool> busy_{false};
};
