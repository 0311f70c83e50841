// mwdriver: drives the program's windows from outside, for the system tests.
//
//   mwdriver [-w SECONDS] [-d DESKTOP] COMMAND ARGUMENTS...
//
// -d looks on a named desktop (a Wine virtual desktop made with
// `explorer /desktop=NAME,...`) instead of the default one.
// Texts in arguments and output are the hexadecimal digits of their raw
// bytes ("-" for an empty text). Numbers are decimal or 0x-prefixed hex.
// Lookups wait up to SECONDS (default 15) for their window. Exit status:
// 0 done, 1 window not found or the step failed, 2 bad usage, 3 keys were
// typed but the focus did not go where a step expected it.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tools/driver/dialog_controls.h"
#include "tools/driver/hex_text.h"
#include "tools/driver/listview_reader.h"
#include "tools/driver/process_info.h"
#include "tools/driver/real_input.h"
#include "tools/driver/remote_memory.h"
#include "tools/driver/screen_pixels.h"
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

// A window handle as the windows command prints it ("0x..."); null for any
// other text.
HWND HandleFromText(const std::string& text) {
    if (text.rfind("0x", 0) != 0) return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text.c_str(), nullptr, 16)));
}

// A window by its class, or by its handle where several share a class
// (popup windows, dialogs).
HWND MainWindow(const std::string& class_name) {
    if (HWND window = HandleFromText(class_name)) return IsWindow(window) ? window : nullptr;
    return WaitForTopLevel(class_name.c_str(), nullptr);
}

// Sends and waits for the answer, without hanging on a window that stopped
// pumping messages.
bool SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    return SendWithin(window, message, wparam, lparam, kSendTimeoutMs, result);
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

// By class, or by handle for one window of a class that others share (a
// dialog).
int RunWaitGone(const Args& args) {
    HWND window = HandleFromText(args[0]);
    bool gone = window ? WaitFor([&] { return !IsWindow(window); }) : WaitUntilGone(args[0].c_str());
    return gone ? 0 : Fail("window still there");
}

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

// A registered message (its name in hex), as the shell posts "TaskbarCreated".
int RunPostRegistered(const Args& args) {
    std::string name;
    if (!FromHex(args[1], &name)) return 2;
    UINT message = RegisterWindowMessageW(WideFromCp932(name).c_str());
    if (message == 0) return Fail("not registered");
    return PostTo(args[0], message, static_cast<WPARAM>(Number(args[2])), static_cast<LPARAM>(Number(args[3])));
}

// Adds or deletes the window's tray icon of that id from outside, the way a
// shell that restarts loses it or one that holds it already refuses it.
int RunTrayIcon(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = static_cast<UINT>(Number(args[1]));
    data.uFlags = NIF_ICON;
    data.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    return Shell_NotifyIconW(args[2] == "add" ? NIM_ADD : NIM_DELETE, &data) ? 0 : Fail("refused");
}

int RunQueryEndSession(const Args& args) { return SendAndPrint(args[0], WM_QUERYENDSESSION, 0, 0); }

int RunEndSession(const Args& args) {
    return SendAndPrint(args[0], WM_ENDSESSION, static_cast<WPARAM>(Number(args[1])),
                        args.size() > 2 ? static_cast<LPARAM>(Number(args[2])) : 0);
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
    // Set in UTF-16, converted from CP932 here, as the program's own
    // Unicode windows take a text.
    const std::wstring wide = WideFromCp932(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result)) {
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

int RunForeground(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    return BringToFront(window) ? 0 : Fail("window did not come to the foreground");
}

// The control id and class of the window with the keyboard focus on the
// window's thread; "0 -" when none has it.
std::string FocusText(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) return "0 -";
    return std::to_string(GetDlgCtrlID(info.hwndFocus)) + " " + ClassName(info.hwndFocus);
}

// Keys, and between them "expect-focus:ID" steps that wait until the control
// with that id has the focus. A step whose focus does not come ends the run
// with status 3, so that a caller retrying on status 1 does not type the keys
// again.
int RunKeys(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    if (!BringToFront(window)) return Fail("window did not come to the foreground");
    const std::string kExpect = "expect-focus:";
    std::string last = "the start";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& token = args[i];
        if (token.rfind(kExpect, 0) == 0) {
            std::string wanted = token.substr(kExpect.size());
            int id = static_cast<int>(Number(wanted));
            if (!WaitFor([&] { return FocusText(window).rfind(std::to_string(id) + " ", 0) == 0; })) {
                std::fprintf(stderr, "mwdriver: after %s (token %u) the focus is on %s, not on %d\n", last.c_str(),
                             static_cast<unsigned>(i), FocusText(window).c_str(), id);
                return 3;
            }
            continue;
        }
        std::string error;
        if (!SendKeys({token}, &error)) return Fail(error.c_str());
        last = token;
    }
    return 0;
}

// Clicks at a point given in the child's client coordinates, with the main
// window in front so that nothing covers it.
int ClickInChild(const Args& args, HWND child, POINT point, const std::string& modifiers) {
    HWND window = MainWindow(args[0]);
    if (!window || !BringToFront(window)) return Fail("window did not come to the foreground");
    if (!ClientToScreen(child, &point)) return Fail("no screen position");
    std::string error;
    return ClickAt(point, modifiers, &error) ? 0 : Fail(error.c_str());
}

int RunClick(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    POINT point = {static_cast<LONG>(std::strtol(args[2].c_str(), nullptr, 0)),
                   static_cast<LONG>(std::strtol(args[3].c_str(), nullptr, 0))};
    return ClickInChild(args, child, point, args.size() > 4 ? args[4] : "");
}

// A row is clicked a little inside its left end, in its first column.
int RunClickRow(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    RECT row = {};
    if (!ListViewRowRect(child, static_cast<int>(Number(args[2])), &row)) return Fail("no such row");
    POINT point = {row.left + 12, (row.top + row.bottom) / 2};
    return ClickInChild(args, child, point, args.size() > 3 ? args[3] : "");
}

// A column heading is clicked in its middle; the heading's place follows
// from the widths of the columns before it.
int RunClickHeader(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    HWND header = reinterpret_cast<HWND>(SendMessageA(child, LVM_GETHEADER, 0, 0));
    if (!header) return Fail("no header");
    int column = static_cast<int>(Number(args[2]));
    int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    if (column < 0 || column >= columns) return Fail("no such column");
    int left = 0;
    for (int i = 0; i < column; ++i) left += static_cast<int>(SendMessageA(child, LVM_GETCOLUMNWIDTH, i, 0));
    int width = static_cast<int>(SendMessageA(child, LVM_GETCOLUMNWIDTH, column, 0));
    RECT bounds = {};
    GetClientRect(header, &bounds);
    POINT point = {left + width / 2, (bounds.top + bounds.bottom) / 2};
    return ClickInChild(args, header, point, "");
}

// First "origin X Y", the screen point of the main window's client area;
// then each child of the main window (the toolbar's and the others' own
// children left out): id, class and its rectangle in the main window's client
// coordinates (left top right bottom).
int RunLayout(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    PrintLine("origin " + std::to_string(origin.x) + " " + std::to_string(origin.y));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r = {};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        PrintLine(std::to_string(GetDlgCtrlID(child)) + " " + ClassName(child) + " " + std::to_string(r.left) +
                  " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom));
    }
    return 0;
}

// A drag with the left button between two points of the main window's client
// area.
int RunDrag(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window || !BringToFront(window)) return Fail("window did not come to the foreground");
    POINT from = {static_cast<LONG>(Number(args[1])), static_cast<LONG>(Number(args[2]))};
    POINT to = {static_cast<LONG>(Number(args[3])), static_cast<LONG>(Number(args[4]))};
    if (!ClientToScreen(window, &from) || !ClientToScreen(window, &to)) return Fail("no screen position");
    std::string error;
    return DragAt(from, to, &error) ? 0 : Fail(error.c_str());
}

// The window that has the keyboard focus on the main window's thread: its
// control id and class ("0 -" when none has it).
int RunFocus(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    PrintLine(FocusText(window));
    return 0;
}

// One line: 1 or 0 for each row, selected or not, in display order.
int RunListViewSelected(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    std::string line;
    for (UINT state : ListViewStates(child, LVIS_SELECTED)) {
        if (!line.empty()) line += ' ';
        line += (state & LVIS_SELECTED) ? '1' : '0';
    }
    PrintLine(line);
    return 0;
}

int RunStatusBarText(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    WPARAM part = static_cast<WPARAM>(Number(args[2]));
    LRESULT length = 0;
    if (!SendWithTimeout(child, SB_GETTEXTLENGTHW, part, 0, &length)) return Fail("no answer");
    // Asked for in UTF-16 and converted with code page 932 here. The buffer
    // is made larger than the length asks, zeroed, and the text taken up to
    // its first NUL, in case the length counts otherwise than the text.
    size_t characters = 2 * static_cast<size_t>(LOWORD(length)) + 64;
    RemoteMemory memory(child, characters * sizeof(wchar_t));
    std::wstring wide(characters, L'\0');
    if (!memory.Usable() || !memory.Write(0, wide.data(), characters * sizeof(wchar_t))) {
        return Fail("status bar not readable");
    }
    LRESULT answer = 0;
    if (!SendWithTimeout(child, SB_GETTEXTW, part, memory.AsParam(), &answer)) return Fail("no answer");
    if (!memory.Read(0, wide.data(), characters * sizeof(wchar_t))) return Fail("status bar not readable");
    wide.resize(std::min(wide.find(L'\0'), characters));
    const std::string text = Cp932FromWide(wide);
    PrintLine(ToHex(text));
    return 0;
}

// The toolbar button's state bits (TBSTATE_*), -1 when there is no such
// button.
int RunToolbarState(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    LRESULT state = 0;
    if (!SendWithTimeout(child, TB_GETSTATE, static_cast<WPARAM>(Number(args[2])), 0, &state)) {
        return Fail("no answer");
    }
    PrintLine(std::to_string(static_cast<long long>(state)));
    return 0;
}

// Pixels of a colour (RRGGBB, within TOLERANCE per component) in the child
// window's client area on the screen, or in one list-view row of it, or in
// one column of that row.
int RunPixels(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    unsigned long rgb = std::strtoul(args[2].c_str(), nullptr, 16);
    COLORREF color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    int tolerance = static_cast<int>(Number(args[3]));
    RECT area = {};
    GetClientRect(child, &area);
    if (args.size() > 4) {
        RECT row = {};
        if (!ListViewRowRect(child, static_cast<int>(Number(args[4])), &row)) return Fail("no such row");
        if (args.size() > 5) {
            // The column's span follows from the widths of the columns before it.
            int column = static_cast<int>(Number(args[5]));
            int left = row.left;
            for (int i = 0; i < column; ++i) left += static_cast<int>(SendMessageA(child, LVM_GETCOLUMNWIDTH, i, 0));
            int width = static_cast<int>(SendMessageA(child, LVM_GETCOLUMNWIDTH, column, 0));
            if (width <= 0) return Fail("no such column");
            row.left = left;
            row.right = left + width;
        }
        IntersectRect(&area, &area, &row);
    }
    POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
    MapWindowPoints(child, nullptr, corners, 2);
    RECT screen = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    long count = CountScreenPixels(screen, color, tolerance);
    if (count < 0) return Fail("screen not readable");
    PrintLine(std::to_string(count));
    return 0;
}

// Selects a page of a property sheet (from 0) and prints the handle of its
// dialog. Pages share control ids, so their controls are reached through the
// page's handle.
int RunSheetPage(const Args& args) {
    HWND sheet = MainWindow(args[0]);
    if (!sheet) return Fail("window not found");
    HWND page = SelectSheetPage(sheet, static_cast<int>(Number(args[1])));
    if (!page) return Fail("page not selected");
    PrintLine(HandleText(page));
    return 0;
}

// Presses OK or Cancel of a property sheet. Posted: pressing OK may open a
// message box before the sheet closes.
int RunSheetButton(const Args& args) {
    WPARAM button = args[1] == "ok" ? PSBTN_OK : args[1] == "cancel" ? PSBTN_CANCEL : 0;
    if (!button) {
        std::fprintf(stderr, "mwdriver: the button is ok or cancel\n");
        return 2;
    }
    return PostTo(args[0], PSM_PRESSBUTTON, button, 0);
}

// Prints "done", or "pending" when the click has opened a modal window (a
// message box, a colour dialog) that is still open.
int RunClickButton(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    switch (ClickButton(child)) {
        case ClickResult::kDone: PrintLine("done"); return 0;
        case ClickResult::kPending: PrintLine("pending"); return 0;
        case ClickResult::kFailed: break;
    }
    return Fail("no answer");
}

int RunChecked(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    LRESULT state = 0;
    if (!SendWithTimeout(child, BM_GETCHECK, 0, 0, &state)) return Fail("no answer");
    PrintLine(std::to_string(static_cast<long long>(state)));
    return 0;
}

int RunEnabled(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    PrintLine(IsWindowEnabled(child) ? "1" : "0");
    return 0;
}

int PrintTexts(const Args& args, bool (*read)(HWND, std::vector<std::string>*)) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    std::vector<std::string> texts;
    if (!read(child, &texts)) return Fail("list not readable");
    for (const std::string& text : texts) PrintLine(ToHex(text));
    return 0;
}

int RunListBoxItems(const Args& args) { return PrintTexts(args, ReadListBoxTexts); }

int RunComboItems(const Args& args) { return PrintTexts(args, ReadComboTexts); }

// The selected item's index, -1 when none is selected.
int RunComboSelected(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    LRESULT index = 0;
    if (!SendWithTimeout(child, CB_GETCURSEL, 0, 0, &index)) return Fail("no answer");
    PrintLine(std::to_string(static_cast<long long>(index)));
    return 0;
}

int SelectItem(const Args& args, bool (*select)(HWND, int)) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    return select(child, static_cast<int>(Number(args[2]))) ? 0 : Fail("item not selected");
}

int RunComboSelect(const Args& args) { return SelectItem(args, SelectComboItem); }

int RunListBoxSelect(const Args& args) { return SelectItem(args, SelectListBoxItem); }

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
    PrintLine(HandleText(window) + " " + ClassName(window) + " " + (IsWindowVisible(window) ? "1" : "0") + " " +
              ToHex(WindowText(window)));
    return TRUE;
}

// The child's client area as the screen shows it: a digest of its pixels and
// how many are not white.
int RunDigest(const Args& args) {
    HWND child = Child(args);
    if (!child) return Fail("child window not found");
    RECT area = {};
    GetClientRect(child, &area);
    POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
    MapWindowPoints(child, nullptr, corners, 2);
    RECT screen = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    uint64_t digest = 0;
    long not_white = 0;
    if (!ScreenDigest(screen, &digest, &not_white)) return Fail("screen not readable");
    char text[40];
    std::snprintf(text, sizeof text, "%016llx %ld", static_cast<unsigned long long>(digest), not_white);
    PrintLine(text);
    return 0;
}

// Moves the window's top-left corner to (x, y) on the screen.
int RunMove(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    int x = static_cast<int>(Number(args[1])), y = static_cast<int>(Number(args[2]));
    return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : Fail("not moved");
}

// The window's rectangle on the screen: left top right bottom.
int RunRect(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    RECT r = {};
    GetWindowRect(window, &r);
    PrintLine(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
              std::to_string(r.bottom));
    return 0;
}

// 1 when the window stays above every window that is not topmost, else 0.
int RunTopmost(const Args& args) {
    HWND window = MainWindow(args[0]);
    if (!window) return Fail("window not found");
    PrintLine((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? "1" : "0");
    return 0;
}

int RunScreenSize(const Args&) {
    PrintLine(std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " + std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    return 0;
}

int RunWindows(const Args&) {
    EnumWindows(PrintTopLevel, 0);
    return 0;
}

const Command kCommands[] = {
    {"find", 1, 2, "CLASS [TITLE]", RunFind},
    {"title", 1, 1, "CLASS", RunTitle},
    {"wait-gone", 1, 1, "CLASS|HANDLE", RunWaitGone},
    {"close", 1, 1, "CLASS", RunClose},
    {"command", 2, 2, "CLASS ID", RunCommand},
    {"send", 4, 4, "CLASS MESSAGE WPARAM LPARAM", RunSend},
    {"post", 4, 4, "CLASS MESSAGE WPARAM LPARAM", RunPost},
    {"query-end-session", 1, 1, "CLASS", RunQueryEndSession},
    {"end-session", 2, 3, "CLASS WPARAM [LPARAM]", RunEndSession},
    {"post-registered", 4, 4, "CLASS NAME WPARAM LPARAM", RunPostRegistered},
    {"tray-icon", 3, 3, "CLASS ID add|delete", RunTrayIcon},
    {"msgbox-text", 0, 1, "[TITLE]", RunMessageBoxText},
    {"press-button", 0, 2, "[ID [TITLE]]", RunPressButton},
    {"child-text", 2, 2, "CLASS ID", RunChildText},
    {"set-text", 3, 3, "CLASS ID TEXT", RunSetText},
    {"listview-rows", 2, 2, "CLASS ID", RunListViewRows},
    {"children", 1, 1, "CLASS", RunChildren},
    {"windows", 0, 0, "", RunWindows},
    {"screen-size", 0, 0, "", RunScreenSize},
    {"rect", 1, 1, "CLASS", RunRect},
    {"topmost", 1, 1, "CLASS", RunTopmost},
    {"move", 3, 3, "CLASS X Y", RunMove},
    {"digest", 2, 2, "CLASS ID", RunDigest},
    {"foreground", 1, 1, "CLASS", RunForeground},
    {"keys", 2, 200, "CLASS TOKEN... (KEY, MOD+KEY, down:KEY, up:KEY, text:HEX, sleep:MS, expect-focus:ID)", RunKeys},
    {"click", 4, 5, "CLASS ID X Y [MODIFIERS]", RunClick},
    {"click-row", 3, 4, "CLASS ID ROW [MODIFIERS]", RunClickRow},
    {"click-header", 3, 3, "CLASS ID COLUMN", RunClickHeader},
    {"focus", 1, 1, "CLASS", RunFocus},
    {"layout", 1, 1, "CLASS", RunLayout},
    {"drag", 5, 5, "CLASS X1 Y1 X2 Y2 (client coordinates)", RunDrag},
    {"listview-selected", 2, 2, "CLASS ID", RunListViewSelected},
    {"statusbar-text", 3, 3, "CLASS ID PART", RunStatusBarText},
    {"toolbar-state", 3, 3, "CLASS ID COMMAND", RunToolbarState},
    {"pixels", 4, 6, "CLASS ID RRGGBB TOLERANCE [ROW [COLUMN]]", RunPixels},
    {"sheet-page", 2, 2, "CLASS INDEX (prints the page's handle)", RunSheetPage},
    {"sheet-button", 2, 2, "CLASS ok|cancel", RunSheetButton},
    {"click-button", 2, 2, "CLASS ID (prints done or pending)", RunClickButton},
    {"checked", 2, 2, "CLASS ID", RunChecked},
    {"enabled", 2, 2, "CLASS ID", RunEnabled},
    {"listbox-items", 2, 2, "CLASS ID", RunListBoxItems},
    {"listbox-select", 3, 3, "CLASS ID INDEX", RunListBoxSelect},
    {"combo-items", 2, 2, "CLASS ID", RunComboItems},
    {"combo-selected", 2, 2, "CLASS ID", RunComboSelected},
    {"combo-select", 3, 3, "CLASS ID INDEX", RunComboSelect},
    {"process-counts", 1, 1, "CLASS (prints HANDLES GDI USER LISTED)", RunProcessCounts},
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
