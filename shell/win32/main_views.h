// The views the portable core updates, shown on the main window.
#pragma once
#include "platform/views.h"

class MainViews final : public MessageBoxes,
                        public BarsView,
                        public UserAreaView,
                        public ChatAreasView,
                        public ArrivalView,
                        public PopupView,
                        public BoardView {
public:
    void ShowMessage(const char* text, const char* title, BoxIcon icon) override;
    void SetStatusPart(int part, const char* text) override;
    void DeliverBoardData(const uint8_t* datagram, int length) override;
    PopupStart StartPopupWindow(const uint8_t* datagram, int length) override;

    int FindUserRow(int column, const char* text) override;
    void AddUserRow(const char* name, const char* status, const char* address) override;
    void SetUserRow(int row, const char* name, const char* status, const char* address) override;
    void DeleteUserRow(int row) override;
    void DeleteAllUserRows() override;
    void FitUserColumns(bool address_too) override;

    void ShowStartEndState(StartEndState state) override;
    std::string HostIpBoxText() override;

    bool AskYesNo(const char* text, const char* title) override;
    bool AppendOutput(const char* line, uint32_t colour) override;
    void HoldDrawing() override;
    void DrawHeld() override;
    void Notify(ArrivalNotice notice, const char* sender) override;
};

// The MB_ICON… style for a box icon.
unsigned BoxIconStyle(BoxIcon icon);
