#pragma once
// Serving the simulator to a real bridge: on a pseudo-terminal or a TCP
// port, with console commands on standard input.
#include <filesystem>
#include <string>

#include "simulator.h"

namespace kestora::sim {

struct ServeOptions {
    bool pty = true;
    std::string host = "127.0.0.1";
    int port = 0;
    std::filesystem::path memory;  // empty: not kept
};

// Runs until SIGINT or SIGTERM; returns the exit status.
int serve(Simulator& sim, const ServeOptions& o);

}  // namespace kestora::sim
