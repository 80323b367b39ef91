#include "core/editor/Duplicates.h"

#include "core/editor/PoolCommands.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>
#include <numeric>

namespace fw {

namespace {

// Per place: whether a favourite bank names it.
std::vector<char> BankedPlaces(const CFavoritenDat& banks) {
    std::vector<char> banked(kPoolRows, 0);
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int entry = 0; entry < banks.GetCount(bank); ++entry)
            if (const int address = banks.GetAddress(bank, entry); ProgramPool::IsValidRow(address))
                banked[static_cast<std::size_t>(address)] = 1;
    return banked;
}

int KeptPlace(const DuplicateGroup& group, const std::vector<char>& banked, DuplicateKeep keep) {
    if (keep == DuplicateKeep::Banked)
        for (int place : group)
            if (banked[static_cast<std::size_t>(place)] != 0)
                return place;
    return group.front();
}

// Entries of deleted places name the kept place instead. Only a kept place that gains an
// entry that way loses its later entries in that bank: doubles the bank held before stay.
void RepointBanks(CFavoritenDat& banks, const std::vector<int>& keptOf) {
    std::vector<char> gained(kPoolRows, 0);
    std::vector<char> seen(kPoolRows, 0);
    for (int bank = 0; bank < kBankCount; ++bank) {
        const int count = banks.GetCount(bank);
        std::vector<int> addresses;
        addresses.reserve(static_cast<std::size_t>(count));
        bool repointed = false;
        for (int entry = 0; entry < count; ++entry) {
            const int address = banks.GetAddress(bank, entry);
            const int kept = ProgramPool::IsValidRow(address)
                                 ? keptOf[static_cast<std::size_t>(address)]
                                 : address;
            if (kept != address) {
                gained[static_cast<std::size_t>(kept)] = 1;
                repointed = true;
            }
            addresses.push_back(kept);
        }
        if (!repointed)
            continue;
        std::vector<int> entries;
        entries.reserve(addresses.size());
        for (int address : addresses) {
            if (ProgramPool::IsValidRow(address) &&
                gained[static_cast<std::size_t>(address)] != 0) {
                char& once = seen[static_cast<std::size_t>(address)];
                if (once != 0)
                    continue;
                once = 1;
            }
            entries.push_back(address);
        }
        for (int address : addresses)
            if (ProgramPool::IsValidRow(address)) {
                gained[static_cast<std::size_t>(address)] = 0;
                seen[static_cast<std::size_t>(address)] = 0;
            }
        // Rebuilt from the back and appended: linear, however many entries go.
        for (int entry = count - 1; entry >= 0; --entry)
            banks.RemoveAt(bank, entry);
        for (int address : entries)
            banks.Insert(bank, CFavEintrag{address}, -1);
    }
}

} // namespace

std::vector<DuplicateGroup> FindDuplicates(const ProgramPool& pool, MatchRule rule) {
    const MatchIndex index(pool, rule);
    std::vector<char> grouped(kPoolRows, 0);
    std::vector<DuplicateGroup> groups;
    for (int place = 0; place < kPoolRows; ++place) {
        const MatchKey& key = index.KeyOf(place);
        if (grouped[static_cast<std::size_t>(place)] != 0 || key.empty)
            continue;
        DuplicateGroup group{place};
        for (int other : index.PlacesMatching(key))
            if (other > place && grouped[static_cast<std::size_t>(other)] == 0)
                group.push_back(other);
        if (group.size() < 2)
            continue;
        for (int member : group)
            grouped[static_cast<std::size_t>(member)] = 1;
        groups.push_back(std::move(group));
    }
    return groups;
}

int DuplicateCount(const std::vector<DuplicateGroup>& groups) {
    int count = 0;
    for (const DuplicateGroup& group : groups)
        count += static_cast<int>(group.size()) - 1;
    return count;
}

EditResult RemoveDuplicates(ListDocument& doc, MatchRule rule, DuplicateKeep keep, int* removed) {
    if (removed != nullptr)
        *removed = 0;
    const std::vector<DuplicateGroup> groups = FindDuplicates(doc.pool, rule);
    if (groups.empty()) {
        doc.poolCut.reset();
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepRemoveDuplicates);
    }
    const std::vector<char> banked =
        keep == DuplicateKeep::Banked ? BankedPlaces(doc.banks) : std::vector<char>(kPoolRows, 0);
    std::vector<int> keptOf(kPoolRows);
    std::iota(keptOf.begin(), keptOf.end(), 0);
    std::vector<int> deleted;
    for (const DuplicateGroup& group : groups) {
        const int kept = KeptPlace(group, banked, keep);
        for (int place : group)
            if (place != kept) {
                keptOf[static_cast<std::size_t>(place)] = kept;
                deleted.push_back(place);
            }
    }
    RepointBanks(doc.banks, keptOf);
    // No entry names a deleted place any more, so the delete keeps every entry.
    DeleteRows(doc, std::move(deleted));
    if (removed != nullptr)
        *removed = DuplicateCount(groups);
    return Done(str::kStepRemoveDuplicates);
}

std::string DuplicateGroupTitle(const DuplicateGroup& group, int number) {
    return FormatText(LoadResString(str::kDuplicatesGroupTitle),
                      {std::to_string(number), std::to_string(group.size())});
}

std::string DuplicatesSummary(const std::vector<DuplicateGroup>& groups) {
    if (groups.empty())
        return LoadResString(str::kDuplicatesNone);
    return FormatText(LoadResString(str::kDuplicatesSummary),
                      {std::to_string(groups.size()), std::to_string(DuplicateCount(groups))});
}

std::string DuplicatesRemovedText(int removed) {
    return FormatText(LoadResString(str::kDuplicatesRemoved), {std::to_string(removed)});
}

} // namespace fw
