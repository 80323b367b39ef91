#pragma once

#include <cstdint>

namespace fw {

// The receiver's wire format is big-endian throughout.
int PutU32BE(std::uint32_t value, unsigned char* destination);
int PutU16BE(std::uint32_t value, unsigned char* destination);

} // namespace fw
