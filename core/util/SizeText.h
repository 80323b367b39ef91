#pragma once

#include <cstdint>
#include <string>

namespace fw {

// The size column of the file catalogues: whole kilobytes rounded up by one, so that even an
// empty file reads "1 KB" (1023 bytes "1 KB", 1024 bytes "2 KB").
std::string CatalogueSizeText(std::uint64_t bytes);

} // namespace fw
