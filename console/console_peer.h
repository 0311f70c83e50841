// The console peer: the program's core with POSIX sockets and a terminal
// front end. It runs from a directory holding its Mosswick.ini, joins the
// chat, prints what the window would show and takes commands from stdin.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

struct ConsoleOptions {
    std::string directory = ".";  // where Mosswick.ini and Mosslog.txt live
    bool show_help = false;
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
    Unknown, Empty
};

struct ParsedLine {
    ConsoleCommand command = ConsoleCommand::Empty;
    std::string argument;               // UTF-8 as typed (the text of a message)
    std::vector<std::string> addresses; // /to and /popupto
};

ParsedLine ParseConsoleLine(const std::string& line);

// Runs the peer until /quit, end of input or a signal. Returns the exit code.
int RunConsolePeer(const ConsoleOptions& options);
