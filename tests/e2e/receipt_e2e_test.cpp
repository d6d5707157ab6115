// A receipt from the folder to the device and on to the archive, with the
// real programs: kestora --headless against kestora-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "articles/article_table.h"
#include "process.h"
#include "simulator.h"

namespace kestora::test {
namespace {

namespace fs = std::filesystem;

bool waitForFile(const fs::path& p, int ms = 15000) {
    for (int waited = 0; waited < ms && !fs::exists(p); waited += 20) ::usleep(20000);
    return fs::exists(p);
}

// Bread, 2 × 45.00, paid in cash.
const char* kReceipt =
    "100101220260930ABCDEFG01\r\n"
    "200HLEB                                 4500    2000008600000000011 2\r\n"
    "300    9000 0\r\n"
    "400\r\n";

struct ReceiptEndToEnd : ::testing::TestWithParam<int> {
    void SetUp() override {
        char tmpl[] = "/tmp/kestora-e2e-XXXXXX";
        dir = ::mkdtemp(tmpl);
        for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) fs::create_directories(dir / f);
        ArticleTable t;
        t.append({"8600000000011", 5, "8600000000011", "HLEB", 45.0, 2});
        t.save(dir / "artikli.dat");
    }
    void TearDown() override { fs::remove_all(dir); }

    // The device, holding bread under number 5 when asked to.
    std::unique_ptr<Process> device(bool holdsBread) {
        const int model = GetParam();
        sim::Simulator memory(model, "123456");
        if (holdsBread) memory.putArticle({5, "HLEB", 4500, 2, "8600000000011"});
        memory.saveMemory(dir / "device.mem");
        auto p = std::make_unique<Process>(std::vector<std::string>{KESTORA_SIM_BIN, "--model", std::to_string(model), "--pty",
                                                                    "--ibfm", "123456", "--memory", (dir / "device.mem").string(),
                                                                    "--journal", (dir / "journal.txt").string()});
        EXPECT_TRUE(p->waitFor("\n")) << p->output;
        const std::string slave = p->output.substr(0, p->output.find('\n'));
        std::ofstream(dir / "Konfiguracija.dat")
            << "[Konfiguracija]\nBon=" << (dir / "Bon").string() << "\nKomanda=" << (dir / "UKasu").string()
            << "\nGreska=" << (dir / "IzKase").string() << "\nArhiva=" << (dir / "Arhiva").string()
            << "\nDuzina=33\nPort=3\nModel=" << model << "\nIBFM=123456\nKonekcija=0\nIP=\nIsprazniBonFolder=1\n"
            << "[Portovi]\nCOM3=" << slave << "\n";
        return p;
    }
    std::unique_ptr<Process> bridge() {
        return std::make_unique<Process>(std::vector<std::string>{KESTORA_BIN, "--headless", "--workdir", dir.string()});
    }
    void drop() {
        std::ofstream(dir / "Bon" / "00017.tmp", std::ios::binary) << kReceipt;
        fs::rename(dir / "Bon" / "00017.tmp", dir / "Bon" / "00017.bon");
    }
    fs::path archived() const {
        for (const auto& e : fs::recursive_directory_iterator(dir / "Arhiva"))
            if (e.path().filename().string().rfind("00017", 0) == 0) return e.path();
        return dir / "Arhiva" / "missing";
    }
    fs::path dir;
};

TEST_P(ReceiptEndToEnd, ReceiptIsPrintedOnceAndArchived) {
    auto dev = device(true);
    auto kestora = bridge();
    drop();
    for (int i = 0; i < 750 && archived().filename() == "missing"; ++i) ::usleep(20000);
    const fs::path file = archived();
    ASSERT_NE(file.filename(), "missing") << kestora->output;
    EXPECT_EQ(file.filename(), GetParam() == 1 ? "00017.1.bon" : "00017.bon");
    EXPECT_EQ(slurp(file), kReceipt);
    kestora->signal(SIGTERM);
    EXPECT_EQ(kestora->wait(), 0);
    dev->signal(SIGTERM);
    EXPECT_EQ(dev->wait(), 0);
    EXPECT_EQ(slurp(dir / "journal.txt"),
              "receipt 1\n"
              "  SALE 5 \"HLEB\" 2.000 x 45.00 = 90.00\n"
              "  PAY 0 90.00\n"
              "  TOTAL 90.00\n");
}

TEST_P(ReceiptEndToEnd, RefusedLineContinuedLandsInTheErrorFolder) {
    auto dev = device(false);  // the device does not hold the article the table promises
    auto kestora = bridge();
    drop();
    ASSERT_TRUE(kestora->waitFor("[1] Nastavi  [2] Zaustavi  [3] Ponovi\nIzbor:\n", 15000)) << kestora->output;
    EXPECT_NE(kestora->output.find("== Greska! ==\n"
                                   "Doslo je do greske prilikom izvrsavanje komande.Izaberite neku opciju za nastavak rada.\n"),
              std::string::npos)
        << kestora->output;
    kestora->write("1\n");
    ASSERT_TRUE(waitForFile(dir / "IzKase" / "00017.opis"));
    ASSERT_TRUE(waitForFile(dir / "IzKase" / "00017.err"));
    EXPECT_EQ(slurp(dir / "IzKase" / "00017.opis"), "\r\nGreska prilikom prodaje artikla!\r\n");
    EXPECT_EQ(slurp(dir / "IzKase" / "00017.err"), kReceipt);
    kestora->signal(SIGTERM);
    EXPECT_EQ(kestora->wait(), 0);
    dev->signal(SIGTERM);
    dev->wait();
    EXPECT_EQ(slurp(dir / "journal.txt"), "") << "nothing was printed";
}

INSTANTIATE_TEST_SUITE_P(Models, ReceiptEndToEnd, ::testing::Values(1, 3), [](const auto& info) {
    return "Model" + std::to_string(info.param);
});

}  // namespace
}  // namespace kestora::test
