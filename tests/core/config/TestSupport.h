#pragma once

#include "config/FontText.h"
#include "config/LogFont.h"
#include "support/FileTestSupport.h"

#include <ostream>

namespace fw {

// Readable failure messages for fonts.
inline void PrintTo(const LogFont& font, std::ostream* out) {
    *out << '"' << FontToString(font) << '"';
}

} // namespace fw
