// The output area on a real rich edit, made as the program makes it, in a
// shown window: each CP932 line shown as such in its own colour with the
// default font, the caret and the view at the end, and the overflow message
// shown once before the area is emptied. The message box is the real one; a
// watcher thread reads and dismisses it. Texts are read back wide and
// compared as CP932 bytes, so a conversion with the system's code page shows
// when the tests run under another locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "platform/win32/wide_text.h"
#include "resources/command_ids.h"
#include "shell/win32/output_area.h"

namespace {

constexpr char kOverflowTitle[] = "Mosswick - 表示文字数オーバ";
constexpr char kOverflowText[] = "メッセージ表示領域の最大文字数を超えました。画面をクリアします。";
constexpr UINT UM_TEST_APPEND = WM_APP + 1;  // lParam: the line; answers the append's result
constexpr int kMessageBoxTextId = 0xFFFF;

HWND g_output = nullptr;

// Stands for the main window: the output area's parent, which hears its
// EN_MAXTEXT and appends on its own thread.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && LOWORD(wparam) == IDC_OUTPUT && HIWORD(wparam) == EN_MAXTEXT) {
        OnOutputAreaMaxText(g_output);
        return 0;
    }
    if (message == UM_TEST_APPEND)
        return AppendOutputAreaLine(g_output, reinterpret_cast<const char*>(lparam), RGB(0, 0, 255)) ? 1 : 0;
    return DefWindowProcW(window, message, wparam, lparam);
}

// The area's text as CP932 (its line ends read back as CR LF).
std::string Text(HWND window) { return WindowTextCp932(window, 1u << 20); }

// The characters the area counts for a CP932 text: UTF-16 units, a line end
// (CR LF, kept as CR) one.
LONG Characters(const std::string& text) {
    LONG ends = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++ends;
    return static_cast<LONG>(WideFromCp932(text).size()) - ends;
}

// Finds each overflow box, notes its text and how much the area held while
// it was up, lets the test act while it is up, then presses OK.
class OverflowBoxWatcher {
public:
    explicit OverflowBoxWatcher(void (*while_shown)(HWND parent) = nullptr) : while_shown_(while_shown) {
        thread_ = std::thread([this] { Run(); });
    }
    ~OverflowBoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    int boxes() const { return boxes_; }
    const std::string& text() const { return text_; }
    const std::string& held_while_shown() const { return held_while_shown_; }

private:
    // Every box is pressed, also one that should never have come: a box
    // opened from inside another would otherwise hold the test forever.
    void Run() {
        std::set<HWND> seen;
        while (!stop_) {
            HWND box = FindWindowW(L"#32770", WideFromCp932(kOverflowTitle).c_str());
            if (box == nullptr) {
                Sleep(10);
                continue;
            }
            if (seen.insert(box).second && ++boxes_ == 1) {
                text_ = DialogItemTextCp932(box, kMessageBoxTextId, 256);
                held_while_shown_ = Text(g_output);
                if (while_shown_ != nullptr) while_shown_(GetParent(g_output));
            }
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            Sleep(50);
        }
    }

    void (*while_shown_)(HWND parent);
    std::atomic<bool> stop_{false};
    std::atomic<int> boxes_{0};
    std::string text_;
    std::string held_while_shown_;
    std::thread thread_;
};

class OutputArea : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        richedit_ = LoadLibraryW(kOutputAreaLibrary);
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OutputAreaTestParent";
        RegisterClassExW(&wc);
        // One shown window for every test: taking a shown window away waits
        // for the window manager, up to seconds when there is none.
        parent_ = CreateWindowExW(0, L"OutputAreaTestParent", L"", WS_POPUP | WS_VISIBLE, 0, 0, 320, 140, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() {
        if (parent_ != nullptr) DestroyWindow(parent_);
        parent_ = nullptr;
        if (richedit_ != nullptr) FreeLibrary(richedit_);
    }

    void SetUp() override {
        ASSERT_NE(nullptr, richedit_) << "the rich edit library cannot be loaded";
        if (parent_ == nullptr) GTEST_SKIP() << "no display: a shown window cannot be made here";
        parent = parent_;
        g_output = CreateOutputArea(parent, IDC_OUTPUT, GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, g_output);
        ASSERT_TRUE(IsWindowUnicode(g_output));
        MoveWindow(g_output, 0, 0, 320, 140, FALSE);
        SetOutputAreaRenewal(g_output, TakeNewArea);
    }
    // Emptying the area puts a new one in its place: the tests follow it.
    static void TakeNewArea(HWND area) {
        g_output = area;
        ++renewals_;
    }
    void TearDown() override {
        if (output != nullptr) DestroyWindow(output);
        g_output = nullptr;
    }

    CHARFORMATW FormatOf(LONG from, LONG to) const {
        CHARRANGE range = {from, to};
        SendMessageW(output, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATW format = {};
        format.cbSize = sizeof format;
        SendMessageW(output, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }

    CHARRANGE Selection() const {
        CHARRANGE range = {};
        SendMessageW(output, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }

    static HMODULE richedit_;
    static HWND parent_;
    static int renewals_;
    HWND parent = nullptr;
    HWND& output = g_output;
};

int OutputArea::renewals_ = 0;
HMODULE OutputArea::richedit_ = nullptr;
HWND OutputArea::parent_ = nullptr;

TEST_F(OutputArea, EachLineTakesItsColourAndTheDefaultFontWithTheCaretAtTheEnd) {
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    const std::wstring face = WideFromCp932("ＭＳ Ｐゴシック");
    lstrcpyW(lf.lfFaceName, face.c_str());
    HFONT font = CreateFontIndirectW(&lf);
    SendMessageW(output, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    CHARFORMATW by_default = {};
    by_default.cbSize = sizeof by_default;
    SendMessageW(output, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&by_default));
    EXPECT_STREQ(face.c_str(), by_default.szFaceName);

    // "表" ends in the byte of "\\".
    const std::string first = "1 山田 > 赤い表\r\n";
    const std::string second = "2 佐藤 > blue line\r\n";
    ASSERT_TRUE(AppendOutputAreaLine(output, first.c_str(), RGB(255, 0, 0)));
    ASSERT_TRUE(AppendOutputAreaLine(output, second.c_str(), RGB(0, 0, 160)));
    EXPECT_EQ(first + second, Text(output));

    // The caret after the last character.
    CHARRANGE caret = Selection();
    EXPECT_EQ(caret.cpMin, caret.cpMax);
    EXPECT_EQ(Characters(first + second), caret.cpMin);

    CHARFORMATW red = FormatOf(0, 2);
    EXPECT_EQ(0u, red.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(RGB(255, 0, 0), red.crTextColor);
    CHARFORMATW blue = FormatOf(caret.cpMin - 4, caret.cpMin - 2);
    EXPECT_EQ(0u, blue.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(RGB(0, 0, 160), blue.crTextColor);
    EXPECT_STREQ(by_default.szFaceName, blue.szFaceName);
    EXPECT_EQ(by_default.yHeight, blue.yHeight);
    EXPECT_EQ(by_default.dwEffects & CFE_BOLD, blue.dwEffects & CFE_BOLD);
    DeleteObject(font);
}

TEST_F(OutputArea, TheLastLineStaysInViewWithTheScrollBarAtTheBottom) {
    char line[64];
    for (int i = 1; i <= 60; ++i) {
        wsprintfA(line, "%d user > line %d\r\n", i, i);
        ASSERT_TRUE(AppendOutputAreaLine(output, line, RGB(0, 0, 0)));
    }
    int lines = static_cast<int>(SendMessageW(output, EM_GETLINECOUNT, 0, 0));
    int first = static_cast<int>(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(first, 30);
    EXPECT_LT(first, lines);
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(output, SB_VERT, &bar));
    EXPECT_GT(bar.nPos, 0);
    EXPECT_GE(bar.nPos + static_cast<int>(bar.nPage), bar.nMax);
}

// Messages of this thread until `ms` have passed (the area's draw timer).
void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
}

// Lines of bursts following each other are drawn together a moment after the
// last: in order, each in its colour, and then in view at the bottom.
TEST_F(OutputArea, BurstsAreDrawnOnceWithTheLastLineInView) {
    char line[64];
    std::string expected;
    for (int burst = 0; burst < 6; ++burst) {
        HoldOutputAreaDrawing(output);
        for (int i = 1; i <= 10; ++i) {
            wsprintfA(line, "%d user > burst %d line %d\r\n", burst * 10 + i, burst, i);
            expected += line;
            ASSERT_TRUE(AppendOutputAreaLine(output, line, burst % 2 ? RGB(200, 0, 0) : RGB(0, 0, 200)));
        }
        DrawHeldOutputArea(output);
    }
    EXPECT_EQ(expected, Text(output));
    EXPECT_EQ(RGB(200, 0, 0), FormatOf(Characters(expected) - 4, Characters(expected) - 2).crTextColor);
    PumpFor(200);
    int lines = static_cast<int>(SendMessageW(output, EM_GETLINECOUNT, 0, 0));
    int first = static_cast<int>(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(first, 40);
    EXPECT_LT(first, lines);
    // Drawn again: a line appended outside a burst scrolls into view at once.
    ASSERT_TRUE(AppendOutputAreaLine(output, "61 user > alone\r\n", RGB(0, 0, 0)));
    EXPECT_GT(static_cast<int>(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0)), first);

    // Emptied while a burst waits to be drawn: the new area is drawn as
    // usual, and the next burst is held and drawn in it as in the old (an
    // area whose drawing is stopped counts as not visible).
    HoldOutputAreaDrawing(output);
    ASSERT_TRUE(AppendOutputAreaLine(output, "62 user > held\r\n", RGB(0, 0, 0)));
    DrawHeldOutputArea(output);
    ClearOutputAreaText(output);
    EXPECT_TRUE(IsWindowVisible(output));
    HoldOutputAreaDrawing(output);
    for (int i = 1; i <= 3; ++i) ASSERT_TRUE(AppendOutputAreaLine(output, "user > after\r\n", RGB(0, 0, 0)));
    EXPECT_FALSE(IsWindowVisible(output));
    DrawHeldOutputArea(output);
    PumpFor(200);
    EXPECT_TRUE(IsWindowVisible(output));
}

// Three lines of 30 characters fill a limit of 100; the fourth does not
// fit. The limit counts characters, not CP932 bytes.
TEST_F(OutputArea, ALineThatDoesNotFitShowsTheMessageOnceThenEmptiesTheArea) {
    SetOutputAreaLimit(output, 100);
    const char line[] = "12345678901234567890 > 12345\r\n";
    ASSERT_EQ(30u, sizeof line - 1);
    OverflowBoxWatcher watcher;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(AppendOutputAreaLine(output, line, RGB(0, 0, 0)));
    EXPECT_EQ(0, watcher.boxes());

    EXPECT_FALSE(AppendOutputAreaLine(output, "does not fit any more\r\n", RGB(0, 0, 0)));
    EXPECT_EQ(1, watcher.boxes());
    EXPECT_EQ(kOverflowText, watcher.text());
    EXPECT_EQ(std::string(line) + line + line, watcher.held_while_shown());  // emptied only after the message
    EXPECT_EQ("", Text(output));

    // The area starts afresh with the next line.
    EXPECT_TRUE(AppendOutputAreaLine(output, "next\r\n", RGB(0, 0, 0)));
    EXPECT_EQ("next\r\n", Text(output));
    std::string wide_line;
    for (int i = 0; i < 40; ++i) wide_line += "表";
    wide_line += "\r\n";  // 42 characters, 82 bytes
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(AppendOutputAreaLine(output, wide_line.c_str(), RGB(0, 0, 0)));
    EXPECT_EQ("next\r\n" + wide_line + wide_line, Text(output));
    EXPECT_EQ(1, watcher.boxes());
}

// While the message is up its loop keeps serving the window: another line
// and another EN_MAXTEXT arrive then, and neither brings a second message.
// A second box would keep these from returning: they give up after a while.
void AppendAndOverflowAgain(HWND parent) {
    DWORD_PTR shown = 1;
    EXPECT_NE(0, SendMessageTimeoutW(parent, UM_TEST_APPEND, 0, reinterpret_cast<LPARAM>("x\r\n"), SMTO_NORMAL,
                                     3000, &shown));
    EXPECT_EQ(0u, shown);
    DWORD_PTR ignored = 0;
    EXPECT_NE(0, SendMessageTimeoutW(parent, WM_COMMAND, MAKEWPARAM(IDC_OUTPUT, EN_MAXTEXT),
                                     reinterpret_cast<LPARAM>(g_output), SMTO_NORMAL, 3000, &ignored));
}

TEST_F(OutputArea, NothingArrivingWhileTheMessageIsUpBringsASecondOne) {
    SetOutputAreaLimit(output, 10);
    OverflowBoxWatcher watcher(AppendAndOverflowAgain);
    EXPECT_TRUE(AppendOutputAreaLine(output, "123456\r\n", RGB(0, 0, 0)));
    EXPECT_FALSE(AppendOutputAreaLine(output, "7890\r\n", RGB(0, 0, 0)));
    EXPECT_EQ(1, watcher.boxes());
    EXPECT_EQ("", Text(output));
}

TEST_F(OutputArea, MaxTextFromTheAreaShowsTheMessageAndEmptiesIt) {
    ASSERT_TRUE(AppendOutputAreaLine(output, "a line\r\n", RGB(0, 0, 0)));
    OverflowBoxWatcher watcher;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(IDC_OUTPUT, EN_MAXTEXT), reinterpret_cast<LPARAM>(output));
    EXPECT_EQ(1, watcher.boxes());
    EXPECT_EQ(kOverflowText, watcher.text());
    EXPECT_EQ("", Text(output));
}

// The emptied area is a new window that keeps everything but the text: the
// id, the place, the font, the limit, the background, the focus and the
// place among its siblings; the owner is told the new window.
TEST_F(OutputArea, ClearPutsAnEmptyAreaLikeTheOldOneInItsPlace) {
    HWND sibling = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 150, 10, 10, parent, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SetWindowPos(sibling, output, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MoveWindow(output, 7, 9, 300, 120, FALSE);
    LOGFONTW lf = {};
    lf.lfHeight = -15;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&lf);
    SendMessageW(output, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetOutputAreaLimit(output, 5000);
    SendMessageW(output, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3));
    SetFocus(output);
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(AppendOutputAreaLine(output, "a line\r\n", RGB(9, 9, 9)));
    CHARFORMATW before = {};
    before.cbSize = sizeof before;
    SendMessageW(output, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&before));
    const HWND old = output;
    const int renewals = renewals_;

    HWND area = ClearOutputAreaText(output);
    EXPECT_EQ(renewals + 1, renewals_);
    EXPECT_EQ(area, output);
    EXPECT_NE(old, area);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ("", Text(area));
    EXPECT_EQ(IDC_OUTPUT, GetDlgCtrlID(area));
    EXPECT_EQ(parent, GetParent(area));
    RECT place = {};
    GetWindowRect(area, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(7, place.left);
    EXPECT_EQ(9, place.top);
    EXPECT_EQ(300, place.right - place.left);
    CHARFORMATW after = {};
    after.cbSize = sizeof after;
    SendMessageW(area, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&after));
    EXPECT_STREQ(L"Tahoma", after.szFaceName);
    EXPECT_EQ(before.yHeight, after.yHeight);
    EXPECT_EQ(5000, SendMessageW(area, EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(RGB(1, 2, 3), static_cast<COLORREF>(SendMessageW(area, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3))));
    EXPECT_EQ(area, GetFocus());
    EXPECT_EQ(sibling, GetWindow(area, GW_HWNDNEXT));
    EXPECT_TRUE((GetWindowLongPtrW(area, GWL_STYLE) & ES_READONLY) != 0);
    EXPECT_TRUE(IsWindowUnicode(area));
    EXPECT_EQ(0, SendMessageW(area, EM_GETLANGOPTIONS, 0, 0) & IMF_DUALFONT);

    // The new area takes lines as the old one did.
    ASSERT_TRUE(AppendOutputAreaLine(area, "next\r\n", RGB(200, 0, 0)));
    EXPECT_EQ("next\r\n", Text(area));
    EXPECT_EQ(RGB(200, 0, 0), FormatOf(0, 4).crTextColor);
    EXPECT_TRUE(AppendOutputAreaLine(nullptr, "nowhere\r\n", RGB(0, 0, 0)));
    // The new area carries on the old one's record: emptied again, the owner is told again.
    EXPECT_EQ(ClearOutputAreaText(area), output);
    EXPECT_EQ(renewals + 2, renewals_);
    DestroyWindow(sibling);
    DeleteObject(font);
}

}  // namespace
