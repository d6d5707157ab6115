// Golden frames: every command of every model group, byte for byte, with
// what each one arms, keeps, clears and waits for.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "conversation/error_words.h"
#include "fakes.h"
#include "link/frame.h"
#include "simulator.h"

namespace kestora::test {

namespace {

// A long frame from its header bytes 1-2, code and data, module 123456 and
// sequence byte 7, with both check bytes worked out here.
Bytes longFrame(std::uint8_t type, std::uint8_t b2, std::uint8_t code, Bytes data, std::uint8_t seq = 7) {
    Bytes f{0xAA, type, b2, 0x12, 0x34, 0x56, seq, code, static_cast<std::uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    std::uint8_t sum = 0, x = 0;
    for (auto b : f) {
        sum = static_cast<std::uint8_t>(sum + b);
        x ^= b;
    }
    f.push_back(sum);
    f.push_back(x);
    f.push_back(0x0D);
    return f;
}

Bytes zeros(std::size_t n) { return Bytes(n, 0); }
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

racun header() {
    racun h;
    h.lineType = 100;
    h.oper = 7;
    h.year = 2010;
    h.month = 3;
    h.day = 25;
    h.hour = 14;
    h.minute = 5;
    return h;
}

racun sale(bool isVoid = false, double qty = 2) {
    racun l;
    l.lineType = 200;
    l.voidFlag = isVoid ? 1 : 0;
    l.articleNumber = 0x0102;
    l.barcode = "8600123456789";
    l.quantity = qty;
    l.price = 12.5;
    l.name = "MLEKO";
    l.taxGroup = 2;
    return l;
}

racun pay() {
    racun l;
    l.lineType = 300;
    l.paymentType = 0;
    l.paymentAmount = 1234.56;
    return l;
}

const Bytes kBcd{0xF8, 0x60, 0x01, 0x23, 0x45, 0x67, 0x89};
const Bytes kBcdLeft{0x86, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9F};
const Bytes kQty2{0xD0, 0x07, 0x00, 0x00};
const Bytes kCents1250{0xE2, 0x04, 0x00, 0x00};
const Bytes kAmount{0xD2, 0x04, 0x00, 0x00, 0x38};
const Bytes kAmount1250{0x0C, 0x00, 0x00, 0x00, 0x32};
const Bytes kNoCode(7, 0xFF);
// Forty characters: longer than every name and text field.
const std::string kLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";

racun named(racun l, const std::string& name) {
    l.name = name;
    return l;
}
racun coded(racun l, const std::string& barcode) {
    l.barcode = barcode;
    return l;
}

// What a command leaves behind besides the bytes it writes.
enum Discipline {
    receipt,        // watchdog, ReceiptRetries 0, ReceiptFrame holds the frame
    receiptNoCopy,  // watchdog, ReceiptRetries 0, ReceiptFrame as it was
    service,        // watchdog, ServiceWaiting 1, ServiceRetries 0, ServiceFrame holds the frame
    serviceText,    // as service, but ServiceFrameText holds the frame instead
    plain,          // written, nothing armed or kept
    nothing,        // nothing written, nothing armed or kept
};
// The receive buffer afterwards, when it held AA 01 02 before.
enum Buffer { cleared, contentsOnly, untouched };

struct Golden {
    const char* what;
    int model;
    std::function<void(Commands&)> send;
    Bytes frame;  // empty: nothing written
    Discipline sent;
    Buffer buffer;
    int pauseMs = 0;     // the one pause before the write, 0 for none
    int step = 0;        // Step before the command
    int stepAfter = -1;  // Step after it; -1: unchanged
};

FrameCopy copyOf(const Bytes& frame) {
    FrameCopy c{};
    std::copy(frame.begin(), frame.end(), c.begin());
    return c;
}

}  // namespace

TEST(Commands, GoldenFrames) {
    const Bytes p52 = cat({{0x02, 0x01}, kBcd, kQty2, text("MLEKO"), zeros(27), {0x00}, kCents1250, {0x02, 0x01}});
    const Bytes ponisti = cat({{0x02, 0x01}, kBcd, kQty2, kCents1250, {0x01}});
    const Bytes signOnC = cat({{0x07, 0x64, 0x64}, zeros(17), {0xDA, 3, 25, 14, 5}});
    const Bytes saleA = cat({zeros(7), {0x02, 0x01}, kQty2});
    const Bytes saleC = cat({{0x02, 0x01}, zeros(7), kQty2, zeros(5)});
    const Bytes payC = cat({{0x00}, zeros(43), kAmount});
    const Golden cases[] = {
        // Receipt commands.
        {"Prijava P", 4, [](Commands& c) { c.Prijava(header()); }, longFrame(4, 0x01, 0x01, {0x07}), receipt, cleared},
        {"Prijava A, year bits 90", 1, [](Commands& c) { c.Prijava(header()); },
         longFrame(1, 0x11, 0x01, {0x07, 0x79, 0xB4, 14, 5}), receiptNoCopy, untouched},
        {"Prijava B", 5, [](Commands& c) { c.Prijava(header()); }, longFrame(1, 0x11, 0x01, {0x07, 0x79, 0xB4, 14, 5}),
         receiptNoCopy, untouched},
        {"Prijava C2", 2, [](Commands& c) { c.Prijava(header()); }, longFrame(2, 0x11, 0x01, signOnC), receipt, untouched},
        {"Prijava C3", 3, [](Commands& c) { c.Prijava(header()); }, longFrame(2, 0x11, 0x01, signOnC), receipt, untouched},
        {"ProdajaArt P", 4, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(4, 0x01, 0x03, p52), receipt, cleared, 300},
        {"ProdajaArt P, name cut to 32", 4, [](Commands& c) { c.ProdajaArt(named(sale(), kLong)); },
         longFrame(4, 0x01, 0x03, cat({{0x02, 0x01}, kBcd, kQty2, text(kLong.substr(0, 32)), {0x00}, kCents1250, {0x02, 0x01}})),
         receipt, cleared, 300},
        {"ProdajaArt P, a code of thirteen zeros is packed", 4, [](Commands& c) { c.ProdajaArt(coded(sale(), "0000000000000")); },
         longFrame(4, 0x01, 0x03,
                   cat({{0x02, 0x01}, {0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, kQty2, text("MLEKO"), zeros(27), {0x00},
                        kCents1250, {0x02, 0x01}})),
         receipt, cleared, 300},
        {"ProdajaArt P void, quantity -2", 4, [](Commands& c) { c.ProdajaArt(sale(true, -2)); },
         longFrame(4, 0x01, 0x04, ponisti), receipt, contentsOnly, 100},
        {"PonistiArt P", 4, [](Commands& c) { c.PonistiArt(sale(true)); }, longFrame(4, 0x01, 0x04, ponisti), receipt,
         contentsOnly, 100},
        {"ProdajaArt A", 1, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(1, 0x11, 0x0B, saleA), receiptNoCopy,
         untouched, 50},
        {"ProdajaArt A void, quantity -2", 1, [](Commands& c) { c.ProdajaArt(sale(true, -2)); },
         longFrame(1, 0x11, 0x0C, saleA), receiptNoCopy, untouched, 50},
        {"ProdajaArt B", 5, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(1, 0x11, 0x05, saleA), receiptNoCopy,
         untouched, 50},
        {"ProdajaArt B void", 5, [](Commands& c) { c.ProdajaArt(sale(true)); }, longFrame(1, 0x11, 0x06, saleA),
         receiptNoCopy, untouched, 50},
        {"ProdajaArt C2", 2, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(2, 0x11, 0x03, saleC), receipt, untouched, 50},
        {"ProdajaArt C2 void", 2, [](Commands& c) { c.ProdajaArt(sale(true)); }, longFrame(2, 0x11, 0x04, saleC), receipt,
         untouched, 50},
        {"ProdajaArt C3", 3, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(2, 0x11, 0x03, saleC), receipt, untouched, 50},
        {"ProdajaArt C3 void, quantity -2", 3, [](Commands& c) { c.ProdajaArt(sale(true, -2)); },
         longFrame(2, 0x11, 0x04, saleC), receipt, untouched, 50},
        {"Placanje P", 4, [](Commands& c) { c.Placanje(pay()); }, longFrame(4, 0x01, 0x09, cat({{0x00}, kAmount})), receipt,
         cleared},
        {"Placanje A", 1, [](Commands& c) { c.Placanje(pay()); }, longFrame(1, 0x11, 0x15, cat({{0x00, 0x00}, kAmount})),
         receiptNoCopy, untouched, 50},
        {"Placanje B", 5, [](Commands& c) { c.Placanje(pay()); }, longFrame(1, 0x11, 0x13, cat({{0x00, 0x00}, kAmount})),
         receiptNoCopy, untouched, 50},
        {"Placanje C2", 2, [](Commands& c) { c.Placanje(pay()); }, longFrame(2, 0x11, 0x09, payC), receipt, untouched, 50},
        {"Placanje C3", 3, [](Commands& c) { c.Placanje(pay()); }, longFrame(2, 0x11, 0x09, payC), receipt, untouched, 50},
        {"KrajRacuna P", 4, [](Commands& c) { c.KrajRacuna(); },
         Bytes{0xAA, 0x04, 0x01, 0x12, 0x34, 0x56, 0x07, 0x0B, 0x00, 0x5D, 0xD3, 0x0D}, receipt, cleared},
        {"KrajRacuna C2", 2, [](Commands& c) { c.KrajRacuna(); }, longFrame(2, 0x11, 0x0B, {}), receipt, untouched},
        {"KrajRacuna C3", 3, [](Commands& c) { c.KrajRacuna(); }, longFrame(2, 0x11, 0x0B, {}), receipt, untouched},
        {"KrajRacuna A", 1, [](Commands& c) { c.KrajRacuna(); }, {}, nothing, untouched},
        {"KrajRacuna B", 5, [](Commands& c) { c.KrajRacuna(); }, {}, nothing, untouched},
        {"StornirajRacun P", 4, [](Commands& c) { c.StornirajRacun(); }, longFrame(4, 0x01, 0x0C, {}), receipt, contentsOnly},
        {"PrijavaOperatera P", 4, [](Commands& c) { c.PrijavaOperatera(); }, longFrame(4, 0x01, 0x01, {0x01}), receipt,
         cleared},
        // Article-memory commands.
        {"UpisArtikla A, tax group 2", 1, [](Commands& c) { c.UpisArtikla(0x0102, "\xC0\xC1", " 8600123456789 ", 2, 12.5); },
         longFrame(1, 0x11, 0x74, cat({{0x02, 0x01, 0x80, 0x81}, zeros(34), {0xFF}, kBcd, {0x02, 0x03}, kCents1250, zeros(4)})),
         service, cleared},
        {"UpisArtikla A, name cut to 36, thirteen zeros trimmed", 1,
         [](Commands& c) { c.UpisArtikla(0x0102, kLong, " 0000000000000 ", 1, 12.5); },
         longFrame(1, 0x11, 0x74, cat({{0x02, 0x01}, text(kLong.substr(0, 36)), {0xFF}, kNoCode, {0x01, 0x01}, kCents1250, zeros(4)})),
         service, cleared},
        {"UpisArtikla B", 5, [](Commands& c) { c.UpisArtikla(3, "M@", "8600123456789", 2, 12.5); },
         longFrame(1, 0x11, 0x74, cat({{0x03, 0x00, 0x4D, 0x5F}, zeros(34), {0xFF}, kBcd, {0x02, 0x03}, kCents1250, zeros(4)})),
         service, cleared},
        {"UpisArtikla B, empty name, no bar code", 5, [](Commands& c) { c.UpisArtikla(3, "", "0000000000000", 1, 12.5); },
         longFrame(1, 0x11, 0x74, cat({{0x03, 0x00}, Bytes(37, 0xFF), kNoCode, {0x01, 0x01}, kCents1250, zeros(4)})), service,
         cleared},
        {"UpisArtikla C2", 2, [](Commands& c) { c.UpisArtikla(0x0102, "MLEKO", "12", 2, 12.5); },
         cat({{0x5F, 0x85, 52, 0x01, 0x02}, text("MLEKO"), zeros(32), {0x00}, kCents1250, {0x02},
              {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0x0D}}),
         serviceText, cleared},
        {"UpisArtikla C2, name cut to 37, thirteen zeros", 2,
         [](Commands& c) { c.UpisArtikla(0x0102, kLong, "0000000000000", 1, 12.5); },
         cat({{0x5F, 0x85, 52, 0x01, 0x02}, text(kLong.substr(0, 37)), {0x00}, kCents1250, {0x01}, kNoCode, {0x0D}}),
         serviceText, cleared},
        {"UpisArtikla C2, zeros and a space are packed", 2, [](Commands& c) { c.UpisArtikla(1, "A", "0000000000000 ", 0, 1); },
         cat({{0x5F, 0x85, 52, 0x00, 0x01}, text("A"), zeros(36), {0x00}, {100, 0, 0, 0}, {0x00},
              {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x0D}}),
         serviceText, cleared},
        {"UpisArtikla C2 negative price", 2, [](Commands& c) { c.UpisArtikla(1, "A", "", 0, -0.01); },
         Bytes{0x5F, 0x10, 0x00, 0x0D}, plain, cleared},
        {"UpisArtikla C3, short name", 3, [](Commands& c) { c.UpisArtikla(0x0102, "MLEKO", "8600123456789", 2, 12.5); },
         longFrame(2, 0x11, 0x15, cat({{0x02, 0x01}, text("MLEKO"), zeros(13), {0x00}, zeros(18), {0x00, 0x00, 0x02},
                                       kAmount1250, kBcdLeft})),
         service, cleared},
        {"UpisArtikla C3, 20-character name", 3, [](Commands& c) { c.UpisArtikla(5, "ABCDEFGHIJKLMNOPQRST", "12", 3, 1234.56); },
         longFrame(2, 0x11, 0x15, cat({{0x05, 0x00}, text("ABCDEFGHIJKLMNOPQR"), {0x00}, text("ST"), zeros(16), {0x00, 0x00, 0x03},
                                       kAmount, {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}})),
         service, cleared},
        {"UpisArtikla C3, name cut to 2 x 18, thirteen zeros trimmed", 3,
         [](Commands& c) { c.UpisArtikla(0x0102, kLong, " 0000000000000 ", 2, 12.5); },
         longFrame(2, 0x11, 0x15, cat({{0x02, 0x01}, text("ABCDEFGHIJKLMNOPQR"), {0x00}, text("STUVWXYZ0123456789"),
                                       {0x00, 0x00, 0x02}, kAmount1250, kNoCode})),
         service, cleared},
        {"UpisArtikla P", 4, [](Commands& c) { c.UpisArtikla(0x0102, "MLEKO", "8600123456789", 2, 12.5); },
         longFrame(4, 0x01, 0x13, cat({{0x02, 0x01}, kBcd, text("MLEKO"), zeros(27), {0x00}, kCents1250, {0x02, 0x01}})),
         service, cleared},
        {"UpisArtikla P, name cut to 32, thirteen zeros trimmed", 4,
         [](Commands& c) { c.UpisArtikla(3, kLong, " 0000000000000 ", 1, 12.5); },
         longFrame(4, 0x01, 0x13, cat({{0x03, 0x00}, kNoCode, text(kLong.substr(0, 32)), {0x00}, kCents1250, {0x01, 0x01}})),
         service, cleared},
        {"CitanjeArtikla A", 1, [](Commands& c) { c.CitanjeArtikla(0x0102); }, longFrame(1, 0x11, 0x73, {0x02, 0x01}), service,
         cleared},
        {"CitanjeArtikla B", 5, [](Commands& c) { c.CitanjeArtikla(0x0102); }, longFrame(1, 0x11, 0x73, {0x02, 0x01}), service,
         cleared},
        {"CitanjeArtikla(0) C2 with Step 0", 2, [](Commands& c) { c.CitanjeArtikla(0); }, Bytes{0x5F, 0x80, 0x02, 0x00, 0x01, 0x0D},
         serviceText, cleared},
        {"CitanjeArtikla C2 asks for Step + 1, not its argument", 2, [](Commands& c) { c.CitanjeArtikla(7); },
         Bytes{0x5F, 0x80, 0x02, 0x01, 0x02, 0x0D}, serviceText, cleared, 0, 0x0101},
        {"CitanjeArtikla C3", 3, [](Commands& c) { c.CitanjeArtikla(0x0102); }, longFrame(2, 0x11, 0x14, {0x02, 0x01}), service,
         cleared},
        {"CitanjeArtikla(0) P", 4, [](Commands& c) { c.CitanjeArtikla(0); }, Bytes{0x5F, 0x82, 0x02, 0x00, 0x00, 0x0D}, service,
         cleared},
        {"CitanjeArtikla P", 4, [](Commands& c) { c.CitanjeArtikla(0x0102); }, Bytes{0x5F, 0x82, 0x02, 0x02, 0x01, 0x0D}, service,
         cleared},
        {"CitajSledeci P", 4, [](Commands& c) { c.CitajSledeci(); }, Bytes{0x5F, 0x84, 0x00, 0x0D}, service, cleared},
        {"IsprazniStampac P", 4, [](Commands& c) { c.IsprazniStampac(1, 60000); },
         longFrame(4, 0x01, 0x0F, {0x01, 0x00, 0x60, 0xEA}), service, cleared},
        {"IsprazniTotal P", 4, [](Commands& c) { c.IsprazniTotal(); }, longFrame(4, 0x01, 0x12, {}), service, cleared},
        {"article mode on", 2, [](Commands& c) { c.ArticleModeOn(); }, Bytes{0x5F, 0x00, 0x02, 0x02, 0x11, 0x0D}, plain, untouched},
        {"article mode off", 2, [](Commands& c) { c.ArticleModeOff(); }, Bytes{0x5F, 0x10, 0x00, 0x0D}, plain, untouched},
        {"article mode continue", 2, [](Commands& c) { c.ArticleModeContinue(); }, Bytes{0x5F, 0x20, 0x00, 0x0D}, plain, untouched},
        {"model 3 sign-on", 3, [](Commands& c) { c.PrijavaArtikli(); },
         longFrame(2, 0x11, 0x01, cat({{0x01, 0x64, 0x64}, zeros(17), {0xEA, 12, 10, 9, 30}}), 1), service, untouched},
        // Service commands.
        {"OtvoriFioku A", 1, [](Commands& c) { c.OtvoriFioku(); }, longFrame(1, 0x11, 0x29, {}), plain, untouched},
        {"OtvoriFioku B", 5, [](Commands& c) { c.OtvoriFioku(); }, longFrame(1, 0x11, 0x29, {}), plain, untouched},
        {"OtvoriFioku P", 4, [](Commands& c) { c.OtvoriFioku(); }, longFrame(4, 0x01, 0x15, {0x64, 0x00}), service, cleared},
        {"OtvoriFioku C2", 2, [](Commands& c) { c.OtvoriFioku(); }, {}, nothing, untouched},
        {"OtvoriFioku C3", 3, [](Commands& c) { c.OtvoriFioku(); }, {}, nothing, untouched},
        {"FreeTextBegin", 4, [](Commands& c) { c.FreeTextBegin(); }, longFrame(4, 0x01, 0x07, {}), service, cleared, 0, 5, 1},
        {"FreeTextPrint", 4, [](Commands& c) { c.FreeTextPrint("Hvala"); },
         longFrame(4, 0x01, 0x05, cat({{0x00}, text("Hvala"), zeros(27)})), service, cleared, 0, 5, 1},
        {"FreeTextPrint, text cut to 32", 4, [](Commands& c) { c.FreeTextPrint(kLong); },
         longFrame(4, 0x01, 0x05, cat({{0x00}, text(kLong.substr(0, 32))})), service, cleared, 0, 5, 1},
        {"FreeTextPrint empty", 4, [](Commands& c) { c.FreeTextPrint(""); }, longFrame(4, 0x01, 0x05, zeros(33)), service, cleared,
         0, 5, 1},
        {"FreeTextEnd", 4, [](Commands& c) { c.FreeTextEnd(); }, longFrame(4, 0x01, 0x06, {}), service, cleared, 0, 5, 1},
        {"LcdShow first line", 4, [](Commands& c) { c.LcdShow("Dobar dan", 0); },
         longFrame(4, 0x01, 0x1D, cat({{0x00}, text("Dobar dan"), zeros(11)})), service, cleared},
        {"LcdShow 25 characters", 4, [](Commands& c) { c.LcdShow("ABCDEFGHIJKLMNOPQRSTUVWXY", 1); },
         longFrame(4, 0x01, 0x1D, cat({{0x01}, text("ABCDEFGHIJKLMNOPQRST")})), service, cleared},
        {"LcdShow clear", 4, [](Commands& c) { c.LcdShow("ignored", 2); }, longFrame(4, 0x01, 0x1D, {0x02}), service, cleared},
        {"Izvestaj daily", 4, [](Commands& c) { c.Izvestaj(0, "0", "0"); }, longFrame(4, 0x01, 0x08, zeros(9)), service, cleared},
        {"Izvestaj cut-off ignores the range", 4, [](Commands& c) { c.Izvestaj(1, "5", "9"); },
         longFrame(4, 0x01, 0x08, cat({{0x01}, zeros(8)})), service, cleared},
        {"Izvestaj periodic", 4, [](Commands& c) { c.Izvestaj(2, "01.03.2010", "31.03.2010"); },
         longFrame(4, 0x01, 0x08, {0x02, 0xCD, 0x87, 0x01, 0x00, 0xEB, 0x87, 0x01, 0x00}), service, cleared},
        {"Izvestaj by article", 4, [](Commands& c) { c.Izvestaj(3, "10", "70000"); },
         longFrame(4, 0x01, 0x08, {0x03, 10, 0, 0, 0, 0x70, 0x11, 0x01, 0x00}), service, cleared},
        {"Izvestaj by department", 4, [](Commands& c) { c.Izvestaj(4, "1", "2"); },
         longFrame(4, 0x01, 0x08, {0x04, 1, 0, 0, 0, 2, 0, 0, 0}), service, cleared},
        {"Izvestaj by cashier", 4, [](Commands& c) { c.Izvestaj(5, "3", "65536"); },
         longFrame(4, 0x01, 0x08, {0x05, 3, 0, 0, 0, 0, 0, 1, 0}), service, cleared},
        {"Izvestaj of an unused kind", 4, [](Commands& c) { c.Izvestaj(9, "1", "2"); },
         longFrame(4, 0x01, 0x08, cat({{0x09}, zeros(8)})), service, cleared},
        {"GetStatus", 4, [](Commands& c) { c.GetStatus(); }, longFrame(4, 0x01, 0x0D, {}), service, cleared, 0, 5, 1},
        {"DatumVreme", 4, [](Commands& c) { c.DatumVreme(); }, Bytes{0x5F, 0x60, 0x00, 0x0D}, service, cleared},
        {"IzlazPrinter", 5, [](Commands& c) { c.IzlazPrinter(); },
         Bytes{0xAA, 0x05, 0x11, 0x12, 0x34, 0x56, 0x07, 0x1F, 0x00, 0x82, 0xD6, 0x0D}, plain, untouched},
    };
    FrameCopy stale;
    stale.fill(0xEE);
    const Bytes staleText{0xEE};
    for (const Golden& g : cases) {
        SCOPED_TRACE(g.what);
        Bench b;
        b.writeWorkingConfig("DatumFormat=dd.MM.yyyy\n", g.model);
        b.activate();
        b.clock.current = {2026, 12, 10, 9, 30, 0, 0};
        App& a = b.app();
        MainForm& f = a.Form1;
        // With TCP chosen, printer frames take it and cash-register frames stay on the serial port.
        a.FrmKonf.selectIp();
        b.tcp.connected_ = true;
        f.FrameSeq = 7;
        f.Step = g.step;
        f.TimerKasa.setEnabled(false);
        f.ServiceWaiting = 0;
        f.ReceiptRetries = f.ServiceRetries = 3;
        a.link.ReceiptFrame = a.link.ServiceFrame = stale;
        a.link.ServiceFrameText = staleText;
        a.link.rx.clear();
        for (std::uint8_t v : {0xAA, 0x01, 0x02}) a.link.rx.append(v);
        b.serial.written.clear();
        b.tcp.written.clear();
        b.clock.pauses.clear();
        b.op.answers = {1};
        b.click([&g](App& x) { g.send(x.commands); });

        const auto& route = g.model == 4 ? b.tcp.written : b.serial.written;
        const auto& other = g.model == 4 ? b.serial.written : b.tcp.written;
        EXPECT_TRUE(other.empty());
        if (g.frame.empty()) {
            EXPECT_TRUE(route.empty());
        } else {
            ASSERT_EQ(route.size(), 1u);
            EXPECT_EQ(route[0], g.frame);
        }
        // The simulated device of the model takes every frame as well formed.
        sim::Simulator device(g.model, "123456");
        for (const Bytes& w : route) device.receive(w, 0);
        EXPECT_EQ(device.counts().rejected, 0);
        EXPECT_EQ(device.counts().frames, static_cast<int>(route.size()));

        const bool isReceipt = g.sent == receipt || g.sent == receiptNoCopy;
        const bool isService = g.sent == service || g.sent == serviceText;
        EXPECT_EQ(f.TimerKasa.enabled(), isReceipt || isService);
        EXPECT_EQ(f.ReceiptRetries, isReceipt ? 0 : 3);
        EXPECT_EQ(f.ServiceRetries, isService ? 0 : 3);
        EXPECT_EQ(f.ServiceWaiting, isService ? 1 : 0);
        EXPECT_EQ(a.link.ReceiptFrame, g.sent == receipt ? copyOf(g.frame) : stale);
        EXPECT_EQ(a.link.ServiceFrame, g.sent == service ? copyOf(g.frame) : stale);
        EXPECT_EQ(a.link.ServiceFrameText, g.sent == serviceText ? g.frame : staleText);

        std::array<std::uint8_t, RxBufferState::kSize> held{};
        if (g.buffer == untouched) {
            held[0] = 0xAA;
            held[1] = 0x01;
            held[2] = 0x02;
        }
        EXPECT_EQ(a.link.rx.RxBuffer, held);
        EXPECT_EQ(a.link.rx.RxLength, g.buffer == cleared ? 0 : 3);

        EXPECT_EQ(b.clock.pauses, g.pauseMs ? std::vector<int>{g.pauseMs} : std::vector<int>{});
        EXPECT_EQ(f.Step, g.stepAfter < 0 ? g.step : g.stepAfter);
    }
}

TEST(Commands, ModelTwoResendsItsShortFrameTextUnchanged) {
    Bench b;
    b.writeWorkingConfig("", 2);
    b.activate();
    App& a = b.app();
    a.Form1.Step = 0;
    a.commands.CitanjeArtikla(0);
    a.Form1.Step = 4;
    b.serial.written.clear();
    a.commands.resendServiceFrameText();
    ASSERT_EQ(b.serial.written.size(), 1u);
    EXPECT_EQ(b.serial.written[0], (Bytes{0x5F, 0x80, 0x02, 0x00, 0x01, 0x0D}));
}

TEST(Commands, ModelTwoRefusesANegativePrice) {
    Bench b;
    b.writeWorkingConfig("", 2);
    b.activate();
    App& a = b.app();
    for (Control* c : a.frmArt.actionButtons()) c->enabled = false;
    b.op.shown.clear();
    a.commands.UpisArtikla(1, "A", "", 0, -0.01);
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].title, "Greska!!!");
    EXPECT_EQ(b.op.shown[0].text, "Greska u podacima");
    EXPECT_EQ(b.op.shown[0].buttons, (std::vector<std::string>{"U redu", "Otkaz"}));
    for (Control* c : a.frmArt.actionButtons()) EXPECT_TRUE(c->enabled);
}

TEST(Commands, PeriodicReportWithABadDateSendsNothing) {
    Bench b;
    b.writeWorkingConfig("DatumFormat=dd.MM.yyyy\n", 4);
    b.activate();
    b.clock.current = {2026, 12, 10, 9, 30, 0, 0};
    App& a = b.app();
    a.Form1.TimerKasa.setEnabled(false);
    b.serial.written.clear();
    b.op.shown.clear();
    a.commands.Izvestaj(2, "2010-03-01", "31.03.2010");
    EXPECT_TRUE(b.serial.written.empty());
    EXPECT_FALSE(a.Form1.TimerKasa.enabled());
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].title, "Greska");
    EXPECT_EQ(b.op.shown[0].text, "Losa vrednost ulaznog parametra! Datum mora biti u formatu kao 10.12.2026");

    b.op.shown.clear();
    a.commands.Izvestaj(2, "01.03.2010", "31.02.2010");  // no 31 February
    EXPECT_TRUE(b.serial.written.empty());
    EXPECT_EQ(b.op.shown.size(), 1u);
}

TEST(Commands, PeriodicReportReadsDatesInTheShortDateFormat) {
    Bench b;
    b.writeWorkingConfig("DatumFormat=yyyy-MM-dd\n", 4);
    b.activate();
    b.serial.written.clear();
    b.app().Form1.FrameSeq = 7;
    b.app().commands.Izvestaj(2, "2010-03-01", "2010-03-31");
    ASSERT_EQ(b.serial.written.size(), 1u);
    EXPECT_EQ(b.serial.written[0], longFrame(4, 0x01, 0x08, {0x02, 0xCD, 0x87, 0x01, 0x00, 0xEB, 0x87, 0x01, 0x00}));
}

TEST(Commands, SettingTheClockReportsARefusal) {
    struct Refusing : SystemClock {
        void setLocal(const LocalDateTime&) override { throw PlatformError("Sat racunara nije podesen: Operation not permitted."); }
    } refusing;
    Bench b;
    b.ports.systemClock = &refusing;
    b.writeWorkingConfig("", 4);
    b.activate();
    b.app().commands.PodesiVreme(2026, 12, 10, 9, 30, 0);
    ASSERT_FALSE(b.op.shown.empty());
    EXPECT_EQ(b.op.shown.back().title, "Greska");
    EXPECT_EQ(b.op.shown.back().text, "Sat racunara nije podesen: Operation not permitted.");

    Bench ok;
    ok.writeWorkingConfig("", 4);
    ok.activate();
    ok.app().commands.PodesiVreme(2026, 12, 10, 9, 30, 15);
    ASSERT_EQ(ok.systemClock.set.size(), 1u);
    EXPECT_EQ(ok.systemClock.set[0].second, 15);
    EXPECT_EQ(ok.systemClock.set[0].msec, 0);
}

TEST(ErrorWords, Decoding) {
    const char* const texts[32] = {
        " Greska u fiskalnoj memoriji",
        " Greska u vremenu",
        " Greska u fiskalnom vremenu",
        " Nema papira u fiskalnom stampacu",
        " Visoka temperatura glave fiskalnog stampaca",
        " Prekoracenje u broju dnevnih izvestaja",
        " Prekoracenje u broju resetovanju RAM-a",
        " Rezervisano",
        " Pogresna komanda",
        " Nedefinisana poreska stopa/odeljenje",
        " Nedefinisan artikal",
        " Broj artikla je 0 ili veci od 60000",
        " Cena ili kolicina je 0",
        " Iznos za cenu, kolicinu ili placanje je veci od dozvoljenog",
        " Prekoracenje u dnevnom totalu",
        " Prekoracenje u baferu prodatih stavki ili stavki za placanje (max 10)",
        " Prekoracenje u broju prodatih/storniranih stavki u jednom fiskalnom isecku (max 1000)",
        " Prekoracenje u storniranju",
        " Problem kod storniranja (nije pronadjen artikal)",
        " Problem kod ponistenja",
        " Problem kod zaokruzivanja kolicine (format nije dobar)",
        " Prekoracenje u iznosu za placanje",
        " Pogresna vrsta placanja",
        " Iznos za placanje cekom ili karticom je veci od ukupnog iznosa za placanje",
        " Moguca promena (suma iznosa za placanje je veca ili jednaka od ukupnog iznosa za placanje",
        " Fiskalni stampac nije u odgovarajucem statusu za izvrsenje zadate operacije",
        " Pogresan parametar",
        " Prekoracenje u bazi artikala - ukupan iznos",
        " Prekoracenje u bazi artikala - jedan artikal",
        " Prekoracenje kolicine u bazi artikala",
        " Problem prilikom prodaje ili upisa artikla",
        " Prekoracenje u broju razlicitih artikala u bazi artikala",
    };
    // One bit at a time: position 14 holds bits 0-7, position 11 bits 24-31.
    std::string all;
    for (int k = 0; k < 32; ++k) {
        SCOPED_TRACE(k);
        std::uint8_t p[4] = {0, 0, 0, 0};
        p[3 - k / 8] = static_cast<std::uint8_t>(1u << (k % 8));
        const std::string entry = std::string("/") + texts[k] + "(" + std::to_string(k) + ")";
        EXPECT_EQ(DekodirajGresku(p[0], p[1], p[2], p[3]), entry);
        all += entry;
    }
    EXPECT_EQ(DekodirajGresku(0xFF, 0xFF, 0xFF, 0xFF), all);
    EXPECT_EQ(DekodirajGresku(0, 0, 0, 0), "");
    EXPECT_EQ(DekodirajGresku(0, 0, 0x01, 0x08), "/ Nema papira u fiskalnom stampacu(3)/ Pogresna komanda(8)");
    // Bit order, not byte order: bit 0 comes first although its byte stands last.
    EXPECT_EQ(DekodirajGresku(0x01, 0, 0, 0x01),
              "/ Greska u fiskalnoj memoriji(0)"
              "/ Moguca promena (suma iznosa za placanje je veca ili jednaka od ukupnog iznosa za placanje(24)");
}

}  // namespace kestora::test
