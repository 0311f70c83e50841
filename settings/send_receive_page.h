// The Send/Receive page as the program's settings see it: the three
// confirmations before sending, what an arriving message does while the
// window is shown and while the program waits in the tray, and the colour of
// the blinking icon.
#pragma once
#include <cstdint>

// The values the items of both arrival lists stand for, by position.
inline constexpr const char* kArrivalValues[] = {"Icon", "Msg", "None"};
constexpr int kArrivalItemCount = 3;

// The item to select for a stored value: the item whose value it equals;
// for any other value the item that does what the program does with it (an
// arrival blinks only for exactly "Icon" and shows a box only for exactly
// "Msg", so anything else selects "None").
int ArrivalItemFor(const char* value);

// The four icon buttons, left to right.
enum IconButton { ICON_BUTTON_YELLOW, ICON_BUTTON_GREEN, ICON_BUTTON_SKYBLUE, ICON_BUTTON_RED, ICON_BUTTON_COUNT };

// The button for Icon_Color by its first letter; -1 (none) for another.
int IconButtonFor(const char* icon_color);
// The value for the checked buttons: the first checked in the order yellow,
// green, red, sky blue; "Yellow" when none is.
const char* IconColourFor(const bool (&checked)[ICON_BUTTON_COUNT]);

struct SendReceiveChoice {
    bool personal_check = false;
    bool broadcast_check = false;
    bool popup_check = false;
    int shown_item = 0;  // -1 when nothing is selected: the value stays
    int tray_item = 0;
    bool icon_checked[ICON_BUTTON_COUNT] = {};
};

constexpr uint16_t kSendReceiveReport = 0x0008;

// Stores the choice and writes Personal_Send_Check, Broadcast_Send_Check,
// Popup_Send_Check, ChatMsg_Recieve, ChatMsg_Recieve_At_Toray and Icon_Color
// in that order. Returns the step of the last failed write, or 0.
uint16_t ApplySendReceivePage(const SendReceiveChoice& choice);
