#include "console/probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "console/text_codec.h"
#include "net/datagram.h"

namespace {

// Any count will do: the probe keeps nothing for resending.
constexpr uint16_t kProbeCount = 1;

double NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

sockaddr_in SocketAddress(uint32_t address, int port) {
    sockaddr_in sa = {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = address;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    return sa;
}

// The two sockets of a probe: one on the port, where a Mosswick sends its
// answers (to the port, whatever port the check came from), and one
// connected to the target, which hears the host's refusal.
struct ProbeSockets {
    int listen = -1;
    int target = -1;
    uint16_t target_port = 0;  // the connected socket's own port (network order)
    ~ProbeSockets() {
        if (listen >= 0) close(listen);
        if (target >= 0) close(target);
    }
};

bool OpenSockets(uint32_t address, int port, ProbeSockets* s, std::string* error) {
    s->listen = socket(AF_INET, SOCK_DGRAM, 0);
    s->target = socket(AF_INET, SOCK_DGRAM, 0);
    if (s->listen < 0 || s->target < 0) {
        *error = std::string("no socket: ") + std::strerror(errno);
        return false;
    }
    sockaddr_in local = SocketAddress(htonl(INADDR_ANY), port);
    if (bind(s->listen, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        *error = "UDP port " + std::to_string(port) + " is taken on this machine (is a copy running here?), " +
                 "so no answer could be heard: run the probe where no copy runs";
        return false;
    }
    sockaddr_in to = SocketAddress(address, port);
    if (connect(s->target, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        *error = std::string("cannot reach the address: ") + std::strerror(errno);
        return false;
    }
    sockaddr_in own = {};
    socklen_t own_size = sizeof own;
    if (getsockname(s->target, reinterpret_cast<sockaddr*>(&own), &own_size) == 0) s->target_port = own.sin_port;
    return true;
}

// A user check without an entry: the receiver adds no one to its table and
// answers with its own entry.
bool SendCheck(const ProbeSockets& s) {
    uint8_t check[kHeaderSize] = {};
    WriteHeader(check, kHeaderSize, KIND_CHECK, 0, 0, kProbeCount);
    return send(s.target, check, sizeof check, 0) == static_cast<ssize_t>(sizeof check);
}

// The answer is acknowledged, so that its sender does not send it again.
void Acknowledge(const ProbeSockets& s, const uint8_t* datagram, int length, uint32_t from, int port) {
    uint8_t resp[kMaxDatagramSize] = {};
    std::memcpy(resp, datagram, static_cast<size_t>(std::min(length, kMaxDatagramSize)));
    WriteAddress(resp + kOffsetAddr, from);
    MakeResp(resp, 0);
    sockaddr_in to = SocketAddress(from, port);
    sendto(s.listen, resp, kRespSize, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

void TakeAnswer(const ProbeSockets& s, uint32_t address, int port, double sent_at, ProbeOutcome* outcome) {
    uint8_t datagram[kMaxDatagramSize] = {};
    sockaddr_in from = {};
    socklen_t from_size = sizeof from;
    ssize_t n = recvfrom(s.listen, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (n <= 0 || from.sin_addr.s_addr != address) return;
    const int length = static_cast<int>(n);
    const int16_t kind = ReadKind(datagram, length);
    // An address of this machine with nothing else on the port: the check
    // arrives at the probe's own socket on the port, and no refusal comes.
    if (kind == KIND_CHECK && s.target_port != 0 && from.sin_port == s.target_port) {
        outcome->heard_itself = true;
        return;
    }
    if (kind == KIND_RESP) {
        outcome->acknowledged = true;
        return;
    }
    UserEntry entry;
    if (kind != KIND_USERLIST || !ReadReceivedEntry(datagram, length, 0, &entry)) return;
    Acknowledge(s, datagram, length, address, port);
    if (outcome->answered) return;
    outcome->answered = true;
    outcome->round_trip_ms = NowMs() - sent_at;
    outcome->name.assign(entry.from, BoundedLength(entry.from, sizeof entry.from));
    outcome->status.assign(entry.cond, BoundedLength(entry.cond, sizeof entry.cond));
}

// A refusal shows as an error on the connected socket.
void TakeRefusal(const ProbeSockets& s, ProbeOutcome* outcome) {
    uint8_t ignored[16];
    if (recv(s.target, ignored, sizeof ignored, 0) < 0 && errno == ECONNREFUSED) outcome->refused = true;
}

ProbeOutcome Listen(const ProbeSockets& s, uint32_t address, const ProbeOptions& options, double sent_at) {
    ProbeOutcome outcome;
    // A little longer after the answer, for its acknowledgement's sake.
    double deadline = sent_at + options.wait_ms;
    while (NowMs() < deadline && !outcome.refused && !outcome.heard_itself &&
           !(outcome.answered && outcome.acknowledged)) {
        pollfd fds[2] = {{s.listen, POLLIN, 0}, {s.target, POLLIN, 0}};
        int left = static_cast<int>(deadline - NowMs());
        if (poll(fds, 2, left > 0 ? left : 0) <= 0) continue;
        if (fds[0].revents & POLLIN) TakeAnswer(s, address, options.port, sent_at, &outcome);
        if (fds[1].revents & (POLLIN | POLLERR)) TakeRefusal(s, &outcome);
    }
    return outcome;
}

}  // namespace

int DescribeProbe(const ProbeOptions& options, const ProbeOutcome& outcome, std::string* report) {
    char rtt[32];
    std::snprintf(rtt, sizeof rtt, "%.1f ms", outcome.round_trip_ms);
    const std::string where = options.address + " UDP " + std::to_string(options.port);
    if (outcome.answered) {
        *report = "Mosswick answered from " + where + " in " + rtt + ": " + Cp932ToUtf8(outcome.name) + " (" +
                  Cp932ToUtf8(outcome.status) + ")";
        return 0;
    }
    if (outcome.heard_itself) {
        *report = "No Mosswick at " + where + ": that is this machine, and nothing but the probe listens on " +
                  "the port here (is the program running, and on the same port?)";
        return 1;
    }
    if (outcome.refused) {
        *report = "No Mosswick at " + where + ": the host is there but nothing listens on the port " +
                  "(is the program running, and on the same port?)";
        return 1;
    }
    const std::string seconds = std::to_string(options.wait_ms / 1000.0).substr(0, 3);
    if (outcome.acknowledged) {
        *report = "Mosswick at " + where + " acknowledged the check but sent no answer within " + seconds + " s";
        return 2;
    }
    *report = "No answer from " + where + " within " + seconds + " s and no refusal: the check or its answer " +
              "is stopped on the way, most likely the answer on its way back (a firewall on either side " +
              "dropping UDP " + std::to_string(options.port) + ", or that host cannot reach this one), or the " +
              "host is off";
    return 2;
}

int RunProbe(const ProbeOptions& options, std::FILE* out) {
    in_addr parsed = {};
    if (inet_pton(AF_INET, options.address.c_str(), &parsed) != 1) {
        std::fprintf(out, "probe: not an IPv4 address: %s\n", options.address.c_str());
        return 3;
    }
    ProbeSockets sockets;
    std::string error;
    if (!OpenSockets(parsed.s_addr, options.port, &sockets, &error)) {
        std::fprintf(out, "probe: %s\n", error.c_str());
        return 3;
    }
    const double sent_at = NowMs();
    if (!SendCheck(sockets)) {
        std::fprintf(out, "probe: the check could not be sent: %s\n", std::strerror(errno));
        return 3;
    }
    std::string report;
    int status = DescribeProbe(options, Listen(sockets, parsed.s_addr, options, sent_at), &report);
    std::fprintf(out, "%s\n", report.c_str());
    return status;
}
