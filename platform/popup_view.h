// Popup message windows.
#pragma once
#include <cstdint>

class PopupView {
public:
    virtual ~PopupView() = default;
    // A popup message arrived: opens its window. The datagram is copied; it is
    // only valid during the call. False when the window could not be started.
    virtual bool StartPopupWindow(const uint8_t* datagram, int length) = 0;
};
