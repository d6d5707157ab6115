#include "link/frame.h"

#include <stdexcept>

namespace kestora {

std::uint8_t CRC1(int last, const std::uint8_t* frame) {
    unsigned sum = 0;
    for (int i = 0; i <= last; ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::uint8_t CRC2(int last, const std::uint8_t* frame) {
    std::uint8_t x = 0;
    for (int i = 0; i <= last; ++i) x ^= frame[i];
    return x;
}

std::array<std::uint8_t, 3> FabrickiBrojToBCD(const std::string& text) {
    std::string t = text;
    if (t.size() < 6) t.insert(0, 6 - t.size(), ' ');
    std::array<std::uint8_t, 6> d{};
    for (std::size_t i = 0; i < 6; ++i) d[i] = static_cast<std::uint8_t>(t[i]) & 0x0F;
    return {static_cast<std::uint8_t>(d[0] * 16 + d[1]), static_cast<std::uint8_t>(d[2] * 16 + d[3]),
            static_cast<std::uint8_t>(d[4] * 16 + d[5])};
}

int StoredFrameLength(const FrameCopy& copy) {
    for (int i = static_cast<int>(copy.size()) - 1; i >= 0; --i)
        if (copy[static_cast<std::size_t>(i)] != 0) return i + 1;
    return 0;
}

WorkArea buildCommandFrame(std::uint8_t deviceType, std::uint8_t byte2, const std::string& ibfm,
                           std::uint8_t seq, std::uint8_t code, const Bytes& data) {
    if (data.size() + 12 > kWorkAreaSize) throw std::length_error("frame too long");
    WorkArea w;
    auto& b = w.bytes;
    b[0] = 0xAA;
    b[1] = deviceType;
    b[2] = byte2;
    const auto bcd = FabrickiBrojToBCD(ibfm);
    b[3] = bcd[0];
    b[4] = bcd[1];
    b[5] = bcd[2];
    b[6] = seq;
    b[7] = code;
    const int n = static_cast<int>(data.size());
    b[8] = static_cast<std::uint8_t>(n);
    for (int i = 0; i < n; ++i) b[static_cast<std::size_t>(9 + i)] = data[static_cast<std::size_t>(i)];
    b[static_cast<std::size_t>(9 + n)] = CRC1(8 + n, b.data());
    b[static_cast<std::size_t>(10 + n)] = CRC2(8 + n, b.data());
    b[static_cast<std::size_t>(11 + n)] = 0x0D;
    w.length = n + 12;
    return w;
}

WorkArea buildShortFrame(std::uint8_t code, const Bytes& data) {
    if (data.size() + 4 > kWorkAreaSize) throw std::length_error("frame too long");
    WorkArea w;
    w.bytes[0] = 0x5F;
    w.bytes[1] = code;
    const int n = static_cast<int>(data.size());
    w.bytes[2] = static_cast<std::uint8_t>(n);
    for (int i = 0; i < n; ++i) w.bytes[static_cast<std::size_t>(3 + i)] = data[static_cast<std::size_t>(i)];
    w.bytes[static_cast<std::size_t>(3 + n)] = 0x0D;
    w.length = n + 4;
    return w;
}

std::uint8_t deviceTypeByte(int model) {
    switch (model) {
        case 2: case 3: return 2;
        case 4: return 4;
        default: return 1;
    }
}

std::uint8_t headerByte2(int model) { return model == 4 ? 0x01 : 0x11; }

}  // namespace kestora
