#include "intake/file_moves.h"

#include <fstream>

#include "app/app.h"

namespace kestora {

namespace fs = std::filesystem;

void ObrisiSadrzajBonFoldera(const std::string& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        // Only files are deleted; a sub-folder stays, like any entry whose
        // deletion fails.
        if (!it->is_directory(ignored)) fs::remove(it->path(), ignored);
    }
}

bool IsEmpty(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    return ec || it == fs::directory_iterator();
}

std::string datedFolderName(int year, int month, int day) {
    return std::to_string(day) + "-" + std::to_string(month) + "-" + std::to_string(year);
}

std::string vireoName(const std::string& name, long long receiptNumber) {
    return name.substr(0, 5) + "." + std::to_string(receiptNumber) + ".bon";
}

std::string errName(const std::string& name, bool receipt) { return name.substr(0, receipt ? 5 : 2) + ".err"; }

std::string opisName(const std::string& name, bool receipt) { return (receipt ? name.substr(0, 5) : name) + ".opis"; }

namespace {

// A name taken from a folder listing is a bare file name; anything that
// could lead out of the configured folders is refused.
bool safeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

fs::path FileMoves::inputFolder(int fromReceipts) const {
    return fromReceipts ? app_.FrmKonf.EdtTraceBon.text : app_.FrmKonf.EdtTraceToCam.text;
}

bool FileMoves::moveFile(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    fs::rename(source, target, ec);
    if (!ec) return true;
    if (fs::remove(target, ec) && !ec) {
        fs::rename(source, target, ec);
        return !ec;
    }
    fs::path aside = target;
    aside += "." + std::to_string(app_.Form1.FrameSeq);
    fs::rename(source, aside, ec);
    return !ec;
}

void FileMoves::reportNotMoved(const std::string& name, const fs::path& to) {
    app_.notice("Greska", "Datoteka " + name + " nije premestena u " + to.string() + "!", ButtonSet::Confirm);
}

void FileMoves::archive(const std::string& name, int fromReceipts, const std::string& targetName) {
    const LocalDateTime now = app_.ports.clock->now();
    const fs::path dated = fs::path(app_.FrmKonf.EdtTraceArh.text) / datedFolderName(now.year, now.month, now.day);
    std::error_code ec;
    const bool folderReady = fs::is_directory(dated, ec) || fs::create_directory(dated, ec);
    if (!safeName(name) || !safeName(targetName) || !folderReady ||
        !moveFile(inputFolder(fromReceipts) / name, dated / targetName))
        reportNotMoved(name, dated);
    recreateInputFolders();
}

void FileMoves::Prebaci(const std::string& name, int fromReceipts) { archive(name, fromReceipts, name); }

void FileMoves::PrebaciVireo(const std::string& name, int fromReceipts, long long receiptNumber) {
    archive(name, fromReceipts, vireoName(name, receiptNumber));
}

void FileMoves::PrebaciGreska(const std::string& name, int isReceipt) {
    const fs::path errors = app_.FrmKonf.EdtTraceFromCam.text;
    std::string& text = app_.Form1.ErrorText;
    bool described = false;
    if (safeName(name)) {
        std::ofstream out(errors / opisName(name, isReceipt), std::ios::binary | std::ios::trunc);
        std::size_t start = 0;
        for (std::size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1)
            out << text.substr(start, cr - start) << "\r\n";
        out << text.substr(start) << "\r\n";
        out.close();
        described = static_cast<bool>(out);
    }
    text.clear();
    if (!described)
        app_.notice("Greska", "Opis greske za " + name + " nije upisan u " + errors.string() + "!", ButtonSet::Confirm);
    if (!safeName(name) || !moveFile(inputFolder(isReceipt) / name, errors / errName(name, isReceipt)))
        reportNotMoved(name, errors);
    recreateInputFolders();
}

void FileMoves::recreateInputFolders() {
    bool lastFailed = false;
    for (const std::string* folder : {&app_.FrmKonf.EdtTraceBon.text, &app_.FrmKonf.EdtTraceToCam.text}) {
        std::error_code ec;
        if (fs::is_directory(*folder, ec)) continue;
        lastFailed = !fs::create_directory(*folder, ec) || ec;
    }
    if (lastFailed) app_.notice("Greska", "Proverite ulazne direktorijume!", ButtonSet::Confirm);
}

}  // namespace kestora
