// The Windows platform parts against the real Windows Sockets and kernel.
#include <gtest/gtest.h>

#include <windows.h>
#include <winsock.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "net/transport.h"
#include "platform/win32/binary_semaphore_win32.h"
#include "platform/win32/host_identity_win32.h"
#include "platform/win32/udp_socket_win32.h"
#include "resources/command_ids.h"

namespace {

// Ports of their own, away from the program's 55700.
constexpr int kPortA = 55791;
constexpr int kPortB = 55792;
const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

class Win32Sockets : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(0, WSAStartup(0x0101, &data));
    }
    void TearDown() override { WSACleanup(); }
};

// Collects UM_SOCKETEVENT events posted to a message-only window.
struct EventWindow {
    static std::vector<int>* events;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == UM_SOCKETEVENT) {
            events->push_back(LOWORD(lp));
            return 0;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    HWND window = nullptr;
    std::vector<int> seen;

    EventWindow() {
        events = &seen;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MosswickSocketTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~EventWindow() { DestroyWindow(window); }

    // Pumps messages until the event arrives or about ten seconds pass.
    bool WaitFor(int event) {
        for (int i = 0; i < 1000; ++i) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            for (int e : seen) {
                if (e == event) return true;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return false;
    }
};
std::vector<int>* EventWindow::events = nullptr;

TEST_F(Win32Sockets, SendsAndReceivesOverLoopback) {
    UdpSocketWin32 a(nullptr, 0), b(nullptr, 0);
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    EXPECT_TRUE(a.EnableBroadcast());
    ASSERT_TRUE(a.Bind(kPortA));
    ASSERT_TRUE(b.Bind(kPortB));

    const uint8_t hello[] = {'K', '0', '0', '1', 0, 25};
    EXPECT_EQ(6, b.SendTo(hello, sizeof hello, kLoopback, kPortA));
    uint8_t buf[kReceiveBufferSize] = {};
    uint32_t from = 0;
    EXPECT_EQ(6, a.ReceiveFrom(buf, sizeof buf, &from));
    EXPECT_EQ(0, std::memcmp(buf, hello, sizeof hello));
    EXPECT_EQ(kLoopback, from);
}

// A datagram longer than the receive buffer is refused as a whole and does
// not spill into the next read.
TEST_F(Win32Sockets, OversizedDatagramIsRefusedAndDiscarded) {
    UdpSocketWin32 a(nullptr, 0), b(nullptr, 0);
    ASSERT_TRUE(a.Open() && b.Open());
    ASSERT_TRUE(a.Bind(kPortA));
    std::vector<uint8_t> big(kReceiveBufferSize + 1, 0x41);
    const uint8_t small[] = {1, 2, 3};
    ASSERT_EQ(static_cast<int>(big.size()), b.SendTo(big.data(), static_cast<int>(big.size()), kLoopback, kPortA));
    ASSERT_EQ(3, b.SendTo(small, sizeof small, kLoopback, kPortA));

    uint8_t buf[kReceiveBufferSize] = {};
    uint32_t from = 0;
    EXPECT_EQ(-1, a.ReceiveFrom(buf, sizeof buf, &from));
    std::memset(buf, 0, sizeof buf);
    EXPECT_EQ(3, a.ReceiveFrom(buf, sizeof buf, &from));
    EXPECT_EQ(0, std::memcmp(buf, small, sizeof small));

    // Exactly the buffer's size still fits.
    std::vector<uint8_t> full(kReceiveBufferSize, 0x42);
    ASSERT_EQ(kReceiveBufferSize, b.SendTo(full.data(), kReceiveBufferSize, kLoopback, kPortA));
    EXPECT_EQ(kReceiveBufferSize, a.ReceiveFrom(buf, sizeof buf, &from));
}

TEST_F(Win32Sockets, SecondBindToTheSamePortFails) {
    UdpSocketWin32 a(nullptr, 0), b(nullptr, 0);
    ASSERT_TRUE(a.Open() && b.Open());
    ASSERT_TRUE(a.Bind(kPortA));
    EXPECT_FALSE(b.Bind(kPortA));
}

TEST_F(Win32Sockets, ClosedSocketRefusesEverything) {
    UdpSocketWin32 a(nullptr, 0);
    EXPECT_FALSE(a.IsOpen());
    const uint8_t byte = 0;
    EXPECT_EQ(-1, a.SendTo(&byte, 1, kLoopback, kPortA));
    EXPECT_FALSE(a.Bind(kPortA));
    ASSERT_TRUE(a.Open());
    EXPECT_TRUE(a.IsOpen());
    a.Close();
    EXPECT_FALSE(a.IsOpen());
    a.Close();  // twice is harmless
}

// Writable, then readable: the events the network core starts and reads on.
TEST_F(Win32Sockets, NotificationsArriveAsWindowMessages) {
    EventWindow events;
    ASSERT_NE(nullptr, events.window);
    UdpSocketWin32 a(events.window, UM_SOCKETEVENT), b(nullptr, 0);
    ASSERT_TRUE(a.Open() && b.Open());
    ASSERT_TRUE(a.RequestNotifications());
    ASSERT_TRUE(a.Bind(kPortA));
    EXPECT_TRUE(events.WaitFor(FD_WRITE));
    // Wine sends FD_WRITE once; a second one comes only from the socket's own.
    events.seen.clear();
    a.QueueWritableEvent();
    EXPECT_TRUE(events.WaitFor(FD_WRITE));

    const uint8_t ping[] = {'p'};
    ASSERT_EQ(1, b.SendTo(ping, 1, kLoopback, kPortA));
    EXPECT_TRUE(events.WaitFor(FD_READ));
    uint8_t buf[16];
    uint32_t from = 0;
    EXPECT_EQ(1, a.ReceiveFrom(buf, sizeof buf, &from));
}

TEST_F(Win32Sockets, HostIdentityNamesTheMachine) {
    HostIdentityWin32 host;
    std::string name = host.HostName();
    EXPECT_FALSE(name.empty());
    std::string computer;
    EXPECT_TRUE(host.ComputerName(&computer));
    EXPECT_FALSE(computer.empty());
    std::string login = host.LoginName(kLoginNameBuffer);
    EXPECT_LT(login.size(), 20u);

    std::vector<uint32_t> addresses;
    EXPECT_TRUE(host.Resolve("127.0.0.1", &addresses));
    EXPECT_EQ(std::vector<uint32_t>{kLoopback}, addresses);
}

TEST(BinarySemaphoreWin32, SerialisesTwoThreads) {
    BinarySemaphoreWin32 lock;
    ASSERT_TRUE(lock.IsValid());
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 2000; ++i) {
            lock.Wait();
            int seen = counter;
            if (i % 100 == 0) std::this_thread::yield();
            counter = seen + 1;
            lock.Release();
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(4000, counter);
}

}  // namespace
