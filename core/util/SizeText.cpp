#include "core/util/SizeText.h"

namespace fw {

std::string CatalogueSizeText(std::uint64_t bytes) {
    return std::to_string(bytes / 1024 + 1) + " KB";
}

} // namespace fw
