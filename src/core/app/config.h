#pragma once
// The one-record configuration table and its file Konfiguracija.dat.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "app/ini_file.h"

namespace kestora {

// The record. Integer fields hold nullopt when the file held something that
// is not a whole number there; loading then leaves the control as it is.
struct ConfigRecord {
    std::string Bon, Komanda, Greska, Arhiva;
    std::optional<int> Duzina = 33;
    std::optional<int> Port = 2;
    std::optional<int> Model = 4;
    std::string IBFM = "000000";
    std::optional<int> Konekcija = 0;
    std::string IP = "0.0.0.0";
    std::optional<int> Zaokruzi = 0;
    std::optional<int> Tray = 0;
    std::optional<int> IsprazniBonFolder = 3;

    // The built-in record: the folders under $HOME/Ulex.
    static ConfigRecord builtIn();
};

inline constexpr const char* kConfigFileName = "Konfiguracija.dat";
inline constexpr const char* kConfigSection = "Konfiguracija";
inline constexpr const char* kPortsSection = "Portovi";

// The whole file: the record plus the Linux-only settings kept beside it
// ([Portovi] device paths, the short date format).
class ConfigFile {
public:
    explicit ConfigFile(std::filesystem::path path) : path_(std::move(path)) {}

    // Reads the file; a missing file gives the built-in record. Keys that are
    // missing keep their built-in value. Throws PlatformError when the file
    // exists but cannot be read.
    ConfigRecord load();
    // Writes the record, keeping every other section and key of the file.
    void save(const ConfigRecord& record);

    // "COMn" -> device path: [Portovi] COMn when given, else /dev/ttyS(n-1).
    std::string devicePathFor(const std::string& portName) const;
    // DatumFormat, e.g. "dd.MM.yyyy"; empty when the locale's format applies.
    std::string dateFormat() const;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    IniFile ini_;
};

}  // namespace kestora
