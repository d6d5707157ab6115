// Article-memory commands: write, read, read next, empty, and the frames
// that open and close article work on models 2 and 3.
#include "app/app.h"
#include "app/text.h"
#include "link/encodings.h"

namespace kestora {

namespace {

template <std::size_t N>
void place(Bytes& data, std::size_t at, const std::array<std::uint8_t, N>& v) {
    for (std::size_t i = 0; i < N; ++i) data[at + i] = v[i];
}

constexpr std::size_t at(std::size_t frameByte) { return frameByte - 9; }  // CommandFrame data
constexpr std::size_t shortAt(std::size_t frameByte) { return frameByte - 3; }  // ShortFrame data

// Thirteen zeros mean no bar code.
Bcd7 barcodeField(const std::string& text, bool left) {
    if (text == "0000000000000") return NoCode7();
    return left ? PackBcdLeft(text) : PackBcdRight(text);
}

}  // namespace

void Commands::UpisArtikla(int number, const std::string& name, const std::string& barcode, int taxGroup, double price) {
    app_.link.rx.clear();
    const int model = app_.Form1.Model;
    const auto num = Word2(static_cast<unsigned>(number));
    const auto tax = static_cast<std::uint8_t>(taxGroup);
    if (model == 1 || model == 5) {
        Bytes d(56, 0);
        place(d, 0, num);
        if (name.empty()) std::fill(d.begin() + at(11), d.begin() + at(47), 0xFF);
        else RawText(kodiraj(name), 36, d.data() + at(11));
        d[at(47)] = 0xFF;
        place(d, at(48), barcodeField(trim(barcode), false));
        d[at(55)] = tax;
        d[at(56)] = tax | 0x01;
        place(d, at(57), Cents4(price));
        sendService(commandFrame(0x74, d));
        return;
    }
    if (model == 2) {
        if (price < 0) {
            app_.notice("Greska!!!", "Greska u podacima", ButtonSet::Confirm);
            for (Control* b : app_.frmArt.actionButtons()) b->enabled = true;
            ArticleModeOff();
            return;
        }
        Bytes d(52, 0);
        place(d, 0, Word2(static_cast<unsigned>(number), true));
        RawText(name, 37, d.data() + shortAt(5));
        place(d, shortAt(43), Cents4(price));
        d[shortAt(47)] = tax;
        place(d, shortAt(48), barcodeField(barcode, true));  // not trimmed on this model
        sendService(buildShortFrame(0x85, d));
        return;
    }
    if (model == 3) {
        Bytes d(54, 0);
        place(d, 0, num);
        RawText(name, 18, d.data() + at(11));
        if (name.size() > 18) RawText(std::string_view(name).substr(18), 18, d.data() + at(30));
        d[at(50)] = tax;
        place(d, at(51), Amount5(price));
        place(d, at(56), barcodeField(trim(barcode), true));
        sendService(commandFrame(0x15, d));
        return;
    }
    Bytes d(48, 0);
    place(d, 0, num);
    place(d, at(11), barcodeField(trim(barcode), false));
    RawText(name, 32, d.data() + at(18));
    place(d, at(51), Cents4(price));
    d[at(55)] = tax;
    d[at(56)] = 0x01;
    sendService(commandFrame(0x13, d));
}

void Commands::CitanjeArtikla(int number) {
    app_.link.rx.clear();
    switch (app_.Form1.Model) {
        case 2: {
            // Model 2 reads the next article of its loop, whatever the argument.
            const auto next = Word2(static_cast<unsigned>(app_.Form1.Step + 1), true);
            sendService(buildShortFrame(0x80, {next[0], next[1]}));
            break;
        }
        case 3: {
            const auto n = Word2(static_cast<unsigned>(number));
            sendService(commandFrame(0x14, {n[0], n[1]}));
            break;
        }
        case 4: {
            const auto n = Word2(static_cast<unsigned>(number));
            sendService(buildShortFrame(0x82, {n[0], n[1]}));
            break;
        }
        default: {
            const auto n = Word2(static_cast<unsigned>(number));
            sendService(commandFrame(0x73, {n[0], n[1]}));
        }
    }
}

void Commands::CitajSledeci() {
    app_.link.rx.clear();
    sendService(buildShortFrame(0x84, {}));
}

void Commands::IsprazniStampac(int first, int last) {
    app_.link.rx.clear();
    Bytes d(4, 0);
    place(d, 0, Word2(static_cast<unsigned>(first)));
    place(d, 2, Word2(static_cast<unsigned>(last)));
    sendService(commandFrame(0x0F, d));
}

void Commands::IsprazniTotal() {
    app_.link.rx.clear();
    sendService(commandFrame(0x12));
}

void Commands::ArticleModeOn() { app_.link.writeSerial({0x5F, 0x00, 0x02, 0x02, 0x11, 0x0D}); }
void Commands::ArticleModeOff() { app_.link.writeSerial({0x5F, 0x10, 0x00, 0x0D}); }
void Commands::ArticleModeContinue() { app_.link.writeSerial({0x5F, 0x20, 0x00, 0x0D}); }

void Commands::PrijavaArtikli() {
    const LocalDateTime now = app_.ports.clock->now();
    Bytes d(25, 0);
    d[0] = 0x01;
    d[1] = d[2] = 0x64;
    place(d, at(29), DateBytes(now.year, now.month, now.day, now.hour, now.minute));
    // The receive buffer is not cleared for this frame.
    sendService(buildCommandFrame(2, 0x11, app_.Form1.IbfmText, 1, 0x01, d));
}

}  // namespace kestora
