// The console peer: the program's core with POSIX sockets and a terminal
// front end. It runs from a directory holding its Mosswick.ini, joins the
// chat, prints what the window would show and takes commands from stdin.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "console/probe.h"

#include "net/datagram.h"

struct ConsoleOptions {
    std::string directory = ".";  // where Mosswick.ini and Mosslog.txt live
    bool show_help = false;
    bool probe = false;           // --probe: one user check, then exit
    ProbeOptions probe_options;
    std::string error;            // a bad command line
};

ConsoleOptions ParseConsoleOptions(int argc, char** argv);
void PrintConsoleUsage(std::FILE* out);

// A command typed at the console, already split into its word and the rest.
enum class ConsoleCommand {
    Start, End, Check, Status, Users, Help, Quit,
    Say,       // a plain line: a message to everyone
    To,        // /to ADDR[,ADDR...] TEXT: a message to chosen users
    Popup,     // /popup TEXT: a popup message to everyone
    PopupTo,   // /popupto ADDR[,ADDR...] TEXT
    Stroke,    // /stroke RRGGBB WIDTH X,Y [X,Y...]: a whiteboard stroke to everyone
    StrokeTo,  // /stroketo ADDR[,ADDR...] RRGGBB WIDTH X,Y [X,Y...]
    Clear,     // /clear: clear every whiteboard
    ClearTo,   // /clearto ADDR[,ADDR...]
    Malformed, // a known command with arguments it cannot take: see `error`
    Unknown, Empty
};

struct ParsedLine {
    ConsoleCommand command = ConsoleCommand::Empty;
    std::string argument;               // UTF-8 as typed (the text of a message)
    std::vector<std::string> addresses; // /to and /popupto
    BoardStroke stroke;                 // the whiteboard commands
    std::vector<uint32_t> receivers;    // /stroketo and /clearto, in the order typed
    std::string error;                  // what is wrong with a Malformed line
};

ParsedLine ParseConsoleLine(const std::string& line);
// The items of "A,B,...", passing over empty ones (a trailing comma).
std::vector<std::string> SplitAddressList(const std::string& list);

// Reads the arguments of a whiteboard command into `parsed`: its stroke and,
// for /stroketo and /clearto, its receivers. On bad input the command becomes
// Malformed with the reason in `error`.
void ParseBoardArguments(const std::string& argument, ParsedLine* parsed);

// Sends what a whiteboard command asks for: to every peer (SendStroke), or to
// each receiver in turn (SendStrokeTo). False when a send to a receiver
// failed; `failed` then lists those receivers' addresses.
bool SendBoardCommand(const ParsedLine& parsed, std::string* failed);

// Runs the peer until /quit, end of input or a signal. Returns the exit code.
int RunConsolePeer(const ConsoleOptions& options);
