#include "shell/core_wiring.h"

#include "messaging/log_file.h"
#include "messaging/undelivered_notice.h"
#include "net/pending_acks.h"
#include "net/dump.h"
#include "net/presence.h"
#include "net/transport.h"
#include "shell/receive_dispatch.h"

void ConnectSubsystems() {
    SetReceiveDispatch(DispatchReceived);
    SetNetworkHooks({.started = [] { StartSequence(StartMode::StartUp); }, .ending = [] { EndAnnouncement(); }});
    SetDumpWriter(LogWriteWhileOn);
    SetUndeliveredHandler(ShowUndelivered);
}
