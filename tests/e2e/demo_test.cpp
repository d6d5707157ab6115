// kestora --demo: the bridge against the simulator in-process, in a demo
// folder it sets up itself.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/cp1251.h"
#include "app/ini_file.h"
#include "articles/article_table.h"
#include "intake/receipt_file.h"
#include "process.h"

namespace kestora::test {
namespace {

namespace fs = std::filesystem;

// Every file under dir, at any depth, whose name passes the test.
std::vector<fs::path> filesUnder(const fs::path& dir, const std::function<bool(const std::string&)>& wanted) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && wanted(it->path().filename().string())) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

// The receipt files wherever the bridge has put them: waiting (00017.bon),
// carried out (Arhiva/D-M-Y/00017.bon or 00017.<receipt number>.bon) or
// refused (IzKase/00017.err).
std::vector<fs::path> receiptFiles(const fs::path& dir) {
    return filesUnder(dir, [](const std::string& n) {
        const auto dot = n.rfind('.');
        return n.size() > 5 && std::all_of(n.begin(), n.begin() + 5, ::isdigit) && dot != std::string::npos &&
               (n.substr(dot) == ".bon" || n.substr(dot) == ".err");
    });
}

// The drawer command file: waiting, archived, or refused (IzKase/OF.err).
std::vector<fs::path> drawerFiles(const fs::path& dir) {
    return filesUnder(dir, [](const std::string& n) { return n == "OF.sys" || n == "OF.err"; });
}

struct DemoTest : ::testing::Test {
    fs::path dir, demo;

    void SetUp() override {
        char tmpl[] = "/tmp/kestora-demo-XXXXXX";
        dir = ::mkdtemp(tmpl);
        demo = dir / "kestora-demo";
    }
    void TearDown() override { fs::remove_all(dir); }

    Process start(int model) {
        return Process({KESTORA_BIN, "--headless", "--demo", "--model", std::to_string(model), "--workdir", dir.string()});
    }
    // Waits until the simulator's log shows a frame taken in and an answer sent.
    bool framesExchanged() {
        for (int i = 0; i < 500; ++i) {
            const std::string log = slurp(demo / "simulator.log");
            if (log.find("<- ") != std::string::npos && log.find("-> ") != std::string::npos) return true;
            ::usleep(10000);
        }
        return false;
    }
    // Ends the program with SIGTERM; standard input is closed, so a closing
    // question takes its cautious button. Returns the exit code.
    int stop(Process& p) {
        p.closeInput();
        p.signal(SIGTERM);
        const int rc = p.wait();
        p.waitFor("\x01", 1000);  // the rest of its output
        return rc;
    }
};

struct DemoModels : DemoTest, ::testing::WithParamInterface<int> {};

// The receipt passes every check and each of its article lines names an
// article of the local table with the same code, name, tax group and price,
// so the receipt needs no article write.
void expectReceiptMatchesTheTable(const fs::path& receipt, ArticleTable& table, int nameLength) {
    const std::string content = slurp(receipt);
    const auto lines = textFileLines(content);
    ReceiptTable t;
    EXPECT_EQ(checkReceipt(lines, content.empty(), nameLength, true, t), "") << receipt;
    int articles = 0;
    for (const racun& r : t) {
        if (r.lineType == -1) break;
        if (r.lineType != 200) continue;
        ++articles;
        const bool found = table.findMatch(
            r.code,
            [&](const Article& a) {
                return a.NAZIV == r.name && a.PORESKA_GRUPA == r.taxGroup && a.CENA && *a.CENA == r.price && a.SIFRA;
            },
            false);
        EXPECT_TRUE(found) << receipt << ": " << cp1251ToUtf8(r.name) << " " << r.code;
    }
    EXPECT_GT(articles, 0) << receipt;
}

TEST_P(DemoModels, SetsUpItsFolderAndRunsTheBridgeAgainstTheSimulator) {
    const int model = GetParam();
    Process p = start(model);
    ASSERT_TRUE(framesExchanged()) << slurp(demo / "simulator.log");

    for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) EXPECT_TRUE(fs::is_directory(demo / f)) << f;
    const IniFile ini = IniFile::load(demo / "Konfiguracija.dat");
    EXPECT_EQ(ini.get("Konfiguracija", "Bon"), (demo / "Bon").string());
    EXPECT_EQ(ini.get("Konfiguracija", "Komanda"), (demo / "UKasu").string());
    EXPECT_EQ(ini.get("Konfiguracija", "Greska"), (demo / "IzKase").string());
    EXPECT_EQ(ini.get("Konfiguracija", "Arhiva"), (demo / "Arhiva").string());
    EXPECT_EQ(ini.get("Konfiguracija", "Model"), std::to_string(model));
    EXPECT_EQ(ini.get("Konfiguracija", "IBFM"), "123456");
    EXPECT_EQ(ini.get("Konfiguracija", "Konekcija"), "0");
    EXPECT_EQ(ini.get("Konfiguracija", "IsprazniBonFolder"), "1");
    EXPECT_EQ(ini.get("Konfiguracija", "Port"), "1");
    EXPECT_EQ(ini.get("Portovi", "COM1"), "simulator");

    ArticleTable table;
    table.load(demo / "artikli.dat");
    EXPECT_EQ(table.count(), 5u);

    // Three samples, and each one would be printed without an article write.
    const auto receipts = receiptFiles(demo);
    EXPECT_EQ(receipts.size(), 3u);
    for (const auto& r : receipts) expectReceiptMatchesTheTable(r, table, 33);
    const auto drawer = drawerFiles(demo);
    if (model == 2 || model == 3) EXPECT_TRUE(drawer.empty());  // these registers have no drawer command
    else EXPECT_EQ(drawer.size(), 1u);

    EXPECT_EQ(stop(p), 0);
    EXPECT_TRUE(fs::exists(demo / "journal.txt"));
    // The device's memory is kept for the next run.
    const std::string memory = slurp(demo / ("simulator-model" + std::to_string(model) + ".mem"));
    for (const char* line : {"article 1 ", "article 5 "}) EXPECT_NE(memory.find(line), std::string::npos) << memory;
}

INSTANTIATE_TEST_SUITE_P(Models, DemoModels, ::testing::Values(1, 2, 3, 4, 5));

struct DemoRegisters : DemoTest, ::testing::WithParamInterface<int> {};

// On the cash registers the samples go all the way: printed by the device,
// archived, and nobody asked anything.
TEST_P(DemoRegisters, CarriesTheSamplesThroughToTheArchive) {
    const int model = GetParam();
    Process p = start(model);
    const auto archived = [&] {
        const auto all = receiptFiles(demo);
        return filesUnder(demo / "Arhiva", [](const std::string& n) { return n.size() > 4 && n.substr(n.size() - 4) == ".bon"; })
                       .size() == 3 &&
               all.size() == 3;
    };
    for (int i = 0; i < 1000 && !archived(); ++i) ::usleep(10000);
    EXPECT_TRUE(archived()) << slurp(demo / "simulator.log");
    EXPECT_TRUE(filesUnder(demo / "IzKase", [](const std::string&) { return true; }).empty());
    if (model != 2 && model != 3) {
        const auto drawer = drawerFiles(demo / "Arhiva");
        EXPECT_EQ(drawer.size(), 1u);
    }
    EXPECT_EQ(stop(p), 0);
    const std::string journal = slurp(demo / "journal.txt");
    for (const char* entry : {"receipt 1\n", "receipt 2\n", "receipt 3\n"})
        EXPECT_NE(journal.find(entry), std::string::npos) << journal;
    EXPECT_NE(journal.find("TOTAL 481.98\n"), std::string::npos) << journal;  // the third, with its voided line
    if (model == 5)
        EXPECT_EQ(p.output, "== Potvrda! ==\nDa li zelite da izadjete iz rezima fiskalnog stampaca?\n[1] Da  [2] Ne\nIzbor:\n");
    else
        EXPECT_EQ(p.output, "");
}

INSTANTIATE_TEST_SUITE_P(Registers, DemoRegisters, ::testing::Values(1, 2, 3, 5));

TEST_F(DemoTest, TheDrawerCommandReachesTheSimulatedRegister) {
    Process p = start(1);
    std::string journal;
    for (int i = 0; i < 500 && journal.find("drawer") == std::string::npos; ++i, ::usleep(10000))
        journal = slurp(demo / "journal.txt");
    EXPECT_NE(journal.find("drawer 0\n"), std::string::npos) << journal;
    EXPECT_EQ(stop(p), 0);
}

TEST_F(DemoTest, ARestartKeepsWhatIsThereAndAddsNoSamplesToAFullFolder) {
    fs::create_directories(demo / "Bon");
    fs::create_directories(demo / "Arhiva" / "1-1-2026");
    std::ofstream(demo / "Bon" / "notes.txt") << "not a receipt";
    std::ofstream(demo / "Arhiva" / "1-1-2026" / "00007.3.bon") << "carried out earlier";
    std::ofstream(demo / "Konfiguracija.dat") << "[Konfiguracija]\nDuzina=40\nModel=2\nIsprazniBonFolder=1\nTray=0\n"
                                                 "DatumFormat=dd.MM.yyyy\n";
    Process p = start(5);
    ASSERT_TRUE(framesExchanged()) << slurp(demo / "simulator.log");
    EXPECT_EQ(stop(p), 0);

    // A receipt folder that is not empty gets no samples.
    EXPECT_EQ(receiptFiles(demo).size(), 1u);
    EXPECT_TRUE(fs::exists(demo / "Bon" / "notes.txt"));
    const IniFile ini = IniFile::load(demo / "Konfiguracija.dat");
    EXPECT_EQ(ini.get("Konfiguracija", "Model"), "5");
    EXPECT_EQ(ini.get("Konfiguracija", "Duzina"), "40");
    EXPECT_EQ(ini.get("Konfiguracija", "DatumFormat"), "dd.MM.yyyy");
    EXPECT_EQ(ini.get("Portovi", "COM1"), "simulator");

    // Emptied, it gets samples that follow the configured name length and
    // continue after the highest receipt number; the article table is not
    // filled twice.
    fs::remove(demo / "Bon" / "notes.txt");
    fs::remove(demo / "simulator.log");
    Process again = start(5);
    ASSERT_TRUE(framesExchanged());
    EXPECT_EQ(stop(again), 0);
    ArticleTable table;
    table.load(demo / "artikli.dat");
    EXPECT_EQ(table.count(), 5u);
    std::vector<std::string> numbers;
    for (const auto& r : receiptFiles(demo)) {
        numbers.push_back(r.filename().string().substr(0, 5));
        if (numbers.back() != "00007") expectReceiptMatchesTheTable(r, table, 40);
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<std::string>{"00007", "00008", "00009", "00010"}));
}

TEST_F(DemoTest, AModelOutsideTheFiveIsRefused) {
    Process p({KESTORA_BIN, "--headless", "--demo", "--model", "6", "--workdir", dir.string()});
    EXPECT_EQ(p.wait(), 2);
    EXPECT_FALSE(fs::exists(demo));
}

}  // namespace
}  // namespace kestora::test
