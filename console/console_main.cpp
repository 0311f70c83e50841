#include <cstdio>

#include "console/console_peer.h"

int main(int argc, char** argv) {
    ConsoleOptions options = ParseConsoleOptions(argc, argv);
    if (!options.error.empty()) {
        std::fprintf(stderr, "mosswick-console: %s\n", options.error.c_str());
        PrintConsoleUsage(stderr);
        return 2;
    }
    if (options.show_help) {
        PrintConsoleUsage(stdout);
        return 0;
    }
    if (options.probe) return RunProbe(options.probe_options, stdout);
    return RunConsolePeer(options);
}
