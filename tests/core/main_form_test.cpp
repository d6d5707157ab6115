#include <gtest/gtest.h>

#include <fstream>

#include "fakes.h"
#include "link/frame.h"

namespace kestora::test {

struct MainFormTest : ::testing::Test {
    Bench b;
    App& app() { return b.app(); }
    MainForm& form() { return b.app().Form1; }
    KonfigForm& konf() { return b.app().FrmKonf; }
    const Shown& last() const { return b.op.shown.back(); }
    void touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }
};

TEST_F(MainFormTest, WithoutConfigurationTheControlsHoldTheBuiltInRecord) {
    b.activate();
    const std::string home = std::getenv("HOME");
    EXPECT_EQ(konf().EdtTraceBon.text, home + "/Ulex/Bon");
    EXPECT_EQ(konf().EdtTraceToCam.text, home + "/Ulex/UKasu");
    EXPECT_EQ(konf().EdtTraceFromCam.text, home + "/Ulex/IzKase");
    EXPECT_EQ(konf().EdtTraceArh.text, home + "/Ulex/Arhiva");
    EXPECT_EQ(konf().EdtDuzina.text, "33");
    EXPECT_EQ(konf().CBPort.items[static_cast<std::size_t>(konf().CBPort.itemIndex)], "COM2");
    EXPECT_EQ(konf().CBModel.items[static_cast<std::size_t>(konf().CBModel.itemIndex)], "Orvo Tavor");
    EXPECT_EQ(konf().EdtBroj.text, "000000");
    EXPECT_TRUE(konf().rbCOM.checked);
    EXPECT_FALSE(konf().rbIP.checked);
    EXPECT_EQ(konf().edtIP.text, "0.0.0.0");
    EXPECT_FALSE(konf().cbZaokruzi.checked);
    EXPECT_FALSE(konf().cbTray.checked);
    EXPECT_EQ(konf().CBIsprazniBonFolder.itemIndex, 2);
    EXPECT_EQ(form().Model, 4);
    EXPECT_EQ(form().NameLength, 33);
    EXPECT_EQ(app().link.ComPortName, "COM2");
    EXPECT_EQ(b.serial.opens.at(0), "/dev/ttyS1");
}

TEST_F(MainFormTest, ActivationResetsStateSeedsSequenceAndSetsCaptions) {
    b.writeWorkingConfig();
    b.random.value = 49;
    form().ReceiptActive = form().Step = form().CmdFileActive = 1;
    app().link.rx.append(0xAA);
    b.activate();
    EXPECT_EQ(b.random.seeded, 1);
    EXPECT_EQ(form().FrameSeq, 49u);
    EXPECT_EQ(form().ReceiptActive, 0);
    EXPECT_EQ(form().Step, 0);
    EXPECT_EQ(form().CmdFileActive, 0);
    EXPECT_EQ(app().link.rx.RxLength, 0);
    EXPECT_EQ(form().window.caption, "Kestora v3.5.3");
    EXPECT_EQ(app().uputstvo.window.caption, "Kestora v3.5.3");
    EXPECT_EQ(konf().window.caption, "Podesavanje parametara");
    EXPECT_EQ(app().frmArt.window.caption, "Artikli");
    EXPECT_EQ(app().frmArt.BtnKEmpty.caption, "Isprazni kasu");
    EXPECT_EQ(app().frmIzvestaji.BtnOperateri.caption, "IZVESTAJ PO KASIRIMA");
    EXPECT_EQ(form().Running, 1);  // activation ends with Start
    EXPECT_TRUE(form().Timer.enabled());
}

TEST_F(MainFormTest, OutOfRangeAndBrokenValuesLeaveTheBuiltInState) {
    b.writeConfig("[Konfiguracija]\nPort=9\nModel=7\nDuzina=x\nKonekcija=5\nTray=2\nIsprazniBonFolder=0\nZaokruzi=3\n");
    b.serial.failOpen = true;
    b.activate();
    EXPECT_EQ(app().link.ComPortName, "COM1");
    EXPECT_EQ(konf().CBPort.itemIndex, 1);
    EXPECT_EQ(konf().CBModel.itemIndex, 3);
    EXPECT_EQ(form().Model, 4);
    EXPECT_EQ(konf().EdtDuzina.text, "33");
    EXPECT_EQ(form().NameLength, 33);
    EXPECT_TRUE(konf().rbCOM.checked);
    EXPECT_FALSE(konf().cbTray.checked);
    EXPECT_EQ(konf().CBIsprazniBonFolder.itemIndex, 2);
    EXPECT_FALSE(konf().cbZaokruzi.checked);
    EXPECT_EQ(b.op.shown.size(), 1u);  // only the instructions: nothing was reported
}

TEST_F(MainFormTest, StoredChoicesTheModelRefusesAreRefusedAtLoad) {
    b.writeWorkingConfig("Konekcija=1\nZaokruzi=1\n", 2);
    b.activate();
    ASSERT_GE(b.op.shown.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(b.op.shown[static_cast<std::size_t>(i)].title, "Greska");
        EXPECT_EQ(b.op.shown[static_cast<std::size_t>(i)].text, kNotSupportedText);
    }
    EXPECT_TRUE(konf().rbCOM.checked);
    EXPECT_FALSE(konf().cbZaokruzi.checked);
    EXPECT_FALSE(konf().cbZaokruzi.enabled);
    EXPECT_TRUE(b.tcp.connects.empty());
}

TEST_F(MainFormTest, RoundingOnModelOneLoadsCheckedAndEnabled) {
    b.writeWorkingConfig("Zaokruzi=1\n", 1);
    b.activate();
    EXPECT_TRUE(konf().cbZaokruzi.checked);
    EXPECT_TRUE(konf().cbZaokruzi.enabled);
    EXPECT_TRUE(b.op.shown.empty());
}

TEST_F(MainFormTest, LinkFailuresAtActivationShowTheInstructions) {
    struct Case { bool failOpen, reportsClosed, tcp, failConnect, buttonsDisabled; };
    const Case cases[] = {
        {true, false, false, false, true},   // the open call fails
        {false, true, false, false, false},  // opened, but not open afterwards
        {false, false, true, true, true},    // no TCP connection
    };
    for (const Case& c : cases) {
        Bench bench;
        bench.writeWorkingConfig(c.tcp ? "Konekcija=1\nIP=192.0.2.1:4001\n" : "", c.tcp ? 4 : 1);
        bench.serial.failOpen = c.failOpen;
        bench.serial.reportsClosed = c.reportsClosed;
        bench.tcp.failConnect = c.failConnect;
        bench.activate();
        MainForm& f = bench.app().Form1;
        ASSERT_EQ(bench.op.shown.size(), 1u);
        EXPECT_EQ(bench.op.shown[0].kind, "instructions");
        EXPECT_EQ(bench.op.shown[0].title, "Kestora v3.5.3");
        EXPECT_EQ(f.BtnStart.enabled, !c.buttonsDisabled);
        EXPECT_EQ(f.BitBtn1.enabled, !c.buttonsDisabled);
        EXPECT_EQ(f.BtnIzvestaji.enabled, !c.buttonsDisabled);
        EXPECT_EQ(f.Running, 0);  // no Start
        if (c.tcp) {
            EXPECT_EQ(bench.tcp.connects.at(0), "192.0.2.1:4001/3000");
        }
    }
}

TEST_F(MainFormTest, InstructionsTextIsTheSevenLines) {
    b.serial.failOpen = true;
    b.activate();
    EXPECT_EQ(last().text,
              "KORACI PRE PRVOG POKRETANJA PROGRAMA \"KESTORA\":\n"
              "1.    Pritisnite komandno dugme KONFIGURACIJA\n"
              "2.    Izvrsite konfiguraciju programa (COM port, Model kase, Broj kase...)\n"
              "\n"
              "KORACI PRE SVAKOG POKRETANJA PROGRAMA \"KESTORA\":\n"
              "1.   Fiskalna kasa mora biti povezana sa racunarom i ukljucena.\n"
              "2.   Fiskalna kasa mora biti prebacena u odgovarajuci rezim rada.\n");
}

TEST_F(MainFormTest, ButtonsArePlacedByModel) {
    for (int model = 1; model <= 5; ++model) {
        Bench bench;
        bench.writeWorkingConfig("", model);
        bench.activate();
        MainForm& f = bench.app().Form1;
        SCOPED_TRACE(model);
        EXPECT_EQ(f.BtnIzvestaji.visible, model == 4);
        EXPECT_EQ(bench.app().frmArt.BtnSync.visible, model == 4);
        EXPECT_EQ(f.BtnKonfig.top, model == 4 ? 180 : 131);
        if (model == 4) {
            EXPECT_EQ(f.BtnIzvestaji.top, 131);
        }
    }
}

TEST_F(MainFormTest, StartChecksSettingsAndFolders) {
    struct Case { const char* what; std::function<void(Bench&)> spoil; const char* title; const char* text; };
    const Case cases[] = {
        {"empty folder box", [](Bench& x) { x.app().FrmKonf.EdtTraceToCam.text.clear(); }, "Greska !!!", "Podesite sve parametre!!!"},
        {"empty IBFM", [](Bench& x) { x.app().FrmKonf.EdtBroj.text.clear(); }, "Greska !!!", "Podesite sve parametre!!!"},
        {"missing archive", [](Bench& x) { std::filesystem::remove(x.folder("Arhiva")); }, "Greska !!!", "Nisu nadjeni svi potrebni direktorijumi!!!"},
        {"length not whole", [](Bench& x) { x.app().FrmKonf.EdtDuzina.text = "3x"; }, "Greska !!!", kLengthNotWholeText},
        {"port fails", [](Bench& x) { x.serial.failOpen = true; }, "GRESKA", "Problem u otvaranju porta."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench bench;
        bench.writeWorkingConfig();
        bench.activate();
        bench.click([](App& a) { a.Form1.BtnStart1Click(); });
        c.spoil(bench);
        bench.click([](App& a) { a.Form1.BtnStartClick(); });
        MainForm& f = bench.app().Form1;
        ASSERT_FALSE(bench.op.shown.empty());
        EXPECT_EQ(bench.op.shown.back().title, c.title);
        EXPECT_EQ(bench.op.shown.back().text, c.text);
        EXPECT_EQ(bench.op.shown.back().buttons, (std::vector<std::string>{"U redu", "Otkaz"}));
        EXPECT_EQ(f.Running, 0);
        EXPECT_TRUE(f.BtnStart.visible);
        EXPECT_FALSE(f.BtnStart1.visible);
        EXPECT_FALSE(f.Timer.enabled());
    }
}

TEST_F(MainFormTest, RunningAndStoppedStates) {
    b.writeWorkingConfig();
    b.activate();
    EXPECT_EQ(form().Running, 1);
    EXPECT_FALSE(form().BtnStart.visible);
    EXPECT_TRUE(form().BtnStart1.visible);
    EXPECT_FALSE(form().BitBtn1.enabled);
    EXPECT_FALSE(form().BtnKonfig.enabled);
    EXPECT_FALSE(form().BtnIzvestaji.enabled);
    EXPECT_TRUE(form().Timer.enabled());
    EXPECT_TRUE(b.serial.isOpen());

    form().BonFileName = "00017.bon";
    b.click([](App& a) { a.Form1.BtnStart1Click(); });
    EXPECT_EQ(form().Running, 0);
    EXPECT_TRUE(form().BtnStart.visible);
    EXPECT_FALSE(form().BtnStart1.visible);
    EXPECT_TRUE(form().BitBtn1.enabled && form().BtnKonfig.enabled && form().BtnIzvestaji.enabled);
    EXPECT_FALSE(form().Timer.enabled());
    EXPECT_FALSE(b.serial.isOpen());
    EXPECT_TRUE(form().BonFileName.empty());

    // Start again reopens the port; a click on Start while running stops
    // without touching the link.
    b.click([](App& a) { a.Form1.BtnStartClick(); });
    EXPECT_EQ(form().Running, 1);
    EXPECT_TRUE(b.serial.isOpen());
    b.click([](App& a) { a.Form1.BtnStartClick(); });
    EXPECT_EQ(form().Running, 0);
    EXPECT_TRUE(b.serial.isOpen());
    EXPECT_FALSE(form().Timer.enabled());
}

TEST_F(MainFormTest, ReceiptFolderOptions) {
    struct Case { int option; std::deque<int> answers; bool files; bool asked; bool deleted; };
    const Case cases[] = {
        {1, {}, true, false, false},   // "NE"
        {2, {}, true, false, true},    // "DA"
        {3, {1}, true, true, true},    // "DA, SA UPOZORENJEM", "Da"
        {3, {2}, true, true, false},   // "Ne"
        {3, {}, false, false, false},  // empty folder: nothing asked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        Bench bench;
        bench.writeWorkingConfig("IsprazniBonFolder=" + std::to_string(c.option) + "\n");
        if (c.files) {
            std::filesystem::create_directories(bench.folder("Bon") / "sub");
            std::ofstream(bench.folder("Bon") / "00017.bon") << "x";
            std::ofstream(bench.folder("Bon") / "notes.txt") << "x";
        }
        bench.op.answers = c.answers;
        bench.activate();
        const bool asked = !bench.op.shown.empty();
        EXPECT_EQ(asked, c.asked);
        if (asked) {
            EXPECT_EQ(bench.op.shown[0].kind, "yesno");
            EXPECT_EQ(bench.op.shown[0].title, "Potvrda!");
            EXPECT_EQ(bench.op.shown[0].text,
                      "U folderu za racune pronadjene su datoteke sa racunima. Da li zelite da obrisete ove datoteke?");
            EXPECT_EQ(bench.op.shown[0].buttons, (std::vector<std::string>{"Da", "Ne"}));
        }
        if (c.files) {
            EXPECT_EQ(std::filesystem::exists(bench.folder("Bon") / "00017.bon"), !c.deleted);
            EXPECT_EQ(std::filesystem::exists(bench.folder("Bon") / "notes.txt"), !c.deleted);
        }
        if (c.files) {
            EXPECT_TRUE(std::filesystem::is_directory(bench.folder("Bon") / "sub"));
        }
        EXPECT_EQ(bench.app().Form1.Running, 1);  // Start goes on in every case
    }
}

TEST_F(MainFormTest, PrinterStartsWithStatusRequestInsteadOfTheFolderTimer) {
    b.writeWorkingConfig("", 4);
    b.random.value = 7;
    b.activate();
    EXPECT_EQ(form().Running, 1);
    EXPECT_FALSE(form().Timer.enabled());
    EXPECT_TRUE(form().TimerKasa.enabled());
    EXPECT_EQ(form().ServiceWaiting, 1);
    EXPECT_EQ(form().Step, 1);
    ASSERT_EQ(b.serial.written.size(), 1u);
    EXPECT_EQ(b.serial.written[0], (Bytes{0xAA, 0x04, 0x01, 0x12, 0x34, 0x56, 0x07, 0x0D, 0x00,
                                          static_cast<std::uint8_t>(0xAA + 0x04 + 0x01 + 0x12 + 0x34 + 0x56 + 0x07 + 0x0D),
                                          static_cast<std::uint8_t>(0xAA ^ 0x04 ^ 0x01 ^ 0x12 ^ 0x34 ^ 0x56 ^ 0x07 ^ 0x0D),
                                          0x0D}));
    EXPECT_EQ(StoredFrameLength(app().link.ServiceFrame), 12);
}

TEST_F(MainFormTest, TcpStartReconnectsAfterAPause) {
    b.writeWorkingConfig("Konekcija=1\nIP= printer.local \n", 4);
    b.activate();
    EXPECT_EQ(b.tcp.connects.size(), 2u);  // activation, then Start
    EXPECT_EQ(b.tcp.disconnects, 1);
    EXPECT_EQ(b.clock.pauses, std::vector<int>{1000});
    EXPECT_EQ(b.tcp.connects[1], "printer.local:1024/3000");
    EXPECT_EQ(b.tcp.written.size(), 1u);  // the status request goes over TCP
    EXPECT_TRUE(b.serial.opens.empty());

    b.click([](App& a) { a.Form1.BtnStart1Click(); });
    b.tcp.failConnect = true;
    b.click([](App& a) { a.Form1.BtnStartClick(); });
    EXPECT_EQ(last().title, "GRESKA");
    EXPECT_EQ(last().text, "Problem u uspostavljanju konekcije! Proverite kablove");
    EXPECT_EQ(form().Running, 0);
}

TEST_F(MainFormTest, ArticlesButton) {
    b.writeWorkingConfig();
    b.activate();
    b.click([](App& a) { a.Form1.BtnStart1Click(); });
    konf().EdtBroj.text.clear();
    b.click([](App& a) { a.Form1.BitBtn1Click(); });
    EXPECT_EQ(last().title, "Greska !!!");
    EXPECT_EQ(last().text, "Podesite parametre!!!");
    EXPECT_TRUE(b.view.modals.empty());

    konf().EdtBroj.text = "123456";
    form().ReceiptActive = 1;
    app().frmArt.ArtAbort = 1;
    b.view.onModal = [this](WindowId id) {
        EXPECT_EQ(id, WindowId::Articles);
        EXPECT_EQ(app().frmArt.ArtAbort, 0);
        EXPECT_TRUE(b.serial.isOpen());
        app().frmArt.BtnPromeniClick();
    };
    b.click([](App& a) { a.Form1.BitBtn1Click(); });
    EXPECT_EQ(b.view.modals.size(), 1u);
    EXPECT_EQ(form().ReceiptActive, 0);
    EXPECT_EQ(app().frmArt.ArtAbort, 1);
}

TEST_F(MainFormTest, ConfigurationButtonClosesThePortFirst) {
    b.writeWorkingConfig();
    b.activate();
    b.click([](App& a) { a.Form1.BtnStart1Click(); });
    b.click([](App& a) { a.Form1.BtnStartClick(); });
    b.click([](App& a) { a.Form1.BtnStart1Click(); });
    b.serial.open("/dev/ttyS0");
    b.view.onModal = [this](WindowId id) {
        EXPECT_EQ(id, WindowId::Konfig);
        EXPECT_FALSE(b.serial.isOpen());
        app().FrmKonf.BitBtn2Click();
    };
    b.click([](App& a) { a.Form1.BtnKonfigClick(); });
    EXPECT_EQ(b.view.modals, std::vector<WindowId>{WindowId::Konfig});
    EXPECT_FALSE(b.serial.isOpen());  // closed until Start
}

TEST_F(MainFormTest, ReportsButtonOpensTheLinkFirst) {
    b.writeWorkingConfig("Konekcija=1\nIP=127.0.0.1\n", 4);
    b.activate();
    b.click([](App& a) { a.Form1.BtnStart1Click(); });
    b.tcp.disconnect();
    b.tcp.failConnect = true;
    b.click([](App& a) { a.Form1.BtnIzvestajiClick(); });
    EXPECT_EQ(last().text, "Problem u uspostavljanju konekcije! Proverite kablove");
    EXPECT_TRUE(b.view.modals.empty());
    b.tcp.failConnect = false;
    b.click([](App& a) { a.Form1.BtnIzvestajiClick(); });
    EXPECT_EQ(b.view.modals, std::vector<WindowId>{WindowId::Reports});
    EXPECT_TRUE(b.tcp.connected());
}

TEST_F(MainFormTest, ClosingOnModelFiveOffersToLeaveThePrinterMode) {
    struct Case { int model; std::deque<int> answers; bool asked; bool sent; };
    const Case cases[] = {{5, {1}, true, true}, {5, {2}, true, false}, {1, {}, false, false}};
    for (const Case& c : cases) {
        Bench bench;
        bench.writeWorkingConfig("", c.model);
        bench.activate();
        bench.serial.written.clear();
        bench.op.answers = c.answers;
        bench.click([](App& a) { a.Form1.Zatvori1Click(); });
        EXPECT_EQ(!bench.op.shown.empty(), c.asked);
        if (c.asked) {
            EXPECT_EQ(bench.op.shown[0].title, "Potvrda!");
            EXPECT_EQ(bench.op.shown[0].text, "Da li zelite da izadjete iz rezima fiskalnog stampaca?");
        }
        EXPECT_EQ(bench.serial.written.size(), c.sent ? 1u : 0u);
        if (c.sent) {
            EXPECT_EQ(bench.serial.written[0][1], 0x05);
        }
        EXPECT_EQ(bench.view.quits, 1);
    }
}

TEST_F(MainFormTest, ClosingDisconnectsTcpAndSurvivesAWriteError) {
    b.writeWorkingConfig("", 5);
    b.activate();
    b.serial.close();  // the leave-printer-mode frame cannot be written
    b.op.answers = {1};
    b.click([](App& a) { a.Form1.FormClose(); });
    EXPECT_EQ(b.op.shown.back().kind, "error");
    EXPECT_EQ(b.view.quits, 1);
    b.click([](App& a) { a.Form1.FormClose(); });  // a second close does nothing
    EXPECT_EQ(b.view.quits, 1);

    Bench tcp;
    tcp.writeWorkingConfig("Konekcija=1\nIP=127.0.0.1\n", 4);
    tcp.activate();
    tcp.click([](App& a) { a.Form1.FormClose(); });
    EXPECT_FALSE(tcp.tcp.connected());
}

TEST_F(MainFormTest, TrayOption) {
    b.writeWorkingConfig("Tray=1\n");
    b.activate();
    EXPECT_EQ(form().minimizeHandler, MinimizeHandler::ToTray);
    b.click([](App& a) { a.Form1.Minimize(); });
    EXPECT_TRUE(form().trayIconShown);
    EXPECT_FALSE(form().window.showing);
    b.click([](App& a) { a.Form1.Vratiti1Click(); });
    EXPECT_FALSE(form().trayIconShown);
    EXPECT_TRUE(form().window.showing);
    EXPECT_EQ(b.view.restores, 1);

    // Where no notification area exists, minimising stays ordinary.
    b.view.trayAvailable = false;
    b.click([](App& a) { a.Form1.Minimize(); });
    EXPECT_FALSE(form().trayIconShown);
    EXPECT_TRUE(form().window.showing);

    konf().cbTray.checked = false;
    form().Podesi();
    EXPECT_EQ(form().minimizeHandler, MinimizeHandler::Normalni);
    b.view.trayAvailable = true;
    b.click([](App& a) { a.Form1.Minimize(); });
    EXPECT_FALSE(form().trayIconShown);
}

TEST_F(MainFormTest, PlatformErrorsEndTheHandlerWithAMessage) {
    b.writeWorkingConfig();
    b.activate();
    b.click([](App&) { throw PlatformError("Port nije otvoren."); });
    EXPECT_EQ(last().kind, "error");
    EXPECT_EQ(last().text, "Port nije otvoren.");
}

TEST_F(MainFormTest, TicksAndBytesDuringAPauseWaitForItsEnd) {
    b.writeWorkingConfig();
    b.activate();
    std::vector<std::string> order;
    b.clock.pauses.clear();
    FakeClock& clock = b.clock;
    struct PausingClock : Clock {
        App* app;
        std::vector<std::string>* order;
        LocalDateTime now() override { return {}; }
        void pause(int) override {
            app->deferrableEntry([this] { order->push_back("tick"); });
            order->push_back("pause over");
        }
    } pausing;
    pausing.app = &app();
    pausing.order = &order;
    app().ports.clock = &pausing;
    b.click([&order](App& a) {
        a.pause(300);
        order.push_back("write");
    });
    app().ports.clock = &clock;
    EXPECT_EQ(order, (std::vector<std::string>{"pause over", "write", "tick"}));
}

}  // namespace kestora::test
