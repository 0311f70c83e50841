// The guard every window and dialog procedure is entered through, on real
// windows: a handler that throws is answered as the window system would
// answer without it, and reported; each window's record is found again from
// the window and freed with it, also when the window goes while one of its
// messages is still being handled.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/error_report.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/win32/window_guard.h"

namespace {

// Internal-error reports switched on and kept, instead of shown, for the
// length of a test.
class Reports : public MessageBoxes {
public:
    Reports() : boxes_(g_platform.boxes), debug_(g_platform.debug) {
        g_platform.boxes = this;
        g_platform.debug = "Y";
    }
    ~Reports() override {
        g_platform.boxes = boxes_;
        g_platform.debug = debug_;
    }
    void ShowMessage(const char* text, const char*, BoxIcon) override { shown_.push_back(text); }
    bool AskYesNo(const char*, const char*) override { return false; }
    bool Saw(UINT message) const {
        std::string text = FormatInternalError(OP_WINDOW_MESSAGE, 0, static_cast<uint16_t>(message), 0);
        return std::find(shown_.begin(), shown_.end(), text) != shown_.end();
    }

private:
    MessageBoxes* boxes_;
    const char* debug_;
    std::vector<std::string> shown_;
};

LRESULT ThrowAlways(HWND, UINT, WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }

INT_PTR ThrowInDialog(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    throw std::runtime_error("handler failed");
}

// A class of the test's own with `procedure`, made once per procedure.
template <WNDPROC Procedure>
const wchar_t* ClassOf(const wchar_t* name) {
    static bool registered = [name] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = name;
        return RegisterClassExW(&wc) != 0;
    }();
    return registered ? name : nullptr;
}

HWND MessageWindow(const wchar_t* window_class, const wchar_t* text, void* creation) {
    return CreateWindowExW(0, window_class, text, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                           creation);
}

// What a test learns from a record, kept outside it since the record goes
// with its window.
struct Outcome {
    bool freed = false;
    bool freed_before_return = false;       // freed by the destruction a handler asked for
    LRESULT previous_after_destroy = -1;    // the previous procedure's answer then
};

struct BarLike : OwnedRecord {
    Outcome* outcome = nullptr;
    int messages = 0;
    ~BarLike() { outcome->freed = true; }
};

struct PaneLike : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"MosswickTest.PaneLike";
    Outcome* outcome = nullptr;
    ~PaneLike() { outcome->freed = true; }
};

struct SecondLayer : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"MosswickTest.SecondLayer";
};

// Counts messages; WM_APP destroys the window from inside the handler.
LRESULT BarLikeMessage(BarLike& record, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ++record.messages;
    if (message == WM_APP) {
        DestroyWindow(window);
        record.outcome->freed_before_return = record.outcome->freed;
        return 7;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT PaneLikeMessage(PaneLike& record, HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_GETTEXTLENGTH) throw std::runtime_error("handler failed");
    if (message == WM_APP) {
        DestroyWindow(control);
        record.outcome->freed_before_return = record.outcome->freed;
        record.outcome->previous_after_destroy = CallPrevious(record, control, WM_GETTEXTLENGTH, 0, 0);
        return 0;
    }
    return CallPrevious(record, control, message, wparam, lparam);
}

// The procedure under a subclass layer, counting the text lengths it is asked.
int g_lengths_asked = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_GETTEXTLENGTH) ++g_lengths_asked;
    return DefWindowProcW(window, message, wparam, lparam);
}

// An empty dialog template, without font or controls.
struct alignas(4) EmptyDialog {
    DLGTEMPLATE header = {WS_POPUP, 0, 0, 0, 0, 100, 50};
    WORD menu = 0, window_class = 0, title = 0;
};

HWND Dialog(DLGPROC procedure, LPARAM record) {
    static const EmptyDialog dialog;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &dialog.header, nullptr, procedure, record);
}

// A handler that throws at every message, creation and destruction included:
// each message still gets DefWindowProcA's answer, and each is reported. What
// was passed at creation is on the window all the same.
TEST(WindowGuard, ThrowingHandlersGetTheDefaultAnswerAndAreReported) {
    Reports reports;
    int outliving = 0;
    const wchar_t* window_class = ClassOf<Guarded<ThrowAlways>>(L"MosswickTestThrowing");
    ASSERT_NE(nullptr, window_class);
    HWND window = MessageWindow(window_class, L"abc", &outliving);
    ASSERT_NE(nullptr, window);  // WM_NCCREATE answered TRUE
    EXPECT_EQ(&outliving, WindowRecord<int>(window));
    EXPECT_EQ(3, SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_TRUE(reports.Saw(WM_NCCREATE));
    EXPECT_TRUE(reports.Saw(WM_GETTEXTLENGTH));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(reports.Saw(WM_NCDESTROY));

    // A dialog's failed message is answered FALSE, and the dialog manager
    // then does what it does by default.
    EXPECT_EQ(FALSE, (GuardedDialog<ThrowInDialog>(nullptr, WM_APP, 0, 0)));
    HWND dialog = Dialog(GuardedDialog<ThrowInDialog>, reinterpret_cast<LPARAM>(&outliving));
    if (dialog == nullptr) GTEST_SKIP() << "no display: no dialog can be made here";
    EXPECT_EQ(&outliving, WindowRecord<int>(dialog));
    SetWindowTextA(dialog, "four");
    EXPECT_EQ(4, SendMessageA(dialog, WM_GETTEXTLENGTH, 0, 0));
    DestroyWindow(dialog);
}

// A record the window owns: found from the window, and freed with it.
TEST(WindowGuard, RecordPassedAtCreationIsFoundOnTheWindowAndFreedWithIt) {
    Outcome outcome;
    auto record = std::make_unique<BarLike>();
    record->outcome = &outcome;
    BarLike* kept = record.get();
    const wchar_t* window_class = ClassOf<GuardedWithRecord<BarLike, BarLikeMessage>>(L"MosswickTestBarLike");
    ASSERT_NE(nullptr, window_class);
    HWND window = MessageWindow(window_class, L"", RecordForCreation(record));
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, record);  // the window took it
    EXPECT_EQ(kept, WindowRecord<BarLike>(window));
    EXPECT_GT(kept->messages, 0);  // the creation messages went to the handler

    // Destroyed from inside one of its own messages: the record stays until
    // that message has returned.
    EXPECT_EQ(7, SendMessageA(window, WM_APP, 0, 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(outcome.freed_before_return);
    EXPECT_TRUE(outcome.freed);

    // A creation that never reaches the window leaves the record with its
    // creator.
    auto unused = std::make_unique<BarLike>();
    unused->outcome = &outcome;
    EXPECT_EQ(nullptr, CreateWindowExW(0, L"MosswickTestNoSuchClass", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleA(nullptr), RecordForCreation(unused)));
    EXPECT_NE(nullptr, unused);
}

// A control carries one record of each type, each in its own layer, made
// once and freed with the control. Its own procedure is no longer called
// once it is gone.
TEST(WindowGuard, ControlRecordsLayerAndGoWithTheControl) {
    const wchar_t* window_class = ClassOf<CountingProc>(L"MosswickTestCounting");
    ASSERT_NE(nullptr, window_class);
    HWND control = MessageWindow(window_class, L"hello", nullptr);
    ASSERT_NE(nullptr, control);
    Outcome outcome;
    auto pane = std::make_unique<PaneLike>();
    pane->outcome = &outcome;
    PaneLike* first = SubclassWithRecord<PaneLike, PaneLikeMessage>(control, std::move(pane));
    ASSERT_NE(nullptr, first);
    Outcome unused;
    auto again = std::make_unique<PaneLike>();
    again->outcome = &unused;
    EXPECT_EQ(nullptr, (SubclassWithRecord<PaneLike, PaneLikeMessage>(control, std::move(again))));
    EXPECT_TRUE(unused.freed);  // a second record of the same type is refused

    SecondLayer* second = ControlRecord<SecondLayer>(control);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, ControlRecord<SecondLayer>(control));
    EXPECT_EQ(first, SubclassRecordOf<PaneLike>(control));

    // Through both layers to the control's own procedure, failing in the first.
    SetWindowTextA(control, "changed");
    EXPECT_EQ(7, SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(1, g_lengths_asked);

    // Destroyed from inside its own message: the record lives until that
    // message returns, and the control's own procedure is not asked again.
    SendMessageA(control, WM_APP, 0, 0);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_FALSE(outcome.freed_before_return);
    EXPECT_EQ(0, outcome.previous_after_destroy);
    EXPECT_EQ(1, g_lengths_asked);
    EXPECT_TRUE(outcome.freed);
}

}  // namespace
