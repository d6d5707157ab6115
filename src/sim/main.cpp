// kestora-sim: one fiscal device (any of the five models) on a
// pseudo-terminal or a TCP port, for trying the bridge without hardware.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "serve.h"
#include "simulator.h"

namespace {

int usage() {
    std::cerr << "usage: kestora-sim --model N (--pty | --tcp HOST:PORT) [--ibfm DIGITS] [--memory FILE]\n"
                 "                   [--journal FILE] [--FAULT ARGS ...]\n"
                 "faults, also as lines on standard input while running:\n  "
              << kestora::sim::Simulator::help() << "\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int model = 0;
    std::string ibfm = "000000", journalFile;
    kestora::sim::ServeOptions o;
    bool linkChosen = false;
    std::vector<std::string> faults;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--model" && hasValue) {
            model = std::atoi(argv[++i]);
        } else if (a == "--pty") {
            o.pty = linkChosen = true;
        } else if (a == "--tcp" && hasValue) {
            const std::string hp = argv[++i];
            const auto colon = hp.rfind(':');
            if (colon == std::string::npos) return usage();
            o.pty = false;
            linkChosen = true;
            o.host = hp.substr(0, colon);
            o.port = std::atoi(hp.c_str() + colon + 1);
        } else if (a == "--ibfm" && hasValue) {
            ibfm = argv[++i];
        } else if (a == "--memory" && hasValue) {
            o.memory = argv[++i];
        } else if (a == "--journal" && hasValue) {
            journalFile = argv[++i];
        } else if (a.rfind("--", 0) == 0 && a.size() > 2) {
            std::string line = a.substr(2);
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) line += std::string(" ") + argv[++i];
            faults.push_back(line);
        } else {
            return usage();
        }
    }
    if (model < 1 || model > 5 || !linkChosen) return usage();
    if (!o.pty && model != 4) {
        std::cerr << "kestora-sim: only the printer (model 4) is reached over TCP; the cash registers are serial\n";
        return 2;
    }

    kestora::sim::Simulator sim(model, ibfm);
    sim.log = [](const std::string& s) { std::cerr << s << std::endl; };
    for (const auto& f : faults) {
        const std::string err = sim.command(f);
        if (!err.empty()) {
            std::cerr << "kestora-sim: " << err << "\n";
            return 2;
        }
    }
    if (!o.memory.empty()) sim.loadMemory(o.memory);
    std::ofstream journal;
    if (!journalFile.empty()) {
        journal.open(journalFile, std::ios::app);
        sim.journal().sink = [&journal](const std::string& entry) { journal << entry << std::flush; };
    }
    return kestora::sim::serve(sim, o);
}
