#pragma once
// Small text helpers shared by the whole core.
#include <optional>
#include <string>
#include <string_view>

namespace kestora {

std::string trim(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string toUpperAscii(std::string_view s);
// A whole number written in decimal, optionally signed and surrounded by
// spaces; nothing else (no fraction, no trailing letters, no overflow).
std::optional<long long> parseWhole(std::string_view s);
std::optional<int> parseInt(std::string_view s);

}  // namespace kestora
