#pragma once

#include "core/link/ComPort.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace fw::link {

// One write that moved every byte.
inline bool WriteAll(CComPort& port, const void* data, std::size_t size) {
    std::size_t written = 0;
    return port.Write(data, size, written) == 1 && written == size;
}

inline bool WriteText(CComPort& port, std::string_view text) {
    return WriteAll(port, text.data(), text.size());
}

inline bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace fw::link
