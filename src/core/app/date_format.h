#pragma once
// Short dates in a pattern of d, dd, M, MM, yy, yyyy and literal characters
// (the locale's short format, or DatumFormat of Konfiguracija.dat).
#include <optional>
#include <string>

namespace kestora {

struct Date {
    int year = 0, month = 0, day = 0;
};

std::optional<Date> parseShortDate(const std::string& text, const std::string& format);
std::string formatShortDate(const Date& date, const std::string& format);

}  // namespace kestora
