// Models 2 and 3: receipt lines and the closing command answered with 0x20
// and a status byte (0xFF accepted). Model 3 writes articles with 0x15 and
// reads them with 0x14 (answer 0x16); model 2 keeps its article memory
// behind an article mode of short frames (on 0x00, continue 0x20, off 0x10,
// write 0x85, read 0x80).
#include "device.h"
#include "link/encodings.h"

namespace kestora::sim {
namespace {

constexpr std::uint8_t kAccepted = 0xFF, kRefused = 0x00;
constexpr std::uint8_t kPaper = 0x40, kRange = 0x02, kOther = 0x01;

class RegisterC : public Device {
public:
    using Device::Device;

    bool meantForMe(const Frame& f, std::string& why) const override {
        if (!f.longForm && ctx_.model == 3) {
            why = "short frames are not understood by this model";
            return false;
        }
        return Device::meantForMe(f, why);
    }

    Reply handle(const Frame& f) override {
        if (!f.longForm) return articleMode(f);
        if (articleMode_) {
            note("receipt command refused: the device is in article mode");
            return status(f, kRefused, kOther);
        }
        switch (f.code) {
        case 0x01: return receiptLine(f, [&] { return signOn(); });
        case 0x03:
        case 0x04: return receiptLine(f, [&] { return sale(f, f.code == 0x04); });
        case 0x09: return receiptLine(f, [&] { return payment(f); });
        case 0x0B: return receiptLine(f, [&] { return close(); });
        default: break;
        }
        if (m3() && f.code == 0x15) return write3(f);
        if (m3() && f.code == 0x14) return read3(f);
        note("unknown command " + std::to_string(f.code));
        return status(f, kRefused, kOther);
    }

    void put(const ArticleSpec& a) override {
        Bytes slot = emptySlot();
        const auto code = a.barcode.empty() ? NoCode7() : PackBcdLeft(a.barcode);
        if (m3()) {
            for (std::size_t i = 0; i < a.name.size() && i < 36; ++i)
                slot[i < 18 ? i : i + 1] = static_cast<std::uint8_t>(a.name[i]);
            slot[39] = static_cast<std::uint8_t>(a.taxGroup);
            putLe32(slot, 40, static_cast<std::uint32_t>(a.priceCents / 100));
            slot[44] = static_cast<std::uint8_t>(a.priceCents % 100);
            std::copy(code.begin(), code.end(), slot.begin() + 45);
        } else {
            for (std::size_t i = 0; i < a.name.size() && i < 37; ++i) slot[i] = static_cast<std::uint8_t>(a.name[i]);
            putLe32(slot, 38, static_cast<std::uint32_t>(a.priceCents));
            slot[42] = static_cast<std::uint8_t>(a.taxGroup);
            std::copy(code.begin(), code.end(), slot.begin() + 43);
        }
        memory_[a.number] = slot;
    }

    std::string articleName(int number) const override {
        const auto it = memory_.find(number);
        if (it == memory_.end()) return "";
        const std::uint8_t* s = it->second.data();
        return readable(textField(s, 18, true, false) + textField(s + (m3() ? 19 : 18), 18, true, false), ctx_.model);
    }

private:
    bool m3() const { return ctx_.model == 3; }
    std::size_t slotFirst() const { return m3() ? 11 : 5; }
    std::size_t slotSize() const { return m3() ? 52 : 50; }
    Bytes emptySlot() const {
        Bytes s(slotSize(), 0);
        std::fill(s.end() - 7, s.end(), 0xFF);
        return s;
    }
    std::int64_t price(const Bytes& s) const {
        const auto le = [&](std::size_t p) {
            return static_cast<std::int64_t>(s[p] | s[p + 1] << 8 | s[p + 2] << 16 | static_cast<std::uint32_t>(s[p + 3]) << 24);
        };
        return m3() ? le(40) * 100 + s[44] : le(38);
    }

    Reply status(const Frame& f, std::uint8_t st, std::uint8_t code) const {
        Reply r;
        r.answers.push_back({answerLong(f, 0x20, {st, code}), 0});
        r.carriedOut = st == kAccepted;
        return r;
    }

    template <class Body>
    Reply receiptLine(const Frame& f, Body body) {
        if (ctx_.faults->takePaperOut()) return status(f, kRefused, kPaper);
        const int asked = ctx_.faults->takeRefusal();
        if (asked >= 0) return status(f, kRefused, static_cast<std::uint8_t>(asked));
        const int code = body();
        return code == 0 ? status(f, kAccepted, 0) : status(f, kRefused, static_cast<std::uint8_t>(code));
    }

    int signOn() {
        if (book_.hasSales()) {
            note("sign-on while a receipt is open: the open receipt is dropped");
            book_.abandon();
        }
        signedOn_ = true;
        return 0;
    }

    int sale(const Frame& f, bool isVoid) {
        const int n = static_cast<int>(le16(f, 9));
        const std::int64_t milli = le32(f, 18);
        if (!signedOn_ || book_.paid() > 0) return kOther;
        const auto it = memory_.find(n);
        if (n < 1 || n > 3000 || it == memory_.end() || articleName(n).empty()) return kOther;
        const std::int64_t cents = price(it->second);
        if (milli == 0 || cents == 0 || (isVoid && book_.sold(n) < milli)) return kRange;
        book_.sale(n, articleName(n), milli, cents, isVoid);
        return 0;
    }

    int payment(const Frame& f) {
        const std::int64_t cents = amount5Cents(f, 53);
        if (!book_.hasSales()) return kOther;
        if (cents <= 0) return kRange;
        book_.payment(f.at(9), cents);
        return 0;
    }

    // What is still owed is taken in cash.
    int close() {
        if (!book_.hasSales()) return kOther;
        book_.close();
        signedOn_ = false;
        return 0;
    }

    Reply write3(const Frame& f) {
        const int n = static_cast<int>(le16(f, 9));
        if (ctx_.faults->takeRefusal() >= 0 || n < 1 || n > 3000) return status(f, kRefused, kRange);
        if (ctx_.faults->dailyReportRequired)
            note("article " + std::to_string(n) + " not stored: the daily report is required first");
        else
            memory_[n] = Bytes(f.raw.begin() + 11, f.raw.begin() + 11 + 52);
        return status(f, kAccepted, 0);
    }

    Reply read3(const Frame& f) {
        const int n = static_cast<int>(le16(f, 9));
        Bytes data{f.at(9), f.at(10)};
        const auto it = memory_.find(n);
        const Bytes slot = it == memory_.end() ? emptySlot() : it->second;
        data.insert(data.end(), slot.begin(), slot.end());
        Reply r;
        r.answers.push_back({answerLong(f, 0x16, data), 0});
        return r;
    }

    // Model 2's article mode.
    Reply articleMode(const Frame& f) {
        Reply r;
        const auto answer = [&](std::uint8_t code, const Bytes& data = {}) { r.answers.push_back({shortFrame(code, data), 0}); };
        switch (f.code) {
        case 0x00:
            articleMode_ = true;
            limited_ = ctx_.faults->dailyReportRequired;
            answer(limited_ ? 0xFD : 0x00);
            return r;
        case 0x10:
            articleMode_ = false;
            answer(0x10);
            return r;
        default: break;
        }
        if (!articleMode_) {
            note("article command outside article mode: not answered");
            return r;
        }
        if (f.code == 0x20) {
            answer(0x20);
        } else if (f.code == 0x85) {
            const int n = f.at(3) << 8 | f.at(4);
            if (limited_)
                note("article " + std::to_string(n) + " not stored: the daily report is required first");
            else if (n >= 1 && n <= 3000)
                memory_[n] = Bytes(f.raw.begin() + 5, f.raw.begin() + 55);
            answer(0x85);
        } else if (f.code == 0x80) {
            const int n = f.at(3) << 8 | f.at(4);
            Bytes data{f.at(3), f.at(4)};
            const auto it = memory_.find(n);
            const Bytes slot = it == memory_.end() ? emptySlot() : it->second;
            data.insert(data.end(), slot.begin(), slot.end());
            answer(0x80, data);
        } else {
            note("unknown article-mode command " + std::to_string(f.code) + ": not answered");
        }
        return r;
    }

    bool signedOn_ = false;
    bool articleMode_ = false;
    bool limited_ = false;
};

}  // namespace

std::unique_ptr<Device> makeRegisterC(const DeviceContext& ctx) { return std::make_unique<RegisterC>(ctx); }

}  // namespace kestora::sim
