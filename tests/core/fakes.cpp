#include "fakes.h"

#include <fstream>

namespace kestora::test {

void Bench::writeConfig(const std::string& body) const {
    std::ofstream(dir.path / kConfigFileName) << body;
}

void Bench::writeWorkingConfig(const std::string& extra, int model) {
    for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) std::filesystem::create_directories(folder(f));
    writeConfig("[Konfiguracija]\nBon=" + folder("Bon").string() + "\nKomanda=" + folder("UKasu").string() +
                "\nGreska=" + folder("IzKase").string() + "\nArhiva=" + folder("Arhiva").string() +
                "\nDuzina=33\nPort=1\nModel=" + std::to_string(model) +
                "\nIBFM=123456\nKonekcija=0\nIP=\nZaokruzi=0\nTray=0\nIsprazniBonFolder=1\n" + extra);
}

}  // namespace kestora::test
