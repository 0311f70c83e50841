#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "messaging/log_file.h"
#include "tests/messaging/messaging_fakes.h"

namespace {

class OutputLineTest : public MessagingFixture {
protected:
    std::string dir, path;
    void SetUp() override {
        MessagingFixture::SetUp();
        std::strcpy(g_settings.Debug, "Yes");
        char tmpl[] = "/tmp/mosswick-out-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir = tmpl;
        path = dir + "/Mosslog.txt";
    }
    void TearDown() override {
        MessagingFixture::TearDown();
        std::remove(path.c_str());
        rmdir(dir.c_str());
    }
    void StartLogging(const std::string& at) {
        ASSERT_TRUE(SwitchLogging(true, at.c_str()));
    }
    std::string Logged() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(OutputLineTest, LinesGoToTheLogOnlyWhileLogging) {
    AppendOutputLine("before\r\n", 1);
    StartLogging(path);
    Bytes dg = Chat(peer2, 1001, "日本語のテキスト");
    DisplayChatMessage(dg.data(), static_cast<int>(dg.size()));
    AppendOutputLine("plain\r\n", 2);
    EXPECT_EQ("1 bob > 日本語のテキスト\r\nplain\r\n", Logged());
    EXPECT_EQ(3u, out.output.size());
    EXPECT_TRUE(out.Reports().empty());
}

TEST_F(OutputLineTest, LineThatOverflowsTheOutputAreaIsStillLogged) {
    StartLogging(path);
    AppendOutputLine("one\r\n", 0);
    out.output_full = true;
    AppendOutputLine("two\r\n", 0);
    AppendOutputLine("three\r\n", 0);
    EXPECT_EQ(1, out.output_clears);
    EXPECT_EQ((std::vector<std::string>{"three\r\n"}), out.OutputTexts());
    EXPECT_EQ("one\r\ntwo\r\nthree\r\n", Logged());
}

TEST_F(OutputLineTest, LogThatCannotBeWrittenEndsLoggingButNotTheLine) {
    struct stat st;
    if (stat("/dev/full", &st) != 0) GTEST_SKIP() << "no /dev/full on this system";
    StartLogging("/dev/full");
    AppendOutputLine("lost on disk\r\n", 0);
    EXPECT_FALSE(LoggingOn());
    EXPECT_EQ((std::vector<std::string>{"lost on disk\r\n"}), out.OutputTexts());
    AppendOutputLine("next\r\n", 0);  // logging is off: no more reports
    EXPECT_EQ((std::vector<std::string>{"001f:0040"}), out.Reports());
}

TEST_F(OutputLineTest, DeletedLogThatCannotBeReopenedLeavesLoggingOff) {
    StartLogging(path);
    AppendOutputLine("kept\r\n", 0);
    ASSERT_TRUE(DeleteLog(path.c_str()));
    EXPECT_TRUE(LoggingOn());
    EXPECT_EQ("", Logged());  // a new empty log
    // The folder goes away: the new log after a deletion cannot be opened.
    const std::string moved = dir + "-moved";
    ASSERT_EQ(0, std::rename(dir.c_str(), moved.c_str()));
    EXPECT_FALSE(DeleteLog(path.c_str()));
    EXPECT_FALSE(LoggingOn());
    AppendOutputLine("line\r\n", 0);
    EXPECT_EQ(2u, out.output.size());
    EXPECT_EQ((std::vector<std::string>{"001f:0020"}), out.Reports());
    ASSERT_EQ(0, std::rename(moved.c_str(), dir.c_str()));
}

}  // namespace
