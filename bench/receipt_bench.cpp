// Receipts of 1, 10 and 100 lines printed on a simulated model 1 whose wire
// runs at 57600 bit/s and which thinks 20 ms before each answer, on the
// virtual clock. "ratio" is the time from the file's arrival to its archive
// divided by the floor: the wire time of every frame and answer, the pauses
// the commands make, the device's latency and delays, and one watcher tick.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench_ports.h"
#include "loopback.h"
#include "simulator.h"
#include "virtual_loop.h"

using namespace kestora;
namespace fs = std::filesystem;

namespace {

constexpr int kLatencyMs = 20;
constexpr int kCloseDelayMs = 20;  // the device announces the end of a receipt this long after the closing payment
constexpr int kWatcherMs = 30;

std::string padLeft(const std::string& s, std::size_t w) { return std::string(w - s.size(), ' ') + s; }

std::string receipt(int lines) {
    std::string r = "100101220260930ABCDEFG01\r\n";
    long long total = 0;
    for (int i = 0; i < lines; ++i) {
        std::string nm = "ARTIKAL " + std::to_string(i);
        nm.resize(33, ' ');
        total += 100 + i;
        r += "200" + nm + padLeft(std::to_string(100 + i), 8) + padLeft("1000", 8) + "00" + std::to_string(8600000000000LL + i) +
             " 2\r\n";
    }
    return r + "300" + padLeft(std::to_string(total), 8) + " 0\r\n400\r\n";
}

struct Shop {
    explicit Shop(int lines) : dir(bench::workingFolder(1)), sim(1, "123456"), link(sim, [this] { return clock.elapsedMs; }) {
        sim.command("wire on");
        sim.command("latency " + std::to_string(kLatencyMs));
        sim.log = [this](const std::string& l) {
            if (l.rfind("<- ", 0) == 0 || l.rfind("-> ", 0) == 0) wireBytes += static_cast<long long>((l.size() - 3 + 1) / 3);
        };
        ports = {&clock, &random, &link, &link, &systemClock, &op, &view};
        app = std::make_unique<App>(ports, dir);
        app->entry([this] { app->Form1.FormActivate(); });
        for (int i = 0; i < lines; ++i) {
            std::string nm = "ARTIKAL " + std::to_string(i);
            const std::string code = std::to_string(8600000000000LL + i);
            app->setArtikli.append({code, i + 1, code, nm, (100 + i) / 100.0, 2});
            sim.putArticle({i + 1, nm, 100 + i, 2, code});
        }
        loop = std::make_unique<sim::VirtualLoop>(*app, link, clock.elapsedMs);
        body = receipt(lines);
    }
    ~Shop() {
        app.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // One receipt from its arrival to the archive; the virtual time it took.
    long long print(int n) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d.bon", n);
        std::ofstream(dir / "Bon" / name, std::ios::binary) << body;
        const long long start = clock.elapsedMs;
        const long long paused = clock.pausedMs;
        wireBytes = 0;
        const long long entries = static_cast<long long>(sim.journal().entries().size());
        while (static_cast<long long>(sim.journal().entries().size()) == entries || app->Form1.ReceiptActive) {
            loop->run(1);
            if (clock.elapsedMs - start > 600000) throw std::runtime_error("the receipt was not printed");
        }
        const long long frames = sim.counts().frames - framesBefore;
        framesBefore = sim.counts().frames;
        floorMs = static_cast<double>(wireBytes) * 10 * 1000 / 57600 + static_cast<double>(clock.pausedMs - paused) +
                  static_cast<double>(frames * kLatencyMs + kCloseDelayMs + kWatcherMs);
        return clock.elapsedMs - start;
    }

    fs::path dir;
    bench::VirtualClock clock;
    bench::FixedRandom random;
    bench::NullSystemClock systemClock;
    bench::SilentOperator op;
    bench::NullView view;
    sim::Simulator sim;
    sim::Loopback link;
    Ports ports;
    std::unique_ptr<App> app;
    std::unique_ptr<sim::VirtualLoop> loop;
    std::string body;
    long long wireBytes = 0;
    int framesBefore = 0;
    double floorMs = 0;
};

}  // namespace

static void BM_ReceiptOnVireo(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    Shop shop(lines);
    int n = 0;
    double took = 0, floor = 0;
    for (auto _ : state) {
        took += static_cast<double>(shop.print(++n));
        floor += shop.floorMs;
    }
    state.counters["virtual_ms"] = took / n;
    state.counters["floor_ms"] = floor / n;
    state.counters["ratio"] = took / floor;
}
BENCHMARK(BM_ReceiptOnVireo)->Arg(1)->Arg(10)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);
