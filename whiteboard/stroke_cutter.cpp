#include "whiteboard/stroke_cutter.h"

void StrokeCutter::Begin(uint16_t x, uint16_t y) {
    stroke_ = BoardStroke{};
    drawing_ = true;
    last_ = {x, y};
    Add(x, y);
}

void StrokeCutter::Add(uint16_t x, uint16_t y) {
    stroke_.x[stroke_.count] = x;
    stroke_.y[stroke_.count] = y;
    ++stroke_.count;
}

StrokeCutter::Outcome StrokeCutter::Move(uint16_t x, uint16_t y) {
    if (!drawing_) return {};
    if (x > kCanvasSize || y > kCanvasSize || stroke_.count >= kMaxBoardPoints) {
        drawing_ = false;
        return {Step::End, last_, last_};
    }
    Outcome line{Step::Line, last_, {x, y}};
    last_ = {x, y};
    Add(x, y);
    return line;
}

StrokeCutter::Outcome StrokeCutter::Release() {
    if (!drawing_) return {};
    drawing_ = false;
    if (stroke_.count != 1) return {Step::End, last_, last_};
    Add(stroke_.x[0], stroke_.y[0]);
    return {Step::Dot, last_, last_};
}
