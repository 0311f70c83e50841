#include "shell/win32/arrival_notice.h"

// The blinking icons and the notice boxes come with the tray's own work
// (timers IDT_TITLEBLINK and IDT_TRAYBLINK, the notice thread and its lock);
// until then an arrival is shown in the output area only.

void StartTitleBlink(HWND /*window*/) {}

void StartTrayBlink(HWND /*window*/) {}

void StartShownArrivalNotice(HWND /*window*/, const char* /*sender*/) {}

void StartTrayArrivalNotice(HWND /*window*/, const char* /*sender*/) {}
