// The ways a chat arrival is announced, one function each: the title-bar
// icon blink and the notice box while the window is shown, the tray icon
// blink and the notice box while the program waits in the tray.
#pragma once
#include <windows.h>

void StartTitleBlink(HWND window);
void StartTrayBlink(HWND window);
// The notice boxes; `sender` is the sender's name.
void StartShownArrivalNotice(HWND window, const char* sender);
void StartTrayArrivalNotice(HWND window, const char* sender);
// Answers an open notice box the way that changes nothing (No from the
// tray, else OK); posted, the box runs on a thread of its own. True while the
// notice's thread still runs.
bool AskArrivalNoticeToClose();
