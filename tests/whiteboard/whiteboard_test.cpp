// The whiteboard's portable rules: how a drag is cut into strokes, the stroke
// datagram as it goes to the peers, and what a received stroke may make the
// board draw.
#include <gtest/gtest.h>

#include "tests/net/net_fakes.h"
#include "whiteboard/board_stroke.h"
#include "whiteboard/stroke_cutter.h"

namespace {

using Step = StrokeCutter::Step;

TEST(StrokeCutterTest, EachEdgeEndsTheStrokeAtTheLastPointInside) {
    // Right, bottom, and left or top (a negative position arrives as a large
    // unsigned one).
    const uint16_t outside[][2] = {{301, 10}, {10, 301}, {65535, 10}, {10, 65535}};
    for (auto& out : outside) {
        StrokeCutter cut;
        cut.Begin(10, 10);
        EXPECT_EQ(Step::Line, cut.Move(300, 300).step);  // the edge itself is inside
        EXPECT_EQ(Step::End, cut.Move(out[0], out[1]).step);
        EXPECT_FALSE(cut.drawing());
        EXPECT_EQ(2, cut.stroke().count);
        // The rest of the drag draws nothing, and so does the release.
        EXPECT_EQ(Step::Nothing, cut.Move(20, 20).step);
        EXPECT_EQ(Step::Nothing, cut.Release().step);
    }
}

TEST(StrokeCutterTest, AHundredPointsEndTheStroke) {
    StrokeCutter cut;
    cut.Begin(0, 0);
    for (int i = 1; i < kMaxBoardPoints; ++i) {
        StrokeCutter::Outcome line = cut.Move(static_cast<uint16_t>(i), 5);
        ASSERT_EQ(Step::Line, line.step);
        EXPECT_EQ(i - 1, line.from.x);
        EXPECT_EQ(i, line.to.x);
    }
    EXPECT_EQ(kMaxBoardPoints, cut.stroke().count);
    EXPECT_EQ(Step::End, cut.Move(200, 5).step);  // the 101st point is not added
    EXPECT_EQ(kMaxBoardPoints, cut.stroke().count);
    EXPECT_EQ(99, cut.stroke().x[99]);
}

TEST(StrokeCutterTest, AClickWithoutMovingBecomesTwoEqualPoints) {
    StrokeCutter cut;
    cut.Begin(42, 17);
    StrokeCutter::Outcome dot = cut.Release();
    EXPECT_EQ(Step::Dot, dot.step);
    EXPECT_EQ(42, dot.to.x);
    EXPECT_EQ(2, cut.stroke().count);
    EXPECT_EQ(42, cut.stroke().x[1]);
    EXPECT_EQ(17, cut.stroke().y[1]);
    // At the peers: a pixel at width 1, a dot of the pen's width at 8.
    BoardStroke s = cut.stroke();
    s.width = 1;
    EXPECT_EQ(StrokeDrawing::Kind::Pixel, PlanDrawing(s).kind);
    s.width = 8;
    EXPECT_EQ(StrokeDrawing::Kind::Lines, PlanDrawing(s).kind);
    EXPECT_EQ(8, PlanDrawing(s).width);
    // A release after moving simply ends it.
    cut.Begin(1, 1);
    cut.Move(2, 2);
    EXPECT_EQ(Step::End, cut.Release().step);
    EXPECT_EQ(2, cut.stroke().count);
}

TEST(ReceivedStrokeTest, WidthCountAndPointsAreBounded) {
    BoardStroke s;
    s.red = 0x12;
    s.green = 0x34;
    s.blue = 0x56;
    s.width = 65535;
    s.count = 2;
    s.x[1] = 65535;  // off the canvas: the drawing clips it
    StrokeDrawing plan = PlanDrawing(s);
    EXPECT_EQ(StrokeDrawing::Kind::Lines, plan.kind);
    EXPECT_EQ(kMaxDrawnWidth, plan.width);
    EXPECT_EQ(0x00563412u, plan.colour);
    s.width = 0;
    EXPECT_EQ(1, PlanDrawing(s).width);

    uint8_t buf[kBoardSize];
    BuildBoardDatagram(buf, 1, 1, s);
    WriteU16BE(buf + 24, 5000);  // a count beyond the 100 points the datagram holds
    EXPECT_EQ(kMaxBoardPoints, ReadBoardDatagram(buf, kBoardSize).count);
    // A short datagram: missing points read as 0; one point draws nothing.
    WriteU16BE(buf + 24, 1);
    EXPECT_EQ(StrokeDrawing::Kind::Nothing, PlanDrawing(ReadBoardDatagram(buf, 30)).kind);
    s.clear = 1;
    EXPECT_EQ(StrokeDrawing::Kind::Clear, PlanDrawing(s).kind);
}

class SendStrokeTest : public NetFixture {};

TEST_F(SendStrokeTest, ToEveryPeerAfterTheOwnEntryInTableOrderUntilASendFails) {
    const uint32_t own = Ip(198, 18, 0, 1), a = Ip(198, 18, 0, 2), b = Ip(198, 18, 0, 3), c = Ip(198, 18, 0, 4);
    StartWithOwnAddress(own);
    TakeEntries(EntryDatagram(KIND_USERLIST, a, {Entry(a, "a"), Entry(b, "b"), Entry(c, "c")}).data(),
                 kHeaderSize + 3 * kUserEntrySize);
    SetDatagramCount(0x1233);
    BoardStroke s;
    s.red = 0xFF;
    s.blue = 0x80;
    s.width = 8;
    s.count = 2;
    s.x[0] = 0x0102;
    s.y[0] = 0x0304;
    s.x[1] = 299;
    s.y[1] = 1;
    SendStroke(s);
    ASSERT_EQ(3u, socket.sent.size());
    EXPECT_EQ((std::vector<uint32_t>{a, b, c}),
              (std::vector<uint32_t>{socket.sent[0].address, socket.sent[1].address, socket.sent[2].address}));
    const Bytes& d = socket.sent[0].bytes;
    ASSERT_EQ(static_cast<size_t>(kBoardSize), d.size());
    const uint8_t head[] = {'K', '0', '0', '1', 0x01, 0xB4, 0, 8, 198, 18, 0, 1, 0, 0, 0x12, 0x34,
                            0xFF, 0, 0, 0, 0x80, 0, 0, 8, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            0x01, 0x02, 0x03, 0x04, 0x01, 0x2B, 0, 1};
    EXPECT_EQ(Bytes(head, head + sizeof head), Bytes(d.begin(), d.begin() + sizeof head));
    EXPECT_EQ(Bytes(d.size() - sizeof head, 0), Bytes(d.begin() + sizeof head, d.end()));
    EXPECT_EQ(0, PendingCount());  // never resent

    socket.sent.clear();
    socket.failing = {b};
    SendStroke(s);
    // a gets it, b fails, and c is not tried.
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(a, socket.sent[0].address);
}

}  // namespace
