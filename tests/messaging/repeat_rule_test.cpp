// The repeat test against a model of a sender on a lossy, slow network: the
// sender numbers its messages with the program's own counter, through the
// wrap; each message goes out once and is resent on the 15-second tick up to
// five times, and any of those copies may be lost, arrive late or arrive
// twice. Whatever the order of arrival, every message is shown once and the
// stored counter ends at the sender's last number.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "messaging/repeat_rule.h"
#include "net/counters.h"

namespace {

constexpr double kTick = 15.0;
constexpr int kSends = 6;  // the first send and five resends

struct Copy {
    double arrival;
    int16_t number;
};

// Copies of `messages` messages sent from a counter at `counter`, in order
// of arrival, and the sender's last number.
std::vector<Copy> SendThroughTheNetwork(int16_t counter, int messages, std::mt19937* random, int16_t* last) {
    std::uniform_real_distribution<double> gap(0.5, 3.0), jitter(0.0, 0.5), late(0.0, 10.0), chance(0.0, 1.0);
    SetMessageCounter(counter);
    std::vector<Copy> copies;
    double now = 0;
    for (int m = 0; m < messages; ++m) {
        now += gap(*random);
        int16_t number = NextMessageNumber();
        *last = number;
        // At least one of the six sends gets through: a line lost outright
        // is not the repeat test's business.
        std::vector<bool> through(kSends);
        do {
            for (int k = 0; k < kSends; ++k) through[k] = chance(*random) < 0.4;
        } while (std::none_of(through.begin(), through.end(), [](bool b) { return b; }));
        double first_tick = (static_cast<int>(now / kTick) + 1) * kTick;
        for (int k = 0; k < kSends; ++k) {
            if (!through[k]) continue;
            double sent = k == 0 ? now : first_tick + (k - 1) * kTick;
            copies.push_back({sent + jitter(*random), number});
            if (chance(*random) < 0.1) copies.push_back({sent + late(*random), number});  // the network doubled it
        }
    }
    std::stable_sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.arrival < b.arrival; });
    return copies;
}

void ExpectEachShownOnce(int16_t start, int messages, unsigned seed) {
    std::mt19937 random(seed);
    int16_t last = 0;
    std::vector<Copy> copies = SendThroughTheNetwork(start, messages, &random, &last);
    // The receiver knows the sender from its announcement, which carried the
    // counter as it was.
    int16_t stored = start;
    SeenNumbers seen;
    std::map<int16_t, int> shown;
    for (const Copy& copy : copies)
        if (TakeMessageNumber(&stored, &seen, copy.number)) ++shown[copy.number];
    ASSERT_EQ(static_cast<size_t>(messages), shown.size()) << "start " << start << ", seed " << seed;
    for (auto [number, times] : shown) ASSERT_EQ(1, times) << number << ", start " << start << ", seed " << seed;
    EXPECT_EQ(last, stored) << "start " << start << ", seed " << seed;
}

TEST(RepeatModelTest, EveryMessageIsShownOnceWhateverTheOrderOfItsCopies) {
    // A sender fresh from network start, one that wraps mid-run, and one
    // that wraps almost at once.
    for (int16_t start : {kCounterAtNetworkStart, static_cast<int16_t>(kLastMessageNumber - 150),
                          static_cast<int16_t>(kLastMessageNumber - 3)})
        for (unsigned seed = 1; seed <= 100; ++seed) ExpectEachShownOnce(start, 300, seed);
}

}  // namespace
