// The output area: the conversation shown.
#pragma once
#include <cstdint>

class ChatAreasView {
public:
    virtual ~ChatAreasView() = default;
    // Appends one line (ending in "\r\n") in `colour` (0x00BBGGRR), caret at
    // the end, scrolled to the last line. False when the output area was
    // full: the line is not shown and the area has been emptied after the
    // overflow message.
    virtual bool AppendOutput(const char* line, uint32_t colour) = 0;
    // Around a burst of received datagrams: lines appended in between may be
    // drawn once, when the burst is over, instead of one by one.
    virtual void HoldDrawing() {}
    virtual void DrawHeld() {}
};
