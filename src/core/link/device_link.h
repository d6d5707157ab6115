#pragma once
// Opening and closing the two links: the serial port (every model) and the
// TCP connection (the printer only).
#include <functional>
#include <string>

#include "app/ports.h"
#include "link/frame.h"
#include "link/rx_buffer.h"

namespace kestora {

class ConfigFile;

class DeviceLink {
public:
    DeviceLink(SerialPort& serial, TcpClient& tcp, const ConfigFile& config)
        : serial_(serial), tcp_(tcp), config_(config) {}

    static constexpr int kTcpPort = 1024;
    static constexpr int kConnectTimeoutMs = 3000;

    // "COM1" ... "COM8"; its built-in value is "COM1".
    std::string ComPortName = "COM1";
    // Whether a TCP reader is receiving (the reader thread of one connection).
    bool ReaderActive = false;
    RxBufferState rx;
    // Copies of the last receipt and service frame, for resending.
    FrameCopy ReceiptFrame{};
    FrameCopy ServiceFrame{};
    Bytes ServiceFrameText;  // the last model-2 short frame, resent unchanged

    void writeSerial(const Bytes& bytes) { serial_.write(bytes); }
    void writeTcp(const Bytes& bytes) { tcp_.write(bytes); }

    // Sets ComPortName from the configured port number; another value keeps it.
    void setPortNameFrom(const std::string& portText);
    // Opens the serial port at the device path of ComPortName. Throws PlatformError.
    void openSerial();
    bool serialOpen() const { return serial_.isOpen(); }
    void closeSerial();

    // Connects to ipText ("host" or "host:port") with the 3000 ms time-out and
    // starts reading. Throws PlatformError.
    void connectTcp(const std::string& ipText);
    bool tcpConnected() const { return tcp_.connected(); }
    void disconnectTcp();
    // The connection was lost or closed by the peer: reading ends.
    void tcpLost() { ReaderActive = false; }

    // Received bytes. A serial chunk is appended whole and the reset rule
    // applied once; a TCP byte is appended and the rule applied after it.
    // Then the answer handling runs.
    void receivedSerialChunk(const Bytes& chunk);
    void receivedTcpByte(std::uint8_t byte, bool tcpChosen);
    // The answer handling of the configured model; runs after every delivery.
    std::function<void()> onAnswerBytes;
    // Run when the TCP reader starts waiting for a byte: after connecting and
    // after the answer handling of each byte.
    std::function<void()> onTcpWaiting;

    // "host:port" -> host and port; a plain host keeps port 1024.
    static void splitHostPort(const std::string& ipText, std::string& host, int& port);

private:
    SerialPort& serial_;
    TcpClient& tcp_;
    const ConfigFile& config_;
};

}  // namespace kestora
