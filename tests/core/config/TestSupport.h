#pragma once

#include "core/config/FontText.h"
#include "core/config/LogFont.h"
#include "tests/support/FileTestSupport.h"

#include <ostream>

namespace fw {

// Readable failure messages for fonts.
inline void PrintTo(const LogFont& font, std::ostream* out) {
    *out << '"' << FontToString(font) << '"';
}

} // namespace fw
