#include <cstring>

#include "console/console_peer.h"

namespace {

constexpr const char* kUsage =
    "Usage: mosswick-console [--dir DIRECTORY]\n"
    "       mosswick-console --probe ADDRESS [--port PORT] [--wait SECONDS]\n"
    "\n"
    "--probe sends one user check to ADDRESS (UDP PORT, default 55700) and\n"
    "says within SECONDS (default 3) whether a Mosswick answered, with its\n"
    "name, status and round trip, or what the silence most likely means.\n"
    "Exit status: 0 answered, 1 nothing listens there, 2 no answer, 3 the\n"
    "probe could not run (the port taken here, a bad address).\n"
    "\n"
    "Joins the Mosswick chat on this machine's network from a terminal. The\n"
    "settings are read from DIRECTORY/Mosswick.ini (default: the current\n"
    "directory), exactly as the Windows program reads its own; the message log\n"
    "goes to DIRECTORY/Mosslog.txt when Log_Save is Yes.\n"
    "\n"
    "Commands (one per line on standard input):\n"
    "  /start          announce this user to the host address list (Start)\n"
    "  /end            leave: tell every known user (End)\n"
    "  /check          user check: ask every known user to answer again\n"
    "  /status TEXT    set the own status text (at most 14 bytes in CP932)\n"
    "  /users          print the user list\n"
    "  TEXT            a line not starting with '/' is a message to everyone\n"
    "  /to A[,B...] TEXT       a message to the users at these addresses\n"
    "  /popup TEXT             a popup message to everyone\n"
    "  /popupto A[,B...] TEXT  a popup message to the users at these addresses\n"
    "  /stroke RRGGBB WIDTH X,Y [X,Y...]\n"
    "                  a whiteboard stroke to everyone: its colour in hex, its\n"
    "                  width (0 to 65535) and 1 to 100 points\n"
    "  /stroketo A[,B...] RRGGBB WIDTH X,Y [X,Y...]\n"
    "                  the same stroke to the users at these addresses\n"
    "  /clear          clear everyone's whiteboard\n"
    "  /clearto A[,B...]       clear the whiteboards at these addresses\n"
    "  /help           this text\n"
    "  /quit           leave and exit (also end of input, Ctrl+C)\n"
    "\n"
    "Received messages print as the window's output area shows them\n"
    "('7 name > text'); popup messages as '[popup] name > text'; whiteboard\n"
    "strokes as '[board] name colour RRGGBB width W points N (X,Y)-(X,Y)' (the\n"
    "first and the last point) and clears as '[board] name clear'.\n"
    "The user list is printed whenever it changes, as '[users] N' followed by\n"
    "one line per user: name, status and address separated by tabs. Texts are\n"
    "shown in UTF-8 and sent in CP932.\n";

// A number wholly made of digits, within [low, high].
bool WholeNumber(const std::string& text, long low, long high, long* value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *value = std::stol(text);
    return *value >= low && *value <= high;
}

bool TakeProbeValue(const std::string& option, const std::string& value, ConsoleOptions* options) {
    long number = 0;
    if (option == "--probe") {
        options->probe = true;
        options->probe_options.address = value;
    } else if (option == "--port" && WholeNumber(value, 1, 65535, &number)) {
        options->probe_options.port = static_cast<int>(number);
    } else if (option == "--wait" && WholeNumber(value, 1, 60, &number)) {
        options->probe_options.wait_ms = static_cast<int>(number * 1000);
    } else {
        options->error = option + " takes a whole number (port 1 to 65535, wait 1 to 60 seconds): " + value;
        return false;
    }
    return true;
}

}  // namespace

void PrintConsoleUsage(std::FILE* out) { std::fputs(kUsage, out); }

ConsoleOptions ParseConsoleOptions(int argc, char** argv) {
    ConsoleOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.show_help = true;
        } else if (arg == "--dir" || arg == "-d") {
            if (i + 1 >= argc) {
                options.error = "--dir needs a directory";
                return options;
            }
            options.directory = argv[++i];
        } else if (arg.rfind("--dir=", 0) == 0) {
            options.directory = arg.substr(6);
        } else if (arg == "--probe" || arg == "--port" || arg == "--wait") {
            if (i + 1 >= argc) {
                options.error = arg + " needs a value";
                return options;
            }
            if (!TakeProbeValue(arg, argv[++i], &options)) return options;
        } else {
            options.error = "unknown argument: " + arg;
            return options;
        }
    }
    if (options.directory.empty()) options.error = "--dir needs a directory";
    const ProbeOptions defaults;
    const bool probe_values = options.probe_options.port != defaults.port ||
                              options.probe_options.wait_ms != defaults.wait_ms;
    if (!options.probe && probe_values) options.error = "--port and --wait go with --probe";
    return options;
}

std::vector<std::string> SplitAddressList(const std::string& list) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma - start);
        if (!item.empty()) items.push_back(item);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return items;
}

ParsedLine ParseConsoleLine(const std::string& raw) {
    std::string line = raw;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    ParsedLine parsed;
    if (line.empty()) return parsed;
    if (line[0] != '/') {
        parsed.command = ConsoleCommand::Say;
        parsed.argument = line;
        return parsed;
    }
    size_t space = line.find(' ');
    std::string word = line.substr(0, space);
    parsed.argument = space == std::string::npos ? "" : line.substr(space + 1);
    struct Name {
        const char* word;
        ConsoleCommand command;
    };
    static const Name kNames[] = {
        {"/start", ConsoleCommand::Start}, {"/end", ConsoleCommand::End},
        {"/check", ConsoleCommand::Check}, {"/status", ConsoleCommand::Status},
        {"/users", ConsoleCommand::Users}, {"/help", ConsoleCommand::Help},
        {"/quit", ConsoleCommand::Quit},     {"/to", ConsoleCommand::To},
        {"/popup", ConsoleCommand::Popup},   {"/popupto", ConsoleCommand::PopupTo},
        {"/stroke", ConsoleCommand::Stroke}, {"/stroketo", ConsoleCommand::StrokeTo},
        {"/clear", ConsoleCommand::Clear},   {"/clearto", ConsoleCommand::ClearTo},
    };
    parsed.command = ConsoleCommand::Unknown;
    for (const Name& n : kNames)
        if (word == n.word) parsed.command = n.command;
    if (parsed.command == ConsoleCommand::To || parsed.command == ConsoleCommand::PopupTo) {
        std::string rest = parsed.argument;
        size_t gap = rest.find(' ');
        std::string list = rest.substr(0, gap);
        parsed.argument = gap == std::string::npos ? "" : rest.substr(gap + 1);
        parsed.addresses = SplitAddressList(list);
        if (parsed.addresses.empty()) parsed.command = ConsoleCommand::Unknown;
    }
    if (parsed.command == ConsoleCommand::Stroke || parsed.command == ConsoleCommand::StrokeTo ||
        parsed.command == ConsoleCommand::Clear || parsed.command == ConsoleCommand::ClearTo) {
        ParseBoardArguments(parsed.argument, &parsed);
        parsed.argument.clear();
    }
    return parsed;
}
