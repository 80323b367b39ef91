#pragma once

#include "core/util/FileRecord.h"

#include <array>
#include <cstdint>
#include <string>

namespace fw {

// One program-list file in the catalogue of the program-list page. It has no stored form:
// the catalogue is rebuilt from the files on every refresh.
class CListenDat : public FileRecord {
public:
    // The texts in the order type, description, full path, file name, size (decimal).
    using Texts = std::array<std::string, 5>;

    CListenDat() = default;
    explicit CListenDat(const Texts& texts) { Fill(texts); }

    void Fill(const Texts& texts);

    std::int32_t m_nSize = 0; // bytes, when the file was read
    std::string m_strName;    // description; "NDEF" as in the file
    std::string m_strType;    // "TV", "RA" or "NDEF"
    // The file needs a repair that could not be written: what the catalogue shows and a send
    // uses is the repaired text, never the file as it is.
    bool m_unrepairedOnDisk = false;
};

} // namespace fw
