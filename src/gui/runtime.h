#pragma once
// What both front ends share: the platform adapters, the bridge, the real
// timers that drive the core's timers, and the signals that close the program.
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <vector>

#include "adapters.h"
#include "app/app.h"

namespace kestora::gui {

// Link ports to use instead of the real serial port and TCP socket (the
// demo's simulated device); a null pointer keeps the real one.
struct LinkPorts {
    SerialPort* serial = nullptr;
    TcpClient* tcp = nullptr;
};

class Runtime : public QObject {
    Q_OBJECT
public:
    Runtime(OperatorPort& op, ViewPort& view, const std::filesystem::path& workdir, LinkPorts links = {});
    ~Runtime() override;

    App& app() { return *app_; }
    // Received bytes enter the core here, whichever port brought them.
    void receivedSerialChunk(const Bytes& chunk);
    void receivedTcpByte(std::uint8_t byte);
    void tcpLost();
    // Brings the real timers in line with the core's timers.
    void syncTimers();
    // SIGINT and SIGTERM close the program through the main window's closing.
    void installSignalHandlers();

private:
    struct BoundTimer {
        CoreTimer* core;
        QTimer* timer;
        std::uint64_t epoch;
        bool running;
    };
    QtClock clock_;
    QtRandom random_;
    QtSerial serial_;
    QtTcp tcp_;
    PosixSystemClock systemClock_;
    std::unique_ptr<App> app_;
    std::vector<BoundTimer> timers_;
    QSocketNotifier* signalNotifier_ = nullptr;
};

}  // namespace kestora::gui
