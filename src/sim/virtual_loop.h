#pragma once
// The bridge and the simulated device on one virtual clock: the core's
// timers fire and the device's answers arrive at their due times, so a whole
// conversation with pauses, latencies and silences runs in an instant.
#include <cstdint>
#include <vector>

#include "app/app.h"
#include "loopback.h"

namespace kestora::sim {

class VirtualLoop {
public:
    // nowMs is the virtual clock the bridge's Clock port and the loopback
    // read; pauses of the bridge move it on.
    VirtualLoop(App& app, Loopback& link, long long& nowMs) : app_(app), link_(link), now_(nowMs) {}
    // Runs ms of virtual time.
    void run(long long ms);

private:
    struct Tracked {
        CoreTimer* timer;
        std::uint64_t epoch;
        long long start;
    };
    std::vector<Tracked>& timers();
    App& app_;
    Loopback& link_;
    long long& now_;
    std::vector<Tracked> tracked_;
};

}  // namespace kestora::sim
