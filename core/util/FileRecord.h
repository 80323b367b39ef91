#pragma once

#include <string>

namespace fw {

// What every catalogue record knows of its file. The records are rebuilt from the folder on
// every refresh and never stored.
class FileRecord {
public:
    std::string m_strPath;     // full path
    std::string m_strFileName; // without folder, as the catalogue shows it

    friend bool operator==(const FileRecord&, const FileRecord&) = default;
};

} // namespace fw
