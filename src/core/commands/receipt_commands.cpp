// Receipt commands: sign-on, sale and void, payment, closing, per model group.
#include "app/app.h"
#include "link/encodings.h"

namespace kestora {

namespace {

template <std::size_t N>
void place(Bytes& data, std::size_t at, const std::array<std::uint8_t, N>& v) {
    for (std::size_t i = 0; i < N; ++i) data[at + i] = v[i];
}

// Data index of frame byte b (data starts at byte 9).
constexpr std::size_t at(std::size_t frameByte) { return frameByte - 9; }

}  // namespace

void Commands::clearContentsOnly() { app_.link.rx.RxBuffer.fill(0); }

void Commands::Prijava(const racun& h) {
    const int model = app_.Form1.Model;
    if (model == 4) {
        app_.link.rx.clear();
        sendReceipt(commandFrame(0x01, {h.oper}));
        return;
    }
    if (model == 1 || model == 5) {
        Bytes d(5, 0);
        d[0] = h.oper;
        place(d, 1, PackedDate2(h.year, h.month, h.day));
        d[3] = static_cast<std::uint8_t>(h.hour);
        d[4] = static_cast<std::uint8_t>(h.minute);
        sendReceipt(commandFrame(0x01, d));
        return;
    }
    Bytes d(25, 0);
    d[0] = h.oper;
    d[1] = d[2] = 0x64;
    place(d, at(29), DateBytes(h.year, h.month, h.day, h.hour, h.minute));
    sendReceipt(commandFrame(0x01, d));
}

void Commands::ProdajaArt(const racun& l) {
    const int model = app_.Form1.Model;
    const auto number = Word2(static_cast<unsigned>(l.articleNumber));
    if (model == 4) {
        if (l.voidFlag) {
            PonistiArt(l);
            return;
        }
        app_.link.rx.clear();
        Bytes d(52, 0);
        place(d, 0, number);
        place(d, at(11), PackBcdRight(l.barcode));
        place(d, at(18), Milli4(l.quantity));
        RawText(l.name, 32, d.data() + at(22));
        place(d, at(55), Cents4(l.price));
        d[at(59)] = static_cast<std::uint8_t>(l.taxGroup);
        d[at(60)] = 0x01;
        sendReceipt(commandFrame(0x03, d), 300);
        return;
    }
    if (model == 1 || model == 5) {
        Bytes d(13, 0);
        place(d, at(16), number);
        place(d, at(18), Milli4(l.quantity));
        const std::uint8_t code = model == 1 ? (l.voidFlag ? 0x0C : 0x0B) : (l.voidFlag ? 0x06 : 0x05);
        sendReceipt(commandFrame(code, d), 50);
        return;
    }
    Bytes d(18, 0);
    place(d, 0, number);
    place(d, at(18), Milli4(l.quantity));
    sendReceipt(commandFrame(l.voidFlag ? 0x04 : 0x03, d), 50);
}

void Commands::PonistiArt(const racun& l) {
    clearContentsOnly();
    Bytes d(18, 0);
    place(d, 0, Word2(static_cast<unsigned>(l.articleNumber)));
    place(d, at(11), PackBcdRight(l.barcode));
    place(d, at(18), Milli4(l.quantity));
    place(d, at(22), Cents4(l.price));
    d[at(26)] = 0x01;
    sendReceipt(commandFrame(0x04, d), 100);
}

void Commands::Placanje(const racun& l) {
    const int model = app_.Form1.Model;
    const auto amount = Amount5(l.paymentAmount);
    const auto type = static_cast<std::uint8_t>(l.paymentType);
    if (model == 4) {
        app_.link.rx.clear();
        Bytes d(6, 0);
        d[0] = type;
        place(d, 1, amount);
        sendReceipt(commandFrame(0x09, d));
        return;
    }
    if (model == 1 || model == 5) {
        Bytes d(7, 0);
        d[0] = type;
        place(d, 2, amount);
        sendReceipt(commandFrame(model == 1 ? 0x15 : 0x13, d), 50);
        return;
    }
    Bytes d(49, 0);
    d[0] = type;
    place(d, at(53), amount);
    sendReceipt(commandFrame(0x09, d), 50);
}

void Commands::KrajRacuna() {
    const int model = app_.Form1.Model;
    if (model == 1 || model == 5) return;  // their receipt ends with the payment
    if (model == 4) app_.link.rx.clear();
    sendReceipt(commandFrame(0x0B));
}

void Commands::StornirajRacun() {
    clearContentsOnly();
    sendReceipt(commandFrame(0x0C));
}

void Commands::PrijavaOperatera() {
    app_.link.rx.clear();
    sendReceipt(commandFrame(0x01, {0x01}));
}

}  // namespace kestora
