#pragma once
// Windows-1251 <-> UTF-8, for text that leaves the core's byte strings
// (the article file keeps UTF-8 so that sqlite3 shows it readably).
#include <string>
#include <string_view>

namespace kestora {

// A byte with no character in Windows-1251 (0x98) becomes '?'.
std::string cp1251ToUtf8(std::string_view text);
// A character with no Windows-1251 form, or a byte that is not valid
// UTF-8, becomes '?'.
std::string utf8ToCp1251(std::string_view text);

}  // namespace kestora
