#include "app/text.h"

#include <charconv>
#include <climits>

namespace kestora {

std::string trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

static char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

std::string toUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upper(c);
    return out;
}

std::optional<long long> parseWhole(std::string_view s) {
    const std::string t = trim(s);
    std::string_view v = t;
    if (!v.empty() && v.front() == '+') {
        v.remove_prefix(1);
        if (!v.empty() && v.front() == '-') return std::nullopt;
    }
    if (v.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return value;
}

std::optional<int> parseInt(std::string_view s) {
    const auto v = parseWhole(s);
    if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
    return static_cast<int>(*v);
}

}  // namespace kestora
