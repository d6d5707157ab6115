#pragma once
// kestora --demo: the bridge without hardware. A working folder of its own
// (folders, configuration, article table, sample receipts and a drawer
// command) and the fiscal device played in-process by the simulator behind
// the bridge's serial and TCP ports, its answers delivered in real time.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "runtime.h"
#include "simulator.h"

namespace kestora::gui {

inline constexpr const char* kDemoFolderName = "kestora-demo";
// What COM1 maps to in the demo's configuration: the simulated device.
inline constexpr const char* kDemoDevicePath = "simulator";
inline constexpr const char* kDemoModuleNumber = "123456";
inline constexpr const char* kDemoJournalFile = "journal.txt";
inline constexpr const char* kDemoLogFile = "simulator.log";

// Creates the demo folder under parent, or brings an existing one up to date:
// the four folders; Konfiguracija.dat pointing at them with this model, the
// simulated port and the device's module number (other settings a person
// changed are kept); the demo articles in artikli.dat when the table is
// empty; sample receipts in Bon and "OF.sys" in UKasu (models that know the
// drawer) when those folders are empty. Returns the folder. Throws
// std::exception when the folder cannot be set up.
std::filesystem::path prepareDemoFolder(const std::filesystem::path& parent, int model);

// The simulated device. Its article memory and receipt counter are kept in
// the demo folder between runs (one file per model); what it prints goes to
// journal.txt and to standard error, every frame in and out to simulator.log.
class DemoDevice : public QObject {
public:
    DemoDevice(int model, const std::filesystem::path& folder);
    ~DemoDevice() override;

    // The ports to build the runtime with.
    LinkPorts ports();
    // Answers go to this runtime from now on.
    void attach(Runtime& runtime) { runtime_ = &runtime; }
    sim::Simulator& simulator() { return sim_; }

private:
    class Port;
    std::int64_t nowMs() const { return clock_.elapsed(); }
    // Sets the timer for the next answer chunk that is due.
    void schedule();
    void deliver();

    std::filesystem::path memoryFile_;
    sim::Simulator sim_;
    std::unique_ptr<Port> port_;
    QElapsedTimer clock_;
    QTimer timer_;
    std::ofstream journal_, log_;
    Runtime* runtime_ = nullptr;
};

}  // namespace kestora::gui
