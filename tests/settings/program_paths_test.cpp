// The program's directory, settings path and log path from its file's path.
#include <gtest/gtest.h>

#include <string>

#include "settings/program_paths.h"

namespace {

TEST(ProgramPaths, DirectoryKeepsItsDrive) {
    ProgramPaths p;
    ASSERT_TRUE(DeriveProgramPaths("D:\\Tools\\Mosswick\\Mosswick.exe", &p));
    EXPECT_STREQ(p.program_dir, "D:\\Tools\\Mosswick\\");
    EXPECT_STREQ(p.ini_path, "D:\\Tools\\Mosswick\\Mosswick.ini");
    EXPECT_STREQ(p.log_path, "D:\\Tools\\Mosswick\\Mosslog.txt");
}

TEST(ProgramPaths, OtherPathForms) {
    ProgramPaths p;
    ASSERT_TRUE(DeriveProgramPaths("/opt/mosswick/bin/mosswick-console", &p));
    EXPECT_STREQ(p.ini_path, "/opt/mosswick/bin/Mosswick.ini");
    ASSERT_TRUE(DeriveProgramPaths("C:/Programs\\Chat/Mosswick.exe", &p));
    EXPECT_STREQ(p.program_dir, "C:/Programs\\Chat/");
    ASSERT_TRUE(DeriveProgramPaths("\\\\server\\share\\Mosswick.exe", &p));
    EXPECT_STREQ(p.log_path, "\\\\server\\share\\Mosslog.txt");
    ASSERT_TRUE(DeriveProgramPaths("C:\\Mosswick.exe", &p));
    EXPECT_STREQ(p.program_dir, "C:\\");
}

TEST(ProgramPaths, TrailByteIsNoSeparator) {
    // "表" is 0x95 0x5C and "ソ" is 0x83 0x5C: their second bytes are '\' codes.
    ProgramPaths p;
    ASSERT_TRUE(DeriveProgramPaths("C:\\ソフト\\表.exe", &p));
    EXPECT_STREQ(p.program_dir, "C:\\ソフト\\");
    EXPECT_STREQ(p.ini_path, "C:\\ソフト\\Mosswick.ini");
}

TEST(ProgramPaths, UnusablePathsGiveNothing) {
    ProgramPaths p;
    EXPECT_FALSE(DeriveProgramPaths("Mosswick.exe", &p));
    EXPECT_STREQ(p.program_dir, "");
    EXPECT_STREQ(p.ini_path, "");
    EXPECT_FALSE(DeriveProgramPaths("", &p));

    // "Mosswick.ini" is 12 bytes: a directory of 248 bytes fits 261 with the NUL.
    std::string dir = "C:\\" + std::string(244, 'd') + "\\";
    ASSERT_EQ(dir.size(), 248u);
    EXPECT_TRUE(DeriveProgramPaths((dir + "Mosswick.exe").c_str(), &p));
    EXPECT_EQ(std::string(p.ini_path), dir + "Mosswick.ini");
    std::string longer = "C:\\" + std::string(245, 'd') + "\\";
    EXPECT_FALSE(DeriveProgramPaths((longer + "Mosswick.exe").c_str(), &p));
    EXPECT_STREQ(p.ini_path, "");
}

}  // namespace
