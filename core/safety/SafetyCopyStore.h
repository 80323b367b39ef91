#pragma once

#include "core/app/DataFolders.h"

#include <compare>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class CFavoritenDat;

// A moment on the local wall clock, as the copies' names and the user read it.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend auto operator<=>(const LocalDateTime&, const LocalDateTime&) = default;
};

using LocalClock = std::function<LocalDateTime()>;
LocalDateTime LocalNow();
// "2026-12-07 23:26:05"
std::string LocalDateTimeText(const LocalDateTime& time);

enum class SafetyCopyKind { TvList, RadioList, Settings };

// One safety copy as its name and head tell it.
struct SafetyCopy {
    SafetyCopyKind kind = SafetyCopyKind::TvList;
    std::string path;
    std::string fileName;
    LocalDateTime taken;
    std::string model; // the receiver's model; empty when the copy does not say
    int sequence = 1;  // 2, 3, ... for a copy whose plain name was taken already
};

// The safety copies of one folder (the lists' or the settings' backup folder), newest first.
// Other files in the folder are no safety copies and stay out.
std::vector<SafetyCopy> ListSafetyCopies(const std::string& folder);

struct SafetyCopyWriteResult {
    bool written = false;
    std::string path;                 // the new copy
    std::string reason;               // why nothing was written
    std::vector<std::string> removed; // older copies of the kind that made room
};

// Keeps what a receiver held before a send overwrote it: each copy is a file of its own in
// lists/backup or settings/backup, and only the newest ones of each kind stay. Several ports may
// write at once: a name is claimed before it is written, never overwritten.
class SafetyCopyStore {
public:
    SafetyCopyStore(const DataFolders& folders, int keep, LocalClock clock = LocalNow);

    // A loaded TV ('T') or radio ('R') list with its banks, as "tv-YYYYMMDD-HHMMSS.lst".
    SafetyCopyWriteResult WriteListCopy(char listKind, const std::vector<std::string>& programLines,
                                        const CFavoritenDat& banks, std::string_view model);
    // A loaded settings block, as "settings-YYYYMMDD-HHMMSS-MODEL.grd".
    SafetyCopyWriteResult WriteSettingsCopy(std::string_view block, std::string_view model);

    int Keep() const { return m_keep; }

private:
    SafetyCopyWriteResult Write(SafetyCopyKind kind, const LocalDateTime& taken,
                                const std::string& model, std::string_view data) const;
    const std::string& FolderOf(SafetyCopyKind kind) const;

    DataFolders m_folders;
    int m_keep;
    LocalClock m_clock;
};

} // namespace fw
