#include "tools/driver/window_lookup.h"

#include <algorithm>
#include <cctype>

#include "platform/win32/wide_text.h"

double g_wait_seconds = 15.0;

bool WaitFor(const std::function<bool()>& probe) {
    constexpr DWORD kPollMs = 100;
    DWORD limit = static_cast<DWORD>(g_wait_seconds * 1000);
    DWORD start = GetTickCount();
    for (;;) {
        if (probe()) return true;
        if (GetTickCount() - start >= limit) return false;
        Sleep(kPollMs);
    }
}

namespace {

struct MessageBoxSearch {
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MessageBoxSearch*>(param);
    if (ClassName(window) != "#32770" || !IsWindowVisible(window)) return TRUE;
    if (search->title && WindowText(window) != *search->title) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

// A window that has stopped answering yields an empty text instead of
// holding the driver forever.
static LRESULT Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &answer)) return 0;
    return static_cast<LRESULT>(answer);
}

// An edit control's length in characters, from its last line: the start of
// that line and its length. 0 for a window that is no edit.
static size_t EditCharacters(HWND window) {
    std::string name = ClassName(window);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.find("edit") == std::string::npos) return 0;
    LRESULT lines = Ask(window, EM_GETLINECOUNT, 0, 0);
    if (lines <= 0) return 0;
    LRESULT start = Ask(window, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    if (start < 0) return 0;
    LRESULT last = Ask(window, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    return static_cast<size_t>(start) + static_cast<size_t>(std::max<LRESULT>(last, 0));
}

std::string WindowText(HWND window) {
    // WM_GETTEXT is copied across processes by the system; GetWindowTextW
    // would not ask another process's window for its text. The text is asked
    // for in UTF-16 and converted with code page 932 here, so that it gives
    // the same bytes whatever the system's code page. The length a window
    // gives is only a hint: asked from another process under Wine, a rich
    // edit has answered 0 for a text holding double-byte characters; asked
    // with a buffer too small for its text it answers 0 as well. So an
    // edit's length is also taken from its lines, and the buffer grows until
    // the text fits; a window that answers 0 with no text to hold (every
    // empty window) is asked once.
    constexpr size_t kMaxText = 32u << 20;
    LRESULT hint = Ask(window, WM_GETTEXTLENGTH, 0, 0);
    const size_t characters = std::max(static_cast<size_t>(std::max<LRESULT>(hint, 0)), EditCharacters(window));
    size_t size = std::max<size_t>(4096, 2 * characters + 2);
    for (;;) {
        std::wstring text(size, L'\0');
        LRESULT got = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        if (got <= 0 && (characters == 0 || size >= kMaxText)) return "";
        if (got > 0 && (static_cast<size_t>(got) + 2 < size || size >= kMaxText)) {
            text.resize(std::min(static_cast<size_t>(got), size - 1));
            return Cp932FromWide(text);
        }
        size *= 2;
    }
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND WaitForTopLevel(const char* class_name, const std::string* title) {
    HWND found = nullptr;
    WaitFor([&] {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, class_name, nullptr)) != nullptr) {
            if (!title || WindowText(window) == *title) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool WaitUntilGone(const char* class_name) {
    return WaitFor([&] { return FindWindowA(class_name, nullptr) == nullptr; });
}

HWND WaitForMessageBox(const std::string* title) {
    MessageBoxSearch search{title, nullptr};
    WaitFor([&] {
        EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

std::string MessageBoxText(HWND box) {
    std::string longest;
    for (HWND child : AllChildren(box)) {
        if (ClassName(child) != "Static") continue;
        std::string text = WindowText(child);
        if (text.size() > longest.size()) longest = text;
    }
    return longest;
}

HWND FindChildById(HWND parent, int id) {
    for (HWND child : AllChildren(parent)) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
}

std::vector<HWND> AllChildren(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}
