// kestora: the bridge between the point-of-sale application and the fiscal
// device. Windows by default; --headless for a terminal operator.
#include <QApplication>
#include <QCoreApplication>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "gui_front_end.h"
#include "headless_front_end.h"
#include "screenshots.h"

namespace {

struct Options {
    bool headless = false;
    std::filesystem::path workdir = std::filesystem::current_path();
    std::string screenshots;
};

int usage() {
    std::cerr << "usage: kestora [--headless] [--workdir DIR] [--screenshots DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--headless") o.headless = true;
        else if (a == "--workdir" && i + 1 < argc) o.workdir = argv[++i];
        else if (a == "--screenshots" && i + 1 < argc) o.screenshots = argv[++i];
        else return usage();
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(o.workdir, ec)) {
        std::cerr << "kestora: working folder " << o.workdir << " does not exist\n";
        return 2;
    }

    if (o.headless) {
        QCoreApplication app(argc, argv);
        kestora::headless::HeadlessFrontEnd fe(o.workdir);
        fe.start();
        return app.exec();
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestora");
    kestora::gui::GuiFrontEnd fe(o.workdir);
    if (!o.screenshots.empty()) {
        const int n = kestora::gui::writeScreenshots(fe, QString::fromStdString(o.screenshots));
        std::cout << n << " screenshots written to " << o.screenshots << "\n";
        return n == 6 ? 0 : 1;
    }
    fe.start();
    return app.exec();
}
