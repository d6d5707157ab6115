#include "adapters.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace kestora::gui {

LocalDateTime QtClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime c = t.time();
    return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second(), c.msec()};
}

void QtClock::pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtRandom::seed() { gen_.seed(std::random_device{}() ^ static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch())); }

int QtRandom::between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }

QtSerial::QtSerial() {
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        const QByteArray data = port_.readAll();
        if (onChunk && !data.isEmpty()) onChunk(Bytes(data.begin(), data.end()));
    });
    // A vanished device reports ReadError over and over unless closed.
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if ((e == QSerialPort::ReadError || e == QSerialPort::ResourceError) && port_.isOpen()) port_.close();
    });
}

void QtSerial::open(const std::string& devicePath) {
    if (port_.isOpen()) port_.close();
    port_.setPortName(QString::fromStdString(devicePath));
    port_.setBaudRate(QSerialPort::Baud57600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(16384);
    if (!port_.open(QIODevice::ReadWrite))
        throw PlatformError("Port " + devicePath + " nije moguce otvoriti: " + port_.errorString().toStdString());
    // Pseudo-terminals refuse the modem lines; that is harmless.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
}

void QtSerial::close() {
    if (port_.isOpen()) port_.close();
}

void QtSerial::write(const Bytes& bytes) {
    if (!port_.isOpen()) throw PlatformError("Port nije otvoren.");
    const auto n = port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size()))
        throw PlatformError("Greska pri slanju na port: " + port_.errorString().toStdString());
    port_.flush();
}

QtTcp::QtTcp() {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        // One byte at a time, each delivered before the next is read.
        char c = 0;
        while (socket_.state() == QAbstractSocket::ConnectedState && socket_.getChar(&c))
            if (onByte) onByte(static_cast<std::uint8_t>(c));
    });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        if (onLost) onLost();
    });
}

void QtTcp::connectTo(const std::string& host, int port, int timeoutMs) {
    socket_.abort();
    socket_.connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
    if (!socket_.waitForConnected(timeoutMs)) {
        const std::string why = socket_.errorString().toStdString();
        socket_.abort();
        throw PlatformError("Veza sa " + host + ":" + std::to_string(port) + " nije uspostavljena: " + why);
    }
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void QtTcp::disconnect() {
    socket_.disconnectFromHost();
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
}

void QtTcp::write(const Bytes& bytes) {
    if (!connected()) throw PlatformError("Veza sa stampacem nije uspostavljena.");
    const auto n = socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size()))
        throw PlatformError("Greska pri slanju: " + socket_.errorString().toStdString());
    socket_.flush();
}

void PosixSystemClock::setLocal(const LocalDateTime& w) {
    std::tm tm{};
    tm.tm_year = w.year - 1900;
    tm.tm_mon = w.month - 1;
    tm.tm_mday = w.day;
    tm.tm_hour = w.hour;
    tm.tm_min = w.minute;
    tm.tm_sec = w.second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) throw PlatformError("Neispravan datum i vreme.");
    const timespec ts{t, 0};
    if (::clock_settime(CLOCK_REALTIME, &ts) != 0) {
        const int err = errno;
        std::string text = std::string("Sat racunara nije podesen: ") + std::strerror(err) + ".";
        if (err == EPERM)
            text += " Programu treba pravo da menja sat: pokrenite ga kao root ili mu dodelite pravo "
                    "komandom: sudo setcap cap_sys_time+ep $(command -v kestora)";
        throw PlatformError(text);
    }
}

}  // namespace kestora::gui
