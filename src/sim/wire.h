#pragma once
// Byte-level helpers of the device side: frames as the devices parse and
// build them, the number layouts inside them, and hex for the logs. Kept
// apart from the bridge's own frame code on purpose, so that a fault there
// shows up as a frame the device does not accept.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestora::sim {

using Bytes = std::vector<std::uint8_t>;

// One frame as received: the long form (0xAA, check bytes) or the short
// form (0x5F, no header).
struct Frame {
    bool longForm = true;
    std::uint8_t type = 0;   // long: byte 1
    std::uint8_t byte2 = 0;  // long: byte 2
    std::uint8_t seq = 0;    // long: byte 6
    std::uint8_t code = 0;
    Bytes raw;  // the whole frame
    // Data byte at frame position pos (0 when the frame is shorter).
    std::uint8_t at(std::size_t pos) const { return pos < raw.size() ? raw[pos] : 0; }
};

std::uint8_t sum8(const Bytes& b, std::size_t count);
std::uint8_t xor8(const Bytes& b, std::size_t count);

// The module number as the devices hold it: six digits, packed two a byte.
std::array<std::uint8_t, 3> packModule(const std::string& digits);

// A long answer: header bytes 1..6 given, data placed from byte 9.
Bytes longFrame(std::uint8_t type, std::uint8_t byte2, const std::array<std::uint8_t, 3>& module,
                std::uint8_t seq, std::uint8_t code, const Bytes& data);
Bytes shortFrame(std::uint8_t code, const Bytes& data);

std::uint32_t le16(const Frame& f, std::size_t pos);
std::uint32_t le32(const Frame& f, std::size_t pos);
void putLe16(Bytes& b, std::size_t pos, std::uint32_t v);
void putLe32(Bytes& b, std::size_t pos, std::uint32_t v);
// Four bytes whole units (low first) and one byte hundredths.
std::int64_t amount5Cents(const Frame& f, std::size_t pos);
// Seven packed-decimal bytes: the digits of the nibbles below 10.
std::string bcdDigits(const std::uint8_t* seven);
// Bytes up to the first 0x00 (or the end), those above 0x1F kept.
std::string textField(const std::uint8_t* p, std::size_t n, bool stopAtZero, bool dropFF);

std::string hex(const Bytes& b);
// "12.34" from hundredths, "2.000" from thousandths.
std::string money(std::int64_t cents);
std::string quantity(std::int64_t milli);

}  // namespace kestora::sim
