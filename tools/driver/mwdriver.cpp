// mwdriver: drives the program's windows from outside, for the system tests.
//
//   mwdriver [-w SECONDS] [-d DESKTOP] COMMAND ARGUMENTS...
//
// -d looks on a named desktop (a Wine virtual desktop made with
// `explorer /desktop=NAME,...`) instead of the default one.
// Texts in arguments and output are the hexadecimal digits of their raw
// bytes ("-" for an empty text). Numbers are decimal or 0x-prefixed hex.
// Lookups wait up to SECONDS (default 15) for their window. Exit status:
// 0 done, 1 window not found or the step failed, 2 bad usage.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/driver/hex_text.h"
#include "tools/driver/listview_reader.h"
#include "tools/driver/window_lookup.h"

namespace {

constexpr UINT kSendTimeoutMs = 15000;

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    int min_args;
    int max_args;
    const char* usage;
    int (*run)(const Args& args);
};

int Fail(const char* what) {
    std::fprintf(stderr, "mwdriver: %s\n", what);
    return 1;
}

unsigned long long Number(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 0); }

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return text;
}

// The optional text argument at `index`, decoded; null when absent.
bool OptionalText(const Args& args, size_t index, std::string* storage, const std::string** text) {
    *text = nullptr;
    if (args.size() <= index) return true;
    if (!FromHex(args[index], storage)) return false;
    *text = storage;
    return true;
}

HWND MainWindow(const std::string& class_name) { return WaitForTopLevel(class_name.c_str(), nullptr); }

// Sends and waits for the answer, without hanging on a window that stopped
// pumping messages.
bool SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer)) {
        return false;
    }
    *result = static_cast<LRESULT>(answer);
    return true;
}

int SendAndPrint(const std::string& class_name, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = MainWindow(class_name);
    if (!window) return Fail("window not found");
    LRESULT result = 0;
    if (!SendWithTimeout(window, message, wparam, lparam, &result)) return Fail("no answer");
    PrintLine(std::to_string(static_cast<long long>(result)));
    return 0;
}

int PostTo(const std::string& class_name, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = MainWindow(class_name);
    if (!window) return Fail("window not found");
    return PostMessageA(window, message, wparam, lparam) ? 0 : Fail("post failed");
}

int RunFind(const Args& args) {
    std::string storage;
    const std::string* title = nullptr;
    if (!OptionalText(args, 1, &storage, &title)) return 2;
    HWND window = WaitForTopLevel(args[0].c_str(), title);
    if (!window) return Fail("window not found");
    PrintLine(HandleText(window) + " " + (IsWindowVisible(window) ? "1" : "0") + " " + ToHex(WindowText(window)));
    return 0;
}

int RunTitle(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    PrintLine(ToHex(WindowText(window)));
    return 0;
}

int RunWaitGone(const Args& args) { return WaitUntilGone(args[0].c_str()) ? 0 : Fail("window still there"); }

int RunClose(const Args& args) { return PostTo(args[0], WM_CLOSE, 0, 0); }

int RunCommand(const Args& args) {
    return PostTo(args[0], WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Number(args[1])), 0), 0);
}

int RunSend(const Args& args) {
    return SendAndPrint(args[0], static_cast<UINT>(Number(args[1])), static_cast<WPARAM>(Number(args[2])),
                        static_cast<LPARAM>(Number(args[3])));
}

int RunPost(const Args& args) {
    return PostTo(args[0], static_cast<UINT>(Number(args[1])), static_cast<WPARAM>(Number(args[2])),
                  static_cast<LPARAM>(Number(args[3])));
}

int RunQueryEndSession(const Args& args) { return SendAndPrint(args[0], WM_QUERYENDSESSION, 0, 0); }

int RunEndSession(const Args& args) {
    return SendAndPrint(args[0], WM_ENDSESSION, static_cast<WPARAM>(Number(args[1])), 0);
}

int RunMessageBoxText(const Args& args) {
    std::string storage;
    const std::string* title = nullptr;
    if (!OptionalText(args, 0, &storage, &title)) return 2;
    HWND box = WaitForMessageBox(title);
    if (!box) return Fail("message box not found");
    PrintLine(ToHex(WindowText(box)) + " " + ToHex(MessageBoxText(box)));
    return 0;
}

int RunPressButton(const Args& args) {
    std::string storage;
    const std::string* title = nullptr;
    if (!OptionalText(args, 1, &storage, &title)) return 2;
    int id = args.empty() ? IDOK : static_cast<int>(Number(args[0]));
    HWND box = WaitForMessageBox(title);
    if (!box) return Fail("message box not found");
    HWND button = GetDlgItem(box, id);
    if (!button) return Fail("no such button");
    return PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button))
               ? 0
               : Fail("post failed");
}

HWND Child(const Args& args) {
    HWND window = MainWindow(args[0]);
    return window ? FindChildById(window, static_cast<int>(Number(args[1]))) : nullptr;
}

int RunChildText(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    PrintLine(ToHex(WindowText(child)));
    return 0;
}

int RunSetText(const Args& args) {
    std::string text;
    if (!FromHex(args[2], &text)) return 2;
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    LRESULT result = 0;
    if (!SendWithTimeout(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &result)) {
        return Fail("no answer");
    }
    return result ? 0 : Fail("text refused");
}

int RunListViewRows(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    std::vector<std::vector<std::string>> rows;
    if (!ReadListViewRows(child, &rows)) return Fail("list view not readable");
    for (const auto& row : rows) {
        std::string line;
        for (const auto& text : row) {
            if (!line.empty()) line += ' ';
            line += ToHex(text);
        }
        PrintLine(line);
    }
    return 0;
}

int RunChildren(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    for (HWND child : AllChildren(window)) {
        PrintLine(std::to_string(GetDlgCtrlID(child)) + " " + ClassName(child) + " " +
                  (IsWindowVisible(child) ? "1" : "0") + " " + ToHex(WindowText(child)));
    }
    return 0;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
    PrintLine(HandleText(window) + " " + ClassName(window) + " " + (IsWindowVisible(window) ? "1" : "0") + " " +
              ToHex(WindowText(window)));
    return TRUE;
}

int RunWindows(const Args&) {
    EnumWindows(PrintTopLevel, 0);
    return 0;
}

const Command kCommands[] = {
    {"find", 1, 2, "CLASS [TITLE]", RunFind},
    {"title", 1, 1, "CLASS", RunTitle},
    {"wait-gone", 1, 1, "CLASS", RunWaitGone},
    {"close", 1, 1, "CLASS", RunClose},
    {"command", 2, 2, "CLASS ID", RunCommand},
    {"send", 4, 4, "CLASS MESSAGE WPARAM LPARAM", RunSend},
    {"post", 4, 4, "CLASS MESSAGE WPARAM LPARAM", RunPost},
    {"query-end-session", 1, 1, "CLASS", RunQueryEndSession},
    {"end-session", 2, 2, "CLASS WPARAM", RunEndSession},
    {"msgbox-text", 0, 1, "[TITLE]", RunMessageBoxText},
    {"press-button", 0, 2, "[ID [TITLE]]", RunPressButton},
    {"child-text", 2, 2, "CLASS ID", RunChildText},
    {"set-text", 3, 3, "CLASS ID TEXT", RunSetText},
    {"listview-rows", 2, 2, "CLASS ID", RunListViewRows},
    {"children", 1, 1, "CLASS", RunChildren},
    {"windows", 0, 0, "", RunWindows},
};

// Windows are found only on the calling thread's desktop. The desktop may
// still be on its way, like any window.
bool UseDesktop(const std::string& name) {
    HDESK desktop = nullptr;
    WaitFor([&] { return (desktop = OpenDesktopA(name.c_str(), 0, FALSE, GENERIC_ALL)) != nullptr; });
    return desktop && SetThreadDesktop(desktop);
}

int Usage() {
    std::fprintf(stderr, "usage: mwdriver [-w SECONDS] [-d DESKTOP] COMMAND ...\n");
    for (const Command& command : kCommands) std::fprintf(stderr, "  %s %s\n", command.name, command.usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Output goes to the test scripts byte for byte, without "\r\n" translation.
    _setmode(_fileno(stdout), _O_BINARY);
    Args args(argv + 1, argv + argc);
    std::string desktop;
    while (args.size() >= 2 && (args[0] == "-w" || args[0] == "-d")) {
        if (args[0] == "-w") g_wait_seconds = std::strtod(args[1].c_str(), nullptr);
        if (args[0] == "-d") desktop = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (!desktop.empty() && !UseDesktop(desktop)) return Fail("desktop not available");
    if (args.empty()) return Usage();
    for (const Command& command : kCommands) {
        if (args[0] != command.name) continue;
        Args rest(args.begin() + 1, args.end());
        if (static_cast<int>(rest.size()) < command.min_args || static_cast<int>(rest.size()) > command.max_args) {
            return Usage();
        }
        int status = command.run(rest);
        std::fflush(stdout);
        return status;
    }
    return Usage();
}
