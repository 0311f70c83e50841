// Popup message windows.
#pragma once
#include <cstdint>

enum class PopupStart {
    Opened,  // its window is opening
    Failed,  // it could not be shown (no memory, no thread)
    PutOff,  // too many windows are open: it is left unacknowledged, so that
             // its sender's resend brings it again
};

class PopupView {
public:
    virtual ~PopupView() = default;
    // A popup message arrived: opens its window. The datagram is copied; it is
    // only valid during the call.
    virtual PopupStart StartPopupWindow(const uint8_t* datagram, int length) = 0;
};
