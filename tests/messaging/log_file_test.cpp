#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "messaging/log_file.h"
#include "tests/net/net_fakes.h"

namespace {

class LogFileTest : public NetFixture {
protected:
    std::string dir, path;
    void SetUp() override {
        NetFixture::SetUp();
        std::strcpy(g_settings.Debug, "Yes");  // reports become visible
        char tmpl[] = "/tmp/mosswick-log-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir = tmpl;
        path = dir + "/Mosslog.txt";
    }
    void TearDown() override {
        NetFixture::TearDown();
        std::remove(path.c_str());
        rmdir(dir.c_str());
    }
    std::string Contents() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(LogFileTest, AppendsBytesUnchangedAcrossOpens) {
    ASSERT_TRUE(LogOpen(path.c_str()));
    EXPECT_TRUE(LoggingOn());
    const std::string line = "[03/14 09:05] 7 user1 > hello\r\n";
    ASSERT_TRUE(LogWrite(line.data(), line.size()));
    EXPECT_EQ(line, Contents());  // on disk at once
    ASSERT_TRUE(LogClose());
    EXPECT_FALSE(LoggingOn());
    ASSERT_TRUE(LogOpen(path.c_str()));
    ASSERT_TRUE(LogWrite("a\nb\0c", 5));
    LogFlush();
    ASSERT_TRUE(LogClose());
    EXPECT_EQ(line + std::string("a\nb\0c", 5), Contents());
    EXPECT_TRUE(views.Reports().empty());
}

TEST_F(LogFileTest, MisuseIsReportedAndFails) {
    EXPECT_FALSE(LogWrite("x", 1));
    EXPECT_FALSE(LogClose());
    LogFlush();  // nothing open: nothing happens
    ASSERT_TRUE(LogOpen(path.c_str()));
    EXPECT_FALSE(LogOpen(path.c_str()));
    EXPECT_TRUE(LoggingOn());  // the first stays open
    EXPECT_TRUE(LogWrite("y", 1));
    EXPECT_EQ((std::vector<std::string>{"001f:0030", "001f:0060", "001f:0010"}), views.Reports());
}

TEST_F(LogFileTest, UnopenablePathsFailAtStep20) {
    EXPECT_FALSE(LogOpen((dir + "/missing/Mosslog.txt").c_str()));
    EXPECT_FALSE(LogOpen(dir.c_str()));  // a directory
    EXPECT_FALSE(LoggingOn());
    EXPECT_EQ((std::vector<std::string>{"001f:0020", "001f:0020"}), views.Reports());
}

TEST_F(LogFileTest, WriteThatDoesNotFitFailsAtStep40) {
    struct stat st;
    if (stat("/dev/full", &st) != 0) GTEST_SKIP() << "no /dev/full on this system";
    ASSERT_TRUE(LogOpen("/dev/full"));
    EXPECT_FALSE(LogWrite("line\r\n", 6));
    LogClose();
    EXPECT_EQ("001f:0040", views.Reports().at(0));
}

}  // namespace
