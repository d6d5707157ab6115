#include "app/cp1251.h"

#include <iconv.h>

#include <cerrno>

#include "app/ports.h"

namespace kestora {

namespace {

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// One descriptor per direction and thread: opening one costs far more than a
// conversion, and a descriptor must not be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw PlatformError(std::string("Konverzija ") + from + " -> " + to + " nije dostupna");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // skip(p, left) tells how many input bytes an unconvertible sequence
    // takes; it is replaced by one '?'.
    template <class Skip>
    std::string run(std::string_view text, Skip skip) {
        std::string out(text.size() * 2 + 8, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* op = out.data();
        std::size_t outLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (iconv(cd_, &in, &inLeft, &op, &outLeft) != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG || outLeft == 0) {
                const std::size_t used = static_cast<std::size_t>(op - out.data());
                out.resize(out.size() * 2);
                op = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut off at the end).
            const std::size_t n = errno == EINVAL ? inLeft : skip(in, inLeft);
            in += n;
            inLeft -= n;
            *op++ = '?';
            --outLeft;
        }
        out.resize(static_cast<std::size_t>(op - out.data()));
        return out;
    }

private:
    iconv_t cd_;
};

// Bytes of the UTF-8 sequence that starts at p (1 for a stray byte).
std::size_t utf8Length(const char* p, std::size_t left) {
    const auto lead = static_cast<unsigned char>(*p);
    std::size_t n = 1;
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) n = 4;
    if (n > left) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
    return n;
}

}  // namespace

std::string cp1251ToUtf8(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    thread_local Converter c("UTF-8", "CP1251");
    return c.run(text, [](const char*, std::size_t) -> std::size_t { return 1; });
}

std::string utf8ToCp1251(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    thread_local Converter c("CP1251", "UTF-8");
    return c.run(text, utf8Length);
}

}  // namespace kestora
