// The output and input areas: the conversation shown, and the text typed.
#pragma once
#include <cstdint>
#include <string>

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
    // The input area's text (CP932, at most 255 bytes) and emptying it.
    virtual std::string InputText() = 0;
    virtual void ClearInput() = 0;
};
