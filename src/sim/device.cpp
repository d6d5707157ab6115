#include "device.h"

#include "app/cp1251.h"
#include "link/encodings.h"

namespace kestora::sim {

int Faults::takeRefusal() {
    const int c = refuseCode;
    refuseCode = -1;
    return c;
}

bool Faults::takePaperOut() {
    if (paperOut) return true;
    if (paperOutOnce > 0) {
        --paperOutOnce;
        return true;
    }
    return false;
}

std::int64_t ReceiptBook::sold(int article) const {
    const auto it = sold_.find(article);
    return it == sold_.end() ? 0 : it->second;
}

void ReceiptBook::begin() {
    if (open_) return;
    open_ = true;
    sales_ = 0;
    total_ = paid_ = 0;
    sold_.clear();
    lines_.clear();
}

void ReceiptBook::sale(int article, const std::string& nameUtf8, std::int64_t milli, std::int64_t cents, bool isVoid) {
    begin();
    const std::int64_t amount = milli * cents / 1000;  // hundredths, the rest cut off
    const std::int64_t signedMilli = isVoid ? -milli : milli;
    sold_[article] += signedMilli;
    total_ += isVoid ? -amount : amount;
    ++sales_;
    lines_.push_back(std::string(isVoid ? "VOID " : "SALE ") + std::to_string(article) + " \"" + nameUtf8 + "\" " +
                     quantity(milli) + " x " + money(cents) + " = " + money(isVoid ? -amount : amount));
}

void ReceiptBook::payment(int type, std::int64_t cents) {
    paid_ += cents;
    lines_.push_back("PAY " + std::to_string(type) + " " + money(cents));
}

long ReceiptBook::close() {
    if (paid_ < total_) payment(0, total_ - paid_);
    lines_.push_back("TOTAL " + money(total_));
    finish("receipt", ++counter_);
    return counter_;
}

void ReceiptBook::voidReceipt() {
    lines_.push_back("TOTAL " + money(total_));
    finish("voided", 0);
}

void ReceiptBook::abandon() {
    if (!open_) return;
    finish("abandoned", 0);
}

void ReceiptBook::finish(const std::string& kind, long number) {
    journal_.add({kind, number, lines_});
    open_ = false;
    sales_ = 0;
    total_ = paid_ = 0;
    sold_.clear();
    lines_.clear();
}

std::uint8_t Device::typeByte() const {
    switch (ctx_.model) {
    case 1:
    case 5: return 1;
    case 2:
    case 3: return 2;
    default: return 4;
    }
}

bool Device::meantForMe(const Frame& f, std::string& why) const {
    if (!f.longForm) return true;
    if (f.type != typeByte()) {
        why = "device type byte " + std::to_string(f.type) + ", expected " + std::to_string(typeByte());
        return false;
    }
    if (f.byte2 != byte2()) {
        why = "byte 2 is " + std::to_string(f.byte2);
        return false;
    }
    return true;
}

Bytes Device::answerLong(const Frame& f, std::uint8_t code, const Bytes& data) const {
    return longFrame(typeByte(), byte2(), ctx_.module, f.seq, code, data);
}

std::string readable(const std::string& deviceText, int model) {
    const std::string text = (model == 1 || model == 5) ? dekodiraj(deviceText) : deviceText;
    return cp1251ToUtf8(text);
}

}  // namespace kestora::sim
