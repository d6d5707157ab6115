#pragma once
// The folder watcher: one file per tick, command folder first; the command
// files turned into device commands; the receipt files read and checked.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "intake/receipt_file.h"

namespace kestora {

class App;

struct freetext {
    std::int32_t lineNumber = 0;  // 1-based; 0 marks an empty entry
    std::string text;
    std::uint8_t printed = 0;
};

inline constexpr std::size_t kFreeTextLines = 256;

class Intake {
public:
    explicit Intake(App& app) : app_(app) {}

    ReceiptTable ReceiptLines{};
    std::string CmdFileName;
    std::array<freetext, kFreeTextLines> FreeTextLines{};

    // Submission of a checked receipt.
    std::function<void()> onReceiptChecked;
    // The articles window's "Isprazni kasu", started by "IK.sys".
    std::function<void()> startEmptying;

    // The tick of Timer.
    void TimerTimer();
    // The first file of the folder in name order that is a regular, visible,
    // settled file (and, with bonOnly, named *.bon in any letter case).
    bool UzmiBon(const std::string& folder, bool bonOnly, std::string& name);
    // Reads and checks the receipt named by BonFileName.
    void Obrada();

private:
    void commandFile(const std::string& name);
    void reportCommand(const std::string& name, int kind, int lo, int hi, bool clearTotals);
    void freeText(const std::string& name);
    void badParameters(const std::string& name, const std::string& message);
    // The file's content; after a failed open a second try 300 ms later.
    std::optional<std::string> readWithRetry(const std::filesystem::path& file);
    std::optional<std::vector<std::string>> readCommandLines(const std::string& name);

    struct Seen {
        std::uintmax_t size;
        std::filesystem::file_time_type time;
    };
    // Per folder: size and time of each candidate at the previous tick.
    std::map<std::string, std::map<std::string, Seen>> seen_;
    App& app_;
};

}  // namespace kestora
