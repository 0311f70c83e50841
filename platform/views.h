// What the core shows: message boxes and the window parts it updates. The
// Windows program implements this on its windows; the console peer prints;
// unit tests record.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// How an arriving chat message is announced (carried out by the tray and
// notification part of the window).
enum class ArrivalNotice {
    TitleBlink,   // blink the title-bar icon (window shown, "Icon")
    ShownNotice,  // the arrival notice box while the window is shown ("Msg")
    TrayBlink,    // blink the tray icon (waiting in the tray, "Icon")
    TrayNotice,   // the arrival notice box while waiting in the tray ("Msg")
};

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

    // Messaging.
    // A Yes/No question box (question icon); true for Yes.
    virtual bool AskYesNo(const char* /*text*/, const char* /*title*/) { return true; }
    // The input area's text (CP932, at most 255 bytes) and emptying it.
    virtual std::string InputText() { return {}; }
    virtual void ClearInput() {}
    // The dotted addresses (column 2, at most 19 characters) of the selected
    // user-area rows, in list order.
    virtual std::vector<std::string> SelectedUserAddresses() { return {}; }
    // Appends one line (ending in "\r\n") to the output area in `colour`
    // (0x00BBGGRR), caret at the end, scrolled to the last line. False when
    // the output area was full: the line is not shown and the area has been
    // emptied after the overflow message.
    virtual bool AppendOutput(const char* /*line*/, uint32_t /*colour*/) { return true; }
    virtual void ClearOutput() {}
    // Starts the chosen arrival notification; `sender` is the sender's name.
    virtual void Notify(ArrivalNotice /*notice*/, const char* /*sender*/) {}
};
