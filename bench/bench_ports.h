#pragma once
// Ports for the benchmarks: they accept everything and show nothing, and
// the clock is virtual (its pauses only move it on).
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "app/app.h"

namespace kestora::bench {

struct VirtualClock : Clock {
    LocalDateTime now() override { return {2026, 12, 10, 10, 0, 0, 0}; }
    void pause(int ms) override {
        elapsedMs += ms;
        pausedMs += ms;
    }
    long long elapsedMs = 0;
    long long pausedMs = 0;
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


// A temporary working folder with the four folders and a configuration for
// the model on COM1.
inline std::filesystem::path workingFolder(int model) {
    namespace fs = std::filesystem;
    std::string tmpl = (fs::temp_directory_path() / "kestora-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
    const fs::path dir = tmpl;
    for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) fs::create_directories(dir / f);
    std::ofstream(dir / kConfigFileName)
        << "[Konfiguracija]\nBon=" << (dir / "Bon").string() << "\nKomanda=" << (dir / "UKasu").string()
        << "\nGreska=" << (dir / "IzKase").string() << "\nArhiva=" << (dir / "Arhiva").string()
        << "\nDuzina=33\nPort=1\nModel=" << model << "\nIBFM=123456\nKonekcija=0\nIP=\nZaokruzi=0\nTray=0\nIsprazniBonFolder=0\n";
    return dir;
}

}  // namespace kestora::bench
