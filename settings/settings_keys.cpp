#include "settings/settings_keys.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/profile_store.h"
#include "platform/inet_address.h"
#include "settings/number_scan.h"
#include "settings/program_paths.h"
#include "settings/window_modes.h"

namespace {

// Room for the longest value any key is read into.
constexpr size_t kLongestValue = std::max(kNumberValueSize, kFontValueSize);

// The checks a mistake in the table fails at compile time.

constexpr bool FitsReadBuffer(const SettingKey& key) {
    return key.size > 0 && key.size <= kLongestValue;
}

// A text key is read straight into its field: its size must be the field's.
constexpr bool SizeIsField(const SettingKey& key) {
    Settings s;
    if (std::holds_alternative<TextField>(key.field)) {
        return std::get<TextField>(key.field).of(s).size() == key.size;
    }
    if (std::holds_alternative<ModeStatus>(key.field)) {
        return std::get<ModeStatus>(key.field).text.of(s).size() == key.size;
    }
    return true;
}

// The kind tells the settings sheet what the field holds.
constexpr bool KindFitsField(const SettingKey& key) {
    switch (key.kind) {
        case KEY_YES_NO:
            return std::holds_alternative<TextField>(key.field);
        case KEY_TEXT:
            return std::holds_alternative<TextField>(key.field) ||
                   std::holds_alternative<FlagWords>(key.field) ||
                   std::holds_alternative<ModeStatus>(key.field);
        case KEY_NUMBER:
            return std::holds_alternative<NumberField>(key.field) ||
                   std::holds_alternative<WindowEdge>(key.field) ||
                   std::holds_alternative<HostCount>(key.field);
        case KEY_COLOUR:
            return std::holds_alternative<ColourField>(key.field);
        case KEY_FONT:
            return std::holds_alternative<FontField>(key.field);
        case KEY_ADDRESS_LIST:
            return std::holds_alternative<HostList>(key.field);
    }
    return false;
}

constexpr bool SameKeyName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

// Keys match without regard to case in the file, so no two may differ only
// in case, and the lookup by name must find each entry.
constexpr bool EveryKeyOnce() {
    for (const SettingKey& a : kSettingKeys) {
        if (FindSettingKey(a.key) != &a) return false;
        for (const SettingKey& b : kSettingKeys) {
            if (&a != &b && SameKeyName(a.key, b.key)) return false;
        }
    }
    return true;
}

static_assert(std::ranges::all_of(kSettingKeys, FitsReadBuffer));
static_assert(std::ranges::all_of(kSettingKeys, SizeIsField));
static_assert(std::ranges::all_of(kSettingKeys, KindFitsField));
static_assert(EveryKeyOnce());

// "Address01" for position 1.
std::string ListKey(const SettingKey& key, int position) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", key.key, position);
    return name;
}

int16_t HeldToList(int32_t count) {
    return static_cast<int16_t>(std::clamp<int32_t>(count, 0, kMaxHostAddresses));
}

// Reads one key into its field; one call operator per kind of field.
class KeyReader {
public:
    KeyReader(ProfileStore& store, const char* path, const SettingKey& key, const char* fallback,
              const KeyTargets& into)
        : store_(store), path_(path), key_(key), fallback_(fallback), into_(into) {}

    void operator()(const TextField& f) { ReadText(f); }
    void operator()(const ModeStatus& f) { ReadText(f.text); }
    void operator()(const NumberField& f) { into_.settings.*f.field = Number(); }
    void operator()(const ColourField& f) {
        into_.settings.*f.field = static_cast<uint32_t>(Number());
    }
    void operator()(const WindowEdge& f) { into_.rect.*f.edge = Number(); }
    void operator()(const HostCount& f) { into_.settings.*f.field = HeldToList(Number()); }
    void operator()(const FlagWords& f) { into_.flags.*f.flag = Value(key_.key)[0] == f.on[0]; }

    void operator()(const FontField& f) {
        const char* value = Value(key_.key);
        FontRecord font;
        if (value[0] == 'N' || !ParseFontValue(value, &font)) font = DefaultFontRecord();
        into_.settings.pane_font[f.pane] = font;
    }

    void operator()(const HostList& f) {
        HostAddressEntry* list = into_.settings.*f.list;
        for (int i = 0; i < into_.settings.Number; ++i) {
            const char* value = Value(ListKey(key_, i + 1).c_str());
            list[i].marker = value[0] == '@' ? 1 : 0;
            list[i].address = ParseInetAddress(value + list[i].marker);
        }
    }

private:
    void ReadText(const TextField& f) {
        store_.GetString(key_.section, key_.key, fallback_, f.of(into_.settings).data(), key_.size,
                         path_);
    }
    const char* Value(const char* name) {
        store_.GetString(key_.section, name, fallback_, value_, key_.size, path_);
        return value_;
    }
    int32_t Number() { return ScanNumber(Value(key_.key)); }

    ProfileStore& store_;
    const char* path_;
    const SettingKey& key_;
    const char* fallback_;
    const KeyTargets& into_;
    char value_[kLongestValue];
};

// Writes one key from its record; false when a write failed or the record
// is not given.
class KeyWriter {
public:
    KeyWriter(ProfileStore& store, const char* path, const SettingKey& key, const KeySources& from)
        : store_(store), path_(path), key_(key), from_(from) {}

    bool operator()(const TextField& f) {
        if (!HasSettings()) return false;
        std::span<const char> text = f.of_const(*from_.settings);
        return Put(key_.key, std::string(text.data(), strnlen(text.data(), text.size())).c_str());
    }
    bool operator()(const NumberField& f) {
        return HasSettings() && Decimal(from_.settings->*f.field);
    }
    bool operator()(const ColourField& f) {
        return HasSettings() && Decimal(static_cast<int32_t>(from_.settings->*f.field));
    }
    bool operator()(const HostCount& f) {
        return HasSettings() && Decimal(from_.settings->*f.field);
    }
    bool operator()(const WindowEdge& f) {
        return from_.rect != nullptr && Decimal(from_.rect->*f.edge);
    }
    bool operator()(const FlagWords& f) {
        return from_.flags != nullptr && Put(key_.key, from_.flags->*f.flag ? f.on : f.off);
    }
    bool operator()(const ModeStatus& f) { return (*this)(f.words); }

    bool operator()(const FontField& f) {
        if (!HasSettings()) return false;
        char value[kFontValueSize];
        FormatFontValue(from_.settings->pane_font[f.pane], value);
        return Put(key_.key, value);
    }

    // Every entry is attempted, as the window-information save attempts
    // every key.
    bool operator()(const HostList& f) {
        if (!HasSettings()) return false;
        const HostAddressEntry* list = from_.settings->*f.list;
        bool all_written = true;
        for (int i = 0; i < HeldToList(from_.settings->Number); ++i) {
            char value[kNumberValueSize];
            std::snprintf(value, sizeof value, "%s%s", list[i].marker ? "@" : "",
                          FormatDottedAddress(list[i].address).c_str());
            if (!Put(ListKey(key_, i + 1).c_str(), value)) all_written = false;
        }
        return all_written;
    }

private:
    bool HasSettings() const { return from_.settings != nullptr; }
    bool Put(const char* name, const char* value) {
        return store_.WriteString(key_.section, name, value, path_);
    }
    bool Decimal(int32_t value) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
        return Put(key_.key, digits);
    }

    ProfileStore& store_;
    const char* path_;
    const SettingKey& key_;
    const KeySources& from_;
};

}  // namespace

void ReadSettingKey(ProfileStore& store, const char* ini_path, const SettingKey& key,
                    const char* fallback, const KeyTargets& into) {
    KeyReader reader(store, ini_path, key, fallback, into);
    std::visit(reader, key.field);
}

int WriteSettingKey(ProfileStore& store, const char* ini_path, const SettingKey& key,
                    const KeySources& from) {
    if (ini_path == nullptr || *ini_path == '\0') return 0;
    KeyWriter writer(store, ini_path, key, from);
    return std::visit(writer, key.field) ? 1 : 0;
}

int WriteSettingKey(ProfileStore& store, const char* ini_path, std::string_view key,
                    const KeySources& from) {
    const SettingKey* entry = FindSettingKey(key);
    return entry != nullptr ? WriteSettingKey(store, ini_path, *entry, from) : 0;
}

int WriteSettingKey(std::string_view key) {
    if (g_platform.profile == nullptr) return 0;
    return WriteSettingKey(*g_platform.profile, g_program_paths.ini_path, key,
                           KeySources{.settings = &g_settings, .flags = &g_modes});
}

int WriteSettingText(std::string_view key, const char* text, int position) {
    const SettingKey* entry = FindSettingKey(key);
    if (entry == nullptr || g_platform.profile == nullptr || g_program_paths.ini_path[0] == '\0') return 0;
    std::string name = position > 0 ? ListKey(*entry, position) : std::string(entry->key);
    return g_platform.profile->WriteString(entry->section, name.c_str(), text, g_program_paths.ini_path) ? 1 : 0;
}
