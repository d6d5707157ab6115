#include "commands/commands.h"

#include "app/app.h"

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
    if (f.Model == 4) app_.link.rx.clear();
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
