#include "settings/send_receive_page.h"

#include <cstring>

#include "settings/page_writes.h"
#include "settings/settings.h"

namespace {

constexpr KeyStep kSendReceiveKeys[] = {
    {"Personal_Send_Check", 0x10}, {"Broadcast_Send_Check", 0x20},     {"Popup_Send_Check", 0x30},
    {"ChatMsg_Recieve", 0x40},     {"ChatMsg_Recieve_At_Toray", 0x50}, {"Icon_Color", 0x60},
};

template <size_t N>
void StoreText(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::memcpy(field, text, strnlen(text, N - 1));
}

template <size_t N>
void StoreArrival(char (&field)[N], int item) {
    if (item >= 0 && item < kArrivalItemCount) StoreText(field, kArrivalValues[item]);
}

}  // namespace

int ArrivalItemFor(const char* value) {
    for (int item = 0; item < kArrivalItemCount; ++item) {
        if (std::strcmp(value, kArrivalValues[item]) == 0) return item;
    }
    return 2;
}

int IconButtonFor(const char* icon_color) {
    switch (icon_color[0]) {
        case 'Y': return ICON_BUTTON_YELLOW;
        case 'G': return ICON_BUTTON_GREEN;
        case 'S': return ICON_BUTTON_SKYBLUE;
        case 'R': return ICON_BUTTON_RED;
        default: return -1;
    }
}

const char* IconColourFor(const bool (&checked)[ICON_BUTTON_COUNT]) {
    if (checked[ICON_BUTTON_YELLOW]) return "Yellow";
    if (checked[ICON_BUTTON_GREEN]) return "Green";
    if (checked[ICON_BUTTON_RED]) return "Red";
    if (checked[ICON_BUTTON_SKYBLUE]) return "SkyBlue";
    return "Yellow";
}

uint16_t ApplySendReceivePage(const SendReceiveChoice& choice) {
    StoreFlag(g_settings.Personal_Send_Check, choice.personal_check);
    StoreFlag(g_settings.Broadcast_Send_Check, choice.broadcast_check);
    StoreFlag(g_settings.Popup_Send_Check, choice.popup_check);
    StoreArrival(g_settings.ChatMsg_Recieve, choice.shown_item);
    StoreArrival(g_settings.ChatMsg_Recieve_At_Toray, choice.tray_item);
    StoreText(g_settings.Icon_Color, IconColourFor(choice.icon_checked));
    return WriteKeysInOrder(kSendReceiveKeys);
}
