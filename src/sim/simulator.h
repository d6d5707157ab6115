#pragma once
// The device as the bridge sees it on the wire: takes the bytes the bridge
// writes, checks every frame, lets the device answer, and hands out the
// answer bytes when they are due. Time is given by the caller (a real clock
// in the program, a virtual one in tests), so a whole conversation with
// latencies and silences can run in an instant.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "device.h"

namespace kestora::sim {

class Simulator {
public:
    explicit Simulator(int model, const std::string& moduleNumber = "000000");
    ~Simulator();

    int model() const { return model_; }
    // Bytes written by the bridge at time nowMs.
    void receive(const Bytes& bytes, std::int64_t nowMs);
    // Answer chunks due by nowMs, oldest first.
    std::vector<Bytes> take(std::int64_t nowMs);
    // When the next chunk is due; -1 when nothing is waiting.
    std::int64_t nextDue() const;

    // A console line ("silent 3", "refuse 0x10", ...). Returns an empty text
    // when understood, otherwise what is wrong.
    std::string command(const std::string& line);
    static std::string help();

    Faults& faults() { return faults_; }
    Journal& journal() { return journal_; }
    const Journal& journal() const { return journal_; }
    Device& device() { return *device_; }
    void putArticle(const ArticleSpec& a) { device_->put(a); }
    void setClock(std::function<ClockReading()> clock) { clock_ = std::move(clock); }

    // The article memory and the receipt counter, kept between runs.
    void loadMemory(const std::filesystem::path& file);
    void saveMemory(const std::filesystem::path& file) const;

    // Hex of every frame in and out, and every anomaly.
    std::function<void(const std::string&)> log;

    struct Counts {
        int frames = 0, rejected = 0, lost = 0, resends = 0, answersLost = 0;
    };
    const Counts& counts() const { return counts_; }

private:
    void parse(std::int64_t nowMs);
    void process(const Frame& f, std::int64_t arrivalMs);
    bool wellFormed(const Frame& f, std::string& why) const;
    void schedule(const std::vector<Answer>& answers, std::int64_t arrivalMs);
    std::int64_t wireMs(std::size_t bytes) const;
    void say(const std::string& s) const {
        if (log) log(s);
    }

    int model_;
    std::array<std::uint8_t, 3> module_;
    Faults faults_;
    Journal journal_;
    std::function<ClockReading()> clock_;
    std::unique_ptr<Device> device_;
    Bytes rx_;
    std::int64_t lastRxMs_ = 0;
    struct Due {
        std::int64_t at;
        Bytes bytes;
    };
    std::deque<Due> out_;
    std::int64_t busyUntil_ = 0;
    Bytes lastCarriedOut_;
    std::vector<Answer> lastAnswers_;
    Counts counts_;
};

// The number of data bytes the device expects for a command it knows; -1 for
// a command it does not know (it answers that with its own refusal).
int expectedDataLength(int model, const Frame& f);

}  // namespace kestora::sim
