#include "core/editor/ClipboardText.h"

namespace fw {

std::vector<std::string_view> SplitClipboardLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

std::string PoolClipboardText(const ProgramPool& pool, const std::vector<int>& rows) {
    std::string text;
    for (int row : rows) {
        text += pool.LineOfRow(row);
        text += "\r\n";
    }
    return text;
}

} // namespace fw
