// The whiteboard window.
#pragma once
#include <cstdint>

class BoardView {
public:
    virtual ~BoardView() = default;
    // A whiteboard datagram arrived: handed to the whiteboard window when it
    // is open. The datagram is only valid during the call.
    virtual void DeliverBoardData(const uint8_t* datagram, int length) = 0;
};
