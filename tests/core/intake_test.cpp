#include <gtest/gtest.h>

#include <fstream>

#include "fakes.h"
#include "link/frame.h"

namespace kestora::test {

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string goodReceipt() {
    const std::string name = "MLEKO" + std::string(28, ' ');
    return "100050320091430ABCDEFG07\r\n200" + name + "    1000    1000008600123456789 2\r\n300    1000 0\r\n\r\n";
}

}  // namespace

struct IntakeBench {
    Bench b;
    int checked = 0;
    int emptied = 0;
    App& app() { return b.app(); }
    void start(int model) {
        b.writeWorkingConfig("DatumFormat=dd.MM.yyyy\n", model);
        b.activate();
        app().intake.onReceiptChecked = [this] { ++checked; };
        app().intake.startEmptying = [this] { ++emptied; };
        app().Form1.Timer.setEnabled(true);  // the printer waits for its idle answer otherwise
        b.serial.written.clear();
        b.clock.current = {2009, 3, 5, 10, 0, 0, 0};
    }
    void put(const char* folder, const std::string& name, const std::string& body = "") {
        std::ofstream(b.folder(folder) / name, std::ios::binary) << body;
    }
    // Two ticks: a file is taken once it has stayed the same for one tick.
    void ticks(int n = 2) {
        for (int i = 0; i < n; ++i) b.click([](App& a) { a.Form1.Timer.fire(); });
    }
    std::string opis(const std::string& name) { return slurp(b.folder("IzKase") / name); }
    bool archived(const std::string& name) { return fs::exists(b.folder("Arhiva") / "5-3-2009" / name); }
};

struct IntakeTest : ::testing::Test, IntakeBench {};

TEST_F(IntakeTest, CommandFilesComeFirstAndFilesAreTakenInNameOrder) {
    start(1);
    put("Bon", "00002.bon", goodReceipt());
    put("Bon", "00001.BON", goodReceipt());
    put("Bon", ".00000.bon", goodReceipt());
    put("Bon", "00000.txt", "x");
    fs::create_directories(b.folder("Bon") / "00000.bon");
    put("UKasu", "notes.txt", "x");
    ticks();
    // The stray command file goes first, to the error folder.
    EXPECT_EQ(opis("notes.txt.opis"), "\r\nNepoznata komanda!\r\n");
    EXPECT_TRUE(fs::exists(b.folder("IzKase") / "no.err"));
    EXPECT_EQ(checked, 0);
    EXPECT_TRUE(app().Form1.Timer.enabled());  // a refused command does not stop watching
    ticks(1);
    EXPECT_EQ(app().Form1.BonFileName, "00001.BON");
    EXPECT_EQ(checked, 1);
    EXPECT_FALSE(app().Form1.Timer.enabled());
}

TEST_F(IntakeTest, AFileStillChangingWaits) {
    start(1);
    put("Bon", "00001.bon", "100");
    ticks(1);
    EXPECT_EQ(checked, 0);
    put("Bon", "00001.bon", goodReceipt());  // grew since the last tick
    ticks(1);
    EXPECT_EQ(checked, 0);
    ticks(1);
    EXPECT_EQ(checked, 1);
}

TEST_F(IntakeTest, TheReceiptInWorkIsNotTakenAgain) {
    start(1);
    put("Bon", "00001.bon", goodReceipt());
    put("Bon", "00002.bon", goodReceipt());
    app().Form1.BonFileName = "00001.bon";
    ticks(3);
    EXPECT_EQ(checked, 0);
    EXPECT_EQ(app().Form1.BonFileName, "00001.bon");
}

TEST_F(IntakeTest, CommandFilesByModel) {
    struct Case { const char* file; std::string body; int model; bool started; std::string refusal; };
    const Case cases[] = {
        {"of.SYS", "", 1, true, ""},
        {"OF.sys", "", 2, false, "Komandu za otvaranje fioke moguce je koristiti samo kod kase Vireo i Belvia i stampaca Tavor!"},
        {"OF.sys", "", 4, true, ""},
        {"PD1.sys", "Dobar dan\r\n", 4, true, ""},
        {"PD2.sys", "", 1, false, "Komandu za prikaz na displeju moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"PD0.sys", "tekst", 4, true, ""},
        {"FT.sys", "", 5, false, "Komandu za stampanje slobodnog teksta moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"DI.sys", "", 4, true, ""},
        {"DI.sys", "", 3, false, "Komandu za stampanje dnevnog izvestaja moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"PS.sys", "", 2, false, "Komandu za stampanje preseka stanja moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"PI.sys", "", 1, false, "Komandu za stampanje periodicnog izvestaja moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"AI.sys", "", 1, false, "Komandu za stampanje izvestaja po artiklima moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"AIB.sys", "", 1, false, "Komandu za izvestaj po artiklima moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"OI.sys", "", 5, false, "Komandu za stampanje izvestaja po odeljenjima moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"KI.sys", "", 5, false, "Komandu za stampanje izvestaja po kasirima moguce je koristiti samo kod stampaca Orvo Tavor!"},
        {"IK.sys", "", 2, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " on model " + std::to_string(c.model));
        IntakeBench t;
        t.start(c.model);
        t.put("UKasu", c.file, c.body);
        t.ticks();
        App& a = t.app();
        EXPECT_EQ(a.intake.CmdFileName, c.file);
        EXPECT_EQ(a.Form1.CmdFileActive, c.started ? 1 : 0);
        EXPECT_EQ(a.Form1.Timer.enabled(), !c.started);
        if (c.started) {
            EXPECT_TRUE(fs::exists(t.b.folder("UKasu") / c.file));  // the answer moves it
        } else {
            EXPECT_EQ(t.opis(std::string(c.file) + ".opis"), "\r\n" + c.refusal + "\r\n");
        }
    }
}

TEST_F(IntakeTest, CommandFramesCarryTheFileContent) {
    start(4);
    put("UKasu", "PD1.sys", "Dobar dan   \r\n");
    ticks();
    ASSERT_EQ(b.serial.written.size(), 1u);
    const Bytes& f = b.serial.written[0];
    EXPECT_EQ(f.size(), 33u);
    EXPECT_EQ(f[7], 0x1D);
    EXPECT_EQ(f[9], 0x00);
    EXPECT_EQ(std::string(f.begin() + 10, f.begin() + 19), "Dobar dan");
    EXPECT_EQ(f[19], 0x00);  // trailing blanks removed

    IntakeBench clear;
    clear.start(4);
    clear.put("UKasu", "PD0.sys", "ignored text");
    clear.ticks();
    ASSERT_EQ(clear.b.serial.written.size(), 1u);
    EXPECT_EQ(clear.b.serial.written[0].size(), 13u);
    EXPECT_EQ(clear.b.serial.written[0][9], 0x02);

    IntakeBench drawer;
    drawer.start(1);
    drawer.put("UKasu", "OF.sys");
    drawer.ticks();
    ASSERT_EQ(drawer.b.serial.written.size(), 1u);
    EXPECT_EQ(drawer.b.serial.written[0][7], 0x29);
    // The frame goes out plainly (no stored copy); its answer is watched.
    EXPECT_EQ(StoredFrameLength(drawer.app().link.ServiceFrame), 0);
    EXPECT_TRUE(drawer.app().Form1.TimerKasa.enabled());
    EXPECT_EQ(drawer.app().conversation.DrawerWaiting, 1);
}

TEST_F(IntakeTest, ReportParameters) {
    struct Case { const char* file; std::string body; bool accepted; int kind; int clearTotals; };
    const Case cases[] = {
        {"AI.sys", "10\r\n5\r\n", true, 3, 1},
        {"AIB.sys", "  1\r\n60000\r\n", true, 3, 0},
        {"AI.sys", "0\r\n5\r\n", false, 0, 0},
        {"AI.sys", "-3\r\n5\r\n", false, 0, 0},
        {"AI.sys", "1\r\n", false, 0, 0},  // a missing line reads as empty
        {"OI.sys", "1\r\n16\r\n", true, 4, 0},
        {"OI.sys", "1\r\n17\r\n", false, 0, 0},
        {"KI.sys", "64\r\n1\r\n", true, 5, 0},
        {"KI.sys", "65\r\n1\r\n", false, 0, 0},
        {"PI.sys", "01.03.2010\r\n31.03.2010\r\n", true, 2, 0},
        {"PI.sys", "2010-03-01\r\n2010-03-31\r\n", false, 0, 0},
        {"PI.sys", "31.02.2010\r\n01.03.2010\r\n", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.body);
        IntakeBench t;
        t.start(4);
        t.put("UKasu", c.file, c.body);
        t.ticks();
        App& a = t.app();
        EXPECT_EQ(a.Form1.ClearTotalsPending, c.clearTotals);
        if (c.accepted) {
            ASSERT_EQ(t.b.serial.written.size(), 1u);
            const Bytes& f = t.b.serial.written[0];
            EXPECT_EQ(f[7], 0x08);
            EXPECT_EQ(f[9], c.kind);
            EXPECT_EQ(a.Form1.CmdFileActive, 1);
            if (c.kind == 2) {
                const Bytes from{f.begin() + 10, f.begin() + 14}, to{f.begin() + 14, f.begin() + 18};
                EXPECT_EQ(from, (Bytes{0xCD, 0x87, 0x01, 0x00}));  // 100301
                EXPECT_EQ(to, (Bytes{0xEB, 0x87, 0x01, 0x00}));    // 100331
            }
        } else {
            EXPECT_TRUE(t.b.serial.written.empty());
            EXPECT_EQ(t.opis(std::string(c.file) + ".opis"), "\r\nLosi parametri u fajlu!\r\n");
            EXPECT_EQ(a.Form1.CmdFileActive, 0);
            EXPECT_TRUE(a.Form1.Timer.enabled());
        }
    }
}

TEST_F(IntakeTest, FreeText) {
    start(4);
    put("UKasu", "FT.sys", "");
    ticks();
    EXPECT_TRUE(archived("FT.sys"));  // empty: done, nothing sent
    EXPECT_TRUE(b.serial.written.empty());
    EXPECT_EQ(app().Form1.CmdFileActive, 0);
    EXPECT_TRUE(app().Form1.Timer.enabled());

    put("UKasu", "FT.sys", "Hvala   \r\nna poseti\r\n");
    ticks();
    const auto& lines = app().intake.FreeTextLines;
    EXPECT_EQ(lines[0].lineNumber, 1);
    EXPECT_EQ(lines[0].text, "Hvala");
    EXPECT_EQ(lines[1].text, "na poseti");
    EXPECT_EQ(lines[2].lineNumber, 0);
    ASSERT_EQ(b.serial.written.size(), 1u);
    EXPECT_EQ(b.serial.written[0][7], 0x07);  // the document begins
    EXPECT_EQ(app().Form1.Step, 1);
}

TEST_F(IntakeTest, FreeTextOfMoreThan256LinesIsRefused) {
    start(4);
    std::string body;
    for (int i = 0; i < 257; ++i) body += "red " + std::to_string(i) + "\r\n";
    put("UKasu", "FT.sys", body);
    ticks();
    EXPECT_TRUE(b.serial.written.empty());
    EXPECT_EQ(opis("FT.sys.opis"), "\r\nFajl sa slobodnim tekstom ima vise od 256 linija!\r\n");
    EXPECT_TRUE(app().Form1.Timer.enabled());
}

TEST_F(IntakeTest, FaultyReceiptGoesToTheErrorFolder) {
    start(1);
    put("Bon", "00017.bon", "");
    ticks();
    EXPECT_EQ(opis("00017.opis"), "\r\nBon je prazan\r\nU bonu ne postoji nijedan red.\r\nSuma ukupne prodaje u racunu je 0!\r\n");
    EXPECT_TRUE(fs::exists(b.folder("IzKase") / "00017.err"));
    EXPECT_EQ(checked, 0);
    EXPECT_TRUE(app().Form1.Timer.enabled());
    EXPECT_TRUE(app().Form1.ErrorText.empty());
}

TEST_F(IntakeTest, CheckedReceiptReachesSubmission) {
    start(1);
    put("Bon", "00017.bon", goodReceipt());
    ticks();
    ASSERT_EQ(checked, 1);
    const auto& lines = app().intake.ReceiptLines;
    EXPECT_EQ(lines[0].lineType, 100);
    EXPECT_EQ(lines[1].name, "MLEKO");
    EXPECT_DOUBLE_EQ(lines[1].price, 10.0);
    EXPECT_EQ(lines[2].paymentCents, 1000);
    EXPECT_EQ(lines[3].lineType, -1);
    EXPECT_TRUE(fs::exists(b.folder("Bon") / "00017.bon"));
}

TEST_F(IntakeTest, ReceiptThatCannotBeOpenedStays) {
    start(1);
    app().Form1.BonFileName = "missing.bon";
    b.click([](App& a) { a.intake.Obrada(); });
    EXPECT_EQ(b.clock.pauses.back(), 300);
    ASSERT_FALSE(b.op.shown.empty());
    EXPECT_EQ(b.op.shown.back().title, "Greska!");
    EXPECT_EQ(b.op.shown.back().text, "Doslo je do problema sa otvaranjem bon fajla!");
    EXPECT_FALSE(app().Form1.Timer.enabled());
    EXPECT_EQ(app().Form1.BonFileName, "missing.bon");
}

TEST_F(IntakeTest, CapacityWarning) {
    struct Case { int model; int records; bool warned; const char* tail; };
    const Case cases[] = {
        {5, 11991, true, " artikala. Pozeljno je uraditi praznjenje kase!"},
        {5, 11990, false, ""},
        {4, 59991, true, " artikala. Pozeljno je uraditi praznjenje stampaca!"},
    };
    for (const Case& c : cases) {
        IntakeBench t;
        t.start(c.model);
        for (int i = 1; i <= c.records; ++i) t.app().setArtikli.append({"", i, "", "A", 1.0, 0});
        t.put("Bon", "00001.bon", goodReceipt());
        t.b.op.answers = {1};
        t.ticks();
        EXPECT_EQ(!t.b.op.shown.empty(), c.warned);
        if (c.warned) {
            EXPECT_EQ(t.b.op.shown[0].title, "UPOZORENJE");
            EXPECT_EQ(t.b.op.shown[0].text, "U bazi se nalazi " + std::to_string(c.records) + c.tail);
            EXPECT_EQ(t.b.op.shown[0].buttons, std::vector<std::string>{"OK"});
        }
        EXPECT_EQ(t.checked, 1);
    }
}

}  // namespace kestora::test
