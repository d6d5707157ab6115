#pragma once
// A small INI file: sections of key=value lines, kept in file order so that
// saving preserves sections and keys the program does not know.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestora {

class IniFile {
public:
    // Loads path; a missing file gives an empty IniFile. Throws PlatformError
    // when the file exists but cannot be read.
    static IniFile load(const std::filesystem::path& path);
    static IniFile parse(const std::string& content);

    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    void set(const std::string& section, const std::string& key, const std::string& value);
    std::vector<std::string> keys(const std::string& section) const;

    std::string serialize() const;
    // Writes a temporary file beside path, flushes it and renames it over
    // path, so a crash never leaves a half-written file. Throws PlatformError.
    void saveAtomically(const std::filesystem::path& path) const;

private:
    struct Entry { std::string key, value; };
    struct Section { std::string name; std::vector<Entry> entries; };
    Section* find(const std::string& name);
    const Section* find(const std::string& name) const;
    std::vector<Section> sections_;
};

}  // namespace kestora
