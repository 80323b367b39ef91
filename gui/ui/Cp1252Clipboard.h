#pragma once

#include <optional>
#include <string>

namespace fw {

// List texts on the system clipboard. The Windows-1252 bytes travel beside the plain text
// under a private type, so that bytes without a Unicode character survive a copy within
// the program; text from elsewhere is converted.
void PutCp1252Text(const std::string& bytes);

// The clipboard's text as Windows-1252 bytes; "" when it holds no text. Nothing when it holds
// characters the code page lacks (a paste of it would store '?' for them).
std::optional<std::string> ClipboardCp1252Text();

bool ClipboardHasText();

} // namespace fw
