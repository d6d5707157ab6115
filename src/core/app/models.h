#pragma once
// The five device models and what each can do. Every model-dependent rule
// that is a plain capability is answered here, from one table.
#include <array>
#include <string_view>

namespace kestora {

struct ModelInfo {
    int model;                 // 1..5, as stored in the configuration
    std::string_view name;     // item text of CBModel
    bool printer;              // the fiscal printer (serial or TCP)
    bool tcpAllowed;
    bool roundingAllowed;
    bool reports;              // reports button and articles window's BtnSync
    bool startsWithStatus;     // Start sends a status request
    bool drawerCommand;        // "OF.sys" accepted
    bool printerCommands;      // display, free text and report command files
    int capacity;              // article-memory size; receipts stop at this many local records
    int capacityWarning;       // warn when the local table holds more than this
    bool writesUnknownArticles;
    bool asksLeavePrinterMode; // closing offers to leave the fiscal-printer mode
};

inline constexpr std::array<ModelInfo, 5> kModels{{
    {1, "Vireo",       false, false, true,  false, false, true,  false, 4000,  3990,  true,  false},
    {2, "Ostra",       false, false, false, false, false, false, false, 3000,  2990,  false, false},
    {3, "Ostra(Novi)", false, false, false, false, false, false, false, 3000,  2990,  true,  false},
    {4, "Orvo Tavor",  true,  true,  false, true,  true,  true,  true,  60000, 59990, true,  false},
    {5, "Belvia",      false, false, false, false, false, true,  false, 12000, 11990, true,  true},
}};

inline constexpr bool validModel(int model) { return model >= 1 && model <= 5; }

// Capabilities of a model number; an unknown number gets model 1's row with
// every optional capability off, so no branch can index out of the table.
inline const ModelInfo& modelInfo(int model) {
    static constexpr ModelInfo none{0, "", false, false, false, false, false, false, false, 0, 0, false, false};
    return validModel(model) ? kModels[static_cast<std::size_t>(model - 1)] : none;
}

}  // namespace kestora
