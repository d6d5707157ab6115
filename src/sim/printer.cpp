// Model 4, the fiscal printer: every long command answered with its long
// answer (result byte, printer state, error word, echoed command; the
// article number and bookkeeping flags on sale answers; the receipt number
// on status answers), and the short answers 0x84 (article record), 0x60
// (date and time), 0xF5 (refusal) and 0x20 (information).
#include "device.h"
#include "link/encodings.h"

namespace kestora::sim {
namespace {

constexpr std::uint8_t kDone = 0xFF, kFailed = 0x00;
// Error word bits.
constexpr std::uint32_t kNoPaper = 1u << 3, kBadCommand = 1u << 8, kBadNumber = 1u << 11, kZero = 1u << 12,
                        kNotFound = 1u << 18, kBadPayment = 1u << 22, kWrongState = 1u << 25, kBadParameter = 1u << 26,
                        kArticleProblem = 1u << 30;
// Printer states.
constexpr int kIdle = 1, kOpen = 2, kPaying = 3, kPaid = 4, kTextOpen = 30, kTextLines = 31;
// A stored article: code (7), name (32), price in hundredths (4), tax group (1).
constexpr std::size_t kCode = 0, kName = 7, kPrice = 39, kTax = 43, kRecord = 44;

std::uint32_t le32At(const Bytes& b, std::size_t p) {
    return b[p] | b[p + 1] << 8 | b[p + 2] << 16 | static_cast<std::uint32_t>(b[p + 3]) << 24;
}

class Printer : public Device {
public:
    using Device::Device;

    int state() const override { return state_; }
    void setState(int s) override {
        if (s == kOpen) book_.begin();
        if ((s >= 10 && s <= 22) || s == 70) {
            waitState_ = s;
            waits_ = 1;
            return;
        }
        state_ = s;
    }

    Reply handle(const Frame& f) override {
        if (!f.longForm) return shortCommand(f);
        Faults& fx = *ctx_.faults;
        const int asked = fx.takeRefusal();
        if (asked >= 0) return failed(f, 0, asked == kDone ? kFailed : static_cast<std::uint8_t>(asked));
        if (fx.errorWord >= 0) {
            const auto w = static_cast<std::uint32_t>(fx.errorWord);
            fx.errorWord = -1;
            return failed(f, w);
        }
        if (prints(f.code) && fx.takePaperOut()) return failed(f, kNoPaper);
        switch (f.code) {
        case 0x01: return login(f);
        case 0x03: return sale(f);
        case 0x04: return voidItem(f);
        case 0x09: return payment(f);
        case 0x0B: return endReceipt(f, false);
        case 0x0C: return endReceipt(f, true);
        case 0x0D: return status(f);
        case 0x15:
            ctx_.journal->add({"drawer", 0, {}});
            return ok(f);
        case 0x07: return freeText(f);
        case 0x05: return freeText(f);
        case 0x06: return freeText(f);
        case 0x1D: return display(f);
        case 0x08: return report(f);
        case 0x12: return clearTotals(f);
        case 0x13: return writeArticle(f);
        case 0x0F: return deleteArticles(f);
        default: return failed(f, kBadCommand);
        }
    }

    void put(const ArticleSpec& a) override {
        Bytes r(kRecord, 0);
        const auto code = a.barcode.empty() ? NoCode7() : PackBcdRight(a.barcode);
        std::copy(code.begin(), code.end(), r.begin() + kCode);
        for (std::size_t i = 0; i < a.name.size() && i < 32; ++i) r[kName + i] = static_cast<std::uint8_t>(a.name[i]);
        putLe32(r, kPrice, static_cast<std::uint32_t>(a.priceCents));
        r[kTax] = static_cast<std::uint8_t>(a.taxGroup);
        memory_[a.number] = r;
    }

    std::string articleName(int number) const override {
        const auto it = memory_.find(number);
        return it == memory_.end() ? "" : readable(textField(it->second.data() + kName, 32, true, false), ctx_.model);
    }

private:
    static bool prints(std::uint8_t code) {
        return code == 0x03 || code == 0x04 || code == 0x09 || code == 0x0B || code == 0x0C || code == 0x05 || code == 0x07 ||
               code == 0x06 || code == 0x08;
    }
    static std::uint8_t answerCode(std::uint8_t command) {
        switch (command) {
        case 0x03:
        case 0x04: return 0x22;
        case 0x0D: return 0x23;
        case 0x13:
        case 0x0F: return 0x25;
        default: return 0x20;
        }
    }

    // The long answer: result, state, error word, echoed command, then
    // bytes 16..24 as the command needs them.
    Reply answer(const Frame& f, std::uint8_t result, std::uint32_t word, int article = 0, int flags = 0,
                 long receipt = -1) const {
        Bytes d(16, 0);
        d[0] = result;
        d[1] = static_cast<std::uint8_t>(state_);
        for (int i = 0; i < 4; ++i) d[static_cast<std::size_t>(2 + i)] = static_cast<std::uint8_t>(word >> (24 - 8 * i) & 0xFF);
        d[6] = f.code;
        putLe16(d, 7, static_cast<std::uint32_t>(article));
        if (receipt >= 0) putLe32(d, 12, static_cast<std::uint32_t>(receipt));
        else d[15] = static_cast<std::uint8_t>(flags);
        Reply r;
        r.answers.push_back({answerLong(f, answerCode(f.code), d), 0});
        r.carriedOut = result == kDone;
        return r;
    }
    Reply ok(const Frame& f, int article = 0, int flags = 0) const { return answer(f, kDone, 0, article, flags); }
    Reply failed(const Frame& f, std::uint32_t word, std::uint8_t result = kFailed) const {
        note("command " + std::to_string(f.code) + " fails with error word " + std::to_string(word));
        return answer(f, result, word);
    }
    bool inReceipt() const { return state_ == kOpen || state_ == kPaying || state_ == kPaid; }

    Reply login(const Frame& f) {
        if (inReceipt()) return failed(f, kWrongState);
        loggedIn_ = true;
        return ok(f);
    }

    Reply sale(const Frame& f) {
        if (!loggedIn_ || (state_ != kIdle && state_ != kOpen)) return failed(f, kWrongState);
        const int n = static_cast<int>(le16(f, 9));
        const std::int64_t milli = le32(f, 18), cents = le32(f, 55);
        if (n < 1 || n > 60000) return failed(f, kBadNumber);
        if (milli == 0 || cents == 0) return failed(f, kZero);
        Bytes rec(kRecord, 0);
        std::copy(f.raw.begin() + 11, f.raw.begin() + 18, rec.begin() + kCode);
        const std::string name = textField(f.raw.data() + 22, 32, true, false);
        std::copy(name.begin(), name.end(), rec.begin() + kName);
        putLe32(rec, kPrice, static_cast<std::uint32_t>(cents));
        rec[kTax] = f.at(59);
        int flags = 0x01;
        const auto it = memory_.find(n);
        if (it == memory_.end()) {
            memory_[n] = rec;
            flags = 0x07;
        } else if (!std::equal(rec.begin() + kName, rec.begin() + kPrice, it->second.begin() + kName) ||
                   rec[kTax] != it->second[kTax]) {
            note("article " + std::to_string(n) + " is stored with another name or tax group");
            return failed(f, kArticleProblem);
        } else if (le32At(it->second, kPrice) != static_cast<std::uint32_t>(cents)) {
            putLe32(it->second, kPrice, static_cast<std::uint32_t>(cents));
            flags = 0x02;
        }
        book_.sale(n, articleName(n), milli, cents, false);
        state_ = kOpen;
        return ok(f, n, flags);
    }

    Reply voidItem(const Frame& f) {
        if (state_ != kOpen) return failed(f, kWrongState);
        const int n = static_cast<int>(le16(f, 9));
        const std::int64_t milli = le32(f, 18), cents = le32(f, 22);
        if (milli == 0 || book_.sold(n) < milli) return failed(f, kNotFound);
        book_.sale(n, articleName(n), milli, cents, true);
        return ok(f, n, 0);
    }

    Reply payment(const Frame& f) {
        if ((state_ != kOpen && state_ != kPaying) || !book_.hasSales()) return failed(f, kWrongState);
        if (f.at(9) > 9) return failed(f, kBadPayment);
        const std::int64_t cents = amount5Cents(f, 10);
        if (cents <= 0) return failed(f, kZero);
        book_.payment(f.at(9), cents);
        state_ = book_.fullyPaid() ? kPaid : kPaying;
        return ok(f);
    }

    Reply endReceipt(const Frame& f, bool voidIt) {
        if (!inReceipt()) return failed(f, kWrongState);
        if (voidIt) book_.voidReceipt();
        else book_.close();
        state_ = kIdle;
        return ok(f);
    }

    Reply status(const Frame& f) {
        if (ctx_.faults->paperOut) return failed(f, kNoPaper);
        const int real = state_;
        if (waits_ > 0) {
            --waits_;
            state_ = waitState_;
        }
        Reply r = answer(f, kDone, 0, 0, 0, book_.lastNumber());
        state_ = real;
        return r;
    }

    Reply freeText(const Frame& f) {
        if (f.code == 0x07) {
            if (state_ != kIdle) return failed(f, kWrongState);
            text_.clear();
            state_ = kTextOpen;
            return ok(f);
        }
        if (state_ != kTextOpen && state_ != kTextLines) return failed(f, kWrongState);
        if (f.code == 0x05) {
            text_.push_back(readable(textField(f.raw.data() + 10, 32, true, false), 4));
            state_ = kTextLines;
        } else {
            ctx_.journal->add({"free-text", 0, text_});
            state_ = kIdle;
        }
        return ok(f);
    }

    Reply display(const Frame& f) {
        const int line = f.at(9);
        if (line > 2) return failed(f, kBadParameter);
        std::vector<std::string> lines;
        if (line < 2) lines.push_back(readable(textField(f.raw.data() + 10, 20, true, false), 4));
        ctx_.journal->add({"display", line, lines});
        return ok(f);
    }

    Reply report(const Frame& f) {
        if (state_ != kIdle) return failed(f, kWrongState);
        const int kind = f.at(9);
        if (kind > 5) return failed(f, kBadParameter);
        std::vector<std::string> lines;
        if (kind >= 2) lines.push_back("FROM " + std::to_string(le32(f, 10)) + " TO " + std::to_string(le32(f, 14)));
        if (kind == 0) ctx_.faults->dailyReportRequired = false;
        ctx_.journal->add({"report", kind, lines});
        waitState_ = 10 + (kind < 3 ? kind : 3);
        waits_ = 1;
        return ok(f);
    }

    Reply clearTotals(const Frame& f) {
        if (state_ != kIdle) return failed(f, kWrongState);
        ctx_.journal->add({"clear-totals", 0, {}});
        return ok(f);
    }

    Reply writeArticle(const Frame& f) {
        if (ctx_.faults->dailyReportRequired || state_ == kTextOpen || state_ == kTextLines) return failed(f, kWrongState);
        const int n = static_cast<int>(le16(f, 9));
        if (n < 1 || n > 60000) return failed(f, kBadNumber);
        Bytes rec(kRecord, 0);
        std::copy(f.raw.begin() + 11, f.raw.begin() + 18, rec.begin() + kCode);
        const std::string name = textField(f.raw.data() + 18, 32, true, false);
        std::copy(name.begin(), name.end(), rec.begin() + kName);
        putLe32(rec, kPrice, le32(f, 51));
        rec[kTax] = f.at(55);
        memory_[n] = rec;
        return ok(f, n);
    }

    Reply deleteArticles(const Frame& f) {
        if (ctx_.faults->dailyReportRequired || inReceipt()) return failed(f, kWrongState);
        const int first = static_cast<int>(le16(f, 9)), last = static_cast<int>(le16(f, 11));
        if (first < 1 || last > 60000 || first > last) return failed(f, kBadParameter);
        memory_.erase(memory_.lower_bound(first), memory_.upper_bound(last));
        return ok(f, last);
    }

    // Short frames: article reads and the clock.
    Reply shortCommand(const Frame& f) {
        Reply r;
        Faults& fx = *ctx_.faults;
        const auto shortAnswer = [&](std::uint8_t code, const Bytes& d) { r.answers.push_back({shortFrame(code, d), 0}); };
        const auto refusal = [&](int reason) {
            shortAnswer(0xF5, {0, 0, static_cast<std::uint8_t>(reason)});
            r.carriedOut = false;
            return r;
        };
        if (fx.infoOnce) {
            fx.infoOnce = false;
            shortAnswer(0x20, {});
            return r;
        }
        const int asked = fx.takeRefusal();
        if (asked >= 0) return refusal(asked);
        if (f.code == 0x60 && f.raw.size() == 4) {
            const ClockReading c = ctx_.clock ? ctx_.clock() : ClockReading{};
            shortAnswer(0x60, {static_cast<std::uint8_t>(c.second), static_cast<std::uint8_t>(c.minute),
                               static_cast<std::uint8_t>(c.hour), static_cast<std::uint8_t>(c.weekday),
                               static_cast<std::uint8_t>(c.day), static_cast<std::uint8_t>(c.month),
                               static_cast<std::uint8_t>(c.year - 1900)});
            return r;
        }
        const bool read = f.code == 0x82 && f.raw.size() == 6, next = f.code == 0x84 && f.raw.size() == 4;
        if (!read && !next) return refusal(0x10);
        if (inReceipt()) return refusal(0x01);
        const auto it = read ? memory_.lower_bound(static_cast<int>(f.at(3) | f.at(4) << 8)) : memory_.upper_bound(cursor_);
        Bytes d(49, 0);
        if (it != memory_.end()) {
            cursor_ = it->first;
            const Bytes& rec = it->second;
            putLe16(d, 0, static_cast<std::uint32_t>(it->first));
            std::copy(rec.begin() + kName, rec.begin() + kPrice, d.begin() + 2);  // bytes 5..36; 37 stays 0
            putLe32(d, 36, le32At(rec, kPrice));                                 // bytes 39..42
            d[41] = rec[kTax];                                                    // byte 44
            std::copy(rec.begin() + kCode, rec.begin() + kCode + 7, d.begin() + 42);  // bytes 45..51
        } else {
            cursor_ = 60001;
        }
        shortAnswer(0x84, d);
        return r;
    }

    int state_ = kIdle;
    int waitState_ = 10, waits_ = 0;
    bool loggedIn_ = false;
    int cursor_ = 0;
    std::vector<std::string> text_;
};

}  // namespace

std::unique_ptr<Device> makePrinter(const DeviceContext& ctx) { return std::make_unique<Printer>(ctx); }

}  // namespace kestora::sim
