// The three small modal dialogs of the main window's commands: the status
// change, the machine information and the version. Each is owned by the
// main window and shown at the bottom-right corner of the screen when the
// program waits in the tray.
#pragma once
#include <windows.h>

// Sets the user's status text from the presets or a typed text and tells the
// peers; only while the network is ready (the caller checks).
void OpenStatusDialog(HWND owner);
// Computer name, login name and the program's own address.
void OpenMachineInfoDialog(HWND owner);
// The program icon, its name and version.
void OpenVersionDialog(HWND owner);
