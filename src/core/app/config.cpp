#include "app/config.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "app/text.h"

namespace kestora {

static std::string homeFolder() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

ConfigRecord ConfigRecord::builtIn() {
    ConfigRecord r;
    const std::filesystem::path ulex = std::filesystem::path(homeFolder()) / "Ulex";
    r.Bon = (ulex / "Bon").string();
    r.Komanda = (ulex / "UKasu").string();
    r.Greska = (ulex / "IzKase").string();
    r.Arhiva = (ulex / "Arhiva").string();
    return r;
}

namespace {

// The record's fields in table order; each is a text or a number.
struct Field {
    const char* key;
    std::string ConfigRecord::*text;
    std::optional<int> ConfigRecord::*number;
};

constexpr Field kFields[] = {
    {"Bon", &ConfigRecord::Bon, nullptr},
    {"Komanda", &ConfigRecord::Komanda, nullptr},
    {"Greska", &ConfigRecord::Greska, nullptr},
    {"Arhiva", &ConfigRecord::Arhiva, nullptr},
    {"Duzina", nullptr, &ConfigRecord::Duzina},
    {"Port", nullptr, &ConfigRecord::Port},
    {"Model", nullptr, &ConfigRecord::Model},
    {"IBFM", &ConfigRecord::IBFM, nullptr},
    {"Konekcija", nullptr, &ConfigRecord::Konekcija},
    {"IP", &ConfigRecord::IP, nullptr},
    {"Zaokruzi", nullptr, &ConfigRecord::Zaokruzi},
    {"Tray", nullptr, &ConfigRecord::Tray},
    {"IsprazniBonFolder", nullptr, &ConfigRecord::IsprazniBonFolder},
};

}  // namespace

ConfigRecord ConfigFile::load() {
    ini_ = IniFile::load(path_);
    ConfigRecord r = ConfigRecord::builtIn();
    for (const auto& f : kFields) {
        const auto v = ini_.get(kConfigSection, f.key);
        if (!v) continue;
        if (f.text) r.*f.text = *v;
        else r.*f.number = parseInt(*v);
    }
    return r;
}

void ConfigFile::save(const ConfigRecord& r) {
    IniFile ini = IniFile::load(path_);  // keep the sections and keys others wrote
    for (const auto& f : kFields) {
        if (f.text) ini.set(kConfigSection, f.key, r.*f.text);
        else ini.set(kConfigSection, f.key, (r.*f.number) ? std::to_string(*(r.*f.number)) : std::string());
    }
    ini.saveAtomically(path_);
    ini_ = std::move(ini);
}

std::string ConfigFile::devicePathFor(const std::string& portName) const {
    if (auto mapped = ini_.get(kPortsSection, portName); mapped && !mapped->empty()) return *mapped;
    if (portName.size() > 3 && equalsIgnoreCase(portName.substr(0, 3), "COM"))
        if (auto n = parseInt(portName.substr(3)); n && *n >= 1) return "/dev/ttyS" + std::to_string(*n - 1);
    return portName;
}

std::string ConfigFile::dateFormat() const {
    return ini_.get(kConfigSection, "DatumFormat").value_or("");
}

}  // namespace kestora
