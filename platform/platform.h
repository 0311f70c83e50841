// The platform parts the portable core reaches the outside world through.
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

extern Platform g_platform;
