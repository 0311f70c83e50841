// Popup message windows: each popup opens a modal window of its own, on a
// thread of its own, showing the sender and the text, and can be answered.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/popup_view.h"

class BinarySemaphore;

// What each popup window takes from the program that opens it: the small
// icon of its title bar, the font of its text (null: the dialog's own) and
// the lock that lets one popup start at a time (null: none).
struct PopupParts {
    HICON small_icon = nullptr;
    HFONT font = nullptr;
    BinarySemaphore* start_lock = nullptr;
};

// Copies the datagram into a record and starts the window's thread; the
// popup-start lock is handed over to the thread. Past the bound on open
// windows the popup is put off (left unacknowledged, so its sender resends it).
PopupStart ShowPopupMessage(const uint8_t* datagram, int length, const PopupParts& parts);

// Asks every open popup window, and any message box its thread shows over
// it, to close (posted: each runs on its own thread). Returns how many popup
// threads are still running.
int AskPopupsToClose();
