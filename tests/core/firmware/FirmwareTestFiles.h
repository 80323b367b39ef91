#pragma once

#include "tests/support/FileTestSupport.h"

#include <algorithm>
#include <string>

namespace fw::test {

// A firmware image of size bytes whose last 2048 bytes start with trailer and are padded with
// NULs; the image part is filler without NULs.
inline std::string FirmwareBytes(std::size_t size, const std::string& trailer) {
    std::string bytes(size, 'x');
    const std::size_t start = size >= 2048 ? size - 2048 : 0;
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), '\0');
    bytes.replace(start, std::min(trailer.size(), size - start), trailer, 0, size - start);
    return bytes;
}

inline std::string Trailer(const std::string& signature, const std::string& version,
                           const std::string& description) {
    return signature + '\0' + version + '\0' + description + '\0';
}

} // namespace fw::test
