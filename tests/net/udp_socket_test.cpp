#include <gtest/gtest.h>

#include <poll.h>

#include "platform/posix/host_identity_posix.h"
#include "platform/posix/udp_socket_posix.h"
#include "tests/common/core_probes.h"
#include "tests/net/net_fakes.h"

namespace {

const uint32_t kLoopback = Ip(127, 0, 0, 1);

bool WaitReadable(const UdpSocketPosix& s) {
    pollfd p{s.Fd(), POLLIN, 0};
    return ::poll(&p, 1, 5000) == 1;
}

// The core on one real socket, a peer on another, both on 127.0.0.1.
class RealSocketTest : public NetFixture {
protected:
    UdpSocketPosix core{kLoopback};
    UdpSocketPosix peer{kLoopback};

    void SetUp() override {
        NetFixture::SetUp();
        ASSERT_TRUE(core.Open());
        ASSERT_TRUE(core.EnableBroadcast());
        ASSERT_TRUE(core.Bind(0));
        ASSERT_TRUE(peer.Open());
        ASSERT_TRUE(peer.Bind(0));
        g_platform.socket = &core;
        g_settings.Port_Number = peer.LocalPort();  // acknowledgements go to the peer's port
        StartWithOwnAddress(kLoopback);
    }
};

TEST_F(RealSocketTest, DatagramIsAcknowledgedOverARealSocket) {
    uint8_t chat[kMessageBufferSize];
    int len = BuildChatDatagram(chat, Ip(10, 0, 0, 2), 0x4321, 1001, "hello", 5);
    ASSERT_EQ(len, peer.SendTo(chat, len, kLoopback, core.LocalPort()));
    ASSERT_TRUE(WaitReadable(core));
    SocketEvent(1);

    ASSERT_TRUE(WaitReadable(peer));
    uint8_t buf[kMaxDatagramSize];
    uint32_t from = 0;
    ASSERT_EQ(kRespSize, peer.ReceiveFrom(buf, sizeof buf, &from));
    EXPECT_EQ(kLoopback, from);
    DatagramHeader h = ReadHeader(buf, kRespSize);
    EXPECT_EQ(KIND_RESP, h.kind);
    EXPECT_EQ(0x4321, h.allCount);
    EXPECT_EQ(kLoopback, h.addr);
    EXPECT_EQ(0, std::memcmp(buf + 20, "Resp", 5));

    uint32_t way[2] = {};  // the way back to the peer, and to a directed broadcast
    HostIdentityPosix host;
    EXPECT_TRUE(host.SourceAddressToward(from, &way[0]) && host.SourceAddressToward(Ip(127, 255, 255, 255), &way[1]));
    EXPECT_EQ((std::vector<uint32_t>{kLoopback, kLoopback}), std::vector<uint32_t>(way, way + 2));
}

TEST_F(RealSocketTest, OversizedDatagramIsRefusedAndTheNextOneStillArrives) {
    std::strcpy(g_settings.Debug, "Yes");
    Bytes big(kMaxDatagramSize + 1, 0);
    WriteHeader(big.data(), static_cast<uint16_t>(big.size()), 9, 0, 0, 1);
    ASSERT_EQ(static_cast<int>(big.size()),
              peer.SendTo(big.data(), static_cast<int>(big.size()), kLoopback, core.LocalPort()));
    Bytes small = HeaderOnly(9, 0, 0, 2);
    ASSERT_EQ(16, peer.SendTo(small.data(), 16, kLoopback, core.LocalPort()));

    ASSERT_TRUE(WaitReadable(core));
    EXPECT_FALSE(ReceiveDatagram());
    EXPECT_EQ(std::vector<std::string>{"001e:0010"}, views.Reports());
    ASSERT_TRUE(WaitReadable(core));
    EXPECT_TRUE(ReceiveDatagram());

    ASSERT_TRUE(WaitReadable(peer));
    uint8_t buf[64];
    uint32_t from = 0;
    ASSERT_EQ(kRespSize, peer.ReceiveFrom(buf, sizeof buf, &from));
    EXPECT_EQ(2, ReadHeader(buf, kRespSize).allCount);  // only the second was answered
}

}  // namespace
