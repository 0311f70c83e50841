// Input as a user makes it: keys and mouse buttons injected with SendInput,
// so the program gets them through its message queue like typed keys and
// clicks, and GetAsyncKeyState sees the keys held. The driver and the
// program share one Wine server, which routes the input to the foreground
// window's thread.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Makes the top-level window the foreground window and waits until it is.
bool BringToFront(HWND window);

// Sends the key sequence. Each token is one of:
//   KEY, MOD+KEY, MOD+MOD+KEY  a press; the modifiers (Shift, Ctrl, Alt) are
//                              held until the program has had time to read
//                              them;
//   down:KEY, up:KEY           one half of a press (a key held down again
//                              before its release is an auto-repeat);
//   text:HEX                   characters, one press each (CP932 bytes);
//   sleep:MS                   a pause.
// KEY is a name (Tab, Enter, Escape, Space, Backspace, Delete, Home, End,
// Left, Right, Up, Down, Shift, Ctrl, Alt), a letter or digit, or a virtual
// key code (0x..). False, with the reason, on a token it does not know.
bool SendKeys(const std::vector<std::string>& tokens, std::string* error);

// A click of the left (or right) button at the screen point, with the
// modifiers ("ctrl", "shift", joined by '+'; "right" for the right button)
// held around it. Waits one double-click time afterwards, so that the next
// click is never taken for a double click.
bool ClickAt(POINT screen, const std::string& modifiers, std::string* error);

// A drag with the left button from one screen point to another: press, a
// few moves with the button held, release.
bool DragAt(POINT from, POINT to, std::string* error);
