#pragma once
// The two frame forms sent to the devices, their check bytes and the
// packing of the fiscal-module number.
#include <array>
#include <cstdint>
#include <string>

#include "app/ports.h"

namespace kestora {

inline constexpr std::size_t kWorkAreaSize = 251;
using FrameCopy = std::array<std::uint8_t, kWorkAreaSize>;

// Sum of bytes 0..last, modulo 256; 0 for a negative last.
std::uint8_t CRC1(int last, const std::uint8_t* frame);
// Exclusive-or of bytes 0..last; 0 for a negative last.
std::uint8_t CRC2(int last, const std::uint8_t* frame);
// Six BCD digits from the module number text, right-aligned.
std::array<std::uint8_t, 3> FabrickiBrojToBCD(const std::string& text);
// Length of the frame held in a zero-padded copy.
int StoredFrameLength(const FrameCopy& copy);

// The zero-filled work area one frame is built in.
struct WorkArea {
    FrameCopy bytes{};
    int length = 0;
    Bytes toBytes() const { return Bytes(bytes.begin(), bytes.begin() + length); }
};

// The long form: AA, device type, 0x11/0x01, module number, sequence byte,
// code, N, data, both check bytes, 0D.
WorkArea buildCommandFrame(std::uint8_t deviceType, std::uint8_t byte2, const std::string& ibfm,
                           std::uint8_t seq, std::uint8_t code, const Bytes& data);
// The short form: 5F, code, N, data, 0D.
WorkArea buildShortFrame(std::uint8_t code, const Bytes& data);

// DeviceTypeByte of a model: 1 for models 1 and 5, 2 for 2 and 3, 4 for 4.
std::uint8_t deviceTypeByte(int model);
// Byte 2: 0x01 on the printer, 0x11 on the cash registers.
std::uint8_t headerByte2(int model);

}  // namespace kestora
