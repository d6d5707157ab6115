#include "simulator.h"

#include <ctime>
#include <fstream>
#include <sstream>

namespace kestora::sim {

std::unique_ptr<Device> makeRegisterAB(const DeviceContext& ctx);
std::unique_ptr<Device> makeRegisterC(const DeviceContext& ctx);
std::unique_ptr<Device> makePrinter(const DeviceContext& ctx);

namespace {

constexpr std::int64_t kPartialTimeoutMs = 500;
constexpr std::int64_t kSplitGapMs = 2;
constexpr std::uint8_t kStrayByte = 0xE5;

ClockReading systemClock() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

bool number(const std::string& s, long long& v) {
    try {
        std::size_t used = 0;
        v = std::stoll(s, &used, 0);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

}  // namespace

int expectedDataLength(int model, const Frame& f) {
    const int c = f.code;
    if (!f.longForm) {
        if (model == 2) {
            switch (c) {
            case 0x00: return 2;
            case 0x20:
            case 0x10: return 0;
            case 0x85: return 52;
            case 0x80: return 2;
            default: return -1;
            }
        }
        if (model == 4) {
            switch (c) {
            case 0x82: return 2;
            case 0x84:
            case 0x60: return 0;
            default: return -1;
            }
        }
        return -1;
    }
    if (model == 1 || model == 5) {
        const bool m1 = model == 1;
        if (c == 0x01) return 5;
        if (c == (m1 ? 0x0B : 0x05) || c == (m1 ? 0x0C : 0x06)) return 13;
        if (c == (m1 ? 0x15 : 0x13)) return 7;
        if (c == 0x29 || c == 0x1F) return 0;
        if (c == 0x74) return 56;
        if (c == 0x73) return 2;
        return -1;
    }
    if (model == 2 || model == 3) {
        switch (c) {
        case 0x01: return 25;
        case 0x03:
        case 0x04: return 18;
        case 0x09: return 49;
        case 0x0B: return 0;
        case 0x15: return model == 3 ? 54 : -1;
        case 0x14: return model == 3 ? 2 : -1;
        default: return -1;
        }
    }
    switch (c) {
    case 0x01: return 1;
    case 0x03: return 52;
    case 0x04: return 18;
    case 0x09: return 6;
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x07:
    case 0x06:
    case 0x12: return 0;
    case 0x15: return 2;
    case 0x05: return 33;
    case 0x1D: return f.at(9) == 2 ? 1 : 21;
    case 0x08: return 9;
    case 0x13: return 48;
    case 0x0F: return 4;
    default: return -1;
    }
}

Simulator::Simulator(int model, const std::string& moduleNumber)
    : model_(model), module_(packModule(moduleNumber)), clock_(systemClock) {
    DeviceContext ctx;
    ctx.model = model;
    ctx.module = module_;
    ctx.journal = &journal_;
    ctx.faults = &faults_;
    ctx.clock = [this] { return clock_(); };
    ctx.log = [this](const std::string& s) { say("   " + s); };
    if (model == 1 || model == 5) device_ = makeRegisterAB(ctx);
    else if (model == 2 || model == 3) device_ = makeRegisterC(ctx);
    else device_ = makePrinter(ctx);
}

Simulator::~Simulator() = default;

std::int64_t Simulator::wireMs(std::size_t bytes) const {
    // 10 bits a byte at 57600 bit/s, rounded up to whole milliseconds.
    return faults_.wire ? static_cast<std::int64_t>((bytes * 10 * 1000 + 57599) / 57600) : 0;
}

void Simulator::receive(const Bytes& bytes, std::int64_t nowMs) {
    if (!rx_.empty() && nowMs - lastRxMs_ > kPartialTimeoutMs) {
        say("!! incomplete frame dropped: " + hex(rx_));
        ++counts_.rejected;
        rx_.clear();
    }
    lastRxMs_ = nowMs;
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());
    parse(nowMs);
}

void Simulator::parse(std::int64_t nowMs) {
    while (!rx_.empty()) {
        if (rx_[0] != 0xAA && rx_[0] != 0x5F) {
            std::size_t junk = 1;
            while (junk < rx_.size() && rx_[junk] != 0xAA && rx_[junk] != 0x5F) ++junk;
            say("!! bytes before a start byte dropped: " + hex(Bytes(rx_.begin(), rx_.begin() + static_cast<long>(junk))));
            rx_.erase(rx_.begin(), rx_.begin() + static_cast<long>(junk));
            continue;
        }
        const bool isLong = rx_[0] == 0xAA;
        const std::size_t header = isLong ? 9 : 3;
        if (rx_.size() < header) return;
        const std::size_t total = rx_[header - 1] + (isLong ? 12u : 4u);
        if (rx_.size() < total) return;
        Frame f;
        f.longForm = isLong;
        f.raw.assign(rx_.begin(), rx_.begin() + static_cast<long>(total));
        rx_.erase(rx_.begin(), rx_.begin() + static_cast<long>(total));
        if (isLong) {
            f.type = f.raw[1];
            f.byte2 = f.raw[2];
            f.seq = f.raw[6];
            f.code = f.raw[7];
        } else {
            f.code = f.raw[1];
        }
        process(f, nowMs + wireMs(total));
    }
}

bool Simulator::wellFormed(const Frame& f, std::string& why) const {
    const std::size_t n = f.raw.size();
    if (f.raw.back() != 0x0D) {
        why = "no end byte";
        return false;
    }
    if (f.longForm) {
        if (f.raw[n - 3] != sum8(f.raw, n - 3) || f.raw[n - 2] != xor8(f.raw, n - 3)) {
            why = "wrong check bytes";
            return false;
        }
        if (f.raw[3] != module_[0] || f.raw[4] != module_[1] || f.raw[5] != module_[2]) {
            why = "another fiscal module number";
            return false;
        }
    }
    if (!device_->meantForMe(f, why)) return false;
    const int expected = expectedDataLength(model_, f);
    const int got = static_cast<int>(n) - (f.longForm ? 12 : 4);
    if (expected >= 0 && expected != got) {
        why = "command " + std::to_string(f.code) + " with " + std::to_string(got) + " data bytes, expected " +
              std::to_string(expected);
        return false;
    }
    if (expected < 0 && !f.longForm) {
        why = "unknown short command " + std::to_string(f.code);
        return false;
    }
    return true;
}

void Simulator::process(const Frame& f, std::int64_t arrivalMs) {
    say("<- " + hex(f.raw));
    std::string why;
    if (!wellFormed(f, why)) {
        say("!! frame not answered: " + why);
        ++counts_.rejected;
        return;
    }
    ++counts_.frames;
    if (faults_.silent > 0) {
        --faults_.silent;
        ++counts_.lost;
        say("   frame lost on the way in");
        return;
    }
    std::vector<Answer> answers;
    if (f.longForm && faults_.resendDetection && f.raw == lastCarriedOut_) {
        ++counts_.resends;
        say("   the same frame again: answered again, not carried out twice");
        answers = lastAnswers_;
    } else {
        Reply r = device_->handle(f);
        answers = r.answers;
        if (r.carriedOut) {
            lastCarriedOut_ = f.raw;
            lastAnswers_ = answers;
        } else {
            lastCarriedOut_.clear();
        }
    }
    if (faults_.dropAnswers > 0 && !answers.empty()) {
        --faults_.dropAnswers;
        ++counts_.answersLost;
        say("   carried out; the answer is lost on the way back");
        return;
    }
    schedule(answers, arrivalMs);
}

void Simulator::schedule(const std::vector<Answer>& answers, std::int64_t arrivalMs) {
    std::int64_t at = std::max(arrivalMs + faults_.latencyMs, busyUntil_);
    for (const Answer& a : answers) {
        at += a.delayMs;
        if (faults_.stray) {
            faults_.stray = false;
            out_.push_back({at, {kStrayByte}});
            at += 1 + wireMs(1);
        }
        const std::size_t step = faults_.split > 0 ? static_cast<std::size_t>(faults_.split) : a.bytes.size();
        for (std::size_t i = 0; i < a.bytes.size(); i += step) {
            const std::size_t len = std::min(step, a.bytes.size() - i);
            if (i > 0) at += kSplitGapMs;
            at += wireMs(len);
            out_.push_back({at, Bytes(a.bytes.begin() + static_cast<long>(i), a.bytes.begin() + static_cast<long>(i + len))});
        }
    }
    busyUntil_ = at;
}

std::vector<Bytes> Simulator::take(std::int64_t nowMs) {
    std::vector<Bytes> due;
    while (!out_.empty() && out_.front().at <= nowMs) {
        say("-> " + hex(out_.front().bytes));
        due.push_back(std::move(out_.front().bytes));
        out_.pop_front();
    }
    return due;
}

std::int64_t Simulator::nextDue() const { return out_.empty() ? -1 : out_.front().at; }

std::string Simulator::help() {
    return "silent K | drop-answer K | refuse CODE | error-word WORD | split K | stray | paper-out [on|off] | "
           "daily-report on|off | latency MS | state N | info | wire on|off | resend-detection on|off | close-answer on|off";
}

std::string Simulator::command(const std::string& line) {
    const auto w = words(line);
    if (w.empty()) return "";
    const std::string& c = w[0];
    long long v = 0;
    const bool hasNumber = w.size() == 2 && number(w[1], v) && v >= 0;
    const auto onOff = [&](bool& flag) -> std::string {
        if (w.size() != 2 || (w[1] != "on" && w[1] != "off")) return c + " needs on or off";
        flag = w[1] == "on";
        return "";
    };
    const auto count = [&](int& field) -> std::string {
        if (!hasNumber) return c + " needs a number";
        field = static_cast<int>(v);
        return "";
    };
    if (c == "silent") return count(faults_.silent);
    if (c == "drop-answer") return count(faults_.dropAnswers);
    if (c == "refuse") {
        if (!hasNumber || v > 255) return "refuse needs a code from 0 to 255";
        faults_.refuseCode = static_cast<int>(v);
        return "";
    }
    if (c == "error-word") {
        if (!hasNumber || v > 0xFFFFFFFFLL) return "error-word needs a 32-bit number";
        faults_.errorWord = v;
        return "";
    }
    if (c == "split") return count(faults_.split);
    if (c == "latency") return count(faults_.latencyMs);
    if (c == "stray" && w.size() == 1) return (faults_.stray = true, "");
    if (c == "info" && w.size() == 1) return (faults_.infoOnce = true, "");
    if (c == "paper-out") {
        if (w.size() == 1) return (++faults_.paperOutOnce, "");
        return onOff(faults_.paperOut);
    }
    if (c == "daily-report") return onOff(faults_.dailyReportRequired);
    if (c == "wire") return onOff(faults_.wire);
    if (c == "resend-detection") return onOff(faults_.resendDetection);
    if (c == "close-answer") return onOff(faults_.closeAnswer);
    if (c == "state") {
        if (!hasNumber) return "state needs a number";
        if (model_ != 4) return "only the printer has a state";
        device_->setState(static_cast<int>(v));
        return "";
    }
    return "unknown command '" + c + "'; known: " + help();
}

void Simulator::loadMemory(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) return;  // a first run starts with an empty memory
    device_->memory().clear();
    for (std::string line; std::getline(in, line);) {
        std::istringstream ls(line);
        std::string kind;
        long long n = 0;
        ls >> kind >> n;
        if (kind == "receipts") {
            device_->receipts().setLastNumber(static_cast<long>(n));
        } else if (kind == "article") {
            Bytes b;
            for (std::string h; ls >> h;) b.push_back(static_cast<std::uint8_t>(std::stoul(h, nullptr, 16)));
            device_->memory()[static_cast<int>(n)] = b;
        }
    }
}

void Simulator::saveMemory(const std::filesystem::path& file) const {
    const auto tmp = file.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << "receipts " << device_->receipts().lastNumber() << "\n";
        for (const auto& [n, bytes] : device_->memory()) out << "article " << n << " " << hex(bytes) << "\n";
    }
    std::filesystem::rename(tmp, file);
}

}  // namespace kestora::sim
