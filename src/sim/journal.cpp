#include "journal.h"

namespace kestora::sim {

void Journal::add(JournalEntry e) {
    entries_.push_back(std::move(e));
    if (sink) sink(text(entries_.back()));
}

std::vector<JournalEntry> Journal::ofKind(const std::string& kind) const {
    std::vector<JournalEntry> out;
    for (const auto& e : entries_)
        if (e.kind == kind) out.push_back(e);
    return out;
}

std::string Journal::text(const JournalEntry& e) {
    std::string s = e.kind + " " + std::to_string(e.number) + "\n";
    for (const auto& l : e.lines) s += "  " + l + "\n";
    return s;
}

}  // namespace kestora::sim
