// One table of profile-string cases, run against the program's store
// (platform/profile_file.h) natively and under Wine, and under Wine also
// against Windows' own GetPrivateProfileStringA / WritePrivateProfileStringA
// while the system's code page is 932, the only one with which those read
// CP932 bytes as they are. All runs passing is what shows the program's store
// reads and writes the settings file the way Windows does on a Japanese
// Windows; its runs under other code pages show it does so on any Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/file_access.h"
#include "settings/font_value.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/window_information.h"
#include "settings/window_modes.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/cp932.h"
#include "platform/win32/profile_store_win32.h"
#include "platform/win32/wide_text.h"
#else
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/profile_store_posix.h"
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
bool MakeDir(const std::string& dir) { return CreateDirectoryW(WideFromCp932(dir).c_str(), nullptr) != FALSE; }
void RemoveDir(const std::string& dir) { RemoveDirectoryW(WideFromCp932(dir).c_str()); }

// Windows' own profile functions, which convert the file's bytes with the
// system's code page. A value cut inside a double-byte character can leave a
// stale byte in the buffer (seen under Wine) or half a character: the buffer
// is cleared first and a dangling lead byte dropped, as the program did when
// it used them.
class WindowsOwnStore : public ProfileStore {
public:
    size_t GetString(const char* section, const char* key, const char* fallback, char* buf, size_t size,
                     const char* path) override {
        if (buf == nullptr || size == 0) return 0;
        DWORD capacity = size > 0xFFFF ? 0xFFFF : static_cast<DWORD>(size);
        std::memset(buf, 0, capacity);
        GetPrivateProfileStringA(section, key, fallback, buf, capacity, path);
        buf[capacity - 1] = '\0';
        size_t length = Cp932WholeLength(buf, std::strlen(buf));
        buf[length] = '\0';
        return length;
    }
    bool WriteString(const char* section, const char* key, const char* value, const char* path) override {
        return WritePrivateProfileStringA(section, key, value, path) != FALSE;
    }
};
using ProgramStore = Win32ProfileStore;
using Stores = ::testing::Types<Win32ProfileStore, WindowsOwnStore>;
#else
const char kSeparator = '/';

std::string MakeTempDir() {
    const char* tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/mosswick-profile-XXXXXX";
    return mkdtemp(templ.data()) ? templ : "";
}
bool MakeDir(const std::string& dir) { return mkdir(dir.c_str(), 0700) == 0; }
void RemoveDir(const std::string& dir) { rmdir(dir.c_str()); }
using ProgramStore = PosixProfileStore;
using Stores = ::testing::Types<PosixProfileStore>;
#endif

bool FileExists(const std::string& path) {
    FILE* f = OpenNamedFile(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

template <typename Store>
class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        if (std::is_same_v<Store, WindowsOwnStore> && GetACP() != 932) {
            GTEST_SKIP() << "Windows' own functions read CP932 only under code page 932";
        }
#endif
        dir_ = MakeTempDir();
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        for (const std::string& f : files_) RemoveNamedFile(f.c_str());
        for (auto d = dirs_.rbegin(); d != dirs_.rend(); ++d) RemoveDir(*d);
        if (!dir_.empty()) RemoveDir(dir_);
    }

    // A new file name for every case: Windows may keep a file it read in a
    // cache, so no two cases share a file.
    std::string NewPath(const std::string& dir = "") {
        std::string path = (dir.empty() ? dir_ : dir) + kSeparator + "case" + std::to_string(files_.size()) + ".ini";
        files_.push_back(path);
        return path;
    }
    // A folder in the case's directory, removed afterwards.
    std::string NewDir(const std::string& name) {
        std::string dir = dir_ + kSeparator + name;
        if (MakeDir(dir)) dirs_.push_back(dir);
        return dir;
    }
    static void Put(const std::string& path, const std::string& bytes) {
        FILE* f = OpenNamedFile(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    static std::string Slurp(const std::string& path) {
        std::string bytes;
        FILE* f = OpenNamedFile(path.c_str(), "rb");
        if (!f) return "<no file>";
        char chunk[512];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
        std::fclose(f);
        return bytes;
    }

    std::string dir_;
    std::vector<std::string> files_;
    std::vector<std::string> dirs_;
    Store store_;
};
TYPED_TEST_SUITE(ProfileStoreTest, Stores);

// The program's store alone, for what Windows' own functions do otherwise
// under Wine, or where only the program's behaviour is specified.
class ProgramStoreTest : public ProfileStoreTest<ProgramStore> {};

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

TYPED_TEST(ProfileStoreTest, ReadCases) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.what);
        std::string path = this->NewPath();
        if (c.file) this->Put(path, c.file);
        char buf[64];
        std::memset(buf, 'x', sizeof buf);
        size_t n = this->store_.GetString(c.section, c.key, c.fallback, buf, c.size, path.c_str());
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

TYPED_TEST(ProfileStoreTest, WriteCases) {
    for (const WriteCase& c : kWriteCases) {
        SCOPED_TRACE(c.what);
        std::string path = this->NewPath();
        if (c.file) this->Put(path, c.file);
        EXPECT_TRUE(this->store_.WriteString(c.section, c.key, c.value, path.c_str()));
        EXPECT_EQ(this->Slurp(path), c.expected);
    }
}

// In a folder whose name is Japanese ("表" and "ソ" end in the byte of '\'),
// as the program's folder may be.
TYPED_TEST(ProfileStoreTest, WrittenValuesReadBack) {
    std::string path = this->NewPath(this->NewDir("表示ソフト"));
    ASSERT_TRUE(this->store_.WriteString("Client_Definition", "Name", "山田太郎", path.c_str()));
    ASSERT_TRUE(this->store_.WriteString("Client_Definition", "OuArea_Font",
                                         "14:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック", path.c_str()));
    ASSERT_TRUE(this->store_.WriteString("セクション", "キー", "ソ\\表", path.c_str()));
    ASSERT_TRUE(this->store_.WriteString("Client_Definition", "Name", "表", path.c_str()));

    char buf[150];
    EXPECT_EQ(this->store_.GetString("client_definition", "NAME", "D", buf, sizeof buf, path.c_str()), 2u);
    EXPECT_STREQ(buf, "表");
    this->store_.GetString("Client_Definition", "OuArea_Font", "None", buf, sizeof buf, path.c_str());
    EXPECT_STREQ(buf, "14:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック");
    this->store_.GetString("セクション", "キー", "D", buf, sizeof buf, path.c_str());
    EXPECT_STREQ(buf, "ソ\\表");
}

TYPED_TEST(ProfileStoreTest, WriteIntoMissingDirectoryFails) {
    std::string path = this->dir_ + kSeparator + "missing" + kSeparator + "x.ini";
    EXPECT_FALSE(this->store_.WriteString("S", "k", "v", path.c_str()));
    EXPECT_FALSE(FileExists(path));
}

// The settings file the program writes at shutdown and from the Display page
// has the same bytes on both sides, and reads back the same.
TYPED_TEST(ProfileStoreTest, SettingsFileSameOnBothSides) {
    std::string path = this->NewPath();
    this->Put(path, "[Client_Definition]\r\nName=山田\r\nOuArea_Font=None\r\n");
    FontRecord font = DefaultFontRecord();
    font.lfHeight = -20;
    font.lfCharSet = 255;
    std::strcpy(font.lfFaceName, "ＭＳ 明朝");
    ASSERT_EQ(WriteFontKey(this->store_, path.c_str(), "OuArea_Font", font), 1);
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
    ASSERT_EQ(WriteWindowInformation(this->store_, path.c_str(), rect, flags, settings), 1);
    EXPECT_EQ(this->Slurp(path),
              "[Client_Definition]\r\nName=山田\r\n"
              "OuArea_Font=-20:0:0:0:400:0:0:0:255:2:0:0:0:ＭＳ 明朝\r\n"
              "[Window_Information]\r\nTop=30\r\nBottom=480\r\nLeft=-4\r\nRight=600\r\n"
              "End_Status=TaskToray\r\nPersonal_Status=Off\r\nPopup_Status=On\r\n"
              "Split1_Pos=330\r\nSplit2_Pos=140\r\nSplit3_Pos=400\r\n");

    Settings back;
    WindowModes back_flags;
    WindowRect back_rect;
    ASSERT_EQ(LoadSettingsFrom(this->store_, path.c_str(), "login", &back, &back_flags, &back_rect), 1);
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

#ifdef _WIN32
// Bytes CP932 does not define read as Windows reads them through code page
// 932: a lead byte takes the next byte (even a line end) as its second, and
// a pair without a character reads as "・"; a character with two codes reads
// with its preferred one (NEC's 0xED40 as IBM's 0xFA5C).
TYPED_TEST(ProfileStoreTest, UndefinedBytesReadAsWindowsReadsThem) {
    const struct {
        const char* value;
        const char* expected;
    } kCases[] = {
        {"\x81", "・"}, {"\x80\xff" "ab\x82", "\x80\xff" "ab・"}, {"a\x82]b", "a・b"}, {"\xed\x40", "\xfa\x5c"}};
    for (const auto& c : kCases) {
        std::string path = this->NewPath();
        this->Put(path, std::string("[S]\r\nk=") + c.value + "\r\nn=1\r\n");
        char buf[64];
        this->store_.GetString("S", "k", "D", buf, sizeof buf, path.c_str());
        EXPECT_STREQ(buf, c.expected) << c.value;
    }
}
#endif

// Windows keeps every line it does not change byte for byte; Wine rewrites the
// whole file in its own layout, so these cases run against the program's store
// only.

TEST_F(ProgramStoreTest, InPlaceWriteKeepsEveryOtherByte) {
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

TEST_F(ProgramStoreTest, LineBreakEndsWrittenValue) {
    std::string path = NewPath();
    ASSERT_TRUE(store_.WriteString("S", "Name", "a\r\n[Window_Information]\r\nEnd_Status=T",
                                   path.c_str()));
    EXPECT_EQ(Slurp(path), "[S]\r\nName=a\r\n");
}

TEST_F(ProgramStoreTest, UnreadableFileIsNotOverwritten) {
    std::string path = NewPath();
    // A directory in place of the file: neither read nor replaced.
    ASSERT_TRUE(MakeDir(path));
    char buf[8];
    EXPECT_EQ(store_.GetString("S", "k", "d", buf, sizeof buf, path.c_str()), 1u);
    EXPECT_FALSE(store_.WriteString("S", "k", "v", path.c_str()));
    RemoveDir(path);
}

#ifdef _WIN32
// A write leaves no new file beside the settings file; a read-only file
// stays as it was, as with Windows' own functions.
TEST_F(ProgramStoreTest, WriteLeavesNoTemporaryFileAndReadOnlyFileAlone) {
    std::string path = NewPath();
    Put(path, "[S]\r\nk=1\r\n");
    ASSERT_TRUE(store_.WriteString("S", "k", "2", path.c_str()));
    const std::wstring wide = WideFromCp932(path);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(store_.WriteString("S", "k", "3", path.c_str()));
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Slurp(path), "[S]\r\nk=2\r\n");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((WideFromCp932(dir_) + L"\\*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}
#else
TEST_F(ProgramStoreTest, WriteLeavesNoTemporaryFileAndKeepsMode) {
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
#endif

}  // namespace
