// What the core shows: message boxes and the window parts it updates. The
// Windows program implements this on its windows; the console peer prints;
// unit tests record.
#pragma once
#include <cstdint>

enum class BoxIcon { Information, Warning, Error, Exclamation };

class Views {
public:
    virtual ~Views() = default;
    // A message box owned by the main window (or the calling thread's window).
    virtual void ShowMessage(const char* text, const char* title, BoxIcon icon) = 0;
    // Text of one status-bar part (0 to 3).
    virtual void SetStatusPart(int part, const char* text) = 0;
    // A whiteboard datagram arrived: handed to the whiteboard window when it is
    // open. The datagram is only valid during the call.
    virtual void DeliverBoardData(const uint8_t* datagram, int length) = 0;
    // A popup message arrived: opens its window. The datagram is copied.
    virtual bool StartPopupWindow(const uint8_t* datagram, int length) = 0;
};
