// The real serial and TCP adapters: a pseudo-terminal and a loopback server
// stand in for the device.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "runtime.h"

using namespace kestora;

namespace {

struct QuietOperator : OperatorPort, ViewPort {
    gui::Runtime* runtime = nullptr;
    std::vector<std::string> said;
    DialogAnswer showDialog(const DialogView& v) override {
        said.push_back(v.title + "/" + v.text);
        return 1;
    }
    void closeDialog() override {}
    void showInstructions(const std::string& c, const std::vector<std::string>&) override { said.push_back(c); }
    bool askYesNo(const std::string&, const std::string&, const std::string&, const std::string&) override { return false; }
    void showError(const std::string& t) override { said.push_back("error/" + t); }
    void sync() override {
        if (runtime) runtime->syncTimers();
    }
    void showModal(WindowId) override {}
    void closeWindow(WindowId) override {}
    bool hideToTray() override { return false; }
    void restoreFromTray() override {}
    void quit() override {}
};

Bytes rxBytes(const DeviceLink& link) {
    return Bytes(link.rx.RxBuffer.begin(), link.rx.RxBuffer.begin() + link.rx.RxLength);
}

}  // namespace

class LinkTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<gui::Runtime> bridge(QuietOperator& op, const std::string& link) {
        const std::string d = dir.path().toStdString();
        for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) std::filesystem::create_directories(d + "/" + f);
        std::ofstream(d + "/Konfiguracija.dat")
            << "[Konfiguracija]\nBon=" << d << "/Bon\nKomanda=" << d << "/UKasu\nGreska=" << d << "/IzKase\nArhiva=" << d
            << "/Arhiva\nDuzina=33\nModel=4\nIBFM=123456\nIsprazniBonFolder=1\n" << link;
        auto rt = std::make_unique<gui::Runtime>(op, op, dir.path().toStdString());
        op.runtime = rt.get();
        return rt;
    }

private slots:
    void serialBothWaysUnderTheResetRule() {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        QuietOperator op;
        auto rt = bridge(op, std::string("Port=4\nKonekcija=0\n[Portovi]\nCOM4=") + ::ptsname(master) + "\n");
        App& app = rt->app();
        app.entry([&] { app.Form1.FormActivate(); });
        QVERIFY(app.link.serialOpen());
        QCOMPARE(app.link.ComPortName, std::string("COM4"));
        // Start sent the status request: 12 bytes on the device side.
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] {
            char buf[64];
            const auto n = ::read(master, buf, sizeof buf);
            if (n > 0) got.append(buf, n);
            return got.size() >= 12;
        }, 2000));
        const Bytes sent(got.begin(), got.end());
        QCOMPARE(sent, Bytes(app.link.ServiceFrame.begin(), app.link.ServiceFrame.begin() + 12));

        // A chunk that starts with a stray byte is dropped whole.
        const unsigned char stray[] = {0x00, 0xAA, 0x01};
        QCOMPARE(::write(master, stray, 3), 3);
        QTest::qWait(100);
        QCOMPARE(app.link.rx.RxLength, 0);
        // An answer in two chunks collects in the buffer.
        const unsigned char first[] = {0xAA, 0x04, 0x01, 0x12, 0x34};
        const unsigned char second[] = {0x56, 0x09, 0x0D, 0x00, 0x00, 0x00, 0x0D};
        QCOMPARE(::write(master, first, 5), 5);
        QTest::qWait(50);
        QCOMPARE(::write(master, second, 7), 7);
        QVERIFY(QTest::qWaitFor([&] { return app.link.rx.RxLength == 12; }, 2000));
        QCOMPARE(rxBytes(app.link), (Bytes{0xAA, 0x04, 0x01, 0x12, 0x34, 0x56, 0x09, 0x0D, 0x00, 0x00, 0x00, 0x0D}));
        app.entry([&] { app.Form1.BtnStart1Click(); });
        QVERIFY(!app.link.serialOpen());
        ::close(master);
    }

    void tcpByteByByteAndPeerClosing() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QuietOperator op;
        auto rt = bridge(op, "Konekcija=1\nIP=127.0.0.1:" + std::to_string(server.serverPort()) + "\n");
        App& app = rt->app();
        QTcpSocket* peer = nullptr;
        connect(&server, &QTcpServer::newConnection, this, [&] { peer = server.nextPendingConnection(); });
        app.entry([&] { app.Form1.FormActivate(); });
        QVERIFY(app.link.tcpConnected());
        QVERIFY(QTest::qWaitFor([&] { return peer != nullptr && peer->bytesAvailable() >= 12; }, 3000));
        const QByteArray status = peer->readAll();
        QCOMPARE(status.size(), 12);
        QCOMPARE(static_cast<unsigned char>(status[7]), 0x0Du);

        // Bytes arrive one at a time: the stray byte alone is dropped.
        int waits = 0;
        app.link.onTcpWaiting = [&] { ++waits; };
        peer->write(QByteArray::fromHex("00aa01"));
        peer->flush();
        QVERIFY(QTest::qWaitFor([&] { return waits == 3; }, 2000));
        QCOMPARE(rxBytes(app.link), (Bytes{0xAA, 0x01}));

        // The peer closes: reading ends, nothing reconnects by itself.
        peer->disconnectFromHost();
        QVERIFY(QTest::qWaitFor([&] { return !app.link.tcpConnected(); }, 2000));
        QVERIFY(!app.link.ReaderActive);
        QTest::qWait(100);
        QVERIFY(!server.hasPendingConnections());
        app.entry([&] { app.commands.GetStatus(); });
        QVERIFY(!op.said.empty());
        QVERIFY(QString::fromStdString(op.said.back()).startsWith("error/"));
        QVERIFY(app.Form1.TimerKasa.enabled());  // the watchdog will resend
    }

    void tcpToAClosedPortFails() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        QuietOperator op;
        auto rt = bridge(op, "Konekcija=1\nIP=127.0.0.1:" + std::to_string(port) + "\n");
        App& app = rt->app();
        app.entry([&] { app.Form1.FormActivate(); });
        QVERIFY(!app.link.tcpConnected());
        QCOMPARE(op.said.size(), std::size_t(1));
        QCOMPARE(op.said[0], std::string("Kestora v3.5.3"));  // the instructions window
        QVERIFY(!app.Form1.BtnStart.enabled);
    }
};

QTEST_GUILESS_MAIN(LinkTest)
#include "link_test.moc"
