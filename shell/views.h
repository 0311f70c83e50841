// What the core shows: message boxes and the window parts it updates. The
// Windows program implements this on its windows; the console peer prints;
// unit tests record.
#pragma once
#include <cstdint>

// The two exclusive states of Start and End: which toolbar button is pressed
// and which menu item is greyed.
enum class StartEndState {
    Started,  // Start pressed, End released; Start item greyed, End item enabled
    Ended,    // End pressed, Start released; Start item enabled, End item greyed
};

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

    // The user area: one row per peer-table entry, columns 0 name, 1 status,
    // 2 dotted address. Rows are found by text: the last row (searching from
    // the end) whose column equals the key; -1 when none. Views without a
    // user area keep the defaults.
    virtual int FindUserRow(int /*column*/, const char* /*text*/) { return -1; }
    virtual void AddUserRow(const char* /*name*/, const char* /*status*/, const char* /*address*/) {}
    // A null address leaves column 2 as it is.
    virtual void SetUserRow(int /*row*/, const char* /*name*/, const char* /*status*/,
                            const char* /*address*/) {}
    virtual void DeleteUserRow(int /*row*/) {}
    virtual void DeleteAllUserRows() {}
    // Fits column 1 (and column 2 when the address may have changed) to its contents.
    virtual void FitUserColumns(bool /*address_too*/) {}

    // Toolbar buttons and menu items of Start and End.
    virtual void ShowStartEndState(StartEndState /*state*/) {}
};
