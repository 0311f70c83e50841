#include "platform/error_report.h"

#include <cstdio>

#include "platform/platform.h"
#include "platform/message_boxes.h"

std::string FormatInternalError(uint16_t c1, uint16_t c2, uint16_t c3, uint16_t c4) {
    char text[80] = {};
    std::snprintf(text, sizeof text, "内部エラーが発生しました。 エラーコード = %04x : %04x : %04x : %04x",
                  c1, c2, c3, c4);
    return text;
}

void ReportInternalError(uint16_t operation, uint16_t step) {
    if (g_platform.debug == nullptr || g_platform.debug[0] != 'Y' || g_platform.boxes == nullptr) return;
    g_platform.boxes->ShowMessage(FormatInternalError(operation, 0, step, 0).c_str(),
                                  "Mosswick - 内部エラー", BoxIcon::Error);
}
