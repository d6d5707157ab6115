// The folder watcher: reading and checking a receipt of the largest size, and
// a tick that finds nothing to take among a crowd of files it must pass over.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <fstream>
#include <memory>
#include <string>

#include "app/app.h"

using namespace kestora;
namespace fs = std::filesystem;

namespace {

// Ports that accept everything and show nothing.
struct QuietClock : Clock {
    LocalDateTime now() override { return {2009, 3, 5, 10, 0, 0, 0}; }
    void pause(int) override {}
};
struct FixedRandom : Random {
    void seed() override {}
    int between(int lo, int) override { return lo; }
};
struct NullSerial : SerialPort {
    void open(const std::string&) override { open_ = true; }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void write(const Bytes&) override {}
    bool open_ = false;
};
struct NullTcp : TcpClient {
    void connectTo(const std::string&, int, int) override {}
    bool connected() const override { return false; }
    void disconnect() override {}
    void write(const Bytes&) override {}
};
struct NullSystemClock : SystemClock {
    void setLocal(const LocalDateTime&) override {}
};
struct SilentOperator : OperatorPort {
    DialogAnswer showDialog(const DialogView&) override { return 0; }
    void closeDialog() override {}
    void showInstructions(const std::string&, const std::vector<std::string>&) override {}
    bool askYesNo(const std::string&, const std::string&, const std::string&, const std::string&) override { return false; }
    void showError(const std::string&) override {}
};
struct NullView : ViewPort {
    void sync() override {}
    void showModal(WindowId) override {}
    void closeWindow(WindowId) override {}
    bool hideToTray() override { return false; }
    void restoreFromTray() override {}
    void quit() override {}
};

// The bridge, activated on a working configuration in a temporary folder.
struct Bridge {
    Bridge() {
        std::string tmpl = (fs::temp_directory_path() / "kestora-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
        dir = tmpl;
        for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) fs::create_directories(dir / f);
        std::ofstream(dir / kConfigFileName)
            << "[Konfiguracija]\nBon=" << (dir / "Bon").string() << "\nKomanda=" << (dir / "UKasu").string()
            << "\nGreska=" << (dir / "IzKase").string() << "\nArhiva=" << (dir / "Arhiva").string()
            << "\nDuzina=33\nPort=1\nModel=1\nIBFM=123456\nKonekcija=0\nIP=\nZaokruzi=0\nTray=0\nIsprazniBonFolder=0\n";
        ports = {&clock, &random, &serial, &tcp, &systemClock, &op, &view};
        app = std::make_unique<App>(ports, dir);
        app->entry([this] { app->Form1.FormActivate(); });
        app->intake.onReceiptChecked = [this] { ++checked; };
    }
    ~Bridge() {
        app.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void put(const char* sub, const std::string& name, const std::string& body) {
        std::ofstream(dir / sub / name, std::ios::binary) << body;
    }

    fs::path dir;
    QuietClock clock;
    FixedRandom random;
    NullSerial serial;
    NullTcp tcp;
    NullSystemClock systemClock;
    SilentOperator op;
    NullView view;
    Ports ports;
    std::unique_ptr<App> app;
    int checked = 0;
};

std::string padLeft(const std::string& s, std::size_t w) { return std::string(w - s.size(), ' ') + s; }

// A header, 253 article lines and a cash payment: 255 lines, the most a receipt holds.
std::string largestReceipt() {
    std::string r = "100050320091430ABCDEFG07\r\n";
    long long total = 0;
    for (int i = 0; i < 253; ++i) {
        std::string nm = "ARTIKAL " + std::to_string(i);
        nm.resize(33, ' ');
        const int cents = 100 + i * 13;
        total += cents;  // quantity 1.000
        r += "200" + nm + padLeft(std::to_string(cents), 8) + padLeft("1000", 8) + "00" +
             std::to_string(8600000000000LL + i) + " 2\r\n";
    }
    r += "300" + padLeft(std::to_string(total), 8) + " 0\r\n";
    return r;
}

}  // namespace

static void BM_ObradaLargestReceipt(benchmark::State& state) {
    Bridge b;
    b.put("Bon", "00001.bon", largestReceipt());
    b.app->Form1.BonFileName = "00001.bon";
    for (auto _ : state) b.app->intake.Obrada();
    if (b.checked != static_cast<int>(state.iterations())) state.SkipWithError("the receipt did not pass its checks");
}
BENCHMARK(BM_ObradaLargestReceipt)->Unit(benchmark::kMicrosecond);

// 1000 files in each folder, none of them to be taken: hidden files in the
// command folder (a writer's temporary names), other extensions beside a
// hidden receipt in the receipt folder.
static void BM_IdleTickAmong2000Files(benchmark::State& state) {
    Bridge b;
    for (int i = 0; i < 1000; ++i) {
        char n[32];
        std::snprintf(n, sizeof n, "%05d", i);
        b.put("UKasu", std::string(".") + n + ".sys", "x");
        b.put("Bon", std::string(n) + (i % 2 ? ".txt" : ".bon.tmp"), "x");
    }
    b.put("Bon", ".00001.bon", largestReceipt());
    b.app->Form1.Timer.setEnabled(true);
    for (auto _ : state) b.app->intake.TimerTimer();
    if (b.checked != 0 || !b.app->Form1.Timer.enabled() || !b.app->Form1.BonFileName.empty())
        state.SkipWithError("the tick took a file");
}
BENCHMARK(BM_IdleTickAmong2000Files)->Unit(benchmark::kMicrosecond);
