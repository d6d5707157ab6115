#include "intake/intake.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/app.h"
#include "app/date_format.h"
#include "app/models.h"
#include "app/text.h"

namespace kestora {

namespace fs = std::filesystem;

namespace {

bool hasBonExtension(const std::string& name) {
    return name.size() > 4 && equalsIgnoreCase(name.substr(name.size() - 4), ".bon");
}

enum class Cmd { OF, IK, PD1, PD2, PD0, FT, DI, PS, PI, AI, AIB, OI, KI };

struct CommandRow {
    const char* name;
    Cmd cmd;
    bool (*allowed)(int model);
    const char* refusal;
};

bool drawerModels(int m) { return modelInfo(m).drawerCommand; }
bool anyModel(int) { return true; }
bool printerOnly(int m) { return modelInfo(m).printerCommands; }

const CommandRow kCommands[] = {
    {"OF.sys", Cmd::OF, drawerModels, "Komandu za otvaranje fioke moguce je koristiti samo kod kase Vireo i Belvia i stampaca Tavor!"},
    {"IK.sys", Cmd::IK, anyModel, ""},
    {"PD1.sys", Cmd::PD1, printerOnly, "Komandu za prikaz na displeju moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"PD2.sys", Cmd::PD2, printerOnly, "Komandu za prikaz na displeju moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"PD0.sys", Cmd::PD0, printerOnly, "Komandu za prikaz na displeju moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"FT.sys", Cmd::FT, printerOnly, "Komandu za stampanje slobodnog teksta moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"DI.sys", Cmd::DI, printerOnly, "Komandu za stampanje dnevnog izvestaja moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"PS.sys", Cmd::PS, printerOnly, "Komandu za stampanje preseka stanja moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"PI.sys", Cmd::PI, printerOnly, "Komandu za stampanje periodicnog izvestaja moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"AI.sys", Cmd::AI, printerOnly, "Komandu za stampanje izvestaja po artiklima moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"AIB.sys", Cmd::AIB, printerOnly, "Komandu za izvestaj po artiklima moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"OI.sys", Cmd::OI, printerOnly, "Komandu za stampanje izvestaja po odeljenjima moguce je koristiti samo kod stampaca Orvo Tavor!"},
    {"KI.sys", Cmd::KI, printerOnly, "Komandu za stampanje izvestaja po kasirima moguce je koristiti samo kod stampaca Orvo Tavor!"},
};

constexpr const char* kBadParameters = "Losi parametri u fajlu!";
constexpr const char* kTooManyLines = "Fajl sa slobodnim tekstom ima vise od 256 linija!";

}  // namespace

bool Intake::UzmiBon(const std::string& folder, bool bonOnly, std::string& name) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (n.empty() || n[0] == '.' || (bonOnly && !hasBonExtension(n))) continue;
        // The listing already knows the kind of entry: no call per file.
        std::error_code ignored;
        if (it->is_symlink(ignored) || !it->is_regular_file(ignored)) continue;
        names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    // Only files still in the folder are remembered.
    auto& seen = seen_[folder];
    std::map<std::string, Seen> kept;
    for (const std::string& n : names)
        if (const auto it = seen.find(n); it != seen.end()) kept.insert(*it);
    seen.swap(kept);
    for (const std::string& n : names) {
        const fs::path p = fs::path(folder) / n;
        std::error_code e1, e2;
        const Seen now{fs::file_size(p, e1), fs::last_write_time(p, e2)};
        if (e1 || e2) continue;
        const auto before = seen.find(n);
        const bool settled = before != seen.end() && before->second.size == now.size && before->second.time == now.time;
        seen[n] = now;
        if (!settled) continue;  // still being written: a later tick takes it
        name = n;
        return true;
    }
    return false;
}

void Intake::TimerTimer() {
    MainForm& f = app_.Form1;
    KonfigForm& k = app_.FrmKonf;
    std::string name;
    if (UzmiBon(k.EdtTraceToCam.text, false, name)) {
        commandFile(name);
        return;
    }
    if (!UzmiBon(k.EdtTraceBon.text, true, name) || name == f.BonFileName) return;
    f.BonFileName = name;
    f.Timer.setEnabled(false);
    Obrada();
}

std::optional<std::string> Intake::readWithRetry(const fs::path& file) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) app_.pause(300);
        std::ifstream in(file, std::ios::binary);
        if (!in) continue;
        std::ostringstream content;
        content << in.rdbuf();
        if (!in.bad()) return content.str();
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> Intake::readCommandLines(const std::string& name) {
    const auto content = readWithRetry(fs::path(app_.FrmKonf.EdtTraceToCam.text) / name);
    if (!content) {
        app_.notice("Greska!", "Doslo je do problema sa otvaranjem fajla!", ButtonSet::Confirm);
        return std::nullopt;
    }
    return textFileLines(*content);
}

void Intake::badParameters(const std::string& name, const std::string& message) {
    MainForm& f = app_.Form1;
    f.CmdFileActive = 0;
    app_.link.rx.clear();
    f.ErrorText += "\r" + message;
    app_.moves.PrebaciGreska(name, 0);
    f.Timer.setEnabled(true);
}

void Intake::commandFile(const std::string& name) {
    MainForm& f = app_.Form1;
    CmdFileName = name;
    const CommandRow* row = nullptr;
    for (const CommandRow& r : kCommands)
        if (equalsIgnoreCase(name, r.name)) {
            row = &r;
            break;
        }
    if (!row) {
        f.ErrorText += "\rNepoznata komanda!";
        app_.moves.PrebaciGreska(name, 0);
        return;
    }
    if (!row->allowed(f.Model)) {
        f.ErrorText += std::string("\r") + row->refusal;
        app_.moves.PrebaciGreska(name, 0);
        return;
    }
    f.CmdFileActive = 1;
    f.Timer.setEnabled(false);
    switch (row->cmd) {
        case Cmd::OF:
            if (f.Model == 1 || f.Model == 5) app_.conversation.openDrawer();  // watched for its answer
            else app_.commands.OtvoriFioku();
            break;
        case Cmd::IK:
            if (startEmptying) startEmptying();
            break;
        case Cmd::PD1:
        case Cmd::PD2:
            if (const auto lines = readCommandLines(name))
                app_.commands.LcdShow(lines->empty() ? std::string() : (*lines)[0], row->cmd == Cmd::PD1 ? 0 : 1);
            break;
        case Cmd::PD0: app_.commands.LcdShow("", 2); break;
        case Cmd::FT: freeText(name); break;
        case Cmd::DI: app_.commands.Izvestaj(0, "0", "0"); break;
        case Cmd::PS: app_.commands.Izvestaj(1, "0", "0"); break;
        case Cmd::PI: reportCommand(name, 2, 0, 0, false); break;
        case Cmd::AI: reportCommand(name, 3, 1, 60000, true); break;
        case Cmd::AIB: reportCommand(name, 3, 1, 60000, false); break;
        case Cmd::OI: reportCommand(name, 4, 1, 16, false); break;
        case Cmd::KI: reportCommand(name, 5, 1, 64, false); break;
    }
}

void Intake::reportCommand(const std::string& name, int kind, int lo, int hi, bool clearTotals) {
    const auto lines = readCommandLines(name);
    if (!lines) return;
    const std::string first = lines->size() > 0 ? (*lines)[0] : std::string();
    const std::string second = lines->size() > 1 ? (*lines)[1] : std::string();
    bool ok = true;
    for (const std::string* l : {&first, &second}) {
        if (kind == 2) {
            ok = ok && parseShortDate(*l, app_.shortDateFormat()).has_value();
        } else {
            const auto v = parseWhole(*l);
            ok = ok && v && *v >= lo && *v <= hi;
        }
    }
    if (!ok) {
        badParameters(name, kBadParameters);
        return;
    }
    if (clearTotals) app_.Form1.ClearTotalsPending = 1;
    app_.commands.Izvestaj(kind, first, second);
}

void Intake::freeText(const std::string& name) {
    MainForm& f = app_.Form1;
    FreeTextLines.fill(freetext{});
    const auto lines = readCommandLines(name);
    if (!lines) return;
    // A cut text printed as if whole would be a failure reported as success.
    if (lines->size() > kFreeTextLines) {
        badParameters(name, kTooManyLines);
        return;
    }
    for (std::size_t i = 0; i < lines->size(); ++i)
        FreeTextLines[i] = {static_cast<std::int32_t>(i + 1), (*lines)[i], 0};
    if (!lines->empty()) {
        app_.commands.FreeTextBegin();
        return;
    }
    f.CmdFileActive = 0;
    app_.link.rx.clear();
    app_.moves.Prebaci(name, 0);
    f.Timer.setEnabled(true);
}

void Intake::Obrada() {
    MainForm& f = app_.Form1;
    // 1.
    f.Step = 0;
    f.Timer.setEnabled(false);
    ReceiptLines.fill(racun{});
    // 2. Capacity warning.
    const ModelInfo& m = modelInfo(f.Model);
    const std::size_t count = app_.setArtikli.count();
    if (count > static_cast<std::size_t>(m.capacityWarning))
        app_.notice("UPOZORENJE",
                    "U bazi se nalazi " + std::to_string(count) +
                        (m.printer ? " artikala. Pozeljno je uraditi praznjenje stampaca!"
                                   : " artikala. Pozeljno je uraditi praznjenje kase!"),
                    ButtonSet::OkOnly);
    // 3. Open, with one retry.
    const auto content = readWithRetry(fs::path(app_.FrmKonf.EdtTraceBon.text) / f.BonFileName);
    if (!content) {
        app_.notice("Greska!", "Doslo je do problema sa otvaranjem bon fajla!", ButtonSet::Confirm);
        return;
    }
    // 4, 5.
    const bool exact = f.Model == 1 && !app_.FrmKonf.cbZaokruzi.checked;
    const std::string faults = checkReceipt(textFileLines(*content), content->empty(), f.NameLength, exact, ReceiptLines);
    // 6.
    if (!faults.empty()) {
        f.ErrorText += faults;
        app_.moves.PrebaciGreska(f.BonFileName, 1);
        f.Timer.setEnabled(true);
        return;
    }
    if (onReceiptChecked) onReceiptChecked();
}

}  // namespace kestora
