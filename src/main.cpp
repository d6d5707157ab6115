// kestora: the bridge between the point-of-sale application and the fiscal
// device. Windows by default; --headless for a terminal operator; --demo
// against the built-in device simulator, without hardware.
#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/models.h"
#include "demo.h"
#include "gui_front_end.h"
#include "headless_front_end.h"
#include "screenshots.h"

namespace {

struct Options {
    bool headless = false;
    std::filesystem::path workdir = std::filesystem::current_path();
    std::string screenshots;
    bool demo = false;
    int model = 0;  // --model given with --demo; 0: model 1
};

int usage() {
    std::cerr << "usage: kestora [--headless] [--workdir DIR] [--screenshots DIR]\n"
                 "       kestora --demo [--model N] [--headless] [--workdir DIR]\n"
                 "  --demo      run against the built-in device simulator in DIR/kestora-demo\n"
                 "  --model N   the simulated device: 1 Vireo, 2 Ostra, 3 Ostra(Novi), 4 Orvo Tavor, 5 Belvia\n";
    return 2;
}

bool hasEnv(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

// Windows need a display; without one the demo runs headless.
bool displayAvailable() { return hasEnv("DISPLAY") || hasEnv("WAYLAND_DISPLAY") || hasEnv("QT_QPA_PLATFORM"); }

// The front end's event loop, with the simulated device behind it in the demo.
template <class FrontEnd>
int run(const std::filesystem::path& workdir, kestora::gui::DemoDevice* device) {
    FrontEnd fe(workdir, device ? device->ports() : kestora::gui::LinkPorts{});
    if (device) device->attach(fe.runtime());
    fe.start();
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--headless") o.headless = true;
        else if (a == "--workdir" && i + 1 < argc) o.workdir = argv[++i];
        else if (a == "--screenshots" && i + 1 < argc) o.screenshots = argv[++i];
        else if (a == "--demo") o.demo = true;
        else if (a == "--model" && i + 1 < argc) {
            const std::string n = argv[++i];
            o.model = n.size() == 1 ? n[0] - '0' : -1;
            if (!kestora::validModel(o.model)) return usage();
        } else return usage();
    }
    if (o.model != 0 && !o.demo) return usage();
    std::error_code ec;
    if (!std::filesystem::is_directory(o.workdir, ec)) {
        std::cerr << "kestora: working folder " << o.workdir << " does not exist\n";
        return 2;
    }

    if (o.demo) {
        const int model = o.model ? o.model : 1;
        std::filesystem::path folder;
        try {
            folder = kestora::gui::prepareDemoFolder(o.workdir, model);
        } catch (const std::exception& e) {
            std::cerr << "kestora: the demo folder could not be set up: " << e.what() << "\n";
            return 1;
        }
        const bool headless = o.headless || !displayAvailable();
        std::cerr << "kestora: demo with a simulated " << kestora::modelInfo(model).name << " (model " << model
                  << ") in " << folder.string() << "\n"
                  << "kestora: drop more receipts (*.bon) into " << (folder / "Bon").string()
                  << "; what the device prints goes to " << (folder / kestora::gui::kDemoJournalFile).string() << "\n";
        if (headless) {
            QCoreApplication app(argc, argv);
            kestora::gui::DemoDevice device(model, folder);
            return run<kestora::headless::HeadlessFrontEnd>(folder, &device);
        }
        QApplication app(argc, argv);
        QApplication::setApplicationName("Kestora");
        kestora::gui::DemoDevice device(model, folder);
        return run<kestora::gui::GuiFrontEnd>(folder, &device);
    }

    if (o.headless) {
        QCoreApplication app(argc, argv);
        return run<kestora::headless::HeadlessFrontEnd>(o.workdir, nullptr);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestora");
    if (!o.screenshots.empty()) {
        kestora::gui::GuiFrontEnd fe(o.workdir);
        const int n = kestora::gui::writeScreenshots(fe, QString::fromStdString(o.screenshots));
        std::cout << n << " screenshots written to " << o.screenshots << "\n";
        return n == 6 ? 0 : 1;
    }
    return run<kestora::gui::GuiFrontEnd>(o.workdir, nullptr);
}
