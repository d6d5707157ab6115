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
