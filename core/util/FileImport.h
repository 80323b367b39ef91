#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fw {

enum class ImportStatus {
    Copied,   // the file now lies in the folder
    SameFile, // the source already is the target: nothing was copied
    Exists,   // a file of that name is there and overwrite was not given
    Refused,  // the check refused the content (reason says why); the folder is unchanged
    Failed    // reason holds the system's explanation; the folder is unchanged
};

// Why a file's content must not come into the folder; an empty text lets it in.
using ImportCheck = std::function<std::string(std::string_view content)>;

struct ImportResult {
    ImportStatus status = ImportStatus::Failed;
    std::string target; // full path of the file in the folder
    std::string reason;
};

// Copies source into folder under targetName. A file already in the folder whose name equals
// targetName ignoring case counts as the target (the data comes from case-blind systems), so
// an import never leaves two files that differ only in case. A source that already lies in
// the folder under a name equal ignoring case is the same file. The copy is written whole or
// not at all: a replaced file stays intact when the copy fails. The check sees the content
// before anything is asked or copied.
ImportResult ImportFile(const std::string& source, const std::string& folder,
                        const std::string& targetName, bool overwrite,
                        const ImportCheck& check = {});

// Removes a file of a catalogue folder; false with the system's reason when it is still there.
[[nodiscard]] bool DeleteFile(const std::string& path, std::string& reason);

} // namespace fw
