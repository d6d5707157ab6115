#pragma once
// The printer's 32-bit error word turned into text.
#include <cstdint>
#include <string>

namespace kestora {

// b11..b14 are answer positions 11 to 14, the first the most significant.
std::string DekodirajGresku(std::uint8_t b11, std::uint8_t b12, std::uint8_t b13, std::uint8_t b14);

}  // namespace kestora
