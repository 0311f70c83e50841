// The console's whiteboard commands: reading /stroke, /stroketo, /clear and
// /clearto lines into a stroke and its receivers, and sending it.
#include <charconv>

#include "console/console_peer.h"
#include "platform/inet_address.h"
#include "whiteboard/board_stroke.h"

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while (true) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string::npos) break;
        size_t end = text.find_first_of(" \t", at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// A decimal number the datagram's 16-bit fields can hold, digits only.
bool ReadU16(const std::string& text, uint16_t* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ReadColour(const std::string& text, BoardStroke* stroke) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    uint8_t* channels[] = {&stroke->red, &stroke->green, &stroke->blue};
    for (int i = 0; i < 3; ++i)
        std::from_chars(text.data() + 2 * i, text.data() + 2 * i + 2, *channels[i], 16);
    return true;
}

bool ReadPoint(const std::string& text, uint16_t* x, uint16_t* y) {
    size_t comma = text.find(',');
    return comma != std::string::npos && ReadU16(text.substr(0, comma), x) && ReadU16(text.substr(comma + 1), y);
}

// The receivers of an address list. Neither 0 nor 255.255.255.255 names one
// peer, and text that is no address reads as the latter.
bool ReadReceivers(const std::string& list, std::vector<uint32_t>* receivers, std::string* bad) {
    for (const std::string& item : SplitAddressList(list)) {
        uint32_t address = ParseInetAddress(item.c_str());
        if (address == 0 || address == kInetAddressNone) {
            *bad = item;
            return false;
        }
        receivers->push_back(address);
    }
    if (receivers->empty()) *bad = list;
    return !receivers->empty();
}

// The reason the arguments cannot make the command; empty when they do.
std::string ReadArguments(ConsoleCommand command, std::vector<std::string> words, ParsedLine* parsed) {
    bool chosen = command == ConsoleCommand::StrokeTo || command == ConsoleCommand::ClearTo;
    if (chosen) {
        if (words.empty()) return "the addresses are missing (ADDR[,ADDR...])";
        std::string bad;
        if (!ReadReceivers(words[0], &parsed->receivers, &bad)) return "not an address: " + bad;
        words.erase(words.begin());
    }
    BoardStroke& stroke = parsed->stroke;
    if (command == ConsoleCommand::Clear || command == ConsoleCommand::ClearTo) {
        if (!words.empty()) return "unexpected after the command: " + words[0];
        stroke.clear = 1;
        return {};
    }
    if (words.size() < 3) return "a stroke needs RRGGBB WIDTH and at least one point X,Y";
    if (!ReadColour(words[0], &stroke)) return "not a colour RRGGBB (six hex digits): " + words[0];
    if (!ReadU16(words[1], &stroke.width)) return "not a width (0 to 65535): " + words[1];
    size_t points = words.size() - 2;
    if (points > static_cast<size_t>(kMaxBoardPoints))
        return "too many points: " + std::to_string(points) + " (at most " + std::to_string(kMaxBoardPoints) + ")";
    for (size_t i = 0; i < points; ++i)
        if (!ReadPoint(words[i + 2], &stroke.x[i], &stroke.y[i]))
            return "not a point X,Y (each 0 to 65535): " + words[i + 2];
    stroke.count = static_cast<uint16_t>(points);
    return {};
}

const char* CommandWord(ConsoleCommand command) {
    switch (command) {
        case ConsoleCommand::Stroke: return "/stroke";
        case ConsoleCommand::StrokeTo: return "/stroketo";
        case ConsoleCommand::Clear: return "/clear";
        default: return "/clearto";
    }
}

}  // namespace

void ParseBoardArguments(const std::string& argument, ParsedLine* parsed) {
    std::string error = ReadArguments(parsed->command, Words(argument), parsed);
    if (error.empty()) return;
    parsed->error = std::string(CommandWord(parsed->command)) + ": " + error;
    parsed->command = ConsoleCommand::Malformed;
    parsed->stroke = BoardStroke{};
    parsed->receivers.clear();
}

bool SendBoardCommand(const ParsedLine& parsed, std::string* failed) {
    failed->clear();
    if (parsed.command == ConsoleCommand::Stroke || parsed.command == ConsoleCommand::Clear) {
        SendStroke(parsed.stroke);
        return true;
    }
    for (uint32_t address : parsed.receivers) {
        if (SendStrokeTo(parsed.stroke, address)) continue;
        if (!failed->empty()) *failed += ",";
        *failed += FormatDottedAddress(address);
    }
    return failed->empty();
}
