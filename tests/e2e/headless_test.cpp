// The real kestora binary in its headless form, spoken to through its
// standard input and output.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "process.h"

namespace kestora::test {

namespace fs = std::filesystem;

struct HeadlessTest : ::testing::Test {
    fs::path dir;
    int ptyMaster = -1;
    std::string ptySlave;

    void SetUp() override {
        char tmpl[] = "/tmp/kestora-e2e-XXXXXX";
        dir = ::mkdtemp(tmpl);
        ptyMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(ptyMaster);
        ::unlockpt(ptyMaster);
        ptySlave = ::ptsname(ptyMaster);
    }
    void TearDown() override {
        ::close(ptyMaster);
        fs::remove_all(dir);
    }
    void config(int model, bool foldersExist, const std::string& extra = "") {
        for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"})
            if (foldersExist) fs::create_directories(dir / f);
        std::ofstream(dir / "Konfiguracija.dat")
            << "[Konfiguracija]\nBon=" << (dir / "Bon").string() << "\nKomanda=" << (dir / "UKasu").string()
            << "\nGreska=" << (dir / "IzKase").string() << "\nArhiva=" << (dir / "Arhiva").string()
            << "\nDuzina=33\nPort=3\nModel=" << model << "\nIBFM=123456\nKonekcija=0\nIP=\n" << extra
            << "[Portovi]\nCOM3=" << ptySlave << "\n";
    }
    Process start() { return Process({KESTORA_BIN, "--headless", "--workdir", dir.string()}); }
};

TEST_F(HeadlessTest, MissingFoldersAreReportedAndTheAnswerIsRead) {
    config(1, false);
    Process p = start();
    const std::string box =
        "== Greska !!! ==\n"
        "Nisu nadjeni svi potrebni direktorijumi!!!\n"
        "[1] U redu  [2] Otkaz\n"
        "Izbor:\n";
    ASSERT_TRUE(p.waitFor(box)) << p.output;
    EXPECT_EQ(p.output, box);
    p.write("7\n");  // not a button: asked again
    ASSERT_TRUE(p.waitFor("Izbor:\nIzbor:\n")) << p.output;
    p.write("1\n");
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(), 0);
}

TEST_F(HeadlessTest, ClosedInputTakesTheCautiousButton) {
    config(1, true, "IsprazniBonFolder=3\n");
    std::ofstream(dir / "Bon" / "00001.bon") << "old";
    Process p = start();
    p.closeInput();
    ASSERT_TRUE(p.waitFor("[1] Da  [2] Ne\nIzbor:\n")) << p.output;
    EXPECT_EQ(p.output,
              "== Potvrda! ==\n"
              "U folderu za racune pronadjene su datoteke sa racunima. Da li zelite da obrisete ove datoteke?\n"
              "[1] Da  [2] Ne\n"
              "Izbor:\n");
    // "Ne": the receipt stays, and the bridge runs on.
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(), 0);
    EXPECT_TRUE(fs::exists(dir / "Bon" / "00001.bon"));
}

TEST_F(HeadlessTest, AnswerDeletesTheOldReceipts) {
    config(1, true, "IsprazniBonFolder=3\n");
    std::ofstream(dir / "Bon" / "00001.bon") << "old";
    Process p = start();
    ASSERT_TRUE(p.waitFor("Izbor:\n")) << p.output;
    p.write("1\n");
    for (int i = 0; i < 100 && fs::exists(dir / "Bon" / "00001.bon"); ++i) ::usleep(20000);
    EXPECT_FALSE(fs::exists(dir / "Bon" / "00001.bon"));
    p.signal(SIGINT);
    EXPECT_EQ(p.wait(), 0);
}

TEST_F(HeadlessTest, AnswersPipedInOneGoAreTakenLineByLine) {
    config(1, false, "IsprazniBonFolder=3\n");
    Process p = start();
    p.write("2\n1\n");  // both answers, then the end of input, before any dialog
    p.closeInput();
    ASSERT_TRUE(p.waitFor("Izbor:\n")) << p.output;
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(p.output.find("Izbor:\nIzbor:"), std::string::npos) << p.output;
}

TEST_F(HeadlessTest, ASignalWhileADialogWaitsClosesTheProgram) {
    config(1, true);
    std::ofstream(dir / "Konfiguracija.dat", std::ios::app) << "COM3=" << (dir / "no-such-device").string() << "\n";
    Process p = start();
    ASSERT_TRUE(p.waitFor("[1] U redu\nIzbor:\n")) << p.output;
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(3000), 0);
}

TEST_F(HeadlessTest, ABadReceiptLandsInTheErrorFolderWithItsDescription) {
    config(1, true, "IsprazniBonFolder=1\n");
    Process p = start();
    ::usleep(200000);
    {
        std::ofstream f(dir / "Bon" / "00017.tmp", std::ios::binary);
        f << "100050320091430ABCDEFG07\r\n";  // no article and no payment
    }
    fs::rename(dir / "Bon" / "00017.tmp", dir / "Bon" / "00017.bon");
    for (int i = 0; i < 200 && !fs::exists(dir / "IzKase" / "00017.err"); ++i) ::usleep(10000);
    ASSERT_TRUE(fs::exists(dir / "IzKase" / "00017.err"));
    std::ifstream in(dir / "IzKase" / "00017.opis", std::ios::binary);
    const std::string opis((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(opis, "\r\nU bonu ne postoji nijedan red.\r\nSuma ukupne prodaje u racunu je 0!\r\n");
    EXPECT_FALSE(fs::exists(dir / "Bon" / "00017.bon"));
    EXPECT_EQ(p.output, "");  // nothing asked
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(), 0);
}

TEST_F(HeadlessTest, UnreachableDeviceShowsTheInstructions) {
    config(1, true);
    std::ofstream(dir / "Konfiguracija.dat", std::ios::app) << "COM3=" << (dir / "no-such-device").string() << "\n";
    Process p = start();
    ASSERT_TRUE(p.waitFor("[1] U redu\nIzbor:\n")) << p.output;
    EXPECT_EQ(p.output,
              "== Kestora v3.5.3 ==\n"
              "KORACI PRE PRVOG POKRETANJA PROGRAMA \"KESTORA\":\n"
              "1.    Pritisnite komandno dugme KONFIGURACIJA\n"
              "2.    Izvrsite konfiguraciju programa (COM port, Model kase, Broj kase...)\n"
              "\n"
              "KORACI PRE SVAKOG POKRETANJA PROGRAMA \"KESTORA\":\n"
              "1.   Fiskalna kasa mora biti povezana sa racunarom i ukljucena.\n"
              "2.   Fiskalna kasa mora biti prebacena u odgovarajuci rezim rada.\n"
              "[1] U redu\n"
              "Izbor:\n");
    p.write("1\n");
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(), 0);
}

TEST_F(HeadlessTest, ClosingOnModelFiveAsksAndSendsTheLeaveFrame) {
    config(5, true);
    Process p = start();
    ::usleep(300000);  // activation and Start run
    p.signal(SIGTERM);
    ASSERT_TRUE(p.waitFor("== Potvrda! ==\nDa li zelite da izadjete iz rezima fiskalnog stampaca?\n[1] Da  [2] Ne\nIzbor:\n"))
        << p.output;
    p.write("1\n");
    EXPECT_EQ(p.wait(), 0);
    unsigned char frame[12] = {};
    std::size_t got = 0;
    ::fcntl(ptyMaster, F_SETFL, O_NONBLOCK);
    for (int i = 0; i < 100 && got < 12; ++i) {
        const auto n = ::read(ptyMaster, frame + got, 12 - got);
        if (n > 0) got += static_cast<std::size_t>(n);
        else ::usleep(10000);
    }
    ASSERT_EQ(got, 12u);
    EXPECT_EQ(frame[0], 0xAA);
    EXPECT_EQ(frame[1], 0x05);
    EXPECT_EQ(frame[2], 0x11);
    EXPECT_EQ(frame[3], 0x12);
    EXPECT_EQ(frame[7], 0x1F);
    EXPECT_EQ(frame[11], 0x0D);
}

}  // namespace kestora::test
