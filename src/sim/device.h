#pragma once
// One fiscal device behind the wire: what it keeps (article memory, open
// receipt, receipt counter, state) and how it answers one frame.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "journal.h"
#include "wire.h"

namespace kestora::sim {

// Misbehaviour asked for by a test or a person at the simulator's console.
struct Faults {
    int silent = 0;             // the next k frames are lost on the way in
    int dropAnswers = 0;        // the next k frames are carried out, their answers lost
    int refuseCode = -1;        // the next frame is refused with this code
    long long errorWord = -1;   // printer: the next long command fails with this error word
    int split = 0;              // answers go out in chunks of k bytes
    bool stray = false;         // one stray byte goes out before the next answer
    int paperOutOnce = 0;       // the next k receipt frames are refused for paper
    bool paperOut = false;      // no paper until told otherwise
    bool dailyReportRequired = false;
    int latencyMs = 0;          // the device thinks this long before answering
    bool wire = false;          // bytes take their time at 57600 bit/s
    bool resendDetection = true;
    bool infoOnce = false;      // printer: the next short frame gets the information answer
    bool closeAnswer = true;    // models 1 and 5 announce the end of a receipt

    // Takes one refusal code for the next frame, if one was asked for.
    int takeRefusal();
    bool takePaperOut();
};

struct ClockReading {
    int year = 2026, month = 1, day = 1, hour = 0, minute = 0, second = 0, weekday = 1;
};

struct DeviceContext {
    int model = 1;
    std::array<std::uint8_t, 3> module{};
    Journal* journal = nullptr;
    Faults* faults = nullptr;
    std::function<ClockReading()> clock;
    std::function<void(const std::string&)> log;
};

// An article to put straight into the memory (demo, tests). Text in
// Windows-1251.
struct ArticleSpec {
    int number = 0;
    std::string name;
    std::int64_t priceCents = 0;
    int taxGroup = 0;
    std::string barcode;  // digits; empty for none
};

// One answer and how long after the previous one it goes out.
struct Answer {
    Bytes bytes;
    int delayMs = 0;
};

struct Reply {
    std::vector<Answer> answers;
    bool carriedOut = true;  // false for a refusal: a resend is carried out again
};

// The open receipt and the receipt counter, the same on every model.
class ReceiptBook {
public:
    explicit ReceiptBook(Journal& j) : journal_(j) {}
    bool open() const { return open_; }
    bool hasSales() const { return sales_ > 0; }
    std::int64_t total() const { return total_; }
    std::int64_t paid() const { return paid_; }
    bool fullyPaid() const { return hasSales() && paid_ >= total_; }
    long lastNumber() const { return counter_; }
    void setLastNumber(long n) { counter_ = n; }
    // Milli-units of this article sold so far on the open receipt.
    std::int64_t sold(int article) const;

    void begin();
    void sale(int article, const std::string& nameUtf8, std::int64_t milli, std::int64_t cents, bool isVoid);
    void payment(int type, std::int64_t cents);
    // Closes the receipt under the next number, paying the rest in cash.
    long close();
    void voidReceipt();
    // The receipt was left unfinished and is dropped (a new sign-on came).
    void abandon();

private:
    void finish(const std::string& kind, long number);
    Journal& journal_;
    bool open_ = false;
    int sales_ = 0;
    std::int64_t total_ = 0, paid_ = 0;
    std::map<int, std::int64_t> sold_;
    std::vector<std::string> lines_;
    long counter_ = 0;
};

class Device {
public:
    explicit Device(DeviceContext ctx) : ctx_(std::move(ctx)), book_(*ctx_.journal) {}
    virtual ~Device() = default;

    // Header checks beyond the check bytes: false (with the reason) when the
    // frame is not meant for this model.
    virtual bool meantForMe(const Frame& f, std::string& why) const;
    virtual Reply handle(const Frame& f) = 0;
    virtual void put(const ArticleSpec& a) = 0;
    // The article's name as a person reads it (UTF-8); empty for an empty slot.
    virtual std::string articleName(int number) const = 0;
    // Printer state; cash registers have none.
    virtual int state() const { return 0; }
    virtual void setState(int) {}

    // Article memory: number -> the model's stored bytes.
    std::map<int, Bytes>& memory() { return memory_; }
    const ReceiptBook& receipts() const { return book_; }
    ReceiptBook& receipts() { return book_; }

protected:
    std::uint8_t typeByte() const;
    std::uint8_t byte2() const { return ctx_.model == 4 ? 0x01 : 0x11; }
    Bytes answerLong(const Frame& f, std::uint8_t code, const Bytes& data) const;
    void note(const std::string& s) const {
        if (ctx_.log) ctx_.log(s);
    }

    DeviceContext ctx_;
    ReceiptBook book_;
    std::map<int, Bytes> memory_;
};

std::unique_ptr<Device> makeDevice(const DeviceContext& ctx);

// Device text (Windows-1251, on models 1 and 5 also in the device's own
// letter codes) as a person reads it.
std::string readable(const std::string& deviceText, int model);

}  // namespace kestora::sim
