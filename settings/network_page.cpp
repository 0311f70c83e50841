#include "settings/network_page.h"

#include <algorithm>
#include <cstring>

#include "platform/inet_address.h"
#include "settings/page_writes.h"
#include "settings/settings_keys.h"

namespace {

constexpr uint32_t kNoAddress = 0xFFFFFFFFu;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Text order without regard to case (bytes compared as unsigned).
bool Before(const std::string& a, const std::string& b) {
    return std::ranges::lexicographical_compare(a, b, [](char x, char y) {
        return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
    });
}

bool SameText(const std::string& a, const std::string& b) {
    return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string Bounded(const std::string& text) { return text.substr(0, std::min(text.size(), kHostTextLimit)); }

HostAddressEntry EntryOf(const std::string& text) {
    HostAddressEntry entry;
    entry.marker = !text.empty() && text[0] == '@' ? 1 : 0;
    entry.address = ParseInetAddress(text.c_str() + entry.marker);
    return entry;
}

}  // namespace

bool HostAddressAcceptable(const std::string& text, uint32_t own_address) {
    uint32_t address = ParseInetAddress(text.c_str());
    if (address == kNoAddress || address == own_address) return false;
    return !(AddressOctet(address, 0) == 127 && AddressOctet(address, 1) == 0 && AddressOctet(address, 2) == 0);
}

HostListEdit::HostListEdit(std::vector<std::string> texts) {
    for (const std::string& text : texts) Insert(Bounded(text));
    last_added_ = -1;
}

void HostListEdit::Insert(const std::string& text) {
    auto at = std::ranges::upper_bound(texts_, text, Before);
    last_added_ = static_cast<int>(at - texts_.begin());
    texts_.insert(at, text);
}

bool HostListEdit::Holds(const std::string& text) const {
    return std::ranges::any_of(texts_, [&](const std::string& held) { return SameText(held, text); });
}

HostListEdit::Added HostListEdit::Add(const std::string& typed, uint32_t own_address) {
    if (texts_.size() >= kMaxHostAddresses) return Added::Full;
    std::string text = Bounded(typed);
    if (text.empty() || Holds(text) || !HostAddressAcceptable(text, own_address)) return Added::Refused;
    Insert(text);
    return Added::Yes;
}

std::string HostListEdit::Remove(int index) {
    if (index < 0 || index >= static_cast<int>(texts_.size())) return {};
    std::string text = texts_[index];
    texts_.erase(texts_.begin() + index);
    return text;
}

bool HostListEdit::AddUserAddresses(const std::vector<std::string>& rows, uint32_t own_address) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (texts_.size() > kMaxHostAddresses - 1) return true;
        std::string text = Bounded(*row);
        if (Holds(text)) continue;
        if (!HostAddressAcceptable(text, own_address)) return false;
        Insert(text);
    }
    return false;
}

std::vector<std::string> HostTextsOf(const Settings& settings) {
    std::vector<std::string> texts;
    int count = std::clamp<int>(settings.Number, 0, kMaxHostAddresses);
    for (int i = 0; i < count; ++i) {
        const HostAddressEntry& entry = settings.Address[i];
        std::string text(entry.marker ? "@" : "");
        text += FormatDottedAddress(entry.address);
        texts.push_back(text);
    }
    return texts;
}

uint16_t ApplyNetworkPage(const NetworkChoice& choice) {
    StoreFlag(g_settings.Broadcast_LocalNetwork, choice.local_broadcast);
    StoreFlag(g_settings.Start_Send, choice.start_send);
    FailedStep failed;
    failed.Note(WriteSettingText("Port_Number", Bounded(choice.port_text).c_str()), 0x10);
    failed.Note(WriteSettingKey("Start_Send"), 0x20);
    failed.Note(WriteSettingKey("Broadcast_LocalNetwork"), 0x30);

    const int count = static_cast<int>(std::min<size_t>(choice.hosts.size(), kMaxHostAddresses));
    std::fill(std::begin(g_settings.Address), std::end(g_settings.Address), HostAddressEntry{});
    g_settings.Number = static_cast<int16_t>(count);
    for (int i = 0; i < count; ++i) g_settings.Address[i] = EntryOf(choice.hosts[i]);
    if (!failed.Note(WriteSettingKey("Number"), 0x40)) return failed.step();
    for (int i = 0; i < count; ++i) {
        if (!failed.Note(WriteSettingText("Address", choice.hosts[i].c_str(), i + 1), 0x60)) break;
    }
    return failed.step();
}
