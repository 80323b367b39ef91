#pragma once

#include "core/lists/ProgramPool.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Lines of clipboard text: a line ends at CR LF, LF or CR, so text from any system splits
// the same way; a last line without a line end is a line too.
std::vector<std::string_view> SplitClipboardLines(std::string_view text);

// The rows' program lines (eleven fields joined by TAB), each ended by CR LF.
std::string PoolClipboardText(const ProgramPool& pool, const std::vector<int>& rows);

} // namespace fw
