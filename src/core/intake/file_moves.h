#pragma once
// Moving processed files out of the input folders: into the day's archive
// folder when carried out, into the error folder with a description when
// refused; and the receipt-folder operations of Start.
#include <cstdint>
#include <filesystem>
#include <string>

namespace kestora {

class App;

// Deletes every entry of the folder that can be deleted; sub-folders and
// files that cannot be removed are left.
void ObrisiSadrzajBonFoldera(const std::string& folder);
// True when the folder holds no entry at all (a missing folder counts as empty).
bool IsEmpty(const std::string& folder);

// The target names.
std::string datedFolderName(int year, int month, int day);  // "5-3-2009"
std::string vireoName(const std::string& name, long long receiptNumber);  // first5.N.bon
std::string errName(const std::string& name, bool receipt);                 // first5.err / first2.err
std::string opisName(const std::string& name, bool receipt);                // first5.opis / name.opis

class FileMoves {
public:
    explicit FileMoves(App& app) : app_(app) {}

    // Archives a carried-out file from the receipt folder (1) or the command folder (0).
    void Prebaci(const std::string& name, int fromReceipts);
    // Archives a printed receipt under the receipt number the device reported.
    void PrebaciVireo(const std::string& name, int fromReceipts, long long receiptNumber);
    // Writes the description file from ErrorText, empties it, and moves the
    // file to the error folder.
    void PrebaciGreska(const std::string& name, int isReceipt);

    // Moves source to target: rename; else delete the target and rename;
    // else rename to target + "." + FrameSeq. False when the file stayed.
    bool moveFile(const std::filesystem::path& source, const std::filesystem::path& target);

private:
    void archive(const std::string& name, int fromReceipts, const std::string& targetName);
    void recreateInputFolders();
    void reportNotMoved(const std::string& name, const std::filesystem::path& to);
    std::filesystem::path inputFolder(int fromReceipts) const;
    App& app_;
};

}  // namespace kestora
