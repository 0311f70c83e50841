// Feeds an arbitrary settings file to the real loader through the real POSIX
// profile store: every key read with its default, Number held to 0..30, the
// fonts parsed. Whatever the file holds, the record must come out sound: every
// text ended within its field, Number in range and no host address past it,
// each font one that formats and parses back to itself. The record is then
// written back key by key and loaded again; what the store gives back as it
// was written must come back the same.
//
// Input: one byte L, then L bytes of names, then the file. The names are
// three texts split at NULs: a section, a key and a value, used straight on
// the store (and the section as the login name the loader defaults Name to).
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <variant>

#include "platform/posix/profile_store_posix.h"
#include "settings/font_value.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "settings/window_modes.h"

namespace {

std::string g_dir;
std::string g_path;
PosixProfileStore g_store;

void RemoveScratch() {
    if (DIR* d = opendir(g_dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                std::remove((g_dir + "/" + e->d_name).c_str());
        closedir(d);
    }
    rmdir(g_dir.c_str());
}

// A scratch directory in memory where there is one: the store syncs every write.
void SetUpOnce() {
    const char* tmp = getenv("TMPDIR");
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
    g_dir = base + "/mosswick-settings-fuzz-XXXXXX";
    if (mkdtemp(g_dir.data()) == nullptr) std::abort();
    g_path = g_dir + "/Mosswick.ini";
    std::atexit(RemoveScratch);
}

void PutFile(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

bool SameFont(const FontRecord& a, const FontRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The text field a key is read into, or an empty span.
std::span<const char> TextOfKey(const SettingKey& key, const Settings& s) {
    if (const auto* f = std::get_if<TextField>(&key.field)) return f->of_const(s);
    if (const auto* f = std::get_if<ModeStatus>(&key.field)) return f->text.of_const(s);
    return {};
}

struct Loaded {
    Settings settings;
    WindowModes flags;
    WindowRect rect;
};

// Loads the file into a record full of leftovers that loading must replace.
void Load(const char* login, Loaded* out) {
    out->settings.Number = 7;
    for (HostAddressEntry& e : out->settings.Address) e = {1, 0x01020304};
    LoadSettingsFrom(g_store, g_path.c_str(), login, &out->settings, &out->flags, &out->rect);
}

void CheckSound(const Settings& s) {
    for (const SettingKey& key : kSettingKeys) {
        std::span<const char> text = TextOfKey(key, s);
        if (!text.empty() && std::memchr(text.data(), 0, text.size()) == nullptr) std::abort();
    }
    if (s.Number < 0 || s.Number > kMaxHostAddresses) std::abort();
    for (int i = 0; i < kMaxHostAddresses; ++i) {
        const HostAddressEntry& e = s.Address[i];
        if (e.marker > 1) std::abort();
        if (i >= s.Number && (e.marker != 0 || e.address != 0)) std::abort();
    }
    for (const FontRecord& font : s.pane_font) {
        const size_t face = strnlen(font.lfFaceName, sizeof font.lfFaceName);
        if (face == 0 || face == sizeof font.lfFaceName) std::abort();
        char value[kFontValueSize];
        FormatFontValue(font, value);
        FontRecord back;
        if (ParseFontValue(value, &back) != 1 || !SameFont(back, font)) std::abort();
    }
}

// The store trims white space and ^Z around a value, and takes off one pair
// of enclosing quotes; a line break ends a written value. A text none of
// this touches is read back as it was written.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }

bool Unchanged(std::span<const char> field) {
    std::string_view t(field.data(), strnlen(field.data(), field.size()));
    if (t.empty()) return true;
    if (t.find_first_of("\r\n") != std::string_view::npos) return false;
    if (IsBlank(t.front()) || IsBlank(t.back())) return false;
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front()) return false;
    return true;
}

bool FaceUnchanged(const FontRecord& font) {
    size_t n = strnlen(font.lfFaceName, sizeof font.lfFaceName);
    return n > 0 && !IsBlank(font.lfFaceName[n - 1]);
}

// Written back and loaded again: numbers, colours, the host list, the
// rectangle and the flag of End_Status as they were; the mode statuses as
// their flags; texts and fonts as they were where the store leaves them so.
void CheckWrittenBack(const Loaded& a, const Loaded& b) {
    const Settings& s = a.settings;
    const Settings& t = b.settings;
    if (s.Port_Number != t.Port_Number || s.Number != t.Number || s.Split1_Pos != t.Split1_Pos ||
        s.Split2_Pos != t.Split2_Pos || s.Split3_Pos != t.Split3_Pos)
        std::abort();
    const uint32_t Settings::*colours[] = {&Settings::InArea_TextColor, &Settings::InArea_BackColor,
                                           &Settings::OuArea_TextColor, &Settings::OuArea_BackColor,
                                           &Settings::UsArea_TextColor, &Settings::UsArea_BackColor,
                                           &Settings::Msg_TextColor};
    for (auto colour : colours)
        if (s.*colour != t.*colour) std::abort();
    for (int i = 0; i < kMaxHostAddresses; ++i)
        if (s.Address[i].marker != t.Address[i].marker || s.Address[i].address != t.Address[i].address)
            std::abort();
    if (a.rect.left != b.rect.left || a.rect.top != b.rect.top || a.rect.right != b.rect.right ||
        a.rect.bottom != b.rect.bottom)
        std::abort();
    if (a.flags.window_shown != b.flags.window_shown) std::abort();
    if (std::strcmp(t.Personal_Status, a.flags.personal_mode ? "On" : "Off") != 0) std::abort();
    if (std::strcmp(t.Popup_Status, a.flags.popup_mode ? "On" : "Off") != 0) std::abort();
    for (const SettingKey& key : kSettingKeys) {
        if (!std::holds_alternative<TextField>(key.field)) continue;
        std::span<const char> before = TextOfKey(key, s), after = TextOfKey(key, t);
        if (Unchanged(before) && std::strcmp(before.data(), after.data()) != 0) std::abort();
    }
    for (int pane = 0; pane < 3; ++pane)
        if (FaceUnchanged(s.pane_font[pane]) && !SameFont(s.pane_font[pane], t.pane_font[pane]))
            std::abort();
}

// Plain names and values: letters, digits and a few marks, nothing the file
// format gives a meaning.
bool Plain(const std::string& text, bool spaces_inside) {
    if (text.empty() || text.size() > 64) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool inner_space = spaces_inside && c == ' ' && i > 0 && i + 1 < text.size();
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || inner_space))
            return false;
    }
    return true;
}

// The store on names from the input: what it copies ends within the buffer,
// and a plain value written under plain names is read back as written.
void CheckNames(const std::string& section, const std::string& key, const std::string& value) {
    for (size_t size : {size_t{1}, size_t{2}, size_t{20}, key.size() + 1, size_t{300}}) {
        auto buf = std::make_unique<char[]>(size);
        size_t n = g_store.GetString(section.c_str(), key.c_str(), value.c_str(), buf.get(), size,
                                     g_path.c_str());
        if (n >= size || buf[n] != '\0' || std::strlen(buf.get()) != n) std::abort();
    }
    const bool written = g_store.WriteString(section.c_str(), key.c_str(), value.c_str(), g_path.c_str());
    if (written && Plain(section, false) && Plain(key, false) && Plain(value, true)) {
        char buf[100];
        g_store.GetString(section.c_str(), key.c_str(), "", buf, sizeof buf, g_path.c_str());
        if (value != buf) std::abort();
    }
}

// Texts up to the next NUL of the names, advancing through them.
std::string NextText(const uint8_t* names, size_t size, size_t* at) {
    size_t start = *at;
    while (*at < size && names[*at] != 0) ++*at;
    std::string text(reinterpret_cast<const char*>(names) + start, *at - start);
    if (*at < size) ++*at;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (SetUpOnce(), true);
    (void)ready;
    if (size == 0 || size > 8192) return 0;
    const size_t names_size = std::min<size_t>(data[0], size - 1);
    const uint8_t* names = data + 1;
    size_t at = 0;
    const std::string section = NextText(names, names_size, &at);
    const std::string key = NextText(names, names_size, &at);
    const std::string value = NextText(names, names_size, &at);
    PutFile(names + names_size, size - 1 - names_size);

    auto first = std::make_unique<Loaded>();
    Load(section.c_str(), first.get());
    CheckSound(first->settings);
    // The mode flags the statuses are written from.
    first->flags.personal_mode = (data[0] & 1) != 0;
    first->flags.popup_mode = (data[0] & 2) != 0;

    CheckNames(section, key, value);

    const KeySources from{.settings = &first->settings, .flags = &first->flags, .rect = &first->rect};
    for (const SettingKey& entry : kSettingKeys)
        if (WriteSettingKey(g_store, g_path.c_str(), entry, from) != 1) std::abort();
    auto second = std::make_unique<Loaded>();
    Load(section.c_str(), second.get());
    CheckSound(second->settings);
    CheckWrittenBack(*first, *second);
    return 0;
}
