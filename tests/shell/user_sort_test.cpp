#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/user_sort.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> texts, const SortDirections& d, int column) {
    std::stable_sort(texts.begin(), texts.end(),
                     [&](const std::string& a, const std::string& b) { return d.Compare(column, a.c_str(), b.c_str()) < 0; });
    return texts;
}

TEST(UserSort, BytesCompareUnsignedWithoutNumericOrder) {
    EXPECT_LT(CompareBytes("192.168.0.10", "192.168.0.9"), 0);
    EXPECT_LT(CompareBytes("abc", "abcd"), 0);
    EXPECT_EQ(0, CompareBytes("名前", "名前"));
    // Shift-JIS lead bytes (0x81 and up) sort after ASCII.
    EXPECT_GT(CompareBytes("\x96\xbc", "zz"), 0);
    EXPECT_LT(CompareBytes("Z", "a"), 0);  // no locale: upper case first
}

TEST(UserSort, EachColumnFlipsOnItsOwnAndStartsAscending) {
    SortDirections d;
    const std::vector<std::string> ips = {"192.168.0.9", "192.168.0.10", "10.0.0.1"};
    d.Flip(2);
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "192.168.0.10", "192.168.0.9"}), Sorted(ips, d, 2));
    d.Flip(2);
    EXPECT_EQ((std::vector<std::string>{"192.168.0.9", "192.168.0.10", "10.0.0.1"}), Sorted(ips, d, 2));
    // Another column's first click is ascending whatever came before.
    d.Flip(0);
    EXPECT_FALSE(d.Descending(0));
    EXPECT_TRUE(d.Descending(2));
    d.Flip(7);  // no such column: nothing changes
    EXPECT_TRUE(d.Descending(1));
}

}  // namespace
