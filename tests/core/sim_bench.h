#pragma once
// The whole bridge on fake ports against the simulated device, on the
// virtual clock.
#include <algorithm>
#include <fstream>

#include "fakes.h"
#include "loopback.h"
#include "simulator.h"
#include "virtual_loop.h"

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
        if (!virtual_) virtual_ = std::make_unique<sim::VirtualLoop>(app(), loop, clock.elapsedMs);
        virtual_->run(ms);
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
    std::unique_ptr<sim::VirtualLoop> virtual_;
};

}  // namespace kestora::test
