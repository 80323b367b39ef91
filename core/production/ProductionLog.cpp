#include "core/production/ProductionLog.h"

#include "core/util/FileIo.h"

#include <cerrno>
#include <sys/stat.h>

namespace fw {

std::vector<std::vector<std::string>> SplitCsvRecords(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool any = false; // the record has a field, even an empty one before a comma
    const auto endRecord = [&] {
        if (any || !field.empty()) {
            record.push_back(std::move(field));
            records.push_back(std::move(record));
        }
        record.clear();
        field.clear();
        any = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n') {
            endRecord();
        } else if (c != '\r' || (i + 1 < text.size() && text[i + 1] != '\n')) {
            field += c;
        }
    }
    endRecord();
    return records;
}

bool ReadProductionLog(const std::string& path, ProductionLogTable& table, std::string& reason) {
    table = {};
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT)
        return true;
    std::string text;
    if (!ReadWholeFile(path, text, reason))
        return false;
    std::vector<std::vector<std::string>> records = SplitCsvRecords(text);
    if (records.empty())
        return true;
    table.header = std::move(records.front());
    table.rows.assign(std::make_move_iterator(records.begin() + 1),
                      std::make_move_iterator(records.end()));
    return true;
}

} // namespace fw
