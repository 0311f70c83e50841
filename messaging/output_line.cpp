#include "messaging/output_line.h"

#include <cstring>

#include "messaging/log_file.h"
#include "settings/settings.h"
#include "platform/platform.h"
#include "platform/chat_areas_view.h"

void AppendOutputLine(const char* line, uint32_t colour) {
    if (OuAreaTextColorForceOn(g_settings)) colour = g_settings.OuArea_TextColor;
    // A full output area empties itself after its message; the line it could
    // not take still goes to the log below.
    if (g_platform.chat_areas != nullptr) g_platform.chat_areas->AppendOutput(line, colour);
    // A log that cannot take the line ends logging: the write was reported.
    if (LoggingOn() && !LogWrite(line, std::strlen(line))) SwitchLogging(false, nullptr);
}
