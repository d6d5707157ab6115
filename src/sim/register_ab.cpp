// Models 1 and 5: every receipt line and the drawer answered with 0x1F, the
// end of a receipt (its closing payment of nothing) announced with 0x1C and
// the receipt number,
// article memory written with 0x74 and read with 0x73.
#include "device.h"
#include "link/encodings.h"

namespace kestora::sim {
namespace {

constexpr std::size_t kSlotFirst = 11;  // the slot holds frame bytes 11..60
constexpr std::size_t kSlotSize = 50;
constexpr std::uint8_t kAccepted = 0x00, kRefused = 0xFF;
constexpr std::uint8_t kPaper = 0x40, kOverflow = 0x08, kRange = 0x02, kOther = 0x01;

class RegisterAB : public Device {
public:
    using Device::Device;

    bool meantForMe(const Frame& f, std::string& why) const override {
        if (!f.longForm) {
            why = "short frames are not understood by this model";
            return false;
        }
        if (ctx_.model == 5 && f.type == 5 && f.code == 0x1F && f.byte2 == 0x11) return true;
        return Device::meantForMe(f, why);
    }

    Reply handle(const Frame& f) override {
        const bool m1 = ctx_.model == 1;
        if (f.type == 5) return exitPrinterMode();
        if (f.code == 0x01) return receiptLine(f, [&] { return signOn(f); });
        if (f.code == (m1 ? 0x0B : 0x05) || f.code == (m1 ? 0x0C : 0x06))
            return receiptLine(f, [&] { return sale(f, f.code == (m1 ? 0x0C : 0x06)); });
        if (f.code == (m1 ? 0x15 : 0x13)) return payment(f);
        if (f.code == 0x29) return drawer(f);
        if (f.code == 0x74) return write(f);
        if (f.code == 0x73) return read(f);
        note("unknown command " + std::to_string(f.code));
        return refuse(f, kOther);
    }

    void put(const ArticleSpec& a) override {
        Bytes slot = emptySlot();
        const std::string name = kodiraj(a.name);
        if (!name.empty()) {
            std::fill(slot.begin(), slot.begin() + 36, 0);
            for (std::size_t i = 0; i < name.size() && i < 36; ++i) slot[i] = static_cast<std::uint8_t>(name[i]);
        }
        const auto code = a.barcode.empty() ? NoCode7() : PackBcdRight(a.barcode);
        std::copy(code.begin(), code.end(), slot.begin() + 37);
        slot[44] = static_cast<std::uint8_t>(a.taxGroup);
        slot[45] = static_cast<std::uint8_t>(a.taxGroup | 1);
        putLe32(slot, 46, static_cast<std::uint32_t>(a.priceCents));
        memory_[a.number] = slot;
    }

    std::string articleName(int number) const override {
        const auto it = memory_.find(number);
        if (it == memory_.end()) return "";
        return readable(textField(it->second.data(), 36, false, true), ctx_.model);
    }

private:
    int lastNumber() const { return ctx_.model == 1 ? 3999 : 11999; }
    bool usable(int n) const { return n >= 0 && n <= lastNumber() && !(ctx_.model == 1 && n == 704); }

    static Bytes emptySlot() {
        Bytes s(kSlotSize, 0);
        std::fill(s.begin(), s.begin() + 37, 0xFF);       // name and byte 47
        std::fill(s.begin() + 37, s.begin() + 44, 0xFF);  // no bar code
        return s;
    }

    Reply lineAnswer(const Frame& f, std::uint8_t status, std::uint8_t code) const {
        Reply r;
        r.answers.push_back({answerLong(f, 0x1F, {status, code}), 0});
        r.carriedOut = status != kRefused;
        return r;
    }
    Reply refuse(const Frame& f, std::uint8_t code) const { return lineAnswer(f, kRefused, code); }

    // Paper and refusals asked for come first; then the line itself.
    template <class Body>
    Reply receiptLine(const Frame& f, Body body) {
        if (ctx_.faults->takePaperOut()) return refuse(f, kPaper);
        const int asked = ctx_.faults->takeRefusal();
        if (asked >= 0) return refuse(f, static_cast<std::uint8_t>(asked));
        const int code = body();
        return code == 0 ? lineAnswer(f, kAccepted, 0) : refuse(f, static_cast<std::uint8_t>(code));
    }

    int signOn(const Frame& f) {
        if (book_.open()) {
            note("sign-on while a receipt is open: the open receipt is dropped");
            book_.abandon();
        }
        signedOn_ = true;
        operator_ = f.at(9);
        return 0;
    }

    int sale(const Frame& f, bool isVoid) {
        const int n = static_cast<int>(le16(f, 16));
        const std::int64_t milli = le32(f, 18);
        if (!signedOn_ || book_.paid() > 0) return kOther;
        const auto it = memory_.find(n);
        if (!usable(n) || it == memory_.end() || articleName(n).empty()) return kOther;
        const std::int64_t cents = le32Of(it->second, 46);
        if (milli == 0 || cents == 0) return kRange;
        if (isVoid && book_.sold(n) < milli) return kRange;
        if (book_.total() + milli * cents / 1000 > 9999999999LL) return kOverflow;
        book_.sale(n, articleName(n), milli, cents, isVoid);
        return 0;
    }

    // A payment of nothing closes the receipt (what is still owed is taken
    // in cash) and the end of the receipt is announced after a moment.
    Reply payment(const Frame& f) {
        if (ctx_.faults->takePaperOut()) return refuse(f, kPaper);
        const int asked = ctx_.faults->takeRefusal();
        if (asked >= 0) return refuse(f, static_cast<std::uint8_t>(asked));
        const std::int64_t cents = amount5Cents(f, 11);
        if (!book_.hasSales()) return refuse(f, kOther);
        if (cents > 0) {
            book_.payment(f.at(9), cents);
            return lineAnswer(f, kAccepted, 0);
        }
        Reply r = lineAnswer(f, kAccepted, 0);
        const long number = book_.close();
        signedOn_ = false;
        Bytes data(6, 0);
        for (int i = 0; i < 4; ++i) data[static_cast<std::size_t>(2 + i)] = static_cast<std::uint8_t>(number >> (24 - 8 * i) & 0xFF);
        if (ctx_.faults->closeAnswer) r.answers.push_back({answerLong(f, 0x1C, data), 20});
        else note("end of receipt " + std::to_string(number) + " not announced");
        return r;
    }

    Reply drawer(const Frame& f) {
        const int asked = ctx_.faults->takeRefusal();
        if (asked >= 0) return refuse(f, static_cast<std::uint8_t>(asked));
        ctx_.journal->add({"drawer", 0, {}});
        return lineAnswer(f, kAccepted, 0);
    }

    Reply write(const Frame& f) {
        const int n = static_cast<int>(le16(f, 9));
        std::uint8_t status = kAccepted;
        if (ctx_.faults->takeRefusal() >= 0 || n > lastNumber()) {
            status = kRefused;
        } else if (ctx_.faults->dailyReportRequired) {
            note("article " + std::to_string(n) + " not stored: the daily report is required first");
        } else if (!usable(n)) {
            note("article " + std::to_string(n) + " is not used on this model; not stored");
        } else {
            memory_[n] = Bytes(f.raw.begin() + kSlotFirst, f.raw.begin() + kSlotFirst + kSlotSize);
        }
        Reply r;
        r.answers.push_back({answerLong(f, 0x74, {status, f.at(9), f.at(10)}), 0});
        r.carriedOut = status == kAccepted;
        return r;
    }

    Reply read(const Frame& f) {
        const int n = static_cast<int>(le16(f, 9));
        Bytes data{f.at(9), f.at(10)};
        const auto it = memory_.find(n);
        const Bytes slot = it == memory_.end() || !usable(n) ? emptySlot() : it->second;
        data.insert(data.end(), slot.begin(), slot.end());
        Reply r;
        r.answers.push_back({answerLong(f, 0x73, data), 0});
        return r;
    }

    Reply exitPrinterMode() {
        ctx_.journal->add({"exit-printer-mode", 0, {}});
        return {};
    }

    static std::int64_t le32Of(const Bytes& b, std::size_t pos) {
        return static_cast<std::int64_t>(b[pos] | b[pos + 1] << 8 | b[pos + 2] << 16 | static_cast<std::uint32_t>(b[pos + 3]) << 24);
    }

    bool signedOn_ = false;
    int operator_ = 0;
};

}  // namespace

std::unique_ptr<Device> makeRegisterAB(const DeviceContext& ctx) { return std::make_unique<RegisterAB>(ctx); }

}  // namespace kestora::sim
