#pragma once
// What the device printed, showed or did that a person would see: the
// receipts with their lines, payments and numbers, voided and abandoned
// receipts, reports, free text, drawer openings and display texts.
#include <functional>
#include <string>
#include <vector>

namespace kestora::sim {

struct JournalEntry {
    // "receipt", "voided", "abandoned", "report", "free-text", "drawer",
    // "display", "clear-totals", "exit-printer-mode"
    std::string kind;
    long number = 0;                 // receipt number; report kind; display line
    std::vector<std::string> lines;  // UTF-8 text, one per printed line
};

class Journal {
public:
    void add(JournalEntry e);
    const std::vector<JournalEntry>& entries() const { return entries_; }
    std::vector<JournalEntry> ofKind(const std::string& kind) const;
    // Each finished entry as text is handed here (the program writes it to
    // the journal file).
    std::function<void(const std::string&)> sink;

    static std::string text(const JournalEntry& e);

private:
    std::vector<JournalEntry> entries_;
};

}  // namespace kestora::sim
