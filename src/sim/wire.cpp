#include "wire.h"

#include <cstdio>

namespace kestora::sim {

std::uint8_t sum8(const Bytes& b, std::size_t count) {
    unsigned s = 0;
    for (std::size_t i = 0; i < count && i < b.size(); ++i) s += b[i];
    return static_cast<std::uint8_t>(s & 0xFF);
}

std::uint8_t xor8(const Bytes& b, std::size_t count) {
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < count && i < b.size(); ++i) x ^= b[i];
    return x;
}

std::array<std::uint8_t, 3> packModule(const std::string& digits) {
    std::string d = digits;
    if (d.size() < 6) d.insert(0, 6 - d.size(), '0');
    std::array<std::uint8_t, 3> out{};
    for (int i = 0; i < 3; ++i) {
        const auto hi = static_cast<std::uint8_t>(d[2 * i] & 0x0F), lo = static_cast<std::uint8_t>(d[2 * i + 1] & 0x0F);
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    return out;
}

Bytes longFrame(std::uint8_t type, std::uint8_t byte2, const std::array<std::uint8_t, 3>& module,
                std::uint8_t seq, std::uint8_t code, const Bytes& data) {
    Bytes f{0xAA, type, byte2, module[0], module[1], module[2], seq, code, static_cast<std::uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    const std::size_t n = f.size();
    f.push_back(sum8(f, n));
    f.push_back(xor8(f, n));
    f.push_back(0x0D);
    return f;
}

Bytes shortFrame(std::uint8_t code, const Bytes& data) {
    Bytes f{0x5F, code, static_cast<std::uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(0x0D);
    return f;
}

std::uint32_t le16(const Frame& f, std::size_t pos) { return f.at(pos) | static_cast<std::uint32_t>(f.at(pos + 1)) << 8; }

std::uint32_t le32(const Frame& f, std::size_t pos) { return le16(f, pos) | le16(f, pos + 2) << 16; }

void putLe16(Bytes& b, std::size_t pos, std::uint32_t v) {
    b.at(pos) = static_cast<std::uint8_t>(v & 0xFF);
    b.at(pos + 1) = static_cast<std::uint8_t>(v >> 8 & 0xFF);
}

void putLe32(Bytes& b, std::size_t pos, std::uint32_t v) {
    putLe16(b, pos, v & 0xFFFF);
    putLe16(b, pos + 2, v >> 16);
}

std::int64_t amount5Cents(const Frame& f, std::size_t pos) {
    return static_cast<std::int64_t>(le32(f, pos)) * 100 + f.at(pos + 4);
}

std::string bcdDigits(const std::uint8_t* seven) {
    std::string s;
    for (int i = 0; i < 7; ++i) {
        for (int nib : {seven[i] >> 4, seven[i] & 0x0F})
            if (nib < 10) s += static_cast<char>('0' + nib);
    }
    return s;
}

std::string textField(const std::uint8_t* p, std::size_t n, bool stopAtZero, bool dropFF) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        if (stopAtZero && p[i] == 0) break;
        if (p[i] > 0x1F && !(dropFF && p[i] == 0xFF)) s += static_cast<char>(p[i]);
    }
    return s;
}

std::string hex(const Bytes& b) {
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < b.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", b[i]);
        s += buf;
    }
    return s;
}

namespace {
std::string fixed(std::int64_t v, int scale, int digits) {
    const bool neg = v < 0;
    const std::uint64_t a = neg ? static_cast<std::uint64_t>(-v) : static_cast<std::uint64_t>(v);
    std::string frac = std::to_string(a % static_cast<std::uint64_t>(scale));
    frac.insert(0, static_cast<std::size_t>(digits) - frac.size(), '0');
    return (neg ? "-" : "") + std::to_string(a / static_cast<std::uint64_t>(scale)) + "." + frac;
}
}  // namespace

std::string money(std::int64_t cents) { return fixed(cents, 100, 2); }
std::string quantity(std::int64_t milli) { return fixed(milli, 1000, 3); }

}  // namespace kestora::sim
