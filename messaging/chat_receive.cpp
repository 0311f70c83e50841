#include "messaging/chat_receive.h"

#include "messaging/chat_display.h"

bool ReceiveChatMessage(const uint8_t* datagram, int length) { return DisplayChatMessage(datagram, length); }
