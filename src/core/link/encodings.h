#pragma once
// Encodings of money, quantities, numbers, dates, bar codes and article
// names inside the device frames. Text is Windows-1251 bytes.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestora {

using Bcd7 = std::array<std::uint8_t, 7>;

// value × factor in extended precision, to the nearest integer, halves to even.
long long roundScaled(double value, int factor);

// Amount5: 4 bytes whole units (low byte first), 1 byte hundredths; both
// carry the sign of the amount.
std::array<std::uint8_t, 5> Amount5(double value);
// The same, from the amount written as decimal text ("." or "," as the
// separator). Writes frame bytes k+1 .. k+5. Throws PlatformError when the
// text is not a number.
void Suma(const std::string& amount, int k, std::uint8_t* frame);
std::array<std::uint8_t, 4> Cents4(double value);
std::array<std::uint8_t, 4> Milli4(double value);
// Low byte first; highFirst for the short frames of model 2.
std::array<std::uint8_t, 2> Word2(unsigned value, bool highFirst = false);
std::array<std::uint8_t, 4> Long4(std::int64_t value);
std::array<std::uint8_t, 2> PackedDate2(int year, int month, int day);
std::array<std::uint8_t, 5> DateBytes(int year, int month, int day, int hour, int minute);
std::array<std::uint8_t, 4> YyMmDd4(int year, int month, int day);

Bcd7 PackBcdRight(std::string_view text);
Bcd7 PackBcdLeft(std::string_view text);
Bcd7 NoCode7();
std::string UnpackBcd(const std::uint8_t* bytes7);

// The first width bytes of text into a width-byte field that is already
// zero; returns how many bytes were copied.
std::size_t RawText(std::string_view text, std::size_t width, std::uint8_t* field);

// Windows-1251 <-> the character set of models 1 and 5.
std::string kodiraj(std::string_view text);
std::string dekodiraj(std::string_view text);

}  // namespace kestora
