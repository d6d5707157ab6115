#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fakes.h"

namespace kestora::test {

struct KonfigTest : ::testing::Test {
    Bench b;
    KonfigForm& k() { return b.app().FrmKonf; }
    MainForm& f() { return b.app().Form1; }
    void SetUp() override {
        b.writeWorkingConfig();
        b.activate();
        b.click([](App& a) { a.Form1.BtnStart1Click(); });
        b.op.shown.clear();
    }
    void ok() { b.click([](App& a) { a.FrmKonf.BitBtn1Click(); }); }
    std::string fileText() const {
        std::ifstream in(b.dir.path / kConfigFileName);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(KonfigTest, ModelChangeRules) {
    struct Case { int from, to; bool tcpBefore; bool comAfter; bool roundingEnabled; };
    const Case cases[] = {
        {1, 4, false, true, false},  // rounding cleared and disabled, link choice kept
        {4, 4, true, false, false},  // printer keeps TCP
        {4, 1, true, true, true},    // leaving the printer forces "COM PORT"
        {4, 2, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + "->" + std::to_string(c.to));
        k().CBModelChange(c.from - 1);
        if (c.from == 1) k().cbZaokruziClick(true);
        if (c.tcpBefore) k().rbIPClick();
        k().CBModelChange(c.to - 1);
        EXPECT_EQ(k().rbCOM.checked, c.comAfter);
        EXPECT_EQ(k().rbIP.checked, !c.comAfter);
        EXPECT_EQ(k().cbZaokruzi.enabled, c.roundingEnabled);
        if (c.to != 1) {
            EXPECT_FALSE(k().cbZaokruzi.checked);
        }
    }
    EXPECT_TRUE(b.op.shown.empty());
}

TEST_F(KonfigTest, TcpAndRoundingAreRefusedForModelsWithoutThem) {
    k().CBModelChange(1);  // Ostra
    b.click([](App& a) { a.FrmKonf.rbIPClick(); });
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].title, "Greska");
    EXPECT_EQ(b.op.shown[0].text, "Izabrani model fiskalnog uredjaja ne podrzava ovu funkcionalnost!");
    EXPECT_TRUE(k().rbCOM.checked);
    EXPECT_FALSE(k().rbIP.checked);

    b.click([](App& a) { a.FrmKonf.cbZaokruziClick(true); });
    EXPECT_EQ(b.op.shown.size(), 2u);
    EXPECT_FALSE(k().cbZaokruzi.checked);
    // Unchecking needs no permission.
    b.click([](App& a) { a.FrmKonf.cbZaokruziClick(false); });
    EXPECT_EQ(b.op.shown.size(), 2u);
}

TEST_F(KonfigTest, RefusalsShowTheButtonSetOfThePreviousUser) {
    b.app().Dialog.prepare("x", "y", ButtonSet::Choice);
    k().CBModelChange(0);
    b.click([](App& a) { a.FrmKonf.rbIPClick(); });
    EXPECT_EQ(b.op.shown.back().buttons, (std::vector<std::string>{"Nastavi", "Zaustavi", "Ponovi"}));
}

TEST_F(KonfigTest, OkChecksInOrderAndLeavesTheWindowOpen) {
    struct Case { const char* what; std::function<void(KonfigForm&)> edit; const char* title; const char* text; };
    const Case cases[] = {
        {"letter in IBFM", [](KonfigForm& x) { x.EdtBroj.text = "12a456"; }, "GRESKA!", "Broj kase mora biti numericki!"},
        {"empty IBFM", [](KonfigForm& x) { x.EdtBroj.text = ""; }, "GRESKA!", "Svi parametri moraju biti definisani!"},
        {"TCP without address", [](KonfigForm& x) { x.CBModelChange(3); x.rbIPClick(); x.edtIP.text = "   "; }, "Greska", "Morate uneti IP adresu!"},
        {"IBFM before address", [](KonfigForm& x) { x.CBModelChange(3); x.rbIPClick(); x.edtIP.text = ""; x.EdtBroj.text = "1 2"; }, "GRESKA!", "Broj kase mora biti numericki!"},
        {"empty folder", [](KonfigForm& x) { x.EdtTraceArh.text = ""; }, "GRESKA!", "Svi parametri moraju biti definisani!"},
        {"length not whole", [](KonfigForm& x) { x.EdtDuzina.text = "dva"; }, "GRESKA!", kLengthNotWholeText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench bench;
        bench.writeWorkingConfig();
        bench.activate();
        const std::string before = [&] {
            std::ifstream in(bench.dir.path / kConfigFileName);
            std::stringstream s;
            s << in.rdbuf();
            return s.str();
        }();
        KonfigForm& form = bench.app().FrmKonf;
        form.window.showing = true;
        c.edit(form);
        bench.op.shown.clear();
        bench.click([](App& a) { a.FrmKonf.BitBtn1Click(); });
        ASSERT_EQ(bench.op.shown.size(), 1u);
        EXPECT_EQ(bench.op.shown[0].title, c.title);
        EXPECT_EQ(bench.op.shown[0].text, c.text);
        EXPECT_TRUE(form.window.showing);
        EXPECT_TRUE(bench.view.closed.empty());
        std::ifstream in(bench.dir.path / kConfigFileName);
        std::stringstream now;
        now << in.rdbuf();
        EXPECT_EQ(now.str(), before);
    }
}

TEST_F(KonfigTest, OkSavesAppliesAndReopensTheSerialPort) {
    k().window.showing = true;
    k().EdtTraceBon.text = b.folder("Bon").string();
    k().EdtDuzina.text = "40";
    k().CBPort.itemIndex = 4;
    k().CBModelChange(4);  // Belvia
    k().EdtBroj.text = "987654";
    k().edtIP.text = "  ";
    k().cbTray.checked = true;
    k().CBIsprazniBonFolder.itemIndex = 0;
    f().BtnStart.enabled = false;
    ok();
    EXPECT_TRUE(b.op.shown.empty());
    const std::string text = fileText();
    for (const char* line : {"Duzina=40", "Port=5", "Model=5", "IBFM=987654", "Konekcija=0", "IP=\n", "Zaokruzi=0",
                             "Tray=1", "IsprazniBonFolder=1"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(f().NameLength, 40);
    EXPECT_EQ(f().Model, 5);
    EXPECT_EQ(f().IbfmText, "987654");
    EXPECT_EQ(f().PortText, "5");
    EXPECT_EQ(f().IpText, "");
    EXPECT_EQ(b.app().link.ComPortName, "COM5");
    EXPECT_EQ(b.serial.opens.back(), "/dev/ttyS4");
    EXPECT_TRUE(b.serial.isOpen());
    EXPECT_EQ(f().BtnKonfig.top, 131);
    EXPECT_FALSE(f().BtnIzvestaji.visible);
    EXPECT_EQ(f().minimizeHandler, MinimizeHandler::ToTray);
    EXPECT_TRUE(f().BtnStart.enabled && f().BitBtn1.enabled && f().BtnIzvestaji.enabled);
    EXPECT_FALSE(k().window.showing);
    EXPECT_EQ(b.view.closed, std::vector<WindowId>{WindowId::Konfig});
}

TEST_F(KonfigTest, OkWithAPortThatStaysClosedKeepsTheSavedConfiguration) {
    k().window.showing = true;
    k().CBModelChange(0);
    b.serial.reportsClosed = true;
    f().BtnStart.enabled = false;
    ok();
    EXPECT_EQ(b.op.shown.back().title, "Greska");
    EXPECT_EQ(b.op.shown.back().text, "Port nije otvoren! Proverite kablove.");
    EXPECT_NE(fileText().find("Model=1"), std::string::npos);
    EXPECT_EQ(f().Model, 1);
    EXPECT_FALSE(f().BtnStart.enabled);
    EXPECT_TRUE(k().window.showing);

    b.serial.reportsClosed = false;
    b.serial.failOpen = true;
    ok();
    EXPECT_EQ(b.op.shown.back().kind, "error");  // the platform's own message
    EXPECT_TRUE(k().window.showing);
}

TEST_F(KonfigTest, OkWithTcpReconnects) {
    k().window.showing = true;
    k().CBModelChange(3);
    k().rbIPClick();
    k().edtIP.text = " 127.0.0.1:5001 ";
    ok();
    EXPECT_NE(fileText().find("IP=127.0.0.1:5001\n"), std::string::npos);
    EXPECT_NE(fileText().find("Konekcija=1"), std::string::npos);
    EXPECT_EQ(b.tcp.connects.back(), "127.0.0.1:5001/3000");
    EXPECT_EQ(b.clock.pauses.back(), 1000);
    EXPECT_EQ(f().BtnIzvestaji.top, 131);
    EXPECT_EQ(f().BtnKonfig.top, 180);
    EXPECT_TRUE(b.app().frmArt.BtnSync.visible);

    k().window.showing = true;
    b.tcp.failConnect = true;
    ok();
    EXPECT_EQ(b.op.shown.back().title, "GRESKA");
    EXPECT_EQ(b.op.shown.back().text, "Problem u uspostavljanju konekcije! Proverite kablove");
    EXPECT_TRUE(k().window.showing);
}

TEST_F(KonfigTest, OtkazKeepsTheTypedValuesAsLiveSettings) {
    k().window.showing = true;
    k().EdtTraceBon.text = "/nowhere";
    b.click([](App& a) { a.FrmKonf.BitBtn2Click(); });
    EXPECT_FALSE(k().window.showing);
    EXPECT_EQ(k().EdtTraceBon.text, "/nowhere");
    EXPECT_EQ(fileText().find("/nowhere"), std::string::npos);
    b.click([](App& a) { a.Form1.BtnStartClick(); });
    EXPECT_EQ(b.op.shown.back().text, "Nisu nadjeni svi potrebni direktorijumi!!!");
}

}  // namespace kestora::test
