#include "tools/driver/real_input.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "platform/win32/wide_text.h"
#include "tools/driver/hex_text.h"
#include "tools/driver/window_lookup.h"

namespace {

// Long enough for the program to take the key from its queue and ask for the
// modifier's state while the modifier is still down.
constexpr DWORD kModifierHoldMs = 300;
// Between a modifier going down and the key. Wine's GetAsyncKeyState answers
// "up" from a cache for 50 ms after a process last asked: a Shift pressed
// right after the previous key would go unseen by the program.
constexpr DWORD kModifierLeadMs = 100;
constexpr DWORD kPointerSettleMs = 300;
constexpr DWORD kBetweenKeysMs = 30;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsExtended(WORD vk) {
    switch (vk) {
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        case VK_HOME: case VK_END: case VK_DELETE: case VK_INSERT: case VK_PRIOR: case VK_NEXT:
            return true;
        default:
            return false;
    }
}

bool KeyCode(const std::string& name, WORD* vk) {
    static const struct { const char* name; WORD vk; } kNames[] = {
        {"tab", VK_TAB}, {"enter", VK_RETURN}, {"return", VK_RETURN}, {"escape", VK_ESCAPE},
        {"space", VK_SPACE}, {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"home", VK_HOME},
        {"end", VK_END}, {"left", VK_LEFT}, {"right", VK_RIGHT}, {"up", VK_UP}, {"down", VK_DOWN},
        {"shift", VK_SHIFT}, {"ctrl", VK_CONTROL}, {"alt", VK_MENU},
    };
    std::string lower = Lower(name);
    for (const auto& entry : kNames) {
        if (lower == entry.name) {
            *vk = entry.vk;
            return true;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        *vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    if (lower.rfind("0x", 0) == 0 && lower.size() > 2) {
        *vk = static_cast<WORD>(std::strtoul(lower.c_str(), nullptr, 16));
        return *vk != 0;
    }
    return false;
}

bool SendOne(INPUT input) { return SendInput(1, &input, sizeof input) == 1; }

bool Key(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return SendOne(input);
}

// One UTF-16 unit typed as a character of its own (a character outside the
// basic plane is two of them, as Windows takes them).
bool Character(wchar_t unit) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(unit);
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    if (!SendOne(input)) return false;
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return SendOne(input);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

// Presses the modifiers, runs `action`, holds them a moment and releases
// them in reverse order.
template <typename Action>
bool WithModifiers(const std::vector<WORD>& modifiers, Action action) {
    bool ok = true;
    for (WORD vk : modifiers) ok = Key(vk, false) && ok;
    if (!modifiers.empty()) Sleep(kModifierLeadMs);
    ok = action() && ok;
    if (!modifiers.empty()) Sleep(kModifierHoldMs);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) ok = Key(*it, true) && ok;
    return ok;
}

bool RunToken(const std::string& token, std::string* error) {
    auto colon = token.find(':');
    if (colon != std::string::npos) {
        std::string kind = Lower(token.substr(0, colon));
        std::string rest = token.substr(colon + 1);
        if (kind == "sleep") {
            Sleep(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10)));
            return true;
        }
        if (kind == "text") {
            std::string bytes;
            if (!FromHex(rest, &bytes)) {
                *error = "bad text in " + token;
                return false;
            }
            // CP932 bytes, typed as the characters they stand for.
            for (wchar_t unit : WideFromCp932(bytes)) {
                if (!Character(unit)) return false;
                Sleep(kBetweenKeysMs);
            }
            return true;
        }
        WORD vk = 0;
        if ((kind == "down" || kind == "up") && KeyCode(rest, &vk)) return Key(vk, kind == "up");
        *error = "unknown key token " + token;
        return false;
    }
    std::vector<std::string> parts = Split(token, '+');
    if (parts.empty()) {
        *error = "empty key token";
        return false;
    }
    std::vector<WORD> modifiers;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        WORD vk = 0;
        if (!KeyCode(parts[i], &vk) || (vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU)) {
            *error = "unknown modifier in " + token;
            return false;
        }
        modifiers.push_back(vk);
    }
    WORD vk = 0;
    if (!KeyCode(parts.back(), &vk)) {
        *error = "unknown key in " + token;
        return false;
    }
    return WithModifiers(modifiers, [&] { return Key(vk, false) && Key(vk, true); });
}

}  // namespace

bool BringToFront(HWND window) {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return WaitFor([&] {
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return false;
    });
}

bool SendKeys(const std::vector<std::string>& tokens, std::string* error) {
    for (const std::string& token : tokens) {
        if (!RunToken(token, error)) {
            if (error->empty()) *error = "input refused at " + token;
            return false;
        }
        Sleep(kBetweenKeysMs);
    }
    return true;
}

bool ClickAt(POINT screen, const std::string& modifiers, std::string* error) {
    std::vector<WORD> held;
    bool right = false;
    for (const std::string& part : Split(Lower(modifiers), '+')) {
        if (part.empty() || part == "-" || part == "left") continue;
        if (part == "right") {
            right = true;
        } else if (part == "ctrl") {
            held.push_back(VK_CONTROL);
        } else if (part == "shift") {
            held.push_back(VK_SHIFT);
        } else {
            *error = "unknown click modifier " + part;
            return false;
        }
    }
    if (!SetCursorPos(screen.x, screen.y)) {
        *error = "cursor not moved";
        return false;
    }
    POINT now = {};
    if (!WaitFor([&] { return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y; })) {
        *error = "cursor did not arrive";
        return false;
    }
    // Under Wine the moved pointer reaches the program also as X events,
    // after which Wine sets its key state to what the X server holds: any
    // modifier pressed before the program has read them would be let go.
    Sleep(kPointerSettleMs);
    bool ok = WithModifiers(held, [&] {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        if (!SendOne(input)) return false;
        Sleep(kBetweenKeysMs);
        input.mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        return SendOne(input);
    });
    if (!ok) *error = "click refused";
    Sleep(GetDoubleClickTime() + 50);
    return ok;
}

namespace {

// Moves the pointer with the button held, as a hand does: an absolute move
// in screen units of 1/65536 of the screen.
bool MoveHeldTo(POINT screen) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + width / 2) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendOne(input);
}

}  // namespace

bool DragAt(POINT from, POINT to, std::string* error) {
    if (!SetCursorPos(from.x, from.y)) {
        *error = "cursor not moved";
        return false;
    }
    Sleep(kPointerSettleMs);
    INPUT press = {};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    if (!SendOne(press)) {
        *error = "button press refused";
        return false;
    }
    Sleep(kPointerSettleMs);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        POINT at = {from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps};
        if (!MoveHeldTo(at)) {
            *error = "move refused";
            return false;
        }
        Sleep(kBetweenKeysMs * 2);
    }
    Sleep(kPointerSettleMs);
    press.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    bool ok = SendOne(press);
    if (!ok) *error = "button release refused";
    Sleep(kPointerSettleMs);
    return ok;
}
