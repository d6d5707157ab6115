#include "runtime.h"

#include <fcntl.h>
#include <unistd.h>

#include <QLocale>
#include <csignal>

namespace kestora::gui {

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}
}  // namespace

Runtime::Runtime(OperatorPort& op, ViewPort& view, const std::filesystem::path& workdir, LinkPorts links) {
    Ports ports;
    ports.clock = &clock_;
    ports.random = &random_;
    ports.serial = links.serial ? links.serial : &serial_;
    ports.tcp = links.tcp ? links.tcp : &tcp_;
    ports.systemClock = &systemClock_;
    ports.op = &op;
    ports.view = &view;
    app_ = std::make_unique<App>(ports, workdir);
    app_->localeDateFormat = QLocale::system().dateFormat(QLocale::ShortFormat).toStdString();

    serial_.onChunk = [this](const Bytes& chunk) { receivedSerialChunk(chunk); };
    tcp_.onByte = [this](std::uint8_t b) { receivedTcpByte(b); };
    tcp_.onLost = [this] { tcpLost(); };

    for (CoreTimer* t : {&app_->Form1.Timer, &app_->Form1.TimerKasa}) {
        auto* qt = new QTimer(this);
        qt->setObjectName(QString::fromStdString(t->name()));
        connect(qt, &QTimer::timeout, this, [this, t] { app_->deferrableEntry([t] { t->fire(); }); });
        timers_.push_back({t, qt, t->epoch() + 1, false});
    }
}

Runtime::~Runtime() {
    if (signalNotifier_) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
}

void Runtime::receivedSerialChunk(const Bytes& chunk) {
    app_->deferrableEntry([this, chunk] { app_->link.receivedSerialChunk(chunk); });
}

void Runtime::receivedTcpByte(std::uint8_t b) {
    app_->deferrableEntry([this, b] { app_->link.receivedTcpByte(b, app_->FrmKonf.tcpChosen()); });
}

void Runtime::tcpLost() { app_->link.tcpLost(); }

void Runtime::syncTimers() {
    for (auto& b : timers_) {
        if (b.epoch == b.core->epoch() && b.running == b.core->enabled()) continue;
        b.epoch = b.core->epoch();
        b.running = b.core->enabled();
        if (b.running) b.timer->start(b.core->interval());
        else b.timer->stop();
    }
}

void Runtime::installSignalHandlers() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signalNotifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(signalNotifier_, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(signalPipe[0], buf, sizeof buf) > 0) {
        }
        app_->entry([this] { app_->Form1.FormClose(); });
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

}  // namespace kestora::gui
