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
#include "bench_ports.h"

using namespace kestora;
namespace fs = std::filesystem;

namespace {

// The bridge, activated on a working configuration in a temporary folder.
struct Bridge {
    Bridge() {
        dir = bench::workingFolder(1);
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
    bench::VirtualClock clock;
    bench::FixedRandom random;
    bench::NullSerial serial;
    bench::NullTcp tcp;
    bench::NullSystemClock systemClock;
    bench::SilentOperator op;
    bench::NullView view;
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
