#include "commands/commands.h"

#include "app/app.h"
#include "app/date_format.h"
#include "app/text.h"
#include "link/encodings.h"

namespace kestora {

void Commands::Write_(const Bytes& bytes) {
    if (app_.FrmKonf.serialChosen()) app_.link.writeSerial(bytes);
    else app_.link.writeTcp(bytes);
}

void Commands::write(const WorkArea& frame) {
    if (app_.Form1.Model == 4) Write_(frame.toBytes());
    else app_.link.writeSerial(frame.toBytes());
}

WorkArea Commands::commandFrame(std::uint8_t code, const Bytes& data) const {
    const int model = app_.Form1.Model;
    return buildCommandFrame(deviceTypeByte(model), headerByte2(model), app_.Form1.IbfmText,
                             static_cast<std::uint8_t>(app_.Form1.FrameSeq & 0xFF), code, data);
}

void Commands::sendReceipt(const WorkArea& frame, int pauseMs) {
    MainForm& f = app_.Form1;
    // The builders clear the receive buffer themselves, each as its table says.
    f.TimerKasa.setEnabled(true);
    f.ReceiptRetries = 0;
    if (f.Model == 2 || f.Model == 3 || f.Model == 4) app_.link.ReceiptFrame = frame.bytes;
    if (pauseMs > 0) app_.pause(pauseMs);
    write(frame);
}

void Commands::sendService(const WorkArea& frame, int pauseMs) {
    MainForm& f = app_.Form1;
    f.TimerKasa.setEnabled(true);
    f.ServiceWaiting = 1;
    f.ServiceRetries = 0;
    if (f.Model == 2 && frame.bytes[0] == 0x5F) app_.link.ServiceFrameText = frame.toBytes();
    else app_.link.ServiceFrame = frame.bytes;
    if (pauseMs > 0) app_.pause(pauseMs);
    write(frame);
}

// TCP bytes are delivered on the main thread while the connection lives, so
// there is no suspended reader to resume before a write.

void Commands::sendPlain(const WorkArea& frame) { app_.link.writeSerial(frame.toBytes()); }

void Commands::resend(const FrameCopy& copy) {
    WorkArea w;
    w.bytes = copy;
    w.length = StoredFrameLength(copy);
    write(w);
}

void Commands::resendServiceFrameText() { app_.link.writeSerial(app_.link.ServiceFrameText); }

void Commands::OtvoriFioku() {
    const int model = app_.Form1.Model;
    if (model == 1 || model == 5) {
        sendPlain(commandFrame(0x29));
    } else if (model == 4) {
        app_.link.rx.clear();
        sendService(commandFrame(0x15, {0x64, 0x00}));
    }
    // Models 2 and 3 have no drawer command.
}

void Commands::FreeTextBegin() {
    app_.Form1.Step = 1;
    app_.link.rx.clear();
    sendService(commandFrame(0x07));
}

void Commands::FreeTextPrint(const std::string& text) {
    app_.Form1.Step = 1;
    app_.link.rx.clear();
    Bytes data(33, 0);
    RawText(text, 32, data.data() + 1);
    sendService(commandFrame(0x05, data));
}

void Commands::FreeTextEnd() {
    app_.Form1.Step = 1;
    app_.link.rx.clear();
    sendService(commandFrame(0x06));
}

void Commands::LcdShow(const std::string& text, int line) {
    app_.link.rx.clear();
    if (line == 2) {
        sendService(commandFrame(0x1D, {0x02}));
        return;
    }
    Bytes data(21, 0);
    data[0] = static_cast<std::uint8_t>(line);
    RawText(text, 20, data.data() + 1);
    sendService(commandFrame(0x1D, data));
}

void Commands::Izvestaj(int kind, const std::string& from, const std::string& to) {
    app_.link.rx.clear();
    Bytes data(9, 0);
    data[0] = static_cast<std::uint8_t>(kind);
    const auto put = [&data](std::size_t at, const std::array<std::uint8_t, 4>& v) {
        for (std::size_t i = 0; i < 4; ++i) data[at + i] = v[i];
    };
    if (kind == 2) {
        const std::string& format = app_.shortDateFormat();
        const auto a = parseShortDate(from, format), b = parseShortDate(to, format);
        if (!a || !b) {
            const LocalDateTime now = app_.ports.clock->now();
            app_.noticeKeepSet("Greska", "Losa vrednost ulaznog parametra! Datum mora biti u formatu kao " +
                                             formatShortDate({now.year, now.month, now.day}, format));
            return;
        }
        put(1, YyMmDd4(a->year, a->month, a->day));
        put(5, YyMmDd4(b->year, b->month, b->day));
    } else if (kind >= 3 && kind <= 5) {
        const auto a = parseWhole(from), b = parseWhole(to);
        if (!a || !b) throw PlatformError("'" + (a ? to : from) + "' nije ispravan ceo broj");
        put(1, Long4(*a));
        put(5, Long4(*b));
    }
    sendService(commandFrame(0x08, data));
}

void Commands::DatumVreme() {
    app_.link.rx.clear();
    sendService(buildShortFrame(0x60, {}));
}

void Commands::PodesiVreme(int year, int month, int day, int hour, int minute, int second) {
    try {
        app_.ports.systemClock->setLocal({year, month, day, hour, minute, second, 0});
    } catch (const PlatformError& e) {
        app_.notice("Greska", e.what(), ButtonSet::Confirm);
    }
}

void Commands::GetStatus() {
    app_.Form1.Step = 1;
    app_.link.rx.clear();
    sendService(commandFrame(0x0D));
}

void Commands::IzlazPrinter() {
    // Byte 1 carries the model number itself.
    sendPlain(buildCommandFrame(5, 0x11, app_.Form1.IbfmText,
                                static_cast<std::uint8_t>(app_.Form1.FrameSeq & 0xFF), 0x1F, {}));
}

}  // namespace kestora
