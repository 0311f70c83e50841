// Entry point of Mosswick.exe: the main window and its message loop.
#include <windows.h>
#include <objbase.h>

#include "platform/win32/system_library.h"
#include "platform/win32/wide_text.h"
#include "resources/command_ids.h"
#include "shell/win32/main_window.h"
#include "whiteboard/win32/board_window.h"

namespace {

// The whiteboard's dialog navigation comes first, then the accelerators.
int RunMessageLoop(HACCEL accelerators) {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) return 0;
        if (HWND board = WhiteboardWindow(); board != nullptr && IsDialogMessageW(board, &msg)) continue;
        if (g_main.window != nullptr && accelerators != nullptr &&
            TranslateAcceleratorW(g_main.window, accelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Opening the log or the help page goes through the shell, which may hand it
// to extensions that need COM in a single-threaded apartment on the calling
// thread, as Microsoft asks of every caller of ShellExecute:
// https://learn.microsoft.com/windows/win32/api/shellapi/nf-shellapi-shellexecutew
class ApartmentForTheShell {
public:
    ApartmentForTheShell()
        : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ApartmentForTheShell() {
        if (initialised_) CoUninitialize();
    }
    ApartmentForTheShell(const ApartmentForTheShell&) = delete;
    ApartmentForTheShell& operator=(const ApartmentForTheShell&) = delete;

private:
    bool initialised_;
};

}  // namespace

// The command line and the show state are not used: the start-up sequence
// shows the window or sends it to the tray.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystemFolder();
    ApartmentForTheShell apartment;
    g_main.instance = instance;
    if (!RegisterMainWindowClass(instance)) return 0;
    HWND window = CreateMainWindow(instance);
    g_main.window = window;
    if (window != nullptr) UpdateWindow(window);
    HACCEL accelerators = LoadAcceleratorsW(instance, WIDE_NAME(RES_ACCEL));
    const int code = RunMessageLoop(accelerators);
    // A popup or the notice that did not end when asked may still use the
    // program's static objects. Returning would run their destructors under
    // it; ExitProcess ends the other threads before anything is torn down.
    // https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-exitprocess
    if (g_main.window_threads_left) ExitProcess(static_cast<UINT>(code));
    return code;
}
