// The line the output area shows for a chat message, and the log receives:
//   ["[" "MM/DD" [" "] "HH:MM" "] "] number-1000 " " name " > " text "\r\n"
// where the bracket appears when the date or the time is shown.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_clock.h"

struct DisplayLineFields {
    bool show_date = false;  // Date_View
    bool show_time = false;  // Time_View
    LocalTime when;          // the moment of display
    int16_t number = 0;      // the message's counter (1001 shows as 1)
    std::string_view name;
    std::string_view text;
};

std::string FormatDisplayLine(const DisplayLineFields& fields);
