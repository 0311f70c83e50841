#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "net/counters.h"
#include "tests/common/core_probes.h"

namespace {

TEST(Counters, NetworkStartSetsBothTo1000) {
    SetDatagramCount(17);
    SetMessageCounter(5000);
    ResetCountersForNetworkStart();
    EXPECT_EQ(1000, CurrentDatagramCount());
    EXPECT_EQ(1000, MessageCounter());
    EXPECT_EQ(1001, NextDatagramCount());
    EXPECT_EQ(1001, CurrentDatagramCount());
    EXPECT_EQ(1001, NextMessageNumber());
}

TEST(Counters, DatagramCounterWrapsAt65536) {
    SetDatagramCount(65535);
    EXPECT_EQ(0, NextDatagramCount());
    EXPECT_EQ(1, NextDatagramCount());
}

TEST(Counters, MessageNumbersRunFrom1001To32766) {
    SetMessageCounter(32765);
    EXPECT_EQ(32766, NextMessageNumber());
    EXPECT_EQ(1001, NextMessageNumber());
    EXPECT_EQ(1002, NextMessageNumber());
}

TEST(Counters, MessageCounterTakenOverOutOfRangeStillGives1001To32766) {
    for (int16_t taken : {int16_t{32767}, int16_t{-5}, int16_t{0}, int16_t{999}}) {
        SetMessageCounter(taken);
        EXPECT_EQ(1001, NextMessageNumber()) << taken;
    }
}

TEST(Counters, GiveBackUndoesTheIncrement) {
    SetMessageCounter(1200);
    EXPECT_EQ(1201, NextMessageNumber());
    GiveBackMessageNumber();
    EXPECT_EQ(1200, MessageCounter());
    EXPECT_EQ(1201, NextMessageNumber());
}

// The popup window threads build datagrams too: no two get the same number.
TEST(Counters, DatagramCountIsAdvancedAndReadAtomically) {
    ResetCountersForNetworkStart();
    constexpr int kPerThread = 20000;
    std::vector<uint16_t> a, b;
    auto run = [](std::vector<uint16_t>* out) {
        for (int i = 0; i < kPerThread; ++i) out->push_back(NextDatagramCount());
    };
    std::thread t1(run, &a), t2(run, &b);
    t1.join();
    t2.join();
    std::set<uint16_t> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    EXPECT_EQ(2u * kPerThread, all.size());
    EXPECT_EQ(static_cast<uint16_t>(1000 + 2 * kPerThread), CurrentDatagramCount());
}

}  // namespace
