// One table of profile-string cases, run against the POSIX store natively and
// against Windows' own GetPrivateProfileStringA / WritePrivateProfileStringA
// (through the Win32 store) under Wine. Both runs passing is what shows the
// POSIX store reads and writes the settings file the way Windows does.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/font_value.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/window_information.h"
#include "settings/window_modes.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/profile_store_win32.h"
using StoreUnderTest = Win32ProfileStore;
#else
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/profile_store_posix.h"
using StoreUnderTest = PosixProfileStore;
#endif

namespace {

#ifdef _WIN32
const char kSeparator = '\\';

// A fresh directory under the Windows temp directory, as a full Windows path.
std::string MakeTempDir() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    for (unsigned n = 0;; ++n) {
        char dir[MAX_PATH * 2];
        std::snprintf(dir, sizeof dir, "%smosswick-profile-%lu-%u", base, GetCurrentProcessId(), n);
        if (CreateDirectoryA(dir, nullptr)) return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return "";
    }
}
void RemoveDir(const std::string& dir) { RemoveDirectoryA(dir.c_str()); }
#else
const char kSeparator = '/';

std::string MakeTempDir() {
    const char* tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/mosswick-profile-XXXXXX";
    return mkdtemp(templ.data()) ? templ : "";
}
void RemoveDir(const std::string& dir) { rmdir(dir.c_str()); }
#endif

bool FileExists(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir();
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
        RemoveDir(dir_);
    }

    // A new file name for every case: Windows may keep a file it read in a
    // cache, so no two cases share a file.
    std::string NewPath() {
        std::string path = dir_ + kSeparator + "case" + std::to_string(files_.size()) + ".ini";
        files_.push_back(path);
        return path;
    }
    static void Put(const std::string& path, const std::string& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    static std::string Slurp(const std::string& path) {
        std::string bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return "<no file>";
        char chunk[512];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
        std::fclose(f);
        return bytes;
    }

    std::string dir_;
    std::vector<std::string> files_;
    StoreUnderTest store_;
};

struct ReadCase {
    const char* what;
    const char* file;  // nullptr: no file at all
    const char* section;
    const char* key;
    const char* fallback;
    size_t size;
    const char* expected;
};

const ReadCase kReadCases[] = {
    {"absent file gives the default", nullptr, "S", "k", "dflt", 64, "dflt"},
    {"absent section gives the default", "[Other]\r\nk=v\r\n", "S", "k", "dflt", 64, "dflt"},
    {"absent key gives the default", "[S]\r\nother=v\r\n", "S", "k", "dflt", 64, "dflt"},
    {"empty value is empty, not the default", "[S]\r\nk=\r\n", "S", "k", "dflt", 64, ""},
    {"value cut to the buffer", "[S]\r\nk=abcdef\r\n", "S", "k", "D", 4, "abc"},
    {"value that just fits", "[S]\r\nk=abcdef\r\n", "S", "k", "D", 7, "abcdef"},
    {"buffer of one byte", "[S]\r\nk=abcdef\r\n", "S", "k", "D", 1, ""},
    {"default cut to the buffer", nullptr, "S", "k", "abcdef", 4, "abc"},
    {"default loses trailing spaces", nullptr, "S", "k", "one two  ", 64, "one two"},
    {"section matched without regard to case", "[Client_Definition]\r\nName=x\r\n",
     "CLIENT_definition", "Name", "D", 64, "x"},
    {"key matched without regard to case", "[S]\r\nPort_Number=55700\r\n", "S", "port_NUMBER", "D",
     64, "55700"},
    {"blanks around = and the value trimmed", "[S]\r\n  k \t=\t value with space \t\r\n", "S", "k",
     "D", 64, "value with space"},
    {"blanks inside the section brackets", "[ S ]\r\nk=v\r\n", "S", "k", "D", 64, "v"},
    {"CRLF line ends", "[S]\r\na=1\r\nk=v\r\nb=2\r\n", "S", "k", "D", 64, "v"},
    {"LF line ends", "[S]\na=1\nk=v\nb=2\n", "S", "k", "D", 64, "v"},
    {"last line without a line end", "[S]\r\nk=v", "S", "k", "D", 64, "v"},
    {"double quotes stripped", "[S]\r\nk=\"quoted\"\r\n", "S", "k", "D", 64, "quoted"},
    {"single quotes stripped", "[S]\r\nk='x'\r\n", "S", "k", "D", 64, "x"},
    {"blanks inside quotes kept", "[S]\r\nk=  \"  x  \"  \r\n", "S", "k", "D", 64, "  x  "},
    {"unpaired quote kept", "[S]\r\nk=\"abc\r\n", "S", "k", "D", 64, "\"abc"},
    {"a pair of quotes alone is empty", "[S]\r\nk=\"\"\r\n", "S", "k", "D", 64, ""},
    {"line without = gives the default", "[S]\r\nk\r\n", "S", "k", "D", 64, "D"},
    {"first of two equal keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "D", 64, "1"},
    {"same key in another section", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "B", "k", "D", 64, "2"},
    {"key before any section belongs to none", "k=0\r\n[S]\r\nx=1\r\n", "S", "k", "D", 64, "D"},
    {"text after the closing bracket ignored", "[S] note\r\nk=v\r\n", "S", "k", "D", 64, "v"},
    {"CP932 section, key and value", "[セクション]\r\n名前=日本語\r\n", "セクション", "名前", "D", 64,
     "日本語"},
    {"CP932 value that just fits", "[S]\r\nk=日本語の名前です山田\r\n", "S", "k", "D", 21,
     "日本語の名前です山田"},
    {"CP932 value never cut inside a character", "[S]\r\nk=日本語の名前です山田\r\n", "S", "k", "D",
     20, "日本語の名前です山"},
    {"CP932 default never cut inside a character", nullptr, "S", "k", "日本語", 4, "日"},
    // "ア" is 0x83 0x41: its second byte is the code of 'A' but no letter.
    {"trail byte not folded like a letter", "[S]\r\n\x83" "A=v\r\n", "S", "\x83" "a", "D", 64, "D"},
    // "ゾ" is 0x83 0x5D: its second byte is the code of ']'.
    {"trail byte that looks like a bracket", "[ゾ]\r\nk=v\r\n", "ゾ", "k", "D", 64, "v"},
};

TEST_F(ProfileStoreTest, ReadCases) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.what);
        std::string path = NewPath();
        if (c.file) Put(path, c.file);
        char buf[64];
        std::memset(buf, 'x', sizeof buf);
        size_t n = store_.GetString(c.section, c.key, c.fallback, buf, c.size, path.c_str());
        EXPECT_STREQ(buf, c.expected);
        EXPECT_EQ(n, std::strlen(c.expected));
    }
}

struct WriteCase {
    const char* what;
    const char* file;  // nullptr: no file at all
    const char* section;
    const char* key;
    const char* value;
    const char* expected;  // the whole file afterwards
};

const WriteCase kWriteCases[] = {
    {"a write creates the file", nullptr, "S", "k", "v", "[S]\r\nk=v\r\n"},
    {"a new section goes at the end", "[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
    {"a new key goes at the end of its section", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "a", "z", "3",
     "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
    {"a new key in the last section", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "B", "z", "3",
     "[A]\r\nx=1\r\n[B]\r\ny=2\r\nz=3\r\n"},
    {"a value replaced in place, other lines untouched",
     "[A]\r\nx=1\r\n; note\r\ny=2\r\n[B]\r\nx=3\r\n", "A", "X", "9",
     "[A]\r\nx=9\r\n; note\r\ny=2\r\n[B]\r\nx=3\r\n"},
    {"a key of the second section replaced", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "B", "k", "20",
     "[A]\r\nk=1\r\n[B]\r\nk=20\r\n"},
    {"an empty value written", "[A]\r\nx=1\r\n", "A", "x", "", "[A]\r\nx=\r\n"},
    {"a file without a final line end", "[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
    {"the same value again changes nothing", "[A]\r\nx=1\r\ny=2\r\n", "A", "y", "2",
     "[A]\r\nx=1\r\ny=2\r\n"},
    // "表" and "ソ" end in 0x5C, the code of '\'.
    {"CP932 section, key and value written as bytes", nullptr, "セクション", "名前", "表示ソフト",
     "[セクション]\r\n名前=表示ソフト\r\n"},
    {"CP932 value replaced", "[S]\r\n名前=山田\r\n色=0\r\n", "S", "名前", "表計算",
     "[S]\r\n名前=表計算\r\n色=0\r\n"},
};

TEST_F(ProfileStoreTest, WriteCases) {
    for (const WriteCase& c : kWriteCases) {
        SCOPED_TRACE(c.what);
        std::string path = NewPath();
        if (c.file) Put(path, c.file);
        EXPECT_TRUE(store_.WriteString(c.section, c.key, c.value, path.c_str()));
        EXPECT_EQ(Slurp(path), c.expected);
    }
}

TEST_F(ProfileStoreTest, WrittenValuesReadBack) {
    std::string path = NewPath();
    ASSERT_TRUE(store_.WriteString("Client_Definition", "Name", "山田太郎", path.c_str()));
    ASSERT_TRUE(store_.WriteString("Client_Definition", "OuArea_Font",
                                   "14:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック", path.c_str()));
    ASSERT_TRUE(store_.WriteString("セクション", "キー", "ソ\\表", path.c_str()));
    ASSERT_TRUE(store_.WriteString("Client_Definition", "Name", "表", path.c_str()));

    char buf[150];
    EXPECT_EQ(store_.GetString("client_definition", "NAME", "D", buf, sizeof buf, path.c_str()), 2u);
    EXPECT_STREQ(buf, "表");
    store_.GetString("Client_Definition", "OuArea_Font", "None", buf, sizeof buf, path.c_str());
    EXPECT_STREQ(buf, "14:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック");
    store_.GetString("セクション", "キー", "D", buf, sizeof buf, path.c_str());
    EXPECT_STREQ(buf, "ソ\\表");
}

TEST_F(ProfileStoreTest, WriteIntoMissingDirectoryFails) {
    std::string path = dir_ + kSeparator + "missing" + kSeparator + "x.ini";
    EXPECT_FALSE(store_.WriteString("S", "k", "v", path.c_str()));
    EXPECT_FALSE(FileExists(path));
}

// The settings file the program writes at shutdown and from the Display page
// has the same bytes on both sides, and reads back the same.
TEST_F(ProfileStoreTest, SettingsFileSameOnBothSides) {
    std::string path = NewPath();
    Put(path, "[Client_Definition]\r\nName=山田\r\nOuArea_Font=None\r\n");
    FontRecord font = DefaultFontRecord();
    font.lfHeight = -20;
    font.lfCharSet = 255;
    std::strcpy(font.lfFaceName, "ＭＳ 明朝");
    ASSERT_EQ(WriteFontKey(store_, path.c_str(), "OuArea_Font", font), 1);
    WindowRect rect;
    rect.left = -4;
    rect.top = 30;
    rect.right = 600;
    rect.bottom = 480;
    WindowModes flags;
    flags.window_shown = false;
    flags.popup_mode = true;
    Settings settings;
    settings.Split1_Pos = 330;
    settings.Split2_Pos = 140;
    settings.Split3_Pos = 400;
    ASSERT_EQ(WriteWindowInformation(store_, path.c_str(), rect, flags, settings), 1);
    EXPECT_EQ(Slurp(path),
              "[Client_Definition]\r\nName=山田\r\n"
              "OuArea_Font=-20:0:0:0:400:0:0:0:255:2:0:0:0:ＭＳ 明朝\r\n"
              "[Window_Information]\r\nTop=30\r\nBottom=480\r\nLeft=-4\r\nRight=600\r\n"
              "End_Status=TaskToray\r\nPersonal_Status=Off\r\nPopup_Status=On\r\n"
              "Split1_Pos=330\r\nSplit2_Pos=140\r\nSplit3_Pos=400\r\n");

    Settings back;
    WindowModes back_flags;
    WindowRect back_rect;
    ASSERT_EQ(LoadSettingsFrom(store_, path.c_str(), "login", &back, &back_flags, &back_rect), 1);
    EXPECT_STREQ(back.Name, "山田");
    EXPECT_EQ(back.pane_font[PANE_OUTPUT].lfHeight, -20);
    EXPECT_EQ(back.pane_font[PANE_OUTPUT].lfCharSet, 255);
    EXPECT_STREQ(back.pane_font[PANE_OUTPUT].lfFaceName, "ＭＳ 明朝");
    EXPECT_STREQ(back.pane_font[PANE_INPUT].lfFaceName, DefaultFontRecord().lfFaceName);
    EXPECT_EQ(back.Port_Number, 55700);
    EXPECT_EQ(back_rect.left, -4);
    EXPECT_EQ(back_rect.bottom, 480);
    EXPECT_FALSE(back_flags.window_shown);
    EXPECT_TRUE(PopupStatusOn(back));
    EXPECT_FALSE(PersonalStatusOn(back));
}

#ifndef _WIN32
// Windows keeps every line it does not change byte for byte; Wine rewrites the
// whole file in its own layout, so these cases run natively only.

TEST_F(ProfileStoreTest, InPlaceWriteKeepsEveryOtherByte) {
    std::string path = NewPath();
    const std::string before =
        "; Mosswick settings\n\n[Client_Definition]\n  Name = 山田  \r\nLog_Save=No\n\n"
        "[Window_Information]\r\nTop = 5\r\n";
    Put(path, before);
    ASSERT_TRUE(store_.WriteString("client_definition", "name", "表", path.c_str()));
    EXPECT_EQ(Slurp(path),
              "; Mosswick settings\n\n[Client_Definition]\nName=表\r\nLog_Save=No\n\n"
              "[Window_Information]\r\nTop = 5\r\n");
    ASSERT_TRUE(store_.WriteString("Client_Definition", "Debug", "No", path.c_str()));
    EXPECT_EQ(Slurp(path),
              "; Mosswick settings\n\n[Client_Definition]\nName=表\r\nLog_Save=No\nDebug=No\r\n\n"
              "[Window_Information]\r\nTop = 5\r\n");
}

TEST_F(ProfileStoreTest, LineBreakEndsWrittenValue) {
    std::string path = NewPath();
    ASSERT_TRUE(store_.WriteString("S", "Name", "a\r\n[Window_Information]\r\nEnd_Status=T",
                                   path.c_str()));
    EXPECT_EQ(Slurp(path), "[S]\r\nName=a\r\n");
}

TEST_F(ProfileStoreTest, WriteLeavesNoTemporaryFileAndKeepsMode) {
    std::string path = NewPath();
    Put(path, "[S]\r\nk=1\r\n");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(store_.WriteString("S", "k", "2", path.c_str()));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Only the case file itself is in the directory.
    DIR* d = opendir(dir_.c_str());
    ASSERT_NE(d, nullptr);
    int count = 0;
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) ++count;
    }
    closedir(d);
    EXPECT_EQ(count, 1);
}

TEST_F(ProfileStoreTest, UnreadableFileIsNotOverwritten) {
    std::string path = NewPath();
    // A directory in place of the file: neither read nor replaced.
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    char buf[8];
    EXPECT_EQ(store_.GetString("S", "k", "d", buf, sizeof buf, path.c_str()), 1u);
    EXPECT_FALSE(store_.WriteString("S", "k", "v", path.c_str()));
    rmdir(path.c_str());
}
#endif

}  // namespace
