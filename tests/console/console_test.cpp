#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "console/console_peer.h"
#include "console/console_views.h"
#include "console/probe.h"
#include "console/text_codec.h"
#include "tests/net/net_fakes.h"

TEST(ConsoleLine, CommandsAndChatLines) {
    EXPECT_EQ(ConsoleCommand::Start, ParseConsoleLine("/start\r\n").command);
    ParsedLine status = ParseConsoleLine("/status 会議中 です");
    EXPECT_EQ(ConsoleCommand::Status, status.command);
    EXPECT_EQ("会議中 です", status.argument);
    EXPECT_EQ(ConsoleCommand::Unknown, ParseConsoleLine("/sta").command);
    EXPECT_EQ(ConsoleCommand::Say, ParseConsoleLine("hello /start").command);
    EXPECT_EQ(ConsoleCommand::Empty, ParseConsoleLine("\n").command);
    ParsedLine to = ParseConsoleLine("/to 10.0.0.1,10.0.0.2 hi there");
    EXPECT_EQ(ConsoleCommand::To, to.command);
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "10.0.0.2"}), to.addresses);
    EXPECT_EQ("hi there", to.argument);
    EXPECT_EQ(ConsoleCommand::Unknown, ParseConsoleLine("/to").command);
    EXPECT_EQ(ConsoleCommand::PopupTo, ParseConsoleLine("/popupto 10.0.0.1, x").command);
}

TEST(ConsoleOptions, DirectoryAndErrors) {
    const char* ok[] = {"mosswick-console", "--dir", "/tmp/x"};
    EXPECT_EQ("/tmp/x", ParseConsoleOptions(3, const_cast<char**>(ok)).directory);
    const char* missing[] = {"mosswick-console", "--dir"};
    EXPECT_FALSE(ParseConsoleOptions(2, const_cast<char**>(missing)).error.empty());
    const char* unknown[] = {"mosswick-console", "--port", "1"};
    EXPECT_FALSE(ParseConsoleOptions(3, const_cast<char**>(unknown)).error.empty());
}

// The rows behave like the window's list view: found from the last row, and a
// change of status keeps the address when none is given.
TEST(ConsoleOptions, ProbeAndItsNumbers) {
    const char* probe[] = {"mosswick-console", "--probe", "10.0.0.5", "--port", "55701", "--wait", "5"};
    ConsoleOptions options = ParseConsoleOptions(7, const_cast<char**>(probe));
    EXPECT_TRUE(options.error.empty());
    EXPECT_TRUE(options.probe);
    EXPECT_EQ("10.0.0.5", options.probe_options.address);
    EXPECT_EQ(55701, options.probe_options.port);
    EXPECT_EQ(5000, options.probe_options.wait_ms);
    for (const char* bad : {"0", "65536", "-1", "5x", "", "99999999999"}) {
        const char* argv[] = {"mosswick-console", "--probe", "10.0.0.5", "--port", bad};
        EXPECT_FALSE(ParseConsoleOptions(5, const_cast<char**>(argv)).error.empty()) << bad;
    }
    const char* no_value[] = {"mosswick-console", "--probe"};
    EXPECT_FALSE(ParseConsoleOptions(2, const_cast<char**>(no_value)).error.empty());
}

TEST(ConsoleViews, RowsFoundFromTheLast) {
    std::FILE* sink = std::tmpfile();
    ConsoleViews views(sink);
    views.AddUserRow("a", "s", "10.0.0.1");
    views.AddUserRow("b", "s", "10.0.0.2");
    views.AddUserRow("a", "t", "10.0.0.3");
    EXPECT_EQ(2, views.FindUserRow(0, "a"));
    EXPECT_EQ(1, views.FindUserRow(2, "10.0.0.2"));
    EXPECT_EQ(-1, views.FindUserRow(1, "x"));
    views.SetUserRow(1, "b2", "away", nullptr);
    EXPECT_EQ("10.0.0.2", views.Rows()[1].address);
    views.DeleteUserRow(7);  // out of range: nothing happens
    views.DeleteUserRow(0);
    EXPECT_EQ(2u, views.Rows().size());
    std::fclose(sink);
}

// Literals are CP932 in this build; u8 literals stay UTF-8.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(ConsoleText, Cp932RoundTripAndBrokenBytes) {
    EXPECT_EQ(std::string("受信可"), Utf8ToCp932(Utf8(u8"受信可")));
    EXPECT_EQ(Utf8(u8"受信可"), Cp932ToUtf8("受信可"));
    // A cut double-byte character from a peer prints as '?', never stops the output.
    EXPECT_EQ("ab?", Cp932ToUtf8("ab\x82"));
}

// The whiteboard commands: what a good line makes, and the reason a bad one
// is refused.
TEST(ConsoleBoardLine, StrokesAndClears) {
    ParsedLine stroke = ParseConsoleLine("/stroke Ff0080 8  10,20 25,30\t40,50");
    ASSERT_EQ(ConsoleCommand::Stroke, stroke.command) << stroke.error;
    EXPECT_EQ("colour ff0080 width 8 points 3 (10,20)-(40,50)", BoardLine(stroke.stroke));
    EXPECT_EQ(25, stroke.stroke.x[1]);
    EXPECT_EQ(30, stroke.stroke.y[1]);
    EXPECT_TRUE(stroke.receivers.empty());
    ParsedLine to = ParseConsoleLine("/stroketo 198.18.0.12,198.18.0.13, 000000 65535 65535,0");
    ASSERT_EQ(ConsoleCommand::StrokeTo, to.command) << to.error;
    EXPECT_EQ((std::vector<uint32_t>{Ip(198, 18, 0, 12), Ip(198, 18, 0, 13)}), to.receivers);
    EXPECT_EQ("colour 000000 width 65535 points 1 (65535,0)", BoardLine(to.stroke));
    ParsedLine clear = ParseConsoleLine("/clearto 198.18.0.12");
    EXPECT_EQ(ConsoleCommand::ClearTo, clear.command);
    EXPECT_EQ((std::vector<uint32_t>{Ip(198, 18, 0, 12)}), clear.receivers);
    EXPECT_EQ(1, clear.stroke.clear);
    EXPECT_EQ(0, clear.stroke.count);
    EXPECT_EQ(1, ParseConsoleLine("/clear").stroke.clear);

    // A hundred points is the most one datagram carries.
    std::string hundred = "/stroke 000000 1";
    for (int i = 0; i < kMaxBoardPoints; ++i) hundred += " " + std::to_string(i) + ",1";
    EXPECT_EQ(kMaxBoardPoints, ParseConsoleLine(hundred).stroke.count);
    EXPECT_NE(std::string::npos, ParseConsoleLine(hundred + " 1,1").error.find("at most 100"));
}

TEST(ConsoleBoardLine, MalformedLinesSayWhatIsWrong) {
    const char* const cases[][2] = {  // the line, words its error holds
        {"/stroke", "needs RRGGBB WIDTH"},
        {"/stroke ff0000 8", "needs RRGGBB WIDTH"},
        {"/stroke ff000 8 1,1", "not a colour"},
        {"/stroke #ff0000 8 1,1", "not a colour"},
        {"/stroke ff0000 -1 1,1", "not a width"},
        {"/stroke ff0000 65536 1,1", "not a width"},
        {"/stroke ff0000 8 1,1 2", "not a point X,Y (each 0 to 65535): 2"},
        {"/stroke ff0000 8 1,", "not a point"},
        {"/stroke ff0000 8 1,2,3", "not a point"},
        {"/stroke ff0000 8 70000,1", "not a point"},
        {"/stroketo", "addresses are missing"},
        {"/stroketo ff0000 8 1,1 2,2", "not an address: ff0000"},
        {"/stroketo 198.18.0.12,nowhere 000000 1 1,1", "not an address: nowhere"},
        {"/stroketo 255.255.255.255 000000 1 1,1", "not an address"},
        {"/stroketo 198.18.0.12 000000 1", "needs RRGGBB WIDTH"},
        {"/clear now", "unexpected after the command: now"},
        {"/clearto", "addresses are missing"},
    };
    for (const auto& c : cases) {
        ParsedLine parsed = ParseConsoleLine(c[0]);
        EXPECT_EQ(ConsoleCommand::Malformed, parsed.command) << c[0];
        EXPECT_NE(std::string::npos, parsed.error.find(c[1])) << c[0] << " -> " << parsed.error;
        EXPECT_TRUE(parsed.receivers.empty()) << c[0];
    }
    EXPECT_EQ(ConsoleCommand::Unknown, ParseConsoleLine("/strokes ff0000 8 1,1").command);
}

class ConsoleBoardTest : public NetFixture {
protected:
    const uint32_t own = Ip(198, 18, 0, 11), peer = Ip(198, 18, 0, 12), other = Ip(198, 18, 0, 13);

    void Join() {
        StartWithOwnAddress(own);
        Bytes list = EntryDatagram(KIND_USERLIST, peer, {Entry(peer, "蓮見"), Entry(other, "c")});
        TakeEntries(list.data(), static_cast<int>(list.size()));
        socket.sent.clear();
    }
    static Bytes Datagram(uint32_t from, const char* command, uint16_t all_count = 7) {
        Bytes datagram(kBoardSize);
        BuildBoardDatagram(datagram.data(), from, all_count, ParseConsoleLine(command).stroke);
        return datagram;
    }
    static std::string Printed(std::FILE* file) {
        std::string text(static_cast<size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        text.resize(std::fread(text.data(), 1, text.size(), file));
        return text;
    }
};

// One line per datagram, read only from the bytes received, with the
// sender's name when the peer table holds it.
TEST_F(ConsoleBoardTest, ReceivedStrokesPrintOneLineEach) {
    Join();
    std::FILE* file = std::tmpfile();
    ConsoleViews views(file);
    InstallViews(&views);
    Bytes stroke = Datagram(Ip(198, 18, 0, 40), "/stroke ff0000 8 10,20 25,30 40,50");
    views.DeliverBoardData(stroke.data(), kBoardSize);
    views.DeliverBoardData(stroke.data(), 40);  // cut after the first point
    socket.Deliver(Datagram(peer, "/clear"), peer);
    SocketEvent(1);  // through the receive path
    EXPECT_EQ(Utf8(u8"[board] 198.18.0.40 colour ff0000 width 8 points 3 (10,20)-(40,50)\n"
                   u8"[board] 198.18.0.40 colour ff0000 width 8 points 3 (10,20)-(0,0)\n"
                   u8"[board] 蓮見 clear\n"),
              Printed(file));
    std::fclose(file);
}

// A command puts the stroke typed on the wire: one datagram for each peer
// after the own entry, or for each address typed.
TEST_F(ConsoleBoardTest, CommandsSendTheStrokeTyped) {
    Join();
    std::string failed;
    ASSERT_TRUE(SendBoardCommand(ParseConsoleLine("/stroke ff0080 4 10,20 25,30 40,50"), &failed));
    ASSERT_EQ(2u, socket.sent.size());
    EXPECT_EQ(peer, socket.sent[0].address);
    EXPECT_EQ(other, socket.sent[1].address);
    const Bytes& d = socket.sent[0].bytes;
    uint16_t all_count = ReadHeader(d.data(), kBoardSize).allCount;
    EXPECT_EQ(Datagram(own, "/stroke ff0080 4 10,20 25,30 40,50", all_count), d);
    EXPECT_EQ(d, socket.sent[1].bytes);
    EXPECT_EQ(0, PendingCount());  // strokes are never resent

    socket.sent.clear();
    socket.failing = {peer};
    EXPECT_FALSE(SendBoardCommand(ParseConsoleLine("/clearto 198.18.0.12,198.18.0.99"), &failed));
    EXPECT_EQ("198.18.0.12", failed);  // named, and the next receiver still gets its own
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(Ip(198, 18, 0, 99), socket.sent[0].address);
    const Bytes& c = socket.sent[0].bytes;
    EXPECT_EQ(Datagram(own, "/clear", ReadHeader(c.data(), kBoardSize).allCount), c);
}

// The probe on this machine's own address, where nothing listens on the
// port: its check comes back to its own socket on the port, which is no
// answer and no silence but a port with nobody on it.
TEST(ConsoleProbe, ThisMachinesAddressWithNothingOnThePortIsToldSo) {
    int holder = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in any = {};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, bind(holder, reinterpret_cast<sockaddr*>(&any), sizeof any));
    socklen_t size = sizeof any;
    ASSERT_EQ(0, getsockname(holder, reinterpret_cast<sockaddr*>(&any), &size));
    close(holder);  // a port that was free a moment ago

    ProbeOptions options;
    options.address = "127.0.0.1";
    options.port = ntohs(any.sin_port);
    options.wait_ms = 2000;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(1, RunProbe(options, out));
    std::rewind(out);
    char report[512] = {};
    ASSERT_NE(nullptr, std::fgets(report, sizeof report, out));
    std::fclose(out);
    EXPECT_NE(nullptr, std::strstr(report, "that is this machine")) << report;
}
