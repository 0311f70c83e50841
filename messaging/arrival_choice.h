// Which arrival notification a shown chat message gets, from the window's
// state and the two receive settings. The values are compared as whole,
// case-sensitive strings: "Icon" blinks, "Msg" shows the notice box, anything
// else ("None") does nothing.
#pragma once
#include <optional>

#include "platform/arrival_view.h"

struct Settings;

// While the window is shown, ChatMsg_Recieve decides, and the user's own
// messages (the local echo) announce nothing. While the program waits in the
// tray, ChatMsg_Recieve_At_Toray decides, whoever sent the message.
std::optional<ArrivalNotice> ChooseArrivalNotice(bool window_shown, bool from_own_address,
                                                 const Settings& settings);
