#pragma once

#include <cstdint>
#include <string>

namespace fw {

// One default-settings file of the catalogue. The program never looks inside the file.
class CGrundDat {
public:
    std::int32_t m_size = 0; // file length in bytes
    std::string m_spare;     // unused, stays empty
    std::string m_path;
    std::string m_name; // with extension, as the catalogue shows it

    friend bool operator==(const CGrundDat&, const CGrundDat&) = default;
};

} // namespace fw
