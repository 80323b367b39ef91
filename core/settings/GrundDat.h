#pragma once

#include "core/util/FileRecord.h"

#include <cstdint>

namespace fw {

// One default-settings file of the catalogue. The program never looks inside the file.
class CGrundDat : public FileRecord {
public:
    std::int32_t m_size = 0; // file length in bytes

    friend bool operator==(const CGrundDat&, const CGrundDat&) = default;
};

} // namespace fw
