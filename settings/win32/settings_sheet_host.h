// What the settings sheet's pages ask of the rest of the program while the
// sheet is open: the message log, the presence announcement, the main
// window's panes and icons, and the users known on the network. The shell
// supplies it when it opens the sheet; each page reaches it through its
// record.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class SettingsSheetHost {
public:
    virtual ~SettingsSheetHost() = default;

    // The message log (Base page). Logging: whether it is open. SwitchLog:
    // opens or closes it, true when it is then as asked (a log that cannot be
    // opened has been reported). DeleteLogFile: deletes the file, a new empty
    // log following while logging; false when that could not be opened.
    virtual bool Logging() = 0;
    virtual bool SwitchLog(bool on) = 0;
    virtual bool DeleteLogFile() = 0;
    // Tells the other users of the own entry's new name or colour (Base page).
    virtual void AnnounceOwnChange() = 0;

    // The alert icon an icon button shows, by IconButton (Send/Receive page).
    virtual HICON AlertIcon(int button) = 0;

    // The live pane, by PaneFont; null while it does not exist (Display page).
    virtual HWND PaneWindow(int pane) = 0;
    // Shows the main window at the size of the screen type (type II when
    // `type2`), back from the tray first, and lays its panes out again.
    virtual void ResizeForScreenType(bool type2) = 0;
    // The settings' pane colours on the live panes.
    virtual void ApplyPaneColors() = 0;

    // The own address in network order; 0 before the network started
    // (Network page).
    virtual uint32_t OwnAddress() = 0;
    // The dotted address of every known user: the own one first, then the
    // others in the order they became known. Empty before the network started.
    virtual std::vector<std::string> UserAddresses() = 0;
};
