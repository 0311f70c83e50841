// The console peer's views: message boxes, popups and whiteboard strokes
// become printed lines, and the user area is a list of rows kept the way the
// window keeps its list view, so the core's row operations behave the same.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "net/datagram.h"
#include "platform/views.h"

struct UserRow {
    std::string name, status, address;  // CP932
    bool operator==(const UserRow&) const = default;
};

// What a received stroke shows after its sender: "clear", or its colour,
// width, point count and first and last points
// ("colour ff0000 width 8 points 3 (10,20)-(40,50)").
std::string BoardLine(const BoardStroke& stroke);

class ConsoleViews : public MessageBoxes,
                     public BarsView,
                     public UserAreaView,
                     public ChatAreasView,
                     public PopupView,
                     public BoardView {
public:
    explicit ConsoleViews(std::FILE* out) : out_(out) {}

    void ShowMessage(const char* text, const char* title, BoxIcon icon) override;
    void SetStatusPart(int part, const char* text) override;
    std::string HostIpBoxText() override { return {}; }
    PopupStart StartPopupWindow(const uint8_t* datagram, int length) override;
    void DeliverBoardData(const uint8_t* datagram, int length) override;

    int FindUserRow(int column, const char* text) override;
    void AddUserRow(const char* name, const char* status, const char* address) override;
    void SetUserRow(int row, const char* name, const char* status, const char* address) override;
    void DeleteUserRow(int row) override;
    void DeleteAllUserRows() override;
    void ShowStartEndState(StartEndState state) override;

    bool AskYesNo(const char* text, const char* title) override;
    bool AppendOutput(const char* line, uint32_t colour) override;
    // Over a burst of received datagrams the lines are flushed once, after
    // the last (and after its acknowledgement went out).
    void HoldDrawing() override { holding_ = true; }
    void DrawHeld() override;

    // What a send command takes as the input area's text and the selected
    // users' addresses.

    const std::vector<UserRow>& Rows() const { return rows_; }
    // Prints the user list when it differs from the one printed last.
    void PrintUsersIfChanged();
    void PrintUsers();
    // Prints one line of the program's own (CP932) text, converted to UTF-8.
    void PrintLine(const std::string& prefix, const std::string& cp932_text);

private:
    std::FILE* out_;
    bool holding_ = false;
    std::vector<UserRow> rows_;
    std::vector<UserRow> printed_;  // the list as last printed
};
