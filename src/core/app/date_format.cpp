#include "app/date_format.h"

#include <cctype>

namespace kestora {

namespace {

// Splits the pattern into tokens: runs of d, M or y, and single literals.
template <class F>
void walk(const std::string& format, F onToken) {
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        std::size_t j = i;
        if (c == 'd' || c == 'M' || c == 'y')
            while (j < format.size() && format[j] == c) ++j;
        else
            j = i + 1;
        onToken(format.substr(i, j - i));
        i = j;
    }
}

bool validDate(const Date& d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1) return false;
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    return d.day <= days[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
}

std::string pad(int v, std::size_t width) {
    const std::string s = std::to_string(v);
    return s.size() < width ? std::string(width - s.size(), '0') + s : s;
}

}  // namespace

std::optional<Date> parseShortDate(const std::string& raw, const std::string& format) {
    std::string text = raw;
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.erase(0, 1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    Date d;
    std::size_t pos = 0;
    bool ok = !format.empty();
    walk(format, [&](const std::string& tok) {
        if (!ok) return;
        const char c = tok[0];
        if (c != 'd' && c != 'M' && c != 'y') {
            ok = pos < text.size() && text[pos] == c;
            ++pos;
            return;
        }
        // A one-letter d or M takes one or two digits; the others their width.
        const std::size_t most = (c == 'y') ? (tok.size() >= 3 ? 4 : 2) : 2;
        const std::size_t least = (tok.size() == 1) ? 1 : most;
        std::size_t n = 0;
        int v = 0;
        while (n < most && pos + n < text.size() && std::isdigit(static_cast<unsigned char>(text[pos + n]))) {
            v = v * 10 + (text[pos + n] - '0');
            ++n;
        }
        if (n < least) {
            ok = false;
            return;
        }
        pos += n;
        if (c == 'd') d.day = v;
        else if (c == 'M') d.month = v;
        else d.year = (most == 2) ? 2000 + v : v;
    });
    if (!ok || pos != text.size() || !validDate(d)) return std::nullopt;
    return d;
}

std::string formatShortDate(const Date& date, const std::string& format) {
    std::string out;
    walk(format, [&](const std::string& tok) {
        switch (tok[0]) {
            case 'd': out += pad(date.day, tok.size() >= 2 ? 2 : 1); break;
            case 'M': out += pad(date.month, tok.size() >= 2 ? 2 : 1); break;
            case 'y': out += tok.size() >= 3 ? pad(date.year, 4) : pad(date.year % 100, 2); break;
            default: out += tok;
        }
    });
    return out;
}

}  // namespace kestora
