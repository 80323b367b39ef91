#include "core/util/ByteOrder.h"

namespace fw {

int PutU32BE(std::uint32_t value, unsigned char* destination) {
    destination[0] = static_cast<unsigned char>(value >> 24);
    destination[1] = static_cast<unsigned char>(value >> 16);
    destination[2] = static_cast<unsigned char>(value >> 8);
    destination[3] = static_cast<unsigned char>(value);
    return 1;
}

int PutU16BE(std::uint32_t value, unsigned char* destination) {
    destination[0] = static_cast<unsigned char>(value >> 8);
    destination[1] = static_cast<unsigned char>(value);
    return 1;
}

} // namespace fw
