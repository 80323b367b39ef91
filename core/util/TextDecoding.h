#pragma once

#include <string>
#include <string_view>

namespace fw {

// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Text a user wrote in any editor, as UTF-8: taken as UTF-8 when it is valid UTF-8 (a byte order
// mark at the start is dropped), else decoded as Windows-1252, which every byte is. Sets
// wasCp1252 to which of the two it was.
std::string DecodeUtf8OrCp1252(std::string_view bytes, bool* wasCp1252 = nullptr);

} // namespace fw
