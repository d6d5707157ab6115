#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/config.h"
#include "app/ini_file.h"
#include "fakes.h"

namespace kestora::test {

static std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(IniFile, KeepsUnknownSectionsAndKeysAndMatchesWithoutCase) {
    IniFile ini = IniFile::parse("; comment\n[Portovi]\r\nCOM2 = /dev/ttyUSB0\n[konfiguracija]\nModel=3\nNovo=x\n");
    EXPECT_EQ(ini.get("Konfiguracija", "MODEL").value(), "3");
    EXPECT_EQ(ini.get("Portovi", "com2").value(), "/dev/ttyUSB0");
    ini.set("Konfiguracija", "Model", "4");
    ini.set("Konfiguracija", "Tray", "1");
    EXPECT_EQ(ini.serialize(), "[Portovi]\nCOM2=/dev/ttyUSB0\n\n[konfiguracija]\nModel=4\nNovo=x\nTray=1\n");
    EXPECT_FALSE(ini.get("Konfiguracija", "Bon").has_value());
}

TEST(ConfigFile, MissingFileGivesBuiltInRecord) {
    TempDir dir;
    ConfigFile f(dir.path / kConfigFileName);
    const ConfigRecord r = f.load();
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    EXPECT_EQ(r.Bon, home + "/Ulex/Bon");
    EXPECT_EQ(r.Komanda, home + "/Ulex/UKasu");
    EXPECT_EQ(r.Greska, home + "/Ulex/IzKase");
    EXPECT_EQ(r.Arhiva, home + "/Ulex/Arhiva");
    EXPECT_EQ(r.Duzina, 33);
    EXPECT_EQ(r.Port, 2);
    EXPECT_EQ(r.Model, 4);
    EXPECT_EQ(r.IBFM, "000000");
    EXPECT_EQ(r.Konekcija, 0);
    EXPECT_EQ(r.IP, "0.0.0.0");
    EXPECT_EQ(r.Zaokruzi, 0);
    EXPECT_EQ(r.Tray, 0);
    EXPECT_EQ(r.IsprazniBonFolder, 3);
    EXPECT_FALSE(std::filesystem::exists(dir.path / kConfigFileName));
}

TEST(ConfigFile, NotWholeNumbersAreMarkedAndMissingKeysKeepBuiltIn) {
    TempDir dir;
    std::ofstream(dir.path / kConfigFileName) << "[Konfiguracija]\nDuzina=3.5\nPort=abc\nModel= 2 \nTray=\nIBFM=42\n";
    const ConfigRecord r = ConfigFile(dir.path / kConfigFileName).load();
    EXPECT_FALSE(r.Duzina.has_value());
    EXPECT_FALSE(r.Port.has_value());
    EXPECT_EQ(r.Model, 2);
    EXPECT_FALSE(r.Tray.has_value());
    EXPECT_EQ(r.IBFM, "42");
    EXPECT_EQ(r.IsprazniBonFolder, 3);
}

TEST(ConfigFile, SaveRoundTripsAndKeepsOtherSettings) {
    TempDir dir;
    const auto path = dir.path / kConfigFileName;
    std::ofstream(path) << "[Portovi]\nCOM3=/dev/pts/9\n[Konfiguracija]\nDatumFormat=dd.MM.yyyy\nModel=1\n";
    ConfigFile f(path);
    f.load();
    ConfigRecord r = ConfigRecord::builtIn();
    r.Bon = "/srv/bon";
    r.Model = 5;
    r.IP = "10.0.0.1:4000";
    f.save(r);
    const std::string text = readFile(path);
    EXPECT_NE(text.find("COM3=/dev/pts/9"), std::string::npos);
    EXPECT_NE(text.find("DatumFormat=dd.MM.yyyy"), std::string::npos);
    EXPECT_NE(text.find("Model=5"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
    ConfigFile again(path);
    const ConfigRecord back = again.load();
    EXPECT_EQ(back.Bon, "/srv/bon");
    EXPECT_EQ(back.Model, 5);
    EXPECT_EQ(back.IP, "10.0.0.1:4000");
    EXPECT_EQ(again.devicePathFor("COM3"), "/dev/pts/9");
    EXPECT_EQ(again.devicePathFor("COM1"), "/dev/ttyS0");
    EXPECT_EQ(again.devicePathFor("COM8"), "/dev/ttyS7");
    EXPECT_EQ(again.dateFormat(), "dd.MM.yyyy");
}

TEST(ConfigFile, AFailedSaveThrowsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const auto path = dir.path / kConfigFileName;
    std::filesystem::create_directories(path);  // a folder where the file should be: rename fails
    ConfigFile f(path);
    EXPECT_THROW(f.save(ConfigRecord::builtIn()), PlatformError);
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_THROW(ConfigFile(dir.path / "missing" / kConfigFileName).save(ConfigRecord::builtIn()), PlatformError);
}

}  // namespace kestora::test
