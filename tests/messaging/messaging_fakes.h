// Recording views for the messaging tests: the input area, the selection, the
// questions asked, the output area and the arrival notices; and a fixture on
// top of the network core's one with the own entry and two peers.
#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "messaging/chat_display.h"
#include "messaging/chat_send.h"
#include "messaging/output_line.h"
#include "platform/inet_address.h"
#include "settings/window_modes.h"
#include "tests/net/net_fakes.h"

class MessagingViews : public FakeViews, public ChatAreasView, public ArrivalView {
public:
    struct Line {
        std::string text;
        uint32_t colour;
        bool operator==(const Line&) const = default;
    };
    struct Arrival {
        ArrivalNotice notice;
        std::string sender;
    };

    std::string input;                   // the text typed
    std::vector<std::string> selection;  // the address texts of the rows selected
    std::vector<std::string> questions;
    std::deque<bool> answers;  // the answers to give, in order; Yes once they run out
    std::vector<Line> output;
    bool output_full = false;  // the next append overflows
    int output_clears = 0;
    std::vector<Arrival> arrivals;

    bool AskYesNo(const char* text, const char* title) override {
        questions.push_back(text);
        EXPECT_STREQ("Mosswick - 送信確認", title);
        if (answers.empty()) return true;
        bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    bool AppendOutput(const char* line, uint32_t colour) override {
        if (output_full) {
            output_full = false;
            output.clear();
            ++output_clears;
            return false;
        }
        output.push_back({line, colour});
        return true;
    }
    void Notify(ArrivalNotice notice, const char* sender) override { arrivals.push_back({notice, sender}); }

    std::vector<std::string> OutputTexts() const {
        std::vector<std::string> out;
        for (const Line& l : output) out.push_back(l.text);
        return out;
    }
};

class MessagingFixture : public NetFixture {
protected:
    MessagingViews out;

    static constexpr uint32_t kOwnColour = 0x00112233;
    static constexpr uint32_t kPeerColour = 0x000080FF;
    const uint32_t own = Ip(198, 18, 0, 1);
    const uint32_t peer2 = Ip(198, 18, 0, 2);
    const uint32_t peer3 = Ip(198, 18, 0, 3);

    void SetUp() override {
        NetFixture::SetUp();
        InstallViews(&out);
        std::strcpy(g_settings.Date_View, "No");
        std::strcpy(g_settings.Time_View, "No");
        std::strcpy(g_settings.ChatMsg_Recieve, "None");
        std::strcpy(g_settings.ChatMsg_Recieve_At_Toray, "None");
        std::strcpy(g_settings.OuArea_TextColor_Force, "No");
        std::strcpy(g_settings.Broadcast_Send_Check, "No");
        std::strcpy(g_settings.Personal_Send_Check, "No");
        std::strcpy(g_settings.Popup_Send_Check, "No");
        g_settings.Msg_TextColor = kOwnColour;
        g_modes.window_shown = true;
        StartWithOwnAddress(own);
        UserEntry b = Entry(peer2, "bob");
        SetEntryColour(&b, kPeerColour);
        TakeEntries(EntryDatagram(KIND_USERLIST, peer2, {b, Entry(peer3, "carol")}).data(),
                     kHeaderSize + 2 * kUserEntrySize);
    }

    // A chat datagram as received from `from`.
    static Bytes Chat(uint32_t from, int16_t number, const char* text) {
        Bytes b(kMessageBufferSize, 0);
        int len = BuildChatDatagram(b.data(), from, 3000, number, text, std::strlen(text));
        b.resize(static_cast<size_t>(len));
        return b;
    }

    int16_t StoredCounter(uint32_t address) const { return g_peer_table.entries[FindPeerByAddress(address)].cnt; }

    // The send command as the window gives it: the typed text and the rows
    // selected; the typed text is emptied once the message is out.
    void SendTyped(bool personal, bool popup) {
        std::vector<uint32_t> selected;
        for (const std::string& row : out.selection) selected.push_back(UserAddressOf(row));
        if (SendChatMessage(out.input, personal, popup, selected)) out.input.clear();
    }
};
