// The views the portable core updates, shown on the main window.
#pragma once
#include "shell/views.h"

class MainViews final : public Views {
public:
    void ShowMessage(const char* text, const char* title, BoxIcon icon) override;
    void SetStatusPart(int part, const char* text) override;
    void DeliverBoardData(const uint8_t* datagram, int length) override;
    bool StartPopupWindow(const uint8_t* datagram, int length) override;
};

// The MB_ICON… style for a box icon.
unsigned BoxIconStyle(BoxIcon icon);
