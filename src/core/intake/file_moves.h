#pragma once
// Moving processed files out of the input folders, and the receipt-folder
// operations of Start.
#include <string>

namespace kestora {

// Deletes every entry of the folder that can be deleted; sub-folders and
// files that cannot be removed are left.
void ObrisiSadrzajBonFoldera(const std::string& folder);
// True when the folder holds no entry at all (a missing folder counts as empty).
bool IsEmpty(const std::string& folder);

}  // namespace kestora
