#include "intake/file_moves.h"

#include <filesystem>

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

}  // namespace kestora
