#include "messaging/display_line.h"

#include <cstdio>

namespace {

// "[03/14 09:05] ", "[03/14] ", "[09:05] " or nothing.
std::string TimeStamp(const DisplayLineFields& f) {
    if (!f.show_date && !f.show_time) return {};
    char part[32] = {};
    std::string stamp = "[";
    if (f.show_date) {
        std::snprintf(part, sizeof part, "%02d/%02d", f.when.month, f.when.day);
        stamp += part;
        if (f.show_time) stamp += ' ';
    }
    if (f.show_time) {
        std::snprintf(part, sizeof part, "%02d:%02d", f.when.hour, f.when.minute);
        stamp += part;
    }
    stamp += "] ";
    return stamp;
}

}  // namespace

std::string FormatDisplayLine(const DisplayLineFields& f) {
    char number[16] = {};
    std::snprintf(number, sizeof number, "%d ", static_cast<int>(f.number) - 1000);
    std::string line = TimeStamp(f);
    line += number;
    line += f.name;
    line += " > ";
    line += f.text;
    line += "\r\n";
    return line;
}
