#include "console/console_views.h"

#include "console/text_codec.h"
#include "messaging/popup_message.h"
#include "net/datagram.h"
#include "platform/inet_address.h"
#include "net/peer_table.h"

namespace {

const char* IconWord(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information: return "info";
        case BoxIcon::Warning: return "warning";
        case BoxIcon::Error: return "error";
        case BoxIcon::Exclamation: return "notice";
    }
    return "message";
}

// The sender's name from the peer table, or its dotted address when the
// table does not hold it (CP932).
std::string SenderName(const uint8_t* datagram, int length) {
    uint32_t sender = ReadHeader(datagram, length).addr;
    PeerEntry entry;
    return LookUpPeer(sender, &entry) ? std::string(entry.from, BoundedLength(entry.from, sizeof entry.from))
                                      : FormatDottedAddress(sender);
}

const std::string& Column(const UserRow& row, int column) {
    return column == 0 ? row.name : column == 1 ? row.status : row.address;
}

std::string Point(const BoardStroke& stroke, int index) {
    return "(" + std::to_string(stroke.x[index]) + "," + std::to_string(stroke.y[index]) + ")";
}

}  // namespace

std::string BoardLine(const BoardStroke& stroke) {
    if (stroke.clear == 1) return "clear";
    char head[64];
    std::snprintf(head, sizeof head, "colour %02x%02x%02x width %u points %u", stroke.red, stroke.green,
                  stroke.blue, static_cast<unsigned>(stroke.width), static_cast<unsigned>(stroke.count));
    std::string line = head;
    if (stroke.count >= 1) line += " " + Point(stroke, 0);
    if (stroke.count >= 2) line += "-" + Point(stroke, stroke.count - 1);
    return line;
}

void ConsoleViews::PrintLine(const std::string& prefix, const std::string& cp932_text) {
    std::fprintf(out_, "%s%s\n", prefix.c_str(), Cp932ToUtf8(cp932_text).c_str());
    if (!holding_) std::fflush(out_);
}

void ConsoleViews::DrawHeld() {
    holding_ = false;
    std::fflush(out_);
}

void ConsoleViews::ShowMessage(const char* text, const char* title, BoxIcon icon) {
    std::string line = std::string(title) + ": " + text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    PrintLine(std::string("[") + IconWord(icon) + "] ", line);
}

void ConsoleViews::SetStatusPart(int, const char*) {}

// A popup prints with its sender's name, as its window would show it.
PopupStart ConsoleViews::StartPopupWindow(const uint8_t* datagram, int length) {
    PrintLine("[popup] ", SenderName(datagram, length) + " > " + PopupText(*MakePopupRecord(datagram, length)));
    return PopupStart::Opened;
}

// A stroke prints as one line with its sender, read only from the bytes
// received.
void ConsoleViews::DeliverBoardData(const uint8_t* datagram, int length) {
    PrintLine("[board] ", SenderName(datagram, length) + " " + BoardLine(ReadBoardDatagram(datagram, length)));
}

// Nobody is there to answer a question: the console always goes ahead.
bool ConsoleViews::AskYesNo(const char*, const char*) { return true; }

// The line as the output area shows it, without its line end.
bool ConsoleViews::AppendOutput(const char* line, uint32_t) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    PrintLine("", text);
    return true;
}

int ConsoleViews::FindUserRow(int column, const char* text) {
    for (int i = static_cast<int>(rows_.size()) - 1; i >= 0; --i)
        if (Column(rows_[static_cast<size_t>(i)], column) == text) return i;
    return -1;
}

void ConsoleViews::AddUserRow(const char* name, const char* status, const char* address) {
    rows_.push_back(UserRow{name, status, address});
}

void ConsoleViews::SetUserRow(int row, const char* name, const char* status, const char* address) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    UserRow& r = rows_[static_cast<size_t>(row)];
    r.name = name;
    r.status = status;
    if (address != nullptr) r.address = address;
}

void ConsoleViews::DeleteUserRow(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    rows_.erase(rows_.begin() + row);
}

void ConsoleViews::DeleteAllUserRows() {
    rows_.clear();
}

void ConsoleViews::ShowStartEndState(StartEndState state) {
    std::fprintf(out_, "[state] %s\n", state == StartEndState::Started ? "started" : "ended");
    std::fflush(out_);
}

void ConsoleViews::PrintUsers() {
    printed_ = rows_;
    std::fprintf(out_, "[users] %zu\n", rows_.size());
    for (const UserRow& r : rows_)
        PrintLine("  ", r.name + "\t" + r.status + "\t" + r.address);
}

void ConsoleViews::PrintUsersIfChanged() {
    if (rows_ != printed_) PrintUsers();
}
