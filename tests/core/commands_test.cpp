// Golden frames: every command of every model group, byte for byte.
#include <gtest/gtest.h>

#include "conversation/error_words.h"
#include "fakes.h"
#include "link/frame.h"

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
const Bytes kQty2{0xD0, 0x07, 0x00, 0x00};
const Bytes kCents1250{0xE2, 0x04, 0x00, 0x00};
const Bytes kAmount{0xD2, 0x04, 0x00, 0x00, 0x38};
const Bytes kNoCode(7, 0xFF);

struct Golden {
    const char* what;
    int model;
    std::function<void(Commands&)> send;
    Bytes frame;  // empty: nothing written
};

}  // namespace

TEST(Commands, GoldenFrames) {
    const Bytes p52 = cat({{0x02, 0x01}, kBcd, kQty2, text("MLEKO"), zeros(27), {0x00}, kCents1250, {0x02, 0x01}});
    const Golden cases[] = {
        // Receipt commands.
        {"Prijava P", 4, [](Commands& c) { c.Prijava(header()); }, longFrame(4, 0x01, 0x01, {0x07})},
        {"Prijava A", 1, [](Commands& c) { c.Prijava(header()); }, longFrame(1, 0x11, 0x01, {0x07, 0x79, 0xB4, 14, 5})},
        {"Prijava B", 5, [](Commands& c) { c.Prijava(header()); }, longFrame(1, 0x11, 0x01, {0x07, 0x79, 0xB4, 14, 5})},
        {"Prijava C", 2, [](Commands& c) { c.Prijava(header()); },
         longFrame(2, 0x11, 0x01, cat({{0x07, 0x64, 0x64}, zeros(17), {0xDA, 3, 25, 14, 5}}))},
        {"ProdajaArt P", 4, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(4, 0x01, 0x03, p52)},
        {"ProdajaArt P void", 4, [](Commands& c) { c.ProdajaArt(sale(true)); },
         longFrame(4, 0x01, 0x04, cat({{0x02, 0x01}, kBcd, kQty2, kCents1250, {0x01}}))},
        {"ProdajaArt A", 1, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(1, 0x11, 0x0B, cat({zeros(7), {0x02, 0x01}, kQty2}))},
        {"ProdajaArt A void, quantity -2", 1, [](Commands& c) { c.ProdajaArt(sale(true, -2)); },
         longFrame(1, 0x11, 0x0C, cat({zeros(7), {0x02, 0x01}, kQty2}))},
        {"ProdajaArt B", 5, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(1, 0x11, 0x05, cat({zeros(7), {0x02, 0x01}, kQty2}))},
        {"ProdajaArt B void", 5, [](Commands& c) { c.ProdajaArt(sale(true)); }, longFrame(1, 0x11, 0x06, cat({zeros(7), {0x02, 0x01}, kQty2}))},
        {"ProdajaArt C", 3, [](Commands& c) { c.ProdajaArt(sale()); }, longFrame(2, 0x11, 0x03, cat({{0x02, 0x01}, zeros(7), kQty2, zeros(5)}))},
        {"ProdajaArt C void", 2, [](Commands& c) { c.ProdajaArt(sale(true)); }, longFrame(2, 0x11, 0x04, cat({{0x02, 0x01}, zeros(7), kQty2, zeros(5)}))},
        {"Placanje P", 4, [](Commands& c) { c.Placanje(pay()); }, longFrame(4, 0x01, 0x09, cat({{0x00}, kAmount}))},
        {"Placanje A", 1, [](Commands& c) { c.Placanje(pay()); }, longFrame(1, 0x11, 0x15, cat({{0x00, 0x00}, kAmount}))},
        {"Placanje B", 5, [](Commands& c) { c.Placanje(pay()); }, longFrame(1, 0x11, 0x13, cat({{0x00, 0x00}, kAmount}))},
        {"Placanje C", 2, [](Commands& c) { c.Placanje(pay()); }, longFrame(2, 0x11, 0x09, cat({{0x00}, zeros(43), kAmount}))},
        {"KrajRacuna P", 4, [](Commands& c) { c.KrajRacuna(); },
         Bytes{0xAA, 0x04, 0x01, 0x12, 0x34, 0x56, 0x07, 0x0B, 0x00, 0x5D, 0xD3, 0x0D}},
        {"KrajRacuna C", 3, [](Commands& c) { c.KrajRacuna(); }, longFrame(2, 0x11, 0x0B, {})},
        {"KrajRacuna A", 1, [](Commands& c) { c.KrajRacuna(); }, {}},
        {"KrajRacuna B", 5, [](Commands& c) { c.KrajRacuna(); }, {}},
        {"StornirajRacun P", 4, [](Commands& c) { c.StornirajRacun(); }, longFrame(4, 0x01, 0x0C, {})},
        {"PrijavaOperatera P", 4, [](Commands& c) { c.PrijavaOperatera(); }, longFrame(4, 0x01, 0x01, {0x01})},
        // Article-memory commands.
        {"UpisArtikla A", 1, [](Commands& c) { c.UpisArtikla(0x0102, "\xC0\xC1", " 8600123456789 ", 2, 12.5); },
         longFrame(1, 0x11, 0x74, cat({{0x02, 0x01, 0x80, 0x81}, zeros(34), {0xFF}, kBcd, {0x02, 0x03}, kCents1250, zeros(4)}))},
        {"UpisArtikla B, empty name, no bar code", 5, [](Commands& c) { c.UpisArtikla(3, "", "0000000000000", 1, 12.5); },
         longFrame(1, 0x11, 0x74, cat({{0x03, 0x00}, Bytes(37, 0xFF), kNoCode, {0x01, 0x01}, kCents1250, zeros(4)}))},
        {"UpisArtikla C2", 2, [](Commands& c) { c.UpisArtikla(0x0102, "MLEKO", "12", 2, 12.5); },
         cat({{0x5F, 0x85, 52, 0x01, 0x02}, text("MLEKO"), zeros(32), {0x00}, kCents1250, {0x02},
              {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0x0D}})},
        {"UpisArtikla C2, zeros and a space are packed", 2, [](Commands& c) { c.UpisArtikla(1, "A", "0000000000000 ", 0, 1); },
         cat({{0x5F, 0x85, 52, 0x00, 0x01}, text("A"), zeros(36), {0x00}, {100, 0, 0, 0}, {0x00},
              {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x0D}})},
        {"UpisArtikla C2 negative price", 2, [](Commands& c) { c.UpisArtikla(1, "A", "", 0, -0.01); }, Bytes{0x5F, 0x10, 0x00, 0x0D}},
        {"UpisArtikla C3, 20-character name", 3, [](Commands& c) { c.UpisArtikla(5, "ABCDEFGHIJKLMNOPQRST", "12", 3, 1234.56); },
         longFrame(2, 0x11, 0x15, cat({{0x05, 0x00}, text("ABCDEFGHIJKLMNOPQR"), {0x00}, text("ST"), zeros(16), {0x00, 0x00, 0x03},
                                       kAmount, {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}))},
        {"UpisArtikla P", 4, [](Commands& c) { c.UpisArtikla(0x0102, "MLEKO", "8600123456789", 2, 12.5); },
         longFrame(4, 0x01, 0x13, cat({{0x02, 0x01}, kBcd, text("MLEKO"), zeros(27), {0x00}, kCents1250, {0x02, 0x01}}))},
        {"CitanjeArtikla A", 1, [](Commands& c) { c.CitanjeArtikla(0x0102); }, longFrame(1, 0x11, 0x73, {0x02, 0x01})},
        {"CitanjeArtikla C2 with Step 0", 2, [](Commands& c) { c.CitanjeArtikla(0); }, Bytes{0x5F, 0x80, 0x02, 0x00, 0x01, 0x0D}},
        {"CitanjeArtikla C3", 3, [](Commands& c) { c.CitanjeArtikla(0x0102); }, longFrame(2, 0x11, 0x14, {0x02, 0x01})},
        {"CitanjeArtikla P 0", 4, [](Commands& c) { c.CitanjeArtikla(0); }, Bytes{0x5F, 0x82, 0x02, 0x00, 0x00, 0x0D}},
        {"CitanjeArtikla P", 4, [](Commands& c) { c.CitanjeArtikla(0x0102); }, Bytes{0x5F, 0x82, 0x02, 0x02, 0x01, 0x0D}},
        {"CitajSledeci P", 4, [](Commands& c) { c.CitajSledeci(); }, Bytes{0x5F, 0x84, 0x00, 0x0D}},
        {"IsprazniStampac P", 4, [](Commands& c) { c.IsprazniStampac(1, 60000); }, longFrame(4, 0x01, 0x0F, {0x01, 0x00, 0x60, 0xEA})},
        {"IsprazniTotal P", 4, [](Commands& c) { c.IsprazniTotal(); }, longFrame(4, 0x01, 0x12, {})},
        {"article mode on", 2, [](Commands& c) { c.ArticleModeOn(); }, Bytes{0x5F, 0x00, 0x02, 0x02, 0x11, 0x0D}},
        {"article mode continue", 2, [](Commands& c) { c.ArticleModeContinue(); }, Bytes{0x5F, 0x20, 0x00, 0x0D}},
        {"model 3 sign-on", 3, [](Commands& c) { c.PrijavaArtikli(); },
         longFrame(2, 0x11, 0x01, cat({{0x01, 0x64, 0x64}, zeros(17), {0xEA, 12, 10, 9, 30}}), 1)},
        // Service commands.
        {"OtvoriFioku A", 1, [](Commands& c) { c.OtvoriFioku(); }, longFrame(1, 0x11, 0x29, {})},
        {"OtvoriFioku B", 5, [](Commands& c) { c.OtvoriFioku(); }, longFrame(1, 0x11, 0x29, {})},
        {"OtvoriFioku P", 4, [](Commands& c) { c.OtvoriFioku(); }, longFrame(4, 0x01, 0x15, {0x64, 0x00})},
        {"OtvoriFioku C2", 2, [](Commands& c) { c.OtvoriFioku(); }, {}},
        {"OtvoriFioku C3", 3, [](Commands& c) { c.OtvoriFioku(); }, {}},
        {"FreeTextBegin", 4, [](Commands& c) { c.FreeTextBegin(); }, longFrame(4, 0x01, 0x07, {})},
        {"FreeTextPrint", 4, [](Commands& c) { c.FreeTextPrint("Hvala"); }, longFrame(4, 0x01, 0x05, cat({{0x00}, text("Hvala"), zeros(27)}))},
        {"FreeTextPrint empty", 4, [](Commands& c) { c.FreeTextPrint(""); }, longFrame(4, 0x01, 0x05, zeros(33))},
        {"FreeTextEnd", 4, [](Commands& c) { c.FreeTextEnd(); }, longFrame(4, 0x01, 0x06, {})},
        {"LcdShow 25 characters", 4, [](Commands& c) { c.LcdShow("ABCDEFGHIJKLMNOPQRSTUVWXY", 1); },
         longFrame(4, 0x01, 0x1D, cat({{0x01}, text("ABCDEFGHIJKLMNOPQRST")}))},
        {"LcdShow clear", 4, [](Commands& c) { c.LcdShow("ignored", 2); }, longFrame(4, 0x01, 0x1D, {0x02})},
        {"Izvestaj daily", 4, [](Commands& c) { c.Izvestaj(0, "0", "0"); }, longFrame(4, 0x01, 0x08, zeros(9))},
        {"Izvestaj periodic", 4, [](Commands& c) { c.Izvestaj(2, "01.03.2010", "31.03.2010"); },
         longFrame(4, 0x01, 0x08, {0x02, 0xCD, 0x87, 0x01, 0x00, 0xEB, 0x87, 0x01, 0x00})},
        {"Izvestaj by article", 4, [](Commands& c) { c.Izvestaj(3, "10", "70000"); },
         longFrame(4, 0x01, 0x08, {0x03, 10, 0, 0, 0, 0x70, 0x11, 0x01, 0x00})},
        {"GetStatus", 4, [](Commands& c) { c.GetStatus(); }, longFrame(4, 0x01, 0x0D, {})},
        {"DatumVreme", 4, [](Commands& c) { c.DatumVreme(); }, Bytes{0x5F, 0x60, 0x00, 0x0D}},
        {"IzlazPrinter", 5, [](Commands& c) { c.IzlazPrinter(); },
         Bytes{0xAA, 0x05, 0x11, 0x12, 0x34, 0x56, 0x07, 0x1F, 0x00, 0x82, 0xD6, 0x0D}},
    };
    for (const Golden& g : cases) {
        SCOPED_TRACE(g.what);
        Bench b;
        b.writeWorkingConfig("DatumFormat=dd.MM.yyyy\n", g.model);
        b.activate();
        b.clock.current = {2026, 12, 10, 9, 30, 0, 0};
        App& a = b.app();
        a.Form1.FrameSeq = 7;
        a.Form1.Step = 0;
        b.serial.written.clear();
        b.op.answers = {1};
        b.click([&g](App& x) { g.send(x.commands); });
        if (g.frame.empty()) {
            EXPECT_TRUE(b.serial.written.empty());
        } else {
            ASSERT_EQ(b.serial.written.size(), 1u);
            EXPECT_EQ(b.serial.written[0], g.frame);
        }
    }
}

TEST(Commands, ReceiptDisciplineAndBufferHandling) {
    Bench b;
    b.writeWorkingConfig("", 4);
    b.activate();
    App& a = b.app();
    // Void and cancel keep RxLength; the other printer commands empty the buffer.
    for (auto v : {0xAA, 0x01, 0x02}) a.link.rx.append(static_cast<std::uint8_t>(v));
    a.commands.ProdajaArt(sale(true));
    EXPECT_EQ(a.link.rx.RxLength, 3);
    EXPECT_EQ(a.link.rx.RxBuffer[0], 0);
    EXPECT_EQ(b.clock.pauses.back(), 100);
    a.commands.StornirajRacun();
    EXPECT_EQ(a.link.rx.RxLength, 3);
    a.commands.ProdajaArt(sale());
    EXPECT_EQ(a.link.rx.RxLength, 0);
    EXPECT_EQ(b.clock.pauses.back(), 300);
    EXPECT_EQ(StoredFrameLength(a.link.ReceiptFrame), 64);

    // Cash registers leave the buffer alone; models 1 and 5 keep no copy.
    Bench c;
    c.writeWorkingConfig("", 1);
    c.activate();
    c.app().link.rx.append(0xAA);
    c.app().Form1.TimerKasa.setEnabled(false);
    c.app().commands.ProdajaArt(sale());
    EXPECT_EQ(c.app().link.rx.RxLength, 1);
    EXPECT_TRUE(c.app().Form1.TimerKasa.enabled());
    EXPECT_EQ(StoredFrameLength(c.app().link.ReceiptFrame), 0);
    EXPECT_EQ(c.clock.pauses.back(), 50);
    c.app().Form1.TimerKasa.setEnabled(false);
    c.app().commands.KrajRacuna();
    EXPECT_FALSE(c.app().Form1.TimerKasa.enabled());
}

TEST(Commands, ModelTwoKeepsItsShortFramesAsText) {
    Bench b;
    b.writeWorkingConfig("", 2);
    b.activate();
    App& a = b.app();
    a.commands.CitanjeArtikla(0);
    EXPECT_EQ(a.link.ServiceFrameText, (Bytes{0x5F, 0x80, 0x02, 0x00, 0x01, 0x0D}));
    EXPECT_EQ(a.Form1.ServiceWaiting, 1);
    a.commands.resendServiceFrameText();
    EXPECT_EQ(b.serial.written.back(), (Bytes{0x5F, 0x80, 0x02, 0x00, 0x01, 0x0D}));

    // A negative price: the dialog, the buttons again, and article mode off.
    for (Control* c : a.frmArt.actionButtons()) c->enabled = false;
    b.op.shown.clear();
    a.commands.UpisArtikla(1, "A", "", 0, -0.01);
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].title, "Greska!!!");
    EXPECT_EQ(b.op.shown[0].text, "Greska u podacima");
    EXPECT_EQ(b.op.shown[0].buttons, (std::vector<std::string>{"U redu", "Otkaz"}));
    EXPECT_TRUE(a.frmArt.BtnKEmpty.enabled);
}

TEST(Commands, PeriodicReportWithABadDateSendsNothing) {
    Bench b;
    b.writeWorkingConfig("DatumFormat=dd.MM.yyyy\n", 4);
    b.activate();
    b.clock.current = {2026, 12, 10, 9, 30, 0, 0};
    b.serial.written.clear();
    b.op.shown.clear();
    b.app().commands.Izvestaj(2, "2010-03-01", "31.03.2010");
    EXPECT_TRUE(b.serial.written.empty());
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].title, "Greska");
    EXPECT_EQ(b.op.shown[0].text, "Losa vrednost ulaznog parametra! Datum mora biti u formatu kao 10.12.2026");
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
    EXPECT_EQ(DekodirajGresku(0, 0, 0, 0), "");
    EXPECT_EQ(DekodirajGresku(0, 0, 0, 0x08), "/ Nema papira u fiskalnom stampacu(3)");
    EXPECT_EQ(DekodirajGresku(0, 0, 0x01, 0x08), "/ Nema papira u fiskalnom stampacu(3)/ Pogresna komanda(8)");
    EXPECT_EQ(DekodirajGresku(0, 0, 0, 0x80), "/ Rezervisano(7)");
    EXPECT_EQ(DekodirajGresku(0x01, 0, 0, 0x01),
              "/ Greska u fiskalnoj memoriji(0)"
              "/ Moguca promena (suma iznosa za placanje je veca ili jednaka od ukupnog iznosa za placanje(24)");
    const std::string all = DekodirajGresku(0xFF, 0xFF, 0xFF, 0xFF);
    EXPECT_EQ(all.rfind("/ Greska u fiskalnoj memoriji(0)", 0), 0u);
    EXPECT_NE(all.find("/ Prekoracenje u broju razlicitih artikala u bazi artikala(31)"), std::string::npos);
    EXPECT_EQ(std::count(all.begin(), all.end(), '/'), 32 + 2);  // two texts hold a slash of their own
}

}  // namespace kestora::test
