// The Base page of the settings sheet as the program's settings see it: the
// name, the input-method switch, the date and time in front of received
// messages, the user's own text colour and whether the log is kept.
#pragma once
#include <cstdint>
#include <string>

// What the page's controls hold when the sheet closes with OK.
struct BasePageChoice {
    std::string name;  // as typed, cut to 19 bytes
    bool ime_auto_change = false;
    bool date_view = false;
    bool time_view = false;
    uint32_t own_colour = 0;
};

// The name and the colour as they were when the page opened: a change of
// either is told to the peers.
struct BasePageOpening {
    std::string name;
    uint32_t own_colour = 0;
};

struct BasePageResult {
    uint16_t failed_step = 0;     // report 0x0005 with this step when not 0
    bool name_was_empty = false;  // the login name was taken instead
    bool announce = false;        // the name or the colour changed, and all was written
};

// Report code of the Base page and of its log actions.
constexpr uint16_t kBasePageReport = 0x0005;
constexpr uint16_t kLogOpenStep = 0x20;
constexpr uint16_t kLogReopenStep = 0x30;

// Stores the choice into the program's settings (an empty name becomes the
// login name), Log_Save from whether the log is active, and writes Name,
// IME_Auto_Change, Date_View, Time_View, Log_Save and Msg_TextColor in that
// order. The values stay in the settings whether or not the writes did.
BasePageResult ApplyBasePage(const BasePageChoice& choice, const BasePageOpening& opening,
                             const std::string& login_name, bool log_active);
