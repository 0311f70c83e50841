#include <gtest/gtest.h>

#include <cstdio>

#include "console/console_peer.h"
#include "console/console_views.h"
#include "console/text_codec.h"

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
