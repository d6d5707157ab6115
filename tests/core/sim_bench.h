#pragma once
// The whole bridge against the simulated device, on a virtual clock: the
// core's timers fire and the device's answers arrive at their due times, so
// a conversation with pauses, latencies and silences runs in an instant.
#include <algorithm>
#include <fstream>

#include "fakes.h"
#include "loopback.h"
#include "simulator.h"

namespace kestora::test {

struct SimBench : Bench {
    explicit SimBench(int model) : sim(model, "123456"), loop(sim, [this] { return clock.elapsedMs; }) {
        ports.serial = &loop;
        ports.tcp = &loop;
        writeWorkingConfig("", model);
        sim.log = [this](const std::string& line) {
            if (line.rfind("<- ", 0) == 0) framesIn.push_back(line.substr(3));
        };
    }
    // Activates the main window, which starts the bridge.
    void start() { activate(); }
    // Runs ms of virtual time.
    void run(long long ms) {
        const long long end = clock.elapsedMs + ms;
        for (;;) {
            long long next = end + 1;
            CoreTimer* due = nullptr;
            for (Tracked& t : timers()) {
                if (t.epoch != t.timer->epoch()) {
                    t.epoch = t.timer->epoch();
                    t.start = clock.elapsedMs;
                }
                if (!t.timer->enabled()) continue;
                const long long at = t.start + t.timer->interval();
                if (at < next) next = at, due = t.timer;
            }
            const long long answer = loop.nextDue();
            const bool answerFirst = answer >= 0 && answer <= next;
            if (answerFirst) next = answer;
            if (next > end) break;
            clock.elapsedMs = std::max(clock.elapsedMs, next);
            if (answerFirst) {
                loop.deliver(clock.elapsedMs, [this](const kestora::Bytes& chunk, bool) {
                    app().deferrableEntry([this, chunk] { app().link.receivedSerialChunk(chunk); });
                });
            } else {
                for (Tracked& t : timers())
                    if (t.timer == due) t.start = clock.elapsedMs;  // a periodic timer starts its next round
                app().deferrableEntry([due] { due->fire(); });
            }
        }
        clock.elapsedMs = std::max(clock.elapsedMs, end);
    }
    // Drops a receipt file into the receipt folder as the point-of-sale application does.
    void drop(const std::string& name, const std::string& content, const std::string& folder = "Bon") {
        const auto tmp = this->folder(folder) / (name + ".tmp");
        std::ofstream(tmp, std::ios::binary) << content;
        std::filesystem::rename(tmp, this->folder(folder) / name);
    }
    // Runs in steps of 1 ms until done() holds (at most ms); true when it did.
    template <class Done>
    bool runUntil(Done done, long long ms = 20000) {
        for (long long i = 0; i < ms; ++i) {
            if (done()) return true;
            run(1);
        }
        return done();
    }
    // An article known to both the device and the local table.
    void article(int sifra, const std::string& code, const std::string& name, long long cents, int tax, bool inDevice = true) {
        app().setArtikli.append({code, sifra, code, name, static_cast<double>(cents) / 100.0, tax});
        if (inDevice) sim.putArticle({sifra, name, cents, tax, code});
    }
    std::filesystem::path archive() const { return folder("Arhiva") / "10-12-2026"; }
    // The frames the device received, as hex.
    std::vector<std::string> framesIn;

    sim::Simulator sim;
    sim::Loopback loop;

private:
    struct Tracked {
        CoreTimer* timer;
        std::uint64_t epoch;
        long long start;
    };
    std::vector<Tracked>& timers() {
        if (tracked_.empty())
            for (CoreTimer* t : {&app().Form1.Timer, &app().Form1.TimerKasa})
                tracked_.push_back({t, t->epoch(), clock.elapsedMs});
        return tracked_;
    }
    std::vector<Tracked> tracked_;
};

}  // namespace kestora::test
