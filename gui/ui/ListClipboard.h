#pragma once

#include "core/editor/ListDocument.h"

#include <QVariant>

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

// Forgets a pending cut once the clipboard no longer holds its text: its rows are no longer
// waiting for a paste.
void ForgetCutUnlessOnClipboard(std::optional<PendingCut>& cut);

// How the rows of a pending cut look until the paste, for a model's data(): greyed, and italic
// so that it shows within the selection too (role ForegroundRole or FontRole; bold for a bold
// column). Nothing for other roles.
QVariant CutRowLook(int role, bool bold = false);

} // namespace fw
