// Receipts on the four cash registers against the simulated device: from
// the file in the receipt folder to the archive or the error folder, with
// article writes, refusals, silences and lost answers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim_bench.h"

namespace kestora::test {
namespace {

namespace fs = std::filesystem;

std::string fit(std::string s, std::size_t width, bool right) {
    if (s.size() > width) s.resize(width);
    return right ? std::string(width - s.size(), ' ') + s : s + std::string(width - s.size(), ' ');
}

struct Line {
    std::string code, name;
    long long cents;
    long long milli;
    int tax;
};

// A receipt file of the point-of-sale application: header, article lines,
// one cash payment of the total, end line.
std::string receipt(const std::vector<Line>& lines) {
    std::string s = "100101220260930ABCDEFG01\r\n";
    long long total = 0;
    for (const Line& l : lines) {
        s += "200" + fit(l.name, 33, false) + fit(std::to_string(l.cents), 8, true) + fit(std::to_string(l.milli), 8, true) +
             "00" + fit(l.code, 13, false) + fit(std::to_string(l.tax), 2, true) + "\r\n";
        total += l.cents * l.milli / 1000;
    }
    return s + "300" + fit(std::to_string(total), 8, true) + " 0\r\n400\r\n";
}

const Line kHleb{"8600000000011", "HLEB", 4500, 2000, 2};

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A bridge started on the model, with bread known to the device and the table.
struct Register : SimBench {
    explicit Register(int model) : SimBench(model) {
        start();
        article(5, kHleb.code, kHleb.name, kHleb.cents, kHleb.tax);
    }
    void sell(const std::vector<Line>& lines, long long ms = 2000) {
        drop("00017.bon", receipt(lines));
        run(ms);
    }
    std::string archivedName() const { return model() == 1 || model() == 5 ? "00017.1.bon" : "00017.bon"; }
    int model() const { return sim.model(); }
    std::vector<std::string> sales() const {
        std::vector<std::string> out;
        for (const auto& e : sim.journal().entries())
            for (const auto& l : e.lines)
                if (l.rfind("SALE", 0) == 0) out.push_back(l);
        return out;
    }

};

TEST(ReceiptConversation, KnownArticlesArePrintedAndTheFileArchived) {
    for (int model : {1, 2, 3, 5}) {
        SCOPED_TRACE(model);
        Register b(model);
        b.sell({kHleb});
        EXPECT_TRUE(fs::exists(b.archive() / b.archivedName()));
        EXPECT_FALSE(fs::exists(b.folder("Bon") / "00017.bon"));
        EXPECT_EQ(b.sales(), std::vector<std::string>{"SALE 5 \"HLEB\" 2.000 x 45.00 = 90.00"});
        EXPECT_EQ(b.sim.journal().ofKind("receipt").size(), 1u);
        EXPECT_EQ(b.sim.counts().rejected, 0);
        const MainForm& f = b.app().Form1;
        EXPECT_EQ(f.ReceiptActive, 0);
        EXPECT_EQ(f.ReceiptSending, 0);
        EXPECT_TRUE(f.Timer.enabled());
        EXPECT_FALSE(f.TimerKasa.enabled());
        EXPECT_TRUE(b.op.shown.empty());
    }
}

TEST(ReceiptConversation, ArticlesAreWrittenIntoTheDeviceAndTheTableFollows) {
    struct Case {
        const char* what;
        Line line;
        int number;        // the number the line is sold under
        const char* sale;  // as the device printed it
    };
    const Case cases[] = {
        {"new article", {"8600000000022", "MLEKO", 12000, 1000, 1}, 6, "SALE 6 \"MLEKO\" 1.000 x 120.00 = 120.00"},
        {"new price", {kHleb.code, "HLEB", 5000, 1000, 2}, 5, "SALE 5 \"HLEB\" 1.000 x 50.00 = 50.00"},
        {"renumbered", {kHleb.code, "KIFLA", 3000, 1000, 2}, 6, "SALE 6 \"KIFLA\" 1.000 x 30.00 = 30.00"},
    };
    for (int model : {1, 3, 5}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(model) + " " + c.what);
            Register b(model);
            b.sell({c.line});
            ASSERT_TRUE(fs::exists(b.archive() / b.archivedName()));
            EXPECT_EQ(b.sales(), std::vector<std::string>{c.sale});
            // What the table now says, also after reading artikli.dat again.
            ArticleTable saved;
            saved.load(b.dir.path / "artikli.dat");
            ASSERT_TRUE(saved.findKey(c.number));
            EXPECT_EQ(saved.current().NAZIV, c.line.name);
            EXPECT_DOUBLE_EQ(saved.current().CENA.value_or(0), c.line.cents / 100.0);
            EXPECT_EQ(saved.current().KSIFRA, c.line.code);
            if (std::string(c.what) == "renumbered") {
                ASSERT_TRUE(saved.findKey(5));
                EXPECT_EQ(saved.current().KSIFRA, "");
                EXPECT_EQ(saved.current().BARKOD, "");
                EXPECT_EQ(saved.current().NAZIV, "HLEB");
                // The device keeps the old article under its number, without its code.
                const Bytes& slot = b.sim.device().memory().at(5);
                EXPECT_EQ(b.sim.device().articleName(5), "HLEB");
                EXPECT_FALSE(slot.empty());
            }
        }
    }
}

TEST(ReceiptConversation, Model1NeverGivesOutArticle704) {
    Register b(1);
    b.article(703, "8600000000703", "SIR", 50000, 1);
    b.sell({{"8600000000099", "JAJA", 1500, 1000, 1}});
    ASSERT_TRUE(fs::exists(b.archive() / "00017.1.bon"));
    EXPECT_EQ(b.sales(), std::vector<std::string>{"SALE 705 \"JAJA\" 1.000 x 15.00 = 15.00"});
}

TEST(ReceiptConversation, Model2RefusesAnArticleItDoesNotHoldAsDescribed) {
    Register b(2);
    b.sell({{kHleb.code, "HLEB", 4600, 1000, 2}});  // another price
    EXPECT_EQ(read(b.folder("IzKase") / "00017.opis"), "\r\nPokusana prodaja artikla koji se ne nalazi u bazi kase!\r\n");
    EXPECT_TRUE(fs::exists(b.folder("IzKase") / "00017.err"));
    EXPECT_TRUE(b.framesIn.empty());
    EXPECT_TRUE(b.app().Form1.Timer.enabled());
}

TEST(ReceiptConversation, ARefusedLineIsPutToTheOperator) {
    const char* command = "Doslo je do greske prilikom izvrsavanje komande.Izaberite neku opciju za nastavak rada.";
    const struct {
        int model;
        const char* text;
    } models[] = {{1, command}, {2, command}, {3, command}, {5, "Doslo je do greske prilikom prodaje. Izaberite neku opciju za nastavak rada."}};
    for (const auto& m : models) {
        for (int choice : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(m.model) + " choice " + std::to_string(choice));
            SimBench b(m.model);
            b.start();
            // Known locally, missing in the device: the sale is refused.
            b.article(5, kHleb.code, kHleb.name, kHleb.cents, kHleb.tax, false);
            if (m.model != 2) b.sim.device().memory().clear();
            b.op.answers = {choice};
            b.op.whileShown = [&] { b.sim.putArticle({5, "HLEB", 4500, 2, kHleb.code}); };  // the operator mends it
            b.drop("00017.bon", receipt({kHleb}));
            if (m.model != 2) {
                // Models 1, 3, 5 write the article first; take it away again before the sale.
                ASSERT_TRUE(b.runUntil([&] { return b.app().Form1.ReceiptSending == 1; }));
                b.sim.device().memory().clear();
            }
            b.run(3000);
            ASSERT_FALSE(b.op.shown.empty());
            EXPECT_EQ(b.op.shown[0].title, "Greska!");
            EXPECT_EQ(b.op.shown[0].text, m.text);
            EXPECT_EQ(b.op.shown[0].buttons, (std::vector<std::string>{"Nastavi", "Zaustavi", "Ponovi"}));
            const MainForm& f = b.app().Form1;
            if (choice == 3) {
                EXPECT_EQ(b.sim.journal().ofKind("receipt").size(), 1u);
                EXPECT_TRUE(f.Timer.enabled());
                continue;
            }
            EXPECT_EQ(read(b.folder("IzKase") / "00017.opis"), "\r\nGreska prilikom prodaje artikla!\r\n");
            EXPECT_EQ(f.ReceiptSending, 0) << "a later silence must not take a receipt branch";
            EXPECT_EQ(f.Timer.enabled(), choice == 1);
            EXPECT_EQ(f.Running, choice == 1 ? 1 : 0);
        }
    }
}

TEST(ReceiptConversation, PaperOutIsNoticedAndTheLineSentAgain) {
    for (int model : {1, 5}) {
        Register b(model);
        b.sim.command("paper-out");
        b.sell({kHleb});
        ASSERT_EQ(b.op.shown.size(), 1u);
        EXPECT_EQ(b.op.shown[0].text, "Namestite papir i pritisnite OK.");
        EXPECT_EQ(b.op.shown[0].buttons, std::vector<std::string>{"OK"});
        EXPECT_TRUE(fs::exists(b.archive() / "00017.1.bon"));
        EXPECT_EQ(b.sales().size(), 1u);
    }
}

TEST(ReceiptConversation, ALostFrameIsSentAgainUnchanged) {
    for (int model : {1, 2, 3, 5}) {
        SCOPED_TRACE(model);
        Register b(model);
        b.sim.command("silent 1");  // the first frame of the receipt (on model 3 the header sent first)
        b.sell({kHleb}, 5000);
        ASSERT_GE(b.framesIn.size(), 2u);
        EXPECT_EQ(b.framesIn[0], b.framesIn[1]);
        EXPECT_TRUE(fs::exists(b.archive() / b.archivedName()));
        EXPECT_EQ(b.sales().size(), 1u);
        EXPECT_TRUE(b.op.shown.empty());
    }
}

TEST(ReceiptConversation, ALostAnswerDoesNotPrintTwice) {
    for (int model : {1, 2, 3, 5}) {
        SCOPED_TRACE(model);
        Register b(model);
        b.drop("00017.bon", receipt({kHleb, {kHleb.code, "HLEB", 4500, 1000, 2}}));
        // The device sells the first line, its answer is lost, the line comes again.
        ASSERT_TRUE(b.runUntil([&] { return b.sim.device().receipts().open() || b.app().Form1.Step >= 1; }));
        b.sim.command("drop-answer 1");
        b.run(8000);
        EXPECT_TRUE(fs::exists(b.archive() / b.archivedName()));
        EXPECT_EQ(b.sales().size(), 2u);
        EXPECT_EQ(b.sim.counts().resends, 1);
    }
}

TEST(ReceiptConversation, SilenceToTheLimitAsksTheOperator) {
    for (int model : {1, 2}) {
        for (int choice : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(model) + " choice " + std::to_string(choice));
            Register b(model);
            b.sim.command("silent 4");
            b.op.answers = {choice};
            b.sell({kHleb}, 13000);
            ASSERT_EQ(b.op.shown.size(), 1u);
            EXPECT_EQ(b.op.shown[0].text, "Doslo je do prekida u kominikaciji.Izaberite neku opciju za nastavak rada.");
            EXPECT_EQ(b.sim.counts().lost, 4) << "sent four times in all";
            b.run(3000);
            const MainForm& f = b.app().Form1;
            if (choice == 1) {
                // Taken as printed: archived, model 1 with receipt number 0.
                EXPECT_TRUE(fs::exists(b.archive() / (model == 1 ? "00017.0.bon" : "00017.bon")));
                EXPECT_EQ(f.ErrorText, "");
            } else if (choice == 2) {
                EXPECT_EQ(read(b.folder("IzKase") / "00017.opis"), "\r\nGreska prilikom prodaje artikla!\r\n");
                EXPECT_EQ(f.Running, 0);
            } else {
                EXPECT_TRUE(fs::exists(b.archive() / b.archivedName()));
                EXPECT_EQ(b.sales().size(), 1u);
            }
        }
    }
}

TEST(ReceiptConversation, AnEndOfReceiptThatNeverComesIsPutToTheOperator) {
    Register b(5);
    b.sim.command("close-answer off");
    b.op.answers = {1};
    b.sell({kHleb}, 14000);
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].text, "Doslo je do prekida u kominikaciji.Izaberite neku opciju za nastavak rada.");
    EXPECT_TRUE(fs::exists(b.archive() / "00017.0.bon"));
    EXPECT_EQ(b.sales().size(), 1u) << "nothing is resent while the end is awaited";
    EXPECT_EQ(b.app().Form1.ReceiptActive, 0);
    EXPECT_TRUE(b.app().Form1.Timer.enabled());
}

TEST(ReceiptConversation, Model3RefusedArticleWriteSentAgainWithTheNextSequenceByte) {
    SimBench b(3);
    b.start();
    // The table ends at 3000: the new article is written as 3001, which the
    // device refuses every time.
    b.article(3000, kHleb.code, kHleb.name, kHleb.cents, kHleb.tax);
    b.op.answers = {3, 1};
    b.drop("00017.bon", receipt({{"8600000000022", "MLEKO", 12000, 1000, 1}}));
    b.run(3000);
    ASSERT_EQ(b.op.shown.size(), 2u);
    EXPECT_EQ(b.op.shown[0].text, "Doslo je do greske prilikom izvrsavanje komande.Izaberite neku opciju za nastavak rada.");
    ASSERT_EQ(b.framesIn.size(), 3u);  // header, write, the write again
    // Two sequence numbers on, the rest unchanged, and taken as well formed.
    const auto seqOf = [](const std::string& hex) { return std::stoi(hex.substr(18, 2), nullptr, 16); };
    EXPECT_EQ(seqOf(b.framesIn[2]), seqOf(b.framesIn[1]) + 2);
    EXPECT_EQ(b.framesIn[2].substr(21, 150), b.framesIn[1].substr(21, 150));
    EXPECT_EQ(b.sim.counts().rejected, 0);
    EXPECT_EQ(read(b.folder("IzKase") / "00017.opis"), "\r\nGreska prilikom prodaje artikla!\r\n");
    EXPECT_EQ(b.app().Form1.ReceiptSending, 0);
}

TEST(ReceiptConversation, DrawerFile) {
    for (int model : {1, 5}) {
        SCOPED_TRACE(model);
        Register b(model);
        b.drop("OF.sys", "", "UKasu");
        b.run(1000);
        EXPECT_TRUE(fs::exists(b.archive() / "OF.sys"));
        EXPECT_EQ(b.sim.journal().ofKind("drawer").size(), 1u);
        EXPECT_EQ(b.app().Form1.CmdFileActive, 0);
        EXPECT_TRUE(b.app().Form1.Timer.enabled());
    }
    // Silent: not opened twice; after the usual wait the operator decides.
    Register b(1);
    b.sim.command("silent 1");
    b.op.answers = {1};
    b.drop("OF.sys", "", "UKasu");
    b.run(13000);
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.framesIn.size(), 1u);
    EXPECT_EQ(read(b.folder("IzKase") / "OF.sys.opis"), "\r\nGreska prilikom izvrsavanja komande!\r\n");
    EXPECT_TRUE(b.app().Form1.Timer.enabled());
}

TEST(ReceiptConversation, TwoAnswersInOneChunkAreBothTaken) {
    Register b(5);
    b.sim.command("close-answer off");
    b.drop("00017.bon", receipt({kHleb}));
    // Hold the closing payment's answer and deliver it with the end of the
    // receipt in one chunk.
    ASSERT_TRUE(b.runUntil([&] { return b.app().intake.ReceiptLines[b.app().Form1.Step].lineType == -1; }));
    b.sim.command("drop-answer 1");
    b.run(1);
    const auto seq = static_cast<std::uint8_t>(b.app().Form1.FrameSeq);
    Bytes chunk = sim::longFrame(1, 0x11, {0x12, 0x34, 0x56}, seq, 0x1F, {0, 0});
    const Bytes end = sim::longFrame(1, 0x11, {0x12, 0x34, 0x56}, seq, 0x1C, {0, 0, 0, 0, 0x01, 0x2C});
    chunk.insert(chunk.end(), end.begin(), end.end());
    b.app().entry([&] { b.app().link.receivedSerialChunk(chunk); });
    EXPECT_TRUE(fs::exists(b.archive() / "00017.300.bon"));
    EXPECT_EQ(b.app().Form1.ReceiptActive, 0);
}

}  // namespace
}  // namespace kestora::test
