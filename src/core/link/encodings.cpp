#include "link/encodings.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>

#include "app/ports.h"

namespace kestora {

namespace {

template <std::size_t N>
std::array<std::uint8_t, N> littleEndian(std::uint64_t v) {
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
    return out;
}

// kodiraj's table: Windows-1251 byte -> device byte, identity elsewhere.
struct CodeTables {
    std::array<std::uint8_t, 256> encode{}, decode{};
    CodeTables() {
        for (int i = 0; i < 256; ++i) encode[static_cast<std::size_t>(i)] = decode[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        const auto map = [this](int from, int to) {
            encode[static_cast<std::size_t>(from)] = static_cast<std::uint8_t>(to);
            decode[static_cast<std::size_t>(to)] = static_cast<std::uint8_t>(from);
        };
        for (int base : {0xC0, 0xE0}) {
            for (int c = base; c <= base + 0x08; ++c) map(c, c - 0x40);         // А..И, а..и
            for (int c = base + 0x0A; c <= base + 0x18; ++c) map(c, c - 0x40);  // К..Ш, к..ш
            map(base + 0x1B, base + 0x1B - 0x40);                               // Ы, ы
            map(base + 0x1D, base + 0x1D - 0x40);                               // Э, э
        }
        const int pairs[][2] = {
            {0xA3, 0x89}, {0x8F, 0x99}, {0x80, 0x9A}, {0x8E, 0x9C}, {0x8C, 0x9E}, {0x8A, 0x9F},
            {0xBC, 0xA9}, {0x9F, 0xB9}, {0x90, 0xBA}, {0x9E, 0xBC}, {0x9C, 0xBE}, {0x9A, 0xBF},
            {0x40, 0x5F}, {0x5B, 0x5E}, {0x5C, 0x5B}, {0x5D, 0x5C}, {0x5E, 0x5D}, {0x60, 0x7F},
            {0x7B, 0x7E}, {0x7C, 0x7B}, {0x7D, 0x7C}, {0x7E, 0x7D}, {0xB9, 0x60},
        };
        for (const auto& p : pairs) map(p[0], p[1]);
    }
};

const CodeTables& codes() {
    static const CodeTables t;
    return t;
}

std::string translate(std::string_view text, const std::array<std::uint8_t, 256>& table) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(table[static_cast<std::uint8_t>(c)]);
    return out;
}

constexpr std::uint8_t kFiller = 0x10;  // a space in a bar code: 0xF nibbles

// Right-aligned packing: a filler in the first position gives high nibble
// 0xF, a filler in the second position makes the whole byte 0xFF.
Bcd7 packRight(const std::array<std::uint8_t, 14>& n) {
    Bcd7 out{};
    for (std::size_t i = 0; i < 7; ++i) {
        const std::uint8_t hi = n[2 * i], lo = n[2 * i + 1];
        if (lo == kFiller) out[i] = 0xFF;
        else out[i] = static_cast<std::uint8_t>(((hi == kFiller ? 0xF : hi) << 4) | lo);
    }
    return out;
}

}  // namespace

long long roundScaled(double value, int factor) {
    // nearbyint rounds in the current mode: to nearest, halves to even.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const long double scaled = static_cast<long double>(value) * static_cast<long double>(factor);
    const long long r = static_cast<long long>(std::nearbyintl(scaled));
    if (mode != FE_TONEAREST) std::fesetround(mode);
    return r;
}

std::array<std::uint8_t, 5> Amount5(double value) {
    const long long v = roundScaled(value, 100);
    const long long whole = v / 100;  // truncates toward zero
    const long long hundredths = v - whole * 100;
    std::array<std::uint8_t, 5> out{};
    const auto w = littleEndian<4>(static_cast<std::uint64_t>(whole));
    for (std::size_t i = 0; i < 4; ++i) out[i] = w[i];
    out[4] = static_cast<std::uint8_t>(hundredths);
    return out;
}

void Suma(const std::string& amount, int k, std::uint8_t* frame) {
    std::string text = amount;
    for (char& c : text)
        if (c == ',') c = '.';
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    while (end && *end == ' ') ++end;
    if (text.empty() || end == text.c_str() || *end != '\0' || !std::isfinite(value))
        throw PlatformError("'" + amount + "' nije ispravan broj");
    const auto bytes = Amount5(value);
    for (std::size_t i = 0; i < 5; ++i) frame[static_cast<std::size_t>(k) + 1 + i] = bytes[i];
}

std::array<std::uint8_t, 4> Cents4(double value) {
    return littleEndian<4>(static_cast<std::uint64_t>(roundScaled(value, 100)));
}

std::array<std::uint8_t, 4> Milli4(double value) {
    return littleEndian<4>(static_cast<std::uint64_t>(std::llabs(roundScaled(value, 1000))));
}

std::array<std::uint8_t, 2> Word2(unsigned value, bool highFirst) {
    const auto lo = static_cast<std::uint8_t>(value & 0xFF), hi = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    return highFirst ? std::array<std::uint8_t, 2>{hi, lo} : std::array<std::uint8_t, 2>{lo, hi};
}

std::array<std::uint8_t, 4> Long4(std::int64_t value) { return littleEndian<4>(static_cast<std::uint64_t>(value)); }

std::array<std::uint8_t, 2> PackedDate2(int year, int month, int day) {
    return Word2(static_cast<unsigned>((year % 128) * 512 + month * 32 + day));
}

std::array<std::uint8_t, 5> DateBytes(int year, int month, int day, int hour, int minute) {
    return {static_cast<std::uint8_t>(year % 256), static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day),
            static_cast<std::uint8_t>(hour), static_cast<std::uint8_t>(minute)};
}

std::array<std::uint8_t, 4> YyMmDd4(int year, int month, int day) {
    return Long4((year % 100) * 10000 + month * 100 + day);
}

Bcd7 PackBcdRight(std::string_view text) {
    std::string t(text.substr(0, 14));
    if (t.size() < 14) t.insert(0, 14 - t.size(), ' ');
    std::array<std::uint8_t, 14> n{};
    for (std::size_t i = 0; i < 14; ++i) n[i] = t[i] == ' ' ? kFiller : static_cast<std::uint8_t>(t[i]) & 0x0F;
    return packRight(n);
}

Bcd7 PackBcdLeft(std::string_view text) {
    // Positions start as 0xF nibbles and every character is a digit, so a
    // digit followed by an unused position packs as 0xdF.
    std::array<std::uint8_t, 14> n{};
    n.fill(0x0F);
    for (std::size_t i = 0; i < text.size() && i < 14; ++i) n[i] = static_cast<std::uint8_t>(text[i]) & 0x0F;
    Bcd7 out{};
    for (std::size_t i = 0; i < 7; ++i) out[i] = static_cast<std::uint8_t>((n[2 * i] << 4) | n[2 * i + 1]);
    return out;
}

Bcd7 NoCode7() {
    Bcd7 out{};
    out.fill(0xFF);
    return out;
}

std::string UnpackBcd(const std::uint8_t* b) {
    std::string out;
    for (std::size_t i = 0; i < 7; ++i)
        for (std::uint8_t nib : {static_cast<std::uint8_t>(b[i] >> 4), static_cast<std::uint8_t>(b[i] & 0x0F)})
            if (nib <= 9) out += static_cast<char>('0' + nib);
    if (out.size() > 13) out.erase(0, 1);
    return out;
}

std::size_t RawText(std::string_view text, std::size_t width, std::uint8_t* field) {
    const std::size_t n = text.size() < width ? text.size() : width;
    for (std::size_t i = 0; i < n; ++i) field[i] = static_cast<std::uint8_t>(text[i]);
    return n;
}

std::string kodiraj(std::string_view text) { return translate(text, codes().encode); }

std::string dekodiraj(std::string_view text) { return translate(text, codes().decode); }

}  // namespace kestora
