#include "console/console_peer.h"

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "console/console_views.h"
#include "console/text_codec.h"
#include "messaging/chat_send.h"
#include "messaging/log_file.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "net/presence.h"
#include "net/transport.h"
#include "platform/posix/binary_semaphore_posix.h"
#include "platform/posix/host_identity_posix.h"
#include "platform/posix/local_clock_posix.h"
#include "platform/posix/profile_store_posix.h"
#include "platform/posix/udp_socket_posix.h"
#include "settings/load_settings.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "settings/window_modes.h"
#include "shell/core_wiring.h"

namespace {

constexpr int kResendIntervalMs = 15000;
constexpr size_t kStatusBytes = 14;
constexpr size_t kInputBytes = 255;  // what the input area holds

volatile sig_atomic_t g_stop = 0;

void OnStopSignal(int) { g_stop = 1; }

void InstallSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: poll returns so the loop sees the flag
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

long long NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Cuts a CP932 text to `limit` bytes without splitting a double-byte character.
std::string CutCp932(const std::string& text, size_t limit) {
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        size_t width = lead ? 2 : 1;
        if (i + width > limit || i + width > text.size()) break;
        i += width;
    }
    return text.substr(0, i);
}

// Everything the peer owns for the length of a run.
class Peer {
public:
    explicit Peer(const ConsoleOptions& options) : options_(options), views_(stdout) {}

    int Run();

private:
    bool StartUp();
    void ShutDown();
    void Loop();
    void ReadInput();
    void HandleLine(const std::string& line);
    void CommandStart();
    void CommandEnd();
    void CommandStatus(const std::string& text_utf8);
    void CommandSend(const ParsedLine& parsed, bool personal, bool popup);
    void CommandBoard(const ParsedLine& parsed);

    ConsoleOptions options_;
    ConsoleViews views_;
    UdpSocketPosix socket_;
    HostIdentityPosix host_;
    PosixProfileStore profile_;
    LocalClockPosix clock_;
    BinarySemaphorePosix peer_lock_, pending_lock_;
    std::string input_;
    bool input_open_ = true;
    bool quit_ = false;
};

bool Peer::StartUp() {
    g_platform = Platform{};
    g_platform.socket = &socket_;
    g_platform.host = &host_;
    g_platform.profile = &profile_;
    g_platform.clock = &clock_;
    InstallViews(&views_);
    ConnectSubsystems();
    g_platform.debug = g_settings.Debug;
    g_platform.peer_table_lock = &peer_lock_;
    g_platform.pending_ack_lock = &pending_lock_;
    ResetWindowModes();

    std::string dir = options_.directory;
    if (dir.back() != '/') dir += '/';
    if (!DeriveProgramPaths((dir + "mosswick-console").c_str(), &g_program_paths)) {
        std::fprintf(stderr, "mosswick-console: directory path too long: %s\n", dir.c_str());
        return false;
    }
    WindowRect rect;
    LoadSettings(&rect);
    if (LogSaveOn(g_settings)) {
        if (!SwitchLogging(true, g_program_paths.log_path))
            views_.ShowMessage("ログファイルを開けませんでした。", "Mosswick - ログファイル",
                               BoxIcon::Exclamation);
    }
    ResetPeerTable();
    SocketSetUp();
    if (!socket_.IsOpen()) {
        std::fprintf(stderr, "mosswick-console: no network (the socket could not be set up)\n");
        return false;
    }
    views_.PrintLine("[name] ", g_settings.Name);
    return true;
}

void Peer::ShutDown() {
    ShutdownNetwork();
    SwitchLogging(false, g_program_paths.log_path);
}

void Peer::CommandStart() {
    if (g_transport.started) return;
    StartSequence(StartMode::Command);
    views_.ShowStartEndState(StartEndState::Started);
    g_transport.started = true;
}

void Peer::CommandEnd() {
    if (!g_transport.started) return;
    EndAnnouncement();
    views_.ShowStartEndState(StartEndState::Ended);
    g_transport.started = false;
}

void Peer::CommandStatus(const std::string& text_utf8) {
    if (!g_transport.network_ready) {
        std::printf("[error] the network is not ready yet\n");
        return;
    }
    std::string cp932 = CutCp932(Utf8ToCp932(text_utf8), kStatusBytes);
    SetOwnStatus(cp932.c_str());
    AnnounceOwnChange();
}

// A message goes out the way the window's send command sends the input
// area's text: to everyone, or in personal mode to the selected users.
void Peer::CommandSend(const ParsedLine& parsed, bool personal, bool popup) {
    if (!g_transport.network_ready) {
        std::printf("[error] the network is not ready yet\n");
        return;
    }
    std::vector<uint32_t> selected;
    for (const std::string& text : parsed.addresses) selected.push_back(UserAddressOf(text));
    SendChatMessage(CutCp932(Utf8ToCp932(parsed.argument), kInputBytes), personal, popup, selected);
}

void Peer::CommandBoard(const ParsedLine& parsed) {
    if (!g_transport.network_ready) {
        std::printf("[error] the network is not ready yet\n");
        return;
    }
    std::string failed;
    if (!SendBoardCommand(parsed, &failed)) std::printf("[error] the stroke could not be sent to %s\n", failed.c_str());
}

void Peer::HandleLine(const std::string& line) {
    ParsedLine parsed = ParseConsoleLine(line);
    switch (parsed.command) {
        case ConsoleCommand::Start: CommandStart(); break;
        case ConsoleCommand::End: CommandEnd(); break;
        case ConsoleCommand::Check: UserCheck(); break;
        case ConsoleCommand::Status: CommandStatus(parsed.argument); break;
        case ConsoleCommand::Users: views_.PrintUsers(); break;
        case ConsoleCommand::Help: PrintConsoleUsage(stdout); break;
        case ConsoleCommand::Quit: quit_ = true; break;
        case ConsoleCommand::Say: CommandSend(parsed, false, false); break;
        case ConsoleCommand::To: CommandSend(parsed, true, false); break;
        case ConsoleCommand::Popup: CommandSend(parsed, false, true); break;
        case ConsoleCommand::PopupTo: CommandSend(parsed, true, true); break;
        case ConsoleCommand::Stroke:
        case ConsoleCommand::StrokeTo:
        case ConsoleCommand::Clear:
        case ConsoleCommand::ClearTo: CommandBoard(parsed); break;
        case ConsoleCommand::Malformed: std::printf("[error] %s\n", parsed.error.c_str()); break;
        case ConsoleCommand::Unknown:
            std::printf("[error] unknown command (try /help): %s\n", line.c_str());
            break;
        case ConsoleCommand::Empty: break;
    }
    std::fflush(stdout);
}

void Peer::ReadInput() {
    char buffer[4096];
    ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
        input_open_ = false;
        if (!input_.empty()) HandleLine(input_);
        input_.clear();
        quit_ = true;
        return;
    }
    input_.append(buffer, static_cast<size_t>(n));
    size_t newline;
    while ((newline = input_.find('\n')) != std::string::npos) {
        std::string line = input_.substr(0, newline);
        input_.erase(0, newline + 1);
        HandleLine(line);
    }
}

void Peer::Loop() {
    long long next_tick = NowMs() + kResendIntervalMs;
    while (!quit_ && !g_stop) {
        pollfd fds[2] = {};
        fds[0].fd = socket_.Fd();
        fds[0].events = static_cast<short>(POLLIN | (g_transport.network_ready ? 0 : POLLOUT));
        fds[1].fd = input_open_ ? STDIN_FILENO : -1;
        fds[1].events = POLLIN;
        long long wait = next_tick - NowMs();
        int ready = poll(fds, 2, wait < 0 ? 0 : static_cast<int>(wait));
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            if ((fds[0].revents & POLLOUT) && !g_transport.network_ready) SocketEvent(2);
            if (fds[0].revents & POLLIN) SocketEvent(1);
            if (fds[1].revents & (POLLIN | POLLHUP)) ReadInput();
        }
        if (NowMs() >= next_tick) {
            ResendPass();
            next_tick += kResendIntervalMs;
        }
        views_.PrintUsersIfChanged();
    }
}

int Peer::Run() {
    InstallSignalHandlers();
    if (!StartUp()) return 1;
    Loop();
    ShutDown();
    return 0;
}

}  // namespace

int RunConsolePeer(const ConsoleOptions& options) {
    Peer peer(options);
    return peer.Run();
}
