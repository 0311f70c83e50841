// Popup message windows: each popup opens a modal window of its own, on a
// thread of its own, showing the sender and the text, and can be answered.
#pragma once
#include <cstdint>

#include "platform/popup_view.h"

// Copies the datagram into a record and starts the window's thread; the
// popup-start lock is handed over to the thread. Past the bound on open
// windows the popup is put off (left unacknowledged, so its sender resends it).
PopupStart ShowPopupMessage(const uint8_t* datagram, int length);
