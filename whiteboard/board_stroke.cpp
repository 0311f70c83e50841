#include "whiteboard/board_stroke.h"

#include <algorithm>

#include "net/counters.h"
#include "net/lock_order.h"
#include "net/peer_table.h"
#include "net/transport.h"
#include "settings/settings.h"

namespace {

int BuildStroke(uint8_t* datagram, const BoardStroke& stroke, uint32_t own) {
    return BuildBoardDatagram(datagram, own, NextDatagramCount(), stroke);
}

}  // namespace

void SendStroke(const BoardStroke& stroke) {
    uint8_t datagram[kBoardSize];
    PeerTableLock lock;
    int length = BuildStroke(datagram, stroke, OwnAddress());
    for (int i = 1; i < g_peer_table.count; ++i)
        if (!SendDatagram(datagram, length, g_peer_table.entries[i].addr, g_settings.Port_Number, false)) break;
}

bool SendStrokeTo(const BoardStroke& stroke, uint32_t address) {
    uint8_t datagram[kBoardSize];
    uint32_t own = 0;
    {
        PeerTableLock lock;
        own = OwnAddress();
    }
    int length = BuildStroke(datagram, stroke, own);
    return SendDatagram(datagram, length, address, g_settings.Port_Number, false);
}

StrokeDrawing PlanDrawing(const BoardStroke& stroke) {
    StrokeDrawing plan;
    plan.colour = uint32_t{stroke.red} | uint32_t{stroke.green} << 8 | uint32_t{stroke.blue} << 16;
    plan.width = std::clamp<int>(stroke.width, 1, kMaxDrawnWidth);
    if (stroke.clear == 1) {
        plan.kind = StrokeDrawing::Kind::Clear;
    } else if (stroke.count == 2 && stroke.width == 1 && stroke.x[0] == stroke.x[1] && stroke.y[0] == stroke.y[1]) {
        plan.kind = StrokeDrawing::Kind::Pixel;
    } else if (stroke.count >= 2) {
        plan.kind = StrokeDrawing::Kind::Lines;
    }
    return plan;
}
