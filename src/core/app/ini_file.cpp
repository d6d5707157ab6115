#include "app/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/ports.h"
#include "app/text.h"

namespace kestora {

IniFile IniFile::load(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PlatformError("Ne mogu da procitam " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    return parse(content.str());
}

IniFile IniFile::parse(const std::string& content) {
    IniFile ini;
    std::istringstream in(content);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[' && t.back() == ']') {
            const std::string name = trim(t.substr(1, t.size() - 2));
            current = ini.find(name);
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        const auto eq = t.find('=');
        if (eq == std::string::npos || !current) continue;
        const std::string key = trim(t.substr(0, eq));
        const std::string value = trim(t.substr(eq + 1));
        ini.set(current->name, key, value);
    }
    return ini;
}

IniFile::Section* IniFile::find(const std::string& name) {
    for (auto& s : sections_)
        if (equalsIgnoreCase(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::find(const std::string& name) const {
    for (const auto& s : sections_)
        if (equalsIgnoreCase(s.name, name)) return &s;
    return nullptr;
}

std::optional<std::string> IniFile::get(const std::string& section, const std::string& key) const {
    if (const Section* s = find(section))
        for (const auto& e : s->entries)
            if (equalsIgnoreCase(e.key, key)) return e.value;
    return std::nullopt;
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = find(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& e : s->entries)
        if (equalsIgnoreCase(e.key, key)) {
            e.value = value;
            return;
        }
    s->entries.push_back({key, value});
}

std::vector<std::string> IniFile::keys(const std::string& section) const {
    std::vector<std::string> out;
    if (const Section* s = find(section))
        for (const auto& e : s->entries) out.push_back(e.key);
    return out;
}

std::string IniFile::serialize() const {
    std::string out;
    for (const auto& s : sections_) {
        if (!out.empty()) out += "\n";
        out += "[" + s.name + "]\n";
        for (const auto& e : s.entries) out += e.key + "=" + e.value + "\n";
    }
    return out;
}

void IniFile::saveAtomically(const std::filesystem::path& path) const {
    const std::string data = serialize();
    const std::filesystem::path tmp = path.string() + ".tmp";
    const auto fail = [&](const char* what) {
        const std::string reason = std::strerror(errno);
        ::unlink(tmp.c_str());
        throw PlatformError(std::string(what) + " " + path.string() + ": " + reason);
    };
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("Ne mogu da upisem");
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            fail("Ne mogu da upisem");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) fail("Ne mogu da upisem");
    if (::rename(tmp.c_str(), path.c_str()) != 0) fail("Ne mogu da zamenim");
}

}  // namespace kestora
