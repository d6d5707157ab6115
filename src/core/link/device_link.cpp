#include "link/device_link.h"

#include "app/config.h"
#include "app/text.h"

namespace kestora {

void DeviceLink::setPortNameFrom(const std::string& portText) {
    const auto n = parseInt(portText);
    if (n && *n >= 1 && *n <= 8) ComPortName = "COM" + std::to_string(*n);
}

void DeviceLink::openSerial() { serial_.open(config_.devicePathFor(ComPortName)); }

void DeviceLink::closeSerial() { serial_.close(); }

void DeviceLink::splitHostPort(const std::string& ipText, std::string& host, int& port) {
    host = trim(ipText);
    port = kTcpPort;
    const auto colon = host.rfind(':');
    if (colon == std::string::npos || host.find(':') != colon) return;  // none, or an IPv6 address
    if (const auto p = parseInt(host.substr(colon + 1)); p && *p > 0 && *p <= 65535) {
        port = *p;
        host.erase(colon);
    }
}

void DeviceLink::connectTcp(const std::string& ipText) {
    std::string host;
    int port = kTcpPort;
    splitHostPort(ipText, host, port);
    tcp_.connectTo(host, port, kConnectTimeoutMs);
    ReaderActive = true;
    if (onTcpWaiting) onTcpWaiting();  // the new reader starts waiting
}

void DeviceLink::receivedSerialChunk(const Bytes& chunk) {
    for (std::uint8_t b : chunk) rx.append(b);
    rx.applyResetRule();
    if (onAnswerBytes) onAnswerBytes();
}

void DeviceLink::receivedTcpByte(std::uint8_t byte, bool tcpChosen) {
    // Reading ended with its connection, or the serial link is chosen.
    if (!ReaderActive || !tcpChosen) return;
    rx.append(byte);
    rx.applyResetRule();
    if (onAnswerBytes) onAnswerBytes();
    if (onTcpWaiting) onTcpWaiting();  // the reader waits for the next byte
}

void DeviceLink::disconnectTcp() {
    ReaderActive = false;
    tcp_.disconnect();
}

}  // namespace kestora
