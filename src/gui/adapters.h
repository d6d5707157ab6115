#pragma once
// Qt implementations of the core's platform ports.
#include <QObject>
#include <QSerialPort>
#include <QTcpSocket>
#include <functional>
#include <random>

#include "app/ports.h"

namespace kestora::gui {

class QtClock : public Clock {
public:
    LocalDateTime now() override;
    // Runs a local event loop that ignores the operator's input, so the
    // window keeps painting during the long pauses.
    void pause(int ms) override;
};

class QtRandom : public Random {
public:
    void seed() override;
    int between(int lo, int hi) override;

private:
    std::mt19937 gen_;
};

class QtSerial : public QObject, public SerialPort {
    Q_OBJECT
public:
    QtSerial();
    void open(const std::string& devicePath) override;
    bool isOpen() const override { return port_.isOpen(); }
    void close() override;
    void write(const Bytes& bytes) override;

    std::function<void(const Bytes&)> onChunk;

private:
    QSerialPort port_;
};

class QtTcp : public QObject, public TcpClient {
    Q_OBJECT
public:
    QtTcp();
    void connectTo(const std::string& host, int port, int timeoutMs) override;
    bool connected() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    void disconnect() override;
    void write(const Bytes& bytes) override;

    std::function<void(std::uint8_t)> onByte;
    std::function<void()> onLost;

private:
    QTcpSocket socket_;
};

class PosixSystemClock : public SystemClock {
public:
    void setLocal(const LocalDateTime& when) override;
};

}  // namespace kestora::gui
