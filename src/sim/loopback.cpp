#include "loopback.h"

namespace kestora::sim {

void Loopback::open(const std::string& path) {
    opened.push_back(path);
    open_ = true;
}

void Loopback::write(const kestora::Bytes& bytes) {
    if (!open_ && !connected_) throw PlatformError("the link is not open");
    lastOverTcp_ = connected_ && !open_;
    sim_.receive(bytes, now_());
}

void Loopback::connectTo(const std::string&, int, int) {
    if (sim_.model() != 4) throw PlatformError("the device does not answer over TCP");
    connected_ = true;
}

int Loopback::deliver(std::int64_t nowMs, const std::function<void(const kestora::Bytes&, bool)>& sink) {
    int n = 0;
    for (const auto& chunk : sim_.take(nowMs)) {
        sink(chunk, lastOverTcp_);
        ++n;
    }
    return n;
}

}  // namespace kestora::sim
