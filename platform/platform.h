// Flags shared across the program's subsystems, and the platform parts the
// portable core reaches the outside world through.
#pragma once

class BinarySemaphore;
class DatagramSocket;
class HostIdentity;
class ProfileStore;
class LocalClock;
class MessageBoxes;
class BarsView;
class UserAreaView;
class ChatAreasView;
class ArrivalView;
class PopupView;
class BoardView;

struct ShellFlags {
    bool network_ready = false;  // set once, on the socket's first writable event
    bool started = false;        // Start done and End not yet done
    bool personal_mode = false;
    bool popup_mode = false;
    bool in_tray = false;
    bool window_shown = false;   // loaded from End_Status, saved back to it
};

struct Platform {
    DatagramSocket* socket = nullptr;
    HostIdentity* host = nullptr;
    ProfileStore* profile = nullptr;
    LocalClock* clock = nullptr;
    // The views, one per role (platform/views.h); null where the front end
    // has no such part.
    MessageBoxes* boxes = nullptr;
    BarsView* bars = nullptr;
    UserAreaView* user_area = nullptr;
    ChatAreasView* chat_areas = nullptr;
    ArrivalView* arrivals = nullptr;
    PopupView* popups = nullptr;
    BoardView* board = nullptr;
    // The peer-table lock and the pending-ack lock. When both are held, the
    // peer-table lock is taken first. Null means no locking (single-threaded
    // unit tests).
    BinarySemaphore* peer_table_lock = nullptr;
    BinarySemaphore* pending_ack_lock = nullptr;
    // The Debug setting's text: internal-error reports are shown only while
    // it begins with "Y". Null shows none.
    const char* debug = nullptr;
};

extern ShellFlags g_flags;
extern Platform g_platform;

// Back to the state of a fresh start (used by tests and the console peer).
void ResetShellFlags();
