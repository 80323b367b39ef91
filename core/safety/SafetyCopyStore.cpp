#include "core/safety/SafetyCopyStore.h"

#include "core/config/Konfiguration.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

struct KindNaming {
    SafetyCopyKind kind;
    std::string_view prefix;
    std::string_view extension;
};

constexpr std::array<KindNaming, 3> kNamings = {{
    {SafetyCopyKind::TvList, "tv", ".lst"},
    {SafetyCopyKind::RadioList, "radio", ".lst"},
    {SafetyCopyKind::Settings, "settings", ".grd"},
}};

const KindNaming& NamingOf(SafetyCopyKind kind) {
    return *std::find_if(kNamings.begin(), kNamings.end(),
                         [kind](const KindNaming& naming) { return naming.kind == kind; });
}

// A head line is short; the rest of a list file need not be read to list it.
constexpr std::size_t kHeadBytes = 512;
// Far more than any folder will hold; ends the search for a free name.
constexpr int kLastSequence = 9999;

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The model goes into file names and descriptions, where a separator, a blank or a dash would
// make it unreadable again.
std::string ModelForName(std::string_view model) {
    std::string clean;
    std::copy_if(model.begin(), model.end(), std::back_inserter(clean), IsAsciiAlnum);
    return clean.empty() ? std::string(kTypeTextUnknown) : clean;
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// "20261207-232605"
std::string NameStamp(const LocalDateTime& t) {
    return std::to_string(t.year) + TwoDigits(t.month) + TwoDigits(t.day) + "-" +
           TwoDigits(t.hour) + TwoDigits(t.minute) + TwoDigits(t.second);
}

// The number of a field of exactly count decimal digits; -1 for anything else.
int Digits(std::string_view text, std::size_t count) {
    if (count == 0 || text.size() != count || !IsAllDigits(text))
        return -1;
    return std::stoi(std::string(text));
}

std::vector<std::string_view> SplitAtDashes(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t dash = text.find('-'); dash != std::string_view::npos; dash = text.find('-')) {
        parts.push_back(text.substr(0, dash));
        text.remove_prefix(dash + 1);
    }
    parts.push_back(text);
    return parts;
}

// Reads "PREFIX-YYYYMMDD-HHMMSS[-MODEL][-N].EXT" as the store writes it; a settings copy always
// names its model, a list copy never does.
std::optional<SafetyCopy> ParseCopyName(const std::string& fileName) {
    for (const KindNaming& naming : kNamings) {
        std::string_view name = fileName;
        if (!name.ends_with(naming.extension))
            continue;
        name.remove_suffix(naming.extension.size());
        const std::vector<std::string_view> parts = SplitAtDashes(name);
        const std::size_t fixed = naming.kind == SafetyCopyKind::Settings ? 4 : 3;
        if (parts.front() != naming.prefix || parts.size() < fixed || parts.size() > fixed + 1)
            continue;
        const int date = Digits(parts[1], 8);
        const int time = Digits(parts[2], 6);
        const std::string_view number = parts.size() > fixed ? parts.back() : "1";
        const int sequence = number.size() <= 4 ? Digits(number, number.size()) : -1;
        // The first copy of a second has no number: "-1" is someone else's name.
        if (date < 0 || time < 0 || sequence < 0 || (sequence < 2 && parts.size() > fixed))
            continue;
        SafetyCopy copy;
        copy.kind = naming.kind;
        copy.fileName = fileName;
        copy.taken = {date / 10000, date / 100 % 100, date % 100,
                      time / 10000, time / 100 % 100, time % 100};
        if (naming.kind == SafetyCopyKind::Settings)
            copy.model = std::string(parts[3]);
        copy.sequence = sequence;
        return copy;
    }
    return std::nullopt;
}

// The model from a list copy's description "... YYYY-MM-DD HH:MM MODEL"; empty when the head
// holds another description.
std::string ModelFromListHead(const std::string& path) {
    OpenedFile opened = OpenRegularFile(path, kTextFileLimit);
    if (opened.status != OpenedFile::Status::Opened)
        return {};
    std::array<char, kHeadBytes> head{};
    const ssize_t got = ::read(opened.fd, head.data(), head.size());
    ::close(opened.fd);
    if (got <= 0)
        return {};
    std::string_view line(head.data(), static_cast<std::size_t>(got));
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::size_t lastBlank = line.rfind(' ');
    if (lastBlank == std::string_view::npos)
        return {};
    const std::string_view model = line.substr(lastBlank + 1);
    const std::string_view before = line.substr(0, lastBlank);
    // "YYYY-MM-DD HH:MM" right before the model
    constexpr std::size_t kStampLength = 16;
    if (before.size() < kStampLength)
        return {};
    const std::string_view stamp = before.substr(before.size() - kStampLength);
    const bool isStamp = stamp[4] == '-' && stamp[7] == '-' && stamp[10] == ' ' &&
                         stamp[13] == ':' && IsAllDigits(stamp.substr(0, 4));
    if (!isStamp || model.empty() || !std::all_of(model.begin(), model.end(), IsAsciiAlnum))
        return {};
    return std::string(model);
}

bool NewestFirst(const SafetyCopy& a, const SafetyCopy& b) {
    if (a.taken != b.taken)
        return a.taken > b.taken;
    if (a.sequence != b.sequence)
        return a.sequence > b.sequence;
    return a.fileName < b.fileName;
}

// The folder with every missing one above it: the tool may send before the program ever made
// the data folder and its lists folder.
bool MakeFolder(const std::string& path, std::string& reason) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            reason = SystemReason(folder, errno);
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

LocalDateTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string LocalDateTimeText(const LocalDateTime& t) {
    return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + " " +
           TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

std::vector<SafetyCopy> ListSafetyCopies(const std::string& folder) {
    std::vector<SafetyCopy> copies;
    for (const FoundFile& file : FindFilesWithExtension(folder, "")) {
        std::optional<SafetyCopy> copy = ParseCopyName(file.name);
        if (!copy)
            continue;
        copy->path = file.path;
        if (copy->kind != SafetyCopyKind::Settings)
            copy->model = ModelFromListHead(file.path);
        copies.push_back(std::move(*copy));
    }
    std::sort(copies.begin(), copies.end(), NewestFirst);
    return copies;
}

SafetyCopyStore::SafetyCopyStore(const DataFolders& folders, int keep, LocalClock clock)
    : m_folders(folders), m_keep(SafetyCopiesToKeep(keep)), m_clock(std::move(clock)) {}

const std::string& SafetyCopyStore::FolderOf(SafetyCopyKind kind) const {
    return kind == SafetyCopyKind::Settings ? m_folders.settingsBackups : m_folders.listBackups;
}

SafetyCopyWriteResult SafetyCopyStore::WriteListCopy(char listKind,
                                                     const std::vector<std::string>& programLines,
                                                     const CFavoritenDat& banks,
                                                     std::string_view model) {
    const bool radio = listKind == 'R';
    const LocalDateTime taken = m_clock();
    const std::string name = ModelForName(model);
    const std::string stamp = LocalDateTimeText(taken).substr(0, 16); // without the seconds
    const std::string description =
        FormatText(LoadResString(str::kSafetyCopyDescription), {stamp, name});
    const std::string text =
        BuildReceivedListText(radio ? "RA" : "TV", description, programLines, banks);
    return Write(radio ? SafetyCopyKind::RadioList : SafetyCopyKind::TvList, taken, name, text);
}

SafetyCopyWriteResult SafetyCopyStore::WriteSettingsCopy(std::string_view block,
                                                         std::string_view model) {
    return Write(SafetyCopyKind::Settings, m_clock(), ModelForName(model), block);
}

SafetyCopyWriteResult SafetyCopyStore::Write(SafetyCopyKind kind, const LocalDateTime& taken,
                                             const std::string& model,
                                             std::string_view data) const {
    SafetyCopyWriteResult result;
    const std::string& folder = FolderOf(kind);
    if (!MakeFolder(folder, result.reason))
        return result;

    const KindNaming& naming = NamingOf(kind);
    std::string base = std::string(naming.prefix) + "-" + NameStamp(taken);
    if (kind == SafetyCopyKind::Settings)
        base += "-" + model;
    // The empty file claims the name, so that a copy written at the same second from another
    // port takes the next one instead of replacing this one.
    for (int sequence = 1; sequence <= kLastSequence && result.path.empty(); ++sequence) {
        const std::string candidate = folder + "/" + base +
                                      (sequence == 1 ? "" : "-" + std::to_string(sequence)) +
                                      std::string(naming.extension);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            result.path = candidate;
        } else if (errno != EEXIST) {
            result.reason = SystemReason(candidate, errno);
            return result;
        }
    }
    if (result.path.empty()) {
        result.reason = SystemReason(folder + "/" + base, EEXIST);
        return result;
    }
    if (!WriteFileAtomically(result.path, data, result.reason)) {
        ::unlink(result.path.c_str());
        result.path.clear();
        return result;
    }
    result.written = true;

    // Only now that the new copy is on the disk may the oldest ones go. The new one stays even
    // when a clock set back makes older copies look newer.
    int kept = 1;
    for (const SafetyCopy& copy : ListSafetyCopies(folder)) {
        if (copy.kind != kind || copy.path == result.path || ++kept <= m_keep)
            continue;
        // One that cannot be removed stays; the next copy tries again.
        if (::unlink(copy.path.c_str()) == 0)
            result.removed.push_back(copy.path);
    }
    return result;
}

} // namespace fw
