// "Why can't I see X?": sends one user check to one address and tells what
// came back. A Mosswick there answers with its own entry (name and status);
// a host with nothing on the port refuses the datagram; silence means the
// check or its answer was stopped on the way.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct ProbeOptions {
    std::string address;       // dotted IPv4
    int port = 55700;          // where the check goes and where answers come back
    int wait_ms = 3000;
};

// What the probe heard.
struct ProbeOutcome {
    bool answered = false;     // a user list with an entry came back
    bool acknowledged = false; // the check's acknowledgement came back
    bool refused = false;      // the host said nothing listens on the port
    bool heard_itself = false; // the check came back to the probe's own socket:
                               // the address is this machine's, and nothing
                               // else listens on the port here
    double round_trip_ms = 0;  // to the first answer
    std::string name, status;  // of the answering user (CP932)
};

// The report for an outcome, in plain words (UTF-8), and the exit status:
// 0 a Mosswick answered, 1 nothing listens on the port, 2 silence.
int DescribeProbe(const ProbeOptions& options, const ProbeOutcome& outcome, std::string* report);

// Runs the probe and prints its report to `out`. Returns the exit status of
// DescribeProbe, or 3 when the probe itself could not run (a bad address, or
// the port taken on this machine so no answer could be heard).
int RunProbe(const ProbeOptions& options, std::FILE* out);
