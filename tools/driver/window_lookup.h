// Finding the program's windows from outside: top-level windows by class and
// title, message boxes, and child windows by id. Lookups poll until the window
// appears or the wait runs out.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Seconds every lookup waits before giving up (the -w option).
extern double g_wait_seconds;

// Calls `probe` every tenth of a second until it returns true (then true) or
// the wait runs out (then false).
bool WaitFor(const std::function<bool()>& probe);

// A top-level window of the class, and with exactly that title unless the
// title is null. Null when none appeared within the wait.
HWND WaitForTopLevel(const char* class_name, const std::string* title);

// True when no top-level window of the class is left within the wait.
bool WaitUntilGone(const char* class_name);

// A dialog-class window ("#32770", the class of message boxes), visible, and
// with that title unless the title is null.
HWND WaitForMessageBox(const std::string* title);

// The longest text among the box's static controls: the message itself (the
// icon is a static control without text).
std::string MessageBoxText(HWND box);

// A child of the window with that control id, searched through all levels.
HWND FindChildById(HWND parent, int id);

std::string WindowText(HWND window);
std::string ClassName(HWND window);

// Every child window, in the order EnumChildWindows gives them.
std::vector<HWND> AllChildren(HWND parent);
