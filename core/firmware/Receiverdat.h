#pragma once

#include "core/util/FileRecord.h"

#include <cstdint>
#include <string>

namespace fw {

class CTransferFile;

// One firmware file of the catalogue. Lives in memory only; rebuilt from the files.
class CReceiverdat : public FileRecord {
public:
    CReceiverdat() = default;
    // From a file that passed OpenAndCheck and ReadTrailerStrings(3): trailer string 1 is the
    // version text, string 2 the description.
    explicit CReceiverdat(const CTransferFile& file);

    std::string m_version;
    std::int32_t m_size = 0; // the whole file, trailer included
    std::string m_description;
    std::int32_t m_kind = 0; // 1 or 2 from the signature

    friend bool operator==(const CReceiverdat&, const CReceiverdat&) = default;
};

} // namespace fw
