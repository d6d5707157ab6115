#include <gtest/gtest.h>

#include <fstream>

#include "fakes.h"
#include "intake/file_moves.h"

namespace kestora::test {

TEST(ReceiptFolder, EmptyingDeletesEveryFileAndLeavesSubFolders) {
    TempDir d;
    for (const char* n : {"a.bon", "b.BON", "c.txt", ".hidden"}) std::ofstream(d.path / n) << "x";
    std::filesystem::create_directories(d.path / "sub" / "deeper");
    std::filesystem::create_directories(d.path / "empty");
    EXPECT_FALSE(IsEmpty(d.path.string()));
    ObrisiSadrzajBonFoldera(d.path.string());
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(d.path)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"empty", "sub"}));
    EXPECT_FALSE(IsEmpty(d.path.string()));  // a sub-folder is an entry
    std::filesystem::remove_all(d.path / "sub");
    std::filesystem::remove_all(d.path / "empty");
    EXPECT_TRUE(IsEmpty(d.path.string()));
}

}  // namespace kestora::test

namespace kestora::test {

namespace fs = std::filesystem;

static std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(FileNames, TargetNames) {
    EXPECT_EQ(datedFolderName(2009, 3, 5), "5-3-2009");
    EXPECT_EQ(datedFolderName(2026, 12, 10), "10-12-2026");
    EXPECT_EQ(vireoName("00017.bon", 123), "00017.123.bon");
    EXPECT_EQ(vireoName("00017.bon", 0), "00017.0.bon");
    EXPECT_EQ(errName("00017.bon", true), "00017.err");
    EXPECT_EQ(opisName("00017.bon", true), "00017.opis");
    EXPECT_EQ(errName("AIB.sys", false), "AI.err");
    EXPECT_EQ(opisName("AIB.sys", false), "AIB.sys.opis");
    EXPECT_EQ(errName("a.b", true), "a.b.err");  // shorter than five
}

struct MovesTest : ::testing::Test {
    Bench b;
    App& app() { return b.app(); }
    void SetUp() override {
        b.writeWorkingConfig();
        b.activate();
        b.op.shown.clear();
        b.clock.current = {2009, 3, 5, 10, 0, 0, 0};
        app().Form1.FrameSeq = 41;
    }
    fs::path put(const char* folder, const std::string& name, const std::string& body = "data") {
        const fs::path p = b.folder(folder) / name;
        std::ofstream(p, std::ios::binary) << body;
        return p;
    }
};

TEST_F(MovesTest, ArchivesIntoTheDaysFolder) {
    put("Bon", "00017.bon", "r1");
    put("UKasu", "OF.sys");
    put("Bon", "00018.bon", "r2");
    app().moves.Prebaci("00017.bon", 1);
    app().moves.Prebaci("OF.sys", 0);
    app().moves.PrebaciVireo("00018.bon", 1, 123);
    const fs::path day = b.folder("Arhiva") / "5-3-2009";
    EXPECT_EQ(slurp(day / "00017.bon"), "r1");
    EXPECT_TRUE(fs::exists(day / "OF.sys"));
    EXPECT_EQ(slurp(day / "00018.123.bon"), "r2");
    EXPECT_TRUE(IsEmpty(b.folder("Bon").string()));
    EXPECT_TRUE(b.op.shown.empty());
}

TEST_F(MovesTest, RefusedFilesGetTheirDescription) {
    put("Bon", "00017.bon");
    app().Form1.ErrorText = "\rLinija 2: los format\rSuma placanja nije dobra";
    app().moves.PrebaciGreska("00017.bon", 1);
    EXPECT_EQ(slurp(b.folder("IzKase") / "00017.opis"), "\r\nLinija 2: los format\r\nSuma placanja nije dobra\r\n");
    EXPECT_TRUE(fs::exists(b.folder("IzKase") / "00017.err"));
    EXPECT_TRUE(app().Form1.ErrorText.empty());

    // A command file with no message: one empty line.
    put("UKasu", "AIB.sys");
    app().moves.PrebaciGreska("AIB.sys", 0);
    EXPECT_EQ(slurp(b.folder("IzKase") / "AIB.sys.opis"), "\r\n");
    EXPECT_TRUE(fs::exists(b.folder("IzKase") / "AI.err"));

    // A second receipt with the same first five characters replaces both.
    put("Bon", "00017b.bon", "second");
    app().Form1.ErrorText = "\rdruga";
    app().moves.PrebaciGreska("00017b.bon", 1);
    EXPECT_EQ(slurp(b.folder("IzKase") / "00017.opis"), "\r\ndruga\r\n");
    EXPECT_EQ(slurp(b.folder("IzKase") / "00017.err"), "second");
    EXPECT_TRUE(b.op.shown.empty());
}

TEST_F(MovesTest, TargetThatCannotBeReplacedGetsTheSequenceNumber) {
    const fs::path day = b.folder("Arhiva") / "5-3-2009";
    fs::create_directories(day / "00017.bon" / "inside");  // a non-empty folder cannot be deleted
    put("Bon", "00017.bon", "r1");
    app().moves.Prebaci("00017.bon", 1);
    EXPECT_EQ(slurp(day / "00017.bon.41"), "r1");
    EXPECT_TRUE(b.op.shown.empty());

    // An empty folder in the way is deleted and replaced.
    fs::create_directories(day / "00020.bon");
    put("Bon", "00020.bon", "r2");
    app().moves.Prebaci("00020.bon", 1);
    EXPECT_EQ(slurp(day / "00020.bon"), "r2");
}

TEST_F(MovesTest, AFileThatCannotMoveStaysAndTheOperatorIsTold) {
    const fs::path day = b.folder("Arhiva") / "5-3-2009";
    fs::create_directories(day / "00017.bon" / "inside");
    fs::create_directories(day / "00017.bon.41" / "inside");
    put("Bon", "00017.bon", "r1");
    app().moves.Prebaci("00017.bon", 1);
    EXPECT_EQ(slurp(b.folder("Bon") / "00017.bon"), "r1");
    ASSERT_EQ(b.op.shown.size(), 1u);
    EXPECT_EQ(b.op.shown[0].title, "Greska");
    EXPECT_EQ(b.op.shown[0].text, "Datoteka 00017.bon nije premestena u " + day.string() + "!");

    // No archive folder: the day's folder cannot be made.
    fs::remove_all(b.folder("Arhiva"));
    app().moves.Prebaci("00017.bon", 1);
    EXPECT_TRUE(fs::exists(b.folder("Bon") / "00017.bon"));
    EXPECT_EQ(b.op.shown.size(), 2u);
}

TEST_F(MovesTest, NamesCannotLeaveTheFolders) {
    put("Bon", "x.bon");
    for (const char* bad : {"../x.bon", "..", "sub/x.bon", ""}) {
        app().moves.Prebaci(bad, 1);
        app().moves.PrebaciGreska(bad, 1);
    }
    EXPECT_TRUE(fs::exists(b.folder("Bon") / "x.bon"));
    EXPECT_FALSE(fs::exists(b.folder("Arhiva") / "x.bon"));
    EXPECT_FALSE(fs::exists(b.dir.path / "x.bon"));
    EXPECT_FALSE(fs::exists(b.folder("Arhiva") / "5-3-2009" / "x.bon"));
}

TEST_F(MovesTest, InputFoldersAreMadeAgain) {
    put("UKasu", "OF.sys");
    fs::remove_all(b.folder("Bon"));
    app().moves.Prebaci("OF.sys", 0);
    EXPECT_TRUE(fs::is_directory(b.folder("Bon")));
    EXPECT_TRUE(b.op.shown.empty());

    // A folder whose parent is gone cannot be made again.
    app().FrmKonf.EdtTraceToCam.text = (b.dir.path / "gone" / "UKasu").string();
    app().moves.Prebaci("none.sys", 0);
    ASSERT_FALSE(b.op.shown.empty());
    EXPECT_EQ(b.op.shown.back().text, "Proverite ulazne direktorijume!");
}

}  // namespace kestora::test
