#include <gtest/gtest.h>

#include "fakes.h"
#include "link/answer.h"
#include "link/frame.h"

namespace kestora::test {

static Bytes bytesOf(const WorkArea& w) { return w.toBytes(); }

TEST(Frame, CheckBytesAndHeader) {
    // Printer, end of receipt, module 123456, FrameSeq 7; the sum wraps.
    const WorkArea w = buildCommandFrame(4, 0x01, "123456", 7, 0x0B, {});
    EXPECT_EQ(bytesOf(w), (Bytes{0xAA, 0x04, 0x01, 0x12, 0x34, 0x56, 0x07, 0x0B, 0x00, 0x5D, 0xD3, 0x0D}));
    EXPECT_EQ(CRC1(-1, w.bytes.data()), 0);
    EXPECT_EQ(CRC2(-1, w.bytes.data()), 0);
    // Data bytes are covered by both check bytes; the rest stays zero.
    const WorkArea d = buildCommandFrame(1, 0x11, "000001", 0xFF, 0x29, {0x64, 0x00});
    EXPECT_EQ(d.length, 14);
    EXPECT_EQ(d.bytes[11], CRC1(10, d.bytes.data()));
    EXPECT_EQ(d.bytes[12], CRC2(10, d.bytes.data()));
    EXPECT_EQ(d.bytes[13], 0x0D);
    for (std::size_t i = 14; i < kWorkAreaSize; ++i) ASSERT_EQ(d.bytes[i], 0);
    EXPECT_EQ(StoredFrameLength(d.bytes), 14);
    EXPECT_EQ(StoredFrameLength(FrameCopy{}), 0);
}

TEST(Frame, ModuleNumberPacking) {
    struct Case { const char* text; std::array<std::uint8_t, 3> bcd; };
    const Case cases[] = {
        {"123456", {0x12, 0x34, 0x56}}, {"42", {0x00, 0x00, 0x42}}, {"7", {0x00, 0x00, 0x07}},
        {"12345678", {0x12, 0x34, 0x56}}, {"", {0, 0, 0}}, {"1A", {0x00, 0x00, 0x11}},
    };
    for (const Case& c : cases) EXPECT_EQ(FabrickiBrojToBCD(c.text), c.bcd) << c.text;
}

TEST(Frame, ShortForm) {
    EXPECT_EQ(bytesOf(buildShortFrame(0x60, {})), (Bytes{0x5F, 0x60, 0x00, 0x0D}));
    EXPECT_EQ(bytesOf(buildShortFrame(0x31, {0x00, 0x05})), (Bytes{0x5F, 0x31, 0x02, 0x00, 0x05, 0x0D}));
}

TEST(Answer, RecognisedByStartLengthAndEndOnly) {
    struct Case { Bytes bytes; AnswerForm form; std::uint8_t code; };
    const Case cases[] = {
        {{0xAA, 9, 9, 9, 9, 9, 9, 0x1F, 0x00, 0x00, 0x00, 0x0D}, AnswerForm::Long, 0x1F},  // check bytes not examined
        {{0xAA, 0, 0, 0, 0, 0, 0, 0x1C, 0x02, 0x01, 0x02, 0, 0, 0x0D}, AnswerForm::Long, 0x1C},
        {{0xAA, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0x00}, AnswerForm::None, 0},        // one byte short
        {{0xAA, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0x00, 0x0E}, AnswerForm::None, 0},  // wrong end byte
        {{0xAA, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0x00, 0x0D, 0xAA}, AnswerForm::None, 0},  // more than one
        {{0x5F, 0x84, 0x00, 0x0D}, AnswerForm::Short, 0x84},
        {{0x5F, 0x20, 0x01, 0x07, 0x0D}, AnswerForm::Short, 0x20},
        {{0x5F, 0x20, 0x01, 0x07}, AnswerForm::None, 0},
    };
    for (const Case& c : cases) {
        RxBufferState rx;
        for (auto b : c.bytes) rx.append(b);
        const AnswerView a = completeAnswer(rx);
        EXPECT_EQ(a.form, c.form);
        if (a.form != AnswerForm::None) {
            EXPECT_EQ(a.code, c.code);
        }
    }
}

TEST(RxBuffer, ResetRuleAndBound) {
    Bench b;
    DeviceLink& link = b.app().link;
    link.ReaderActive = true;
    // Serial: a chunk that starts with a stray byte is dropped whole.
    link.receivedSerialChunk({0x00, 0xAA, 0x01});
    EXPECT_EQ(link.rx.RxLength, 0);
    link.receivedSerialChunk({0xAA, 0x01});
    link.receivedSerialChunk({0x02});
    EXPECT_EQ(link.rx.RxLength, 3);
    // TCP: the rule runs after every byte, so only the stray byte goes.
    link.rx.clear();
    for (std::uint8_t x : {0x00, 0xAA, 0x01}) link.receivedTcpByte(x, true);
    EXPECT_EQ(link.rx.RxLength, 2);
    EXPECT_EQ(link.rx.RxBuffer[0], 0xAA);
    // The TCP reader clears ServiceWaiting when it waits for the next byte,
    // after the answer handling (which may have sent a service frame).
    link.onAnswerBytes = [&b] { b.app().Form1.ServiceWaiting = 1; };
    link.receivedTcpByte(0x01, true);
    EXPECT_EQ(b.app().Form1.ServiceWaiting, 0);
    link.onAnswerBytes = nullptr;
    // With the serial link chosen, TCP bytes are not taken.
    const int before = link.rx.RxLength;
    link.receivedTcpByte(0x02, false);
    EXPECT_EQ(link.rx.RxLength, before);
    // Never past the 260th byte.
    link.rx.clear();
    link.receivedSerialChunk(Bytes(300, 0xAA));
    EXPECT_EQ(link.rx.RxLength, 260);
    // A reader that ended with its connection delivers nothing.
    link.rx.clear();
    link.tcpLost();
    link.receivedTcpByte(0xAA, true);
    EXPECT_EQ(link.rx.RxLength, 0);
}

TEST(Sequence, WrapsInTheSequenceByte) {
    Bench b;
    b.writeWorkingConfig("", 4);
    b.activate();
    MainForm& f = b.app().Form1;
    f.FrameSeq = 255;
    EXPECT_EQ(b.app().commands.commandFrame(0x0D).bytes[6], 0xFF);
    f.FrameSeq += 2;
    EXPECT_EQ(b.app().commands.commandFrame(0x0D).bytes[6], 0x01);
}

TEST(Write, PrinterFramesFollowTheLinkChoiceCashRegistersStaySerial) {
    Bench b;
    b.writeWorkingConfig("Konekcija=1\nIP=127.0.0.1\n", 4);
    b.activate();
    App& a = b.app();
    b.serial.open("/dev/ttyS0");
    b.tcp.written.clear();
    a.commands.GetStatus();
    EXPECT_EQ(b.tcp.written.size(), 1u);
    a.FrmKonf.selectCom();
    a.commands.GetStatus();
    EXPECT_EQ(b.serial.written.size(), 1u);
    // A cash register ignores the TCP choice.
    a.FrmKonf.selectIp();
    a.Form1.Model = 5;
    a.commands.IzlazPrinter();
    EXPECT_EQ(b.serial.written.size(), 2u);
    EXPECT_EQ(b.tcp.written.size(), 1u);
}

TEST(Disciplines, ServiceArmsTheWatchdogAndKeepsACopy) {
    Bench b;
    b.writeWorkingConfig("", 4);
    b.activate();
    App& a = b.app();
    MainForm& f = a.Form1;
    f.TimerKasa.setEnabled(false);
    f.ServiceRetries = 2;
    a.link.rx.append(0xAA);
    const WorkArea w = a.commands.commandFrame(0x15, {0x64, 0x00});
    a.link.rx.clear();
    a.commands.sendService(w, 100);
    EXPECT_TRUE(f.TimerKasa.enabled());
    EXPECT_EQ(f.ServiceWaiting, 1);
    EXPECT_EQ(f.ServiceRetries, 0);
    EXPECT_EQ(a.link.ServiceFrame, w.bytes);
    EXPECT_EQ(b.clock.pauses.back(), 100);
    EXPECT_EQ(b.serial.written.back(), w.toBytes());
    // A resend writes the copy unchanged, its sequence byte included.
    f.FrameSeq += 2;
    a.commands.resend(a.link.ServiceFrame);
    EXPECT_EQ(b.serial.written.back(), w.toBytes());

    // The receipt discipline keeps a copy on models 2, 3 and 4 only.
    f.ReceiptRetries = 3;
    a.commands.sendReceipt(w);
    EXPECT_EQ(f.ReceiptRetries, 0);
    EXPECT_EQ(a.link.ReceiptFrame, w.bytes);
    f.Model = 1;
    a.link.ReceiptFrame = {};
    a.commands.sendReceipt(a.commands.commandFrame(0x01));
    EXPECT_EQ(StoredFrameLength(a.link.ReceiptFrame), 0);

    // The plain send arms nothing.
    f.TimerKasa.setEnabled(false);
    a.commands.sendPlain(a.commands.commandFrame(0x29));
    EXPECT_FALSE(f.TimerKasa.enabled());
}

TEST(Disciplines, AWriteThatFailsHasArmedTheWatchdogFirst) {
    Bench b;
    b.writeWorkingConfig("", 4);
    b.activate();
    App& a = b.app();
    a.Form1.TimerKasa.setEnabled(false);
    b.serial.close();
    b.click([](App& x) { x.commands.GetStatus(); });
    EXPECT_EQ(b.op.shown.back().kind, "error");
    EXPECT_TRUE(a.Form1.TimerKasa.enabled());
    EXPECT_EQ(StoredFrameLength(a.link.ServiceFrame), 12);
}

}  // namespace kestora::test
