#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fw {

// List text on the system clipboard. Beside the plain text the raw Windows-1252 bytes go on
// under a private type, so that names with bytes that have no Unicode mapping come back
// unchanged and still match the pool.
inline constexpr const char* kCp1252MimeType = "application/x-flashwerk-cp1252";

void SetListClipboardText(std::string_view cp1252);
bool ClipboardHasText();

struct ClipboardBytes {
    std::string bytes;
    bool encodable = true; // false: foreign text with characters outside Windows-1252
};
// The clipboard's text as Windows-1252 bytes; nothing when it holds no text.
std::optional<ClipboardBytes> ListClipboardText();

} // namespace fw
