#pragma once
// The simulator attached to the bridge's link ports in-process: what the
// bridge writes goes to the simulator at the current time; the answers are
// handed to whoever drives the time (a virtual clock in tests, a timer in
// the demo).
#include <functional>

#include "app/ports.h"
#include "simulator.h"

namespace kestora::sim {

class Loopback : public SerialPort, public TcpClient {
public:
    Loopback(Simulator& sim, std::function<std::int64_t()> nowMs) : sim_(sim), now_(std::move(nowMs)) {}

    // SerialPort
    void open(const std::string& path) override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    // Both ports: the bytes go to the simulator.
    void write(const kestora::Bytes& bytes) override;
    // TcpClient
    void connectTo(const std::string& host, int port, int timeoutMs) override;
    bool connected() const override { return connected_; }
    void disconnect() override { connected_ = false; }

    // Hands every answer chunk due by now to the bridge's receive path;
    // returns how many were delivered.
    int deliver(std::int64_t nowMs, const std::function<void(const kestora::Bytes&, bool overTcp)>& sink);
    std::int64_t nextDue() const { return sim_.nextDue(); }
    Simulator& simulator() { return sim_; }
    std::vector<std::string> opened;  // the paths the bridge opened

private:
    Simulator& sim_;
    std::function<std::int64_t()> now_;
    bool open_ = false, connected_ = false;
    bool lastOverTcp_ = false;
};

}  // namespace kestora::sim
