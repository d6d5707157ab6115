#pragma once
// A timer owned by the core. The front end (or a virtual clock in tests)
// makes it fire; the core ignores a tick that arrives while it is disabled.
#include <cstdint>
#include <functional>
#include <string>

namespace kestora {

class CoreTimer {
public:
    CoreTimer(std::string name, int intervalMs) : name_(std::move(name)), interval_(intervalMs) {}

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    // Changes on every enabling and every new interval: the countdown starts
    // again from then, as a timer restarts when it is switched on.
    std::uint64_t epoch() const { return epoch_; }

    void setEnabled(bool on) {
        if (on == enabled_) return;
        enabled_ = on;
        ++epoch_;
    }
    void setInterval(int ms) {
        interval_ = ms;
        ++epoch_;
    }

    // What the timer does; set by the part of the bridge that owns it.
    std::function<void()> onTimer;
    // A tick from the front end: runs the handler if the timer is on.
    void fire() {
        if (enabled_ && onTimer) onTimer();
    }

private:
    std::string name_;
    int interval_;
    bool enabled_ = false;
    std::uint64_t epoch_ = 0;
};

}  // namespace kestora
