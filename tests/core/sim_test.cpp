// The simulated devices: answers byte by byte for each model, the frame
// checks, the faults that can be asked for, and the journal.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes.h"
#include "simulator.h"

namespace kestora::sim {
namespace {

constexpr std::uint8_t kType[] = {0, 1, 2, 2, 4, 1};

Bytes frame(int model, std::uint8_t seq, std::uint8_t code, Bytes data, std::uint8_t type = 0) {
    return longFrame(type ? type : kType[model], model == 4 ? 0x01 : 0x11, {0x12, 0x34, 0x56}, seq, code, data);
}
Bytes withAt(std::size_t n, std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    Bytes d(n, 0);
    for (auto [pos, v] : bytes) d.at(pos - 9) = v;  // positions as in the whole frame
    return d;
}

struct Device {
    explicit Device(int model) : sim(model, "123456") { sim.setClock([] { return ClockReading{2009, 12, 31, 23, 59, 58, 4}; }); }
    // Sends one frame and returns every answer chunk that comes within a second.
    std::vector<Bytes> ask(const Bytes& f) {
        sim.receive(f, t);
        t += 1000;
        return sim.take(t);
    }
    Bytes one(const Bytes& f) {
        const auto a = ask(f);
        EXPECT_EQ(a.size(), 1u) << hex(f);
        return a.empty() ? Bytes{} : a[0];
    }
    Simulator sim;
    std::int64_t t = 0;
};

// Expected bytes at given positions of an answer, and its length.
struct Expect {
    std::size_t length;
    std::vector<std::pair<std::size_t, std::uint8_t>> at;
};
void check(const Bytes& answer, const Expect& e, const std::string& what) {
    ASSERT_EQ(answer.size(), e.length) << what << ": " << hex(answer);
    for (auto [pos, v] : e.at) EXPECT_EQ(answer[pos], v) << what << " byte " << pos << ": " << hex(answer);
    EXPECT_EQ(answer.back(), 0x0D) << what;
    if (answer[0] == 0xAA) {
        EXPECT_EQ(answer[answer.size() - 3], sum8(answer, answer.size() - 3)) << what;
        EXPECT_EQ(answer[answer.size() - 2], xor8(answer, answer.size() - 3)) << what;
    }
}

// Model 1 article write: name "HLEB" in device letters, tax 2, price 45.00,
// bar code 123 right-aligned.
Bytes writeA(int model, int number, const std::string& name, std::uint32_t cents, std::uint8_t seq = 9) {
    Bytes d(56, 0);
    d[0] = static_cast<std::uint8_t>(number & 0xFF);
    d[1] = static_cast<std::uint8_t>(number >> 8);
    for (std::size_t i = 0; i < 36; ++i) d[2 + i] = i < name.size() ? static_cast<std::uint8_t>(name[i]) : (name.empty() ? 0xFF : 0);
    d[38] = 0xFF;
    for (int i = 0; i < 7; ++i) d[39 + i] = i == 6 ? 0x23 : (i == 5 ? 0xF1 : 0xFF);
    d[46] = 2;
    d[47] = 3;
    for (int i = 0; i < 4; ++i) d[48 + i] = static_cast<std::uint8_t>(cents >> (8 * i));
    return frame(model, seq, 0x74, d);
}

TEST(SimulatorRegisterAB, ReceiptLinesAnswersAndTheEndOfReceiptWithItsNumber) {
    for (int model : {1, 5}) {
        SCOPED_TRACE(model);
        const bool m1 = model == 1;
        Device dev(model);
        check(dev.one(writeA(model, 5, "HLEB", 4500)), {15, {{7, 0x74}, {9, 0x00}}}, "write");
        check(dev.one(frame(model, 11, 0x01, {1, 0x5A, 0x22, 9, 30})), {14, {{7, 0x1F}, {6, 11}, {9, 0x00}}}, "sign-on");
        // Two pieces of article 5 (quantity in thousandths at 18..21).
        const Bytes sale = frame(model, 13, m1 ? 0x0B : 0x05, withAt(13, {{16, 5}, {18, 0xD0}, {19, 0x07}}));
        check(dev.one(sale), {14, {{7, 0x1F}, {9, 0x00}}}, "sale");
        // 50.00 and 30.00 of 90.00 paid: line answers only.
        for (std::uint8_t whole : {50, 30}) {
            const Bytes pay = frame(model, 15, m1 ? 0x15 : 0x13, withAt(7, {{9, 1}, {11, whole}}));
            check(dev.one(pay), {14, {{7, 0x1F}, {9, 0x00}}}, "payment");
        }
        // The closing payment of nothing: the line answer, then the end of
        // the receipt 20 ms later; the rest is taken in cash.
        dev.sim.receive(frame(model, 17, m1 ? 0x15 : 0x13, withAt(7, {})), dev.t);
        auto now = dev.sim.take(dev.t);
        ASSERT_EQ(now.size(), 1u);
        check(now[0], {14, {{7, 0x1F}, {9, 0x00}}}, "closing payment");
        EXPECT_EQ(dev.sim.nextDue(), dev.t + 20);
        const auto later = dev.sim.take(dev.t + 20);
        ASSERT_EQ(later.size(), 1u);
        check(later[0], {18, {{7, 0x1C}, {8, 6}, {11, 0}, {12, 0}, {13, 0}, {14, 1}}}, "end of receipt");

        const auto receipts = dev.sim.journal().ofKind("receipt");
        ASSERT_EQ(receipts.size(), 1u);
        EXPECT_EQ(receipts[0].number, 1);
        EXPECT_EQ(receipts[0].lines, (std::vector<std::string>{"SALE 5 \"HLEB\" 2.000 x 45.00 = 90.00", "PAY 1 50.00",
                                                                "PAY 1 30.00", "PAY 0 10.00", "TOTAL 90.00"}));
    }
}

TEST(SimulatorRegisterAB, RefusalsCarryTheirCodeInByte10) {
    struct Case {
        const char* setup;
        int article;
        std::uint8_t code;
    } cases[] = {
        {"paper-out", 5, 0x40},  {"refuse 0x10", 5, 0x10}, {"refuse 0x08", 5, 0x08},
        {"", 6, 0x01},             // an article the device does not hold
        {"", 704, 0x01},           // never used on model 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setup + std::string(" article ") + std::to_string(c.article));
        Device dev(1);
        dev.one(writeA(1, 5, "HLEB", 4500));
        dev.one(writeA(1, 704, "X", 100));
        dev.one(frame(1, 11, 0x01, {1, 0x5A, 0x22, 9, 30}));
        ASSERT_EQ(dev.sim.command(c.setup), "");
        const Bytes sale = frame(1, 13, 0x0B, withAt(13, {{16, static_cast<std::uint8_t>(c.article & 0xFF)},
                                                          {17, static_cast<std::uint8_t>(c.article >> 8)}, {18, 1}}));
        check(dev.one(sale), {14, {{7, 0x1F}, {9, 0xFF}, {10, c.code}}}, "refused sale");
        // A refusal is not carried out: the same frame again is carried out now.
        check(dev.one(sale), {14, {{9, c.article == 5 ? 0x00 : 0xFF}}}, "sent again");
    }
}

TEST(SimulatorRegisterAB, ArticleMemoryReadsBackWhatWasWrittenUnlessTheDailyReportIsDue) {
    Device dev(5);
    dev.one(writeA(5, 300, "HLEB", 4500));
    const Bytes read = frame(5, 21, 0x73, {0x2C, 0x01});
    const Bytes a = dev.one(read);
    check(a, {64, {{7, 0x73}, {8, 52}, {9, 0x2C}, {10, 0x01}, {11, 'H'}, {14, 'B'}, {15, 0}, {47, 0xFF}, {53, 0xF1},
                   {54, 0x23}, {55, 2}, {57, 0x94}, {58, 0x11}}},
          "read");
    // Daily report due: the write is answered as usual but not stored.
    dev.sim.command("daily-report on");
    check(dev.one(writeA(5, 0, "PROBA", 100)), {15, {{7, 0x74}}}, "write while the report is due");
    check(dev.one(frame(5, 23, 0x73, {0, 0})), {64, {{11, 0xFF}, {46, 0xFF}, {47, 0xFF}, {48, 0xFF}}}, "empty slot");
    // Model 1 does not keep article 704.
    Device m1(1);
    m1.one(writeA(1, 704, "HLEB", 4500));
    check(m1.one(frame(1, 21, 0x73, {0xC0, 0x02})), {64, {{9, 0xC0}, {10, 0x02}, {11, 0xFF}}}, "704");
}

TEST(SimulatorRegisterAB, DrawerAndLeavingPrinterMode) {
    Device dev(5);
    check(dev.one(frame(5, 3, 0x29, {})), {14, {{7, 0x1F}, {9, 0x00}}}, "drawer");
    // The mode exit carries the model number in byte 1 and is not answered.
    EXPECT_TRUE(dev.ask(frame(5, 7, 0x1F, {}, 5)).empty());
    ASSERT_EQ(dev.sim.journal().entries().size(), 2u);
    EXPECT_EQ(dev.sim.journal().entries()[0].kind, "drawer");
    EXPECT_EQ(dev.sim.journal().entries()[1].kind, "exit-printer-mode");
    EXPECT_EQ(dev.sim.counts().rejected, 0);
}

Bytes saleC(std::uint8_t seq, int article, std::uint8_t code = 0x03) {
    return frame(2, seq, code, withAt(18, {{9, static_cast<std::uint8_t>(article)}, {18, 0xE8}, {19, 0x03}}));
}
Bytes payC(std::uint8_t seq, std::uint32_t whole) {
    return frame(2, seq, 0x09, withAt(49, {{9, 0}, {53, static_cast<std::uint8_t>(whole)}}));
}

TEST(SimulatorRegisterC, Model2ArticleModeAndItsShortAnswers) {
    Device dev(2);
    const Bytes on = {0x5F, 0x00, 0x02, 0x02, 0x11, 0x0D}, cont = {0x5F, 0x20, 0x00, 0x0D}, off = {0x5F, 0x10, 0x00, 0x0D};
    Bytes write = shortFrame(0x85, Bytes(52, 0));
    write[3] = 0x01, write[4] = 0x2C, write[5] = 'M', write[6] = 'L', write[43] = 0x10, write[44] = 0x27, write[47] = 1;
    const Bytes read = shortFrame(0x80, {0x01, 0x2C});
    EXPECT_TRUE(dev.ask(write).empty()) << "outside article mode nothing is answered";
    EXPECT_EQ(dev.one(on), (Bytes{0x5F, 0x00, 0x00, 0x0D}));
    EXPECT_EQ(dev.one(cont), (Bytes{0x5F, 0x20, 0x00, 0x0D}));
    EXPECT_EQ(dev.one(write), (Bytes{0x5F, 0x85, 0x00, 0x0D}));
    const Bytes a = dev.one(read);
    check(a, {56, {{1, 0x80}, {2, 52}, {3, 0x01}, {4, 0x2C}, {5, 'M'}, {6, 'L'}, {7, 0}, {43, 0x10}, {44, 0x27}, {47, 1}}},
          "read");
    EXPECT_EQ(dev.one(off), off);
    // With the daily report due the mode is granted with 0xFD and writes are not kept.
    dev.sim.command("daily-report on");
    EXPECT_EQ(dev.one(on), (Bytes{0x5F, 0xFD, 0x00, 0x0D}));
    write[5] = 'X';
    dev.one(write);
    EXPECT_EQ(dev.one(read)[5], 'M');
}

TEST(SimulatorRegisterC, ReceiptAcceptedWith0xFFAndClosedByTheClosingCommand) {
    for (int model : {2, 3}) {
        SCOPED_TRACE(model);
        Device dev(model);
        dev.sim.putArticle({7, "MLEKO", 12000, 1, ""});
        const auto ask = [&](Bytes f) {
            f[1] = 2;  // both models carry device type 2
            f[f.size() - 3] = sum8(f, f.size() - 3);
            f[f.size() - 2] = xor8(f, f.size() - 3);
            return dev.one(f);
        };
        const Bytes signOn = frame(2, 1, 0x01, withAt(25, {{9, 1}, {10, 0x64}, {11, 0x64}}));
        check(ask(signOn), {14, {{7, 0x20}, {9, 0xFF}}}, "sign-on");
        check(ask(frame(2, 3, 0x0B, {})), {14, {{9, 0x00}}}, "close with nothing sold");
        check(ask(saleC(3, 7)), {14, {{7, 0x20}, {9, 0xFF}}}, "sale");
        check(ask(saleC(5, 8)), {14, {{9, 0x00}}}, "unknown article");
        check(ask(payC(5, 120)), {14, {{9, 0xFF}}}, "payment");
        check(ask(frame(2, 7, 0x0B, {})), {14, {{9, 0xFF}}}, "close");
        ASSERT_EQ(dev.sim.journal().ofKind("receipt").size(), 1u);
        EXPECT_EQ(dev.sim.journal().ofKind("receipt")[0].lines.front(), "SALE 7 \"MLEKO\" 1.000 x 120.00 = 120.00");
        dev.sim.command("paper-out");
        check(ask(signOn), {14, {{9, 0x00}, {10, 0x40}}}, "paper out");
    }
}

TEST(SimulatorRegisterC, Model3ArticleWriteAndReadWithTheTwoNameLines) {
    Device dev(3);
    Bytes d(54, 0);
    d[0] = 1;
    for (int i = 0; i < 18; ++i) d[2 + i] = static_cast<std::uint8_t>('A' + i);  // 11..28
    d[21] = 'S', d[22] = 'T';                                                     // 30..31
    d[41] = 3;                                                                     // tax, byte 50
    d[42] = 0x39, d[43] = 0x30, d[46] = 5;                                         // 12345.05 at 51..55
    check(dev.one(frame(3, 9, 0x15, d)), {14, {{7, 0x20}, {9, 0xFF}}}, "write");
    const Bytes a = dev.one(frame(3, 11, 0x14, {1, 0}));
    check(a, {66, {{7, 0x16}, {9, 1}, {11, 'A'}, {28, 'R'}, {29, 0}, {30, 'S'}, {31, 'T'}, {50, 3}, {51, 0x39}, {52, 0x30},
                   {55, 5}, {56, 0}}},
          "read");
    EXPECT_EQ(dev.sim.device().articleName(1), "ABCDEFGHIJKLMNOPQRST");
    dev.sim.command("refuse 1");
    check(dev.one(frame(3, 13, 0x15, d)), {14, {{9, 0x00}}}, "refused write");
    d[0] = 0;
    check(dev.one(frame(3, 15, 0x15, d)), {14, {{9, 0x00}}}, "article 0 does not exist");
}

// Printer frames.
Bytes printerSale(std::uint8_t seq, int article, std::uint32_t cents, const std::string& name = "HLEB") {
    Bytes d(52, 0);
    d[0] = static_cast<std::uint8_t>(article);
    d[9] = 0xE8, d[10] = 0x03;  // 1.000
    for (std::size_t i = 0; i < name.size(); ++i) d[13 + i] = static_cast<std::uint8_t>(name[i]);
    for (int i = 0; i < 4; ++i) d[46 + i] = static_cast<std::uint8_t>(cents >> (8 * i));
    d[50] = 1, d[51] = 1;
    return frame(4, seq, 0x03, d);
}

TEST(SimulatorPrinter, ReceiptFromLoginToTheStatusWithItsNumber) {
    Device dev(4);
    const Bytes status = frame(4, 1, 0x0D, {});
    check(dev.one(status), {28, {{7, 0x23}, {8, 16}, {9, 0xFF}, {10, 1}, {15, 0x0D}, {21, 0}}}, "idle status");
    check(dev.one(frame(4, 3, 0x01, {1})), {28, {{7, 0x20}, {9, 0xFF}, {15, 1}}}, "login");
    // A new article is created as it is sold (flags 0x07), a new price is
    // taken (0x02), the same article again changes nothing (0x01).
    check(dev.one(printerSale(5, 9, 1000)), {28, {{7, 0x22}, {9, 0xFF}, {10, 2}, {15, 3}, {16, 9}, {17, 0}, {24, 0x07}}},
          "new article");
    check(dev.one(printerSale(7, 9, 1200)), {28, {{24, 0x02}}}, "new price");
    check(dev.one(printerSale(9, 9, 1200)), {28, {{24, 0x01}}}, "same article");
    check(dev.one(printerSale(11, 9, 1200, "MLEKO")), {28, {{7, 0x22}, {9, 0x00}, {10, 2}, {11, 0x40}, {24, 0}}},
          "another name under the same number");
    const auto pay = [](std::uint8_t seq, std::uint8_t whole) { return frame(4, seq, 0x09, withAt(6, {{10, whole}})); };
    check(dev.one(pay(13, 20)), {28, {{9, 0xFF}, {10, 3}, {15, 9}}}, "part paid");
    check(dev.one(pay(15, 40)), {28, {{9, 0xFF}, {10, 4}}}, "paid");
    check(dev.one(frame(4, 17, 0x0B, {})), {28, {{7, 0x20}, {9, 0xFF}, {10, 1}, {15, 11}}}, "end of receipt");
    check(dev.one(frame(4, 19, 0x0D, {})), {28, {{10, 1}, {21, 1}, {22, 0}}}, "status after");
    ASSERT_EQ(dev.sim.journal().ofKind("receipt").size(), 1u);
    EXPECT_EQ(dev.sim.journal().ofKind("receipt")[0].lines.back(), "TOTAL 34.00");
    // Ending or voiding with no receipt open is refused in the idle state.
    check(dev.one(frame(4, 21, 0x0C, {})), {28, {{9, 0x00}, {10, 1}, {11, 0x02}, {15, 12}}}, "void with nothing open");
}

TEST(SimulatorPrinter, StatesAfterReportsFreeTextAndAnOpenReceipt) {
    Device dev(4);
    check(dev.one(frame(4, 1, 0x08, withAt(9, {{9, 0}}))), {28, {{9, 0xFF}, {15, 8}}}, "daily report");
    check(dev.one(frame(4, 3, 0x0D, {})), {28, {{10, 10}}}, "waiting after the report");
    check(dev.one(frame(4, 5, 0x0D, {})), {28, {{10, 1}}}, "idle again");
    check(dev.one(frame(4, 7, 0x07, {})), {28, {{10, 30}}}, "free text opened");
    Bytes line(33, 0);
    line[1] = 'O', line[2] = 'K';
    check(dev.one(frame(4, 9, 0x05, line)), {28, {{10, 31}, {15, 5}}}, "a line");
    check(dev.one(frame(4, 11, 0x06, {})), {28, {{10, 1}, {15, 6}}}, "free text ended");
    EXPECT_EQ(dev.sim.journal().ofKind("free-text").at(0).lines, std::vector<std::string>{"OK"});
    ASSERT_EQ(dev.sim.command("state 2"), "");
    check(dev.one(frame(4, 13, 0x0D, {})), {28, {{10, 2}}}, "open receipt");
    check(dev.one(frame(4, 15, 0x01, {1})), {28, {{9, 0x00}, {10, 2}}}, "login refused while a receipt is open");
    ASSERT_EQ(dev.sim.command("state 70"), "");
    check(dev.one(frame(4, 17, 0x0D, {})), {28, {{10, 70}}}, "busy once");
    check(dev.one(frame(4, 19, 0x0D, {})), {28, {{10, 2}}}, "then the receipt again");
}

TEST(SimulatorPrinter, ErrorWordIsSentMostSignificantByteFirst) {
    Device dev(4);
    ASSERT_EQ(dev.sim.command("error-word 0x01000108"), "");
    check(dev.one(frame(4, 1, 0x15, {0x64, 0})), {28, {{9, 0x00}, {11, 0x01}, {12, 0x00}, {13, 0x01}, {14, 0x08}, {15, 0x15}}},
          "drawer fails");
    check(dev.one(frame(4, 3, 0x15, {0x64, 0})), {28, {{9, 0xFF}, {11, 0}, {14, 0}}}, "once only");
    dev.sim.command("paper-out on");
    check(dev.one(frame(4, 5, 0x0D, {})), {28, {{9, 0x00}, {14, 0x08}, {15, 0x0D}}}, "status without paper");
}

TEST(SimulatorPrinter, ShortAnswersArticleRecordsClockRefusalAndInformation) {
    Device dev(4);
    dev.sim.putArticle({7, "HLEB", 10000, 2, "12345678901234"});
    dev.sim.putArticle({9, "SO", 50, 1, ""});
    const Bytes first = dev.one({0x5F, 0x82, 0x02, 0x01, 0x00, 0x0D});
    check(first, {53, {{1, 0x84}, {2, 49}, {3, 7}, {4, 0}, {5, 'H'}, {8, 'B'}, {9, 0}, {39, 0x10}, {40, 0x27}, {44, 2}}},
          "record 7");
    EXPECT_EQ(bcdDigits(first.data() + 45), "12345678901234") << "the code as packed";
    check(dev.one({0x5F, 0x84, 0x00, 0x0D}), {53, {{3, 9}, {5, 'S'}, {39, 50}, {45, 0xFF}}}, "next");
    check(dev.one({0x5F, 0x84, 0x00, 0x0D}), {53, {{3, 0}, {4, 0}}}, "no further article");
    EXPECT_EQ(dev.one({0x5F, 0x60, 0x00, 0x0D}), (Bytes{0x5F, 0x60, 0x07, 58, 59, 23, 4, 31, 12, 109, 0x0D}));
    dev.sim.command("refuse 0x32");
    EXPECT_EQ(dev.one({0x5F, 0x84, 0x00, 0x0D}), (Bytes{0x5F, 0xF5, 0x03, 0, 0, 0x32, 0x0D}));
    dev.sim.command("info");
    EXPECT_EQ(dev.one({0x5F, 0x84, 0x00, 0x0D}), (Bytes{0x5F, 0x20, 0x00, 0x0D}));
    // Writing and deleting: answers carry the article number in 16..17.
    Bytes w(48, 0);
    w[0] = 0x60, w[1] = 0xEA;  // 60000
    for (int i = 0; i < 7; ++i) w[2 + i] = 0xFF;
    w[9] = 'Z';
    check(dev.one(frame(4, 1, 0x13, w)), {28, {{7, 0x25}, {9, 0xFF}, {15, 0x13}, {16, 0x60}, {17, 0xEA}}}, "write");
    check(dev.one(frame(4, 3, 0x0F, {1, 0, 0x60, 0xEA})), {28, {{7, 0x25}, {9, 0xFF}, {15, 0x0F}}}, "delete all");
    EXPECT_TRUE(dev.sim.device().memory().empty());
    dev.sim.command("daily-report on");
    check(dev.one(frame(4, 5, 0x13, w)), {28, {{9, 0x00}, {11, 0x02}}}, "write while the report is due");
}

TEST(SimulatorFrames, MalformedFramesAreNotAnswered) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes badSum = frame(1, 3, 0x29, {});
    badSum[9] ^= 1;
    Bytes badEnd = frame(1, 3, 0x29, {});
    badEnd.back() = 0x0A;
    Bytes otherModule = longFrame(1, 0x11, {0x12, 0x34, 0x57}, 3, 0x29, {});
    const Case cases[] = {
        {"check byte", badSum},
        {"end byte", badEnd},
        {"module number", otherModule},
        {"device type", frame(1, 3, 0x29, {}, 2)},
        {"length for the command", frame(1, 3, 0x29, {0})},
        {"short frame on model 1", {0x5F, 0x20, 0x00, 0x0D}},
    };
    for (const auto& c : cases) {
        Device dev(1);
        EXPECT_TRUE(dev.ask(c.bytes).empty()) << c.what;
        EXPECT_EQ(dev.sim.counts().rejected, 1) << c.what;
    }
    // Junk before a frame is dropped and the frame answered; a frame left
    // incomplete is dropped when the line has been quiet for a while.
    Device dev(1);
    Bytes junk{0x00, 0x13};
    const Bytes drawer = frame(1, 3, 0x29, {});
    junk.insert(junk.end(), drawer.begin(), drawer.end());
    EXPECT_EQ(dev.ask(junk).size(), 1u);
    dev.sim.receive(Bytes(drawer.begin(), drawer.begin() + 5), 5000);
    dev.sim.receive(drawer, 6000);
    EXPECT_EQ(dev.sim.take(7000).size(), 1u);
    EXPECT_EQ(dev.sim.counts().rejected, 1);
}

TEST(SimulatorFaults, SilenceLostAnswersAndResends) {
    Device dev(1);
    dev.one(writeA(1, 5, "HLEB", 4500));
    const Bytes signOn = frame(1, 11, 0x01, {1, 0x5A, 0x22, 9, 30});
    const Bytes sale = frame(1, 13, 0x0B, withAt(13, {{16, 5}, {18, 0xE8}, {19, 0x03}}));
    dev.one(signOn);
    // The frame is lost: nothing is answered, nothing printed.
    dev.sim.command("silent 1");
    EXPECT_TRUE(dev.ask(sale).empty());
    // The answer is lost: the sale is carried out; the same frame again is
    // answered again without a second sale.
    dev.sim.command("drop-answer 1");
    EXPECT_TRUE(dev.ask(sale).empty());
    EXPECT_EQ(dev.one(sale)[9], 0x00);
    EXPECT_EQ(dev.ask(frame(1, 15, 0x15, withAt(7, {}))).size(), 2u) << "line answer and end of receipt";
    ASSERT_EQ(dev.sim.journal().ofKind("receipt").size(), 1u);
    EXPECT_EQ(dev.sim.journal().ofKind("receipt")[0].lines.size(), 3u) << "one sale, one payment, the total";
    EXPECT_EQ(dev.sim.counts().resends, 1);
    // Without resend detection the repeated frame sells twice.
    Device plain(1);
    plain.one(writeA(1, 5, "HLEB", 4500));
    plain.sim.command("resend-detection off");
    plain.one(signOn);
    plain.one(sale);
    plain.one(sale);
    EXPECT_EQ(plain.sim.device().receipts().total(), 9000);
}

TEST(SimulatorFaults, TimingOfAnswers) {
    const Bytes drawer = frame(1, 3, 0x29, {});
    {
        Device dev(1);
        dev.sim.command("latency 40");
        dev.sim.receive(drawer, 100);
        EXPECT_TRUE(dev.sim.take(139).empty());
        EXPECT_EQ(dev.sim.take(140).size(), 1u);
    }
    {
        // 12 bytes in and 14 out at 57600 bit/s: about 2.1 ms and 2.4 ms.
        Device dev(1);
        dev.sim.command("wire on");
        dev.sim.receive(drawer, 0);
        EXPECT_EQ(dev.sim.nextDue(), 3 + 3);
    }
    {
        Device dev(1);
        dev.sim.command("split 5");
        dev.sim.command("stray");
        dev.sim.receive(drawer, 0);
        const auto chunks = dev.sim.take(1000);
        ASSERT_EQ(chunks.size(), 4u);
        EXPECT_EQ(chunks[0], Bytes{0xE5});
        EXPECT_EQ(chunks[1].size(), 5u);
        EXPECT_EQ(chunks[3].size(), 4u);
    }
}

TEST(SimulatorConsole, CommandsAreCheckedAndMemoryIsKept) {
    Simulator sim(1);
    for (const char* bad : {"silent", "silent x", "refuse 300", "daily-report maybe", "state 2", "dance"})
        EXPECT_NE(sim.command(bad), "") << bad;
    EXPECT_EQ(sim.command("  "), "");
    kestora::test::TempDir dir;
    const auto file = dir.path / "memorija.txt";
    sim.putArticle({12, "HLEB", 4500, 2, "123"});
    sim.device().receipts().setLastNumber(41);
    sim.saveMemory(file);
    Simulator again(1);
    again.loadMemory(file);
    EXPECT_EQ(again.device().articleName(12), "HLEB");
    EXPECT_EQ(again.device().memory(), sim.device().memory());
    EXPECT_EQ(again.device().receipts().lastNumber(), 41);
}

}  // namespace
}  // namespace kestora::sim
