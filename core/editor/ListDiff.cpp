#include "core/editor/ListDiff.h"

#include "core/editor/PoolCommands.h"
#include "core/lists/ProgramMatch.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>

namespace fw {

namespace {

// The field names of the difference lines; they are part of the tool's output, not translated.
constexpr std::array<std::string_view, kFieldCount> kFieldNames = {
    "ca",  "name",  "frequency", "polarisation", "symbol rate", "fec",
    "sid", "v-pid", "a-pid",     "pcr",          "satellite"};

unsigned ChangedFields(const ProgramRow& a, const ProgramRow& b) {
    unsigned bits = 0;
    for (int field = 0; field < kFieldCount; ++field)
        if (a[static_cast<std::size_t>(field)] != b[static_cast<std::size_t>(field)])
            bits |= 1u << field;
    return bits;
}

PairMark MarkOf(const PlacePair& pair) {
    if (pair.left < 0)
        return PairMark::OnlyRight;
    if (pair.right < 0)
        return PairMark::OnlyLeft;
    if (pair.left != pair.right)
        return PairMark::Moved;
    return pair.changedFields == 0 ? PairMark::Same : PairMark::Changed;
}

// Bank entries are compared by program: an entry is named by its pair, by an empty place that
// both lists leave empty, or by a program only one side has.
constexpr int kBothEmpty = 1 * kPoolRows;
constexpr int kLeftOnly = 2 * kPoolRows;
constexpr int kRightOnly = 3 * kPoolRows;
constexpr int kOutside = 4 * kPoolRows;

std::vector<int> EntryIds(const CFavoritenDat& banks, int bank, const std::vector<int>& ids) {
    std::vector<int> result;
    const int count = banks.GetCount(bank);
    result.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const int address = banks.GetAddress(bank, index);
        // A receiver may send entries beyond the places; they stand for themselves.
        result.push_back(ProgramPool::IsValidRow(address) ? ids[static_cast<std::size_t>(address)]
                                                          : kOutside + address);
    }
    return result;
}

// The entries of from whose programs (ids) to has fewer times, in from's order.
std::vector<int> EntriesBeyond(const CFavoritenDat& fromBanks, const std::vector<int>& fromIds,
                               const std::vector<int>& toIds, int bank) {
    std::map<int, int> spare;
    for (int id : toIds)
        ++spare[id];
    std::vector<int> places;
    for (std::size_t index = 0; index < fromIds.size(); ++index) {
        int& left = spare[fromIds[index]];
        if (left > 0)
            --left;
        else
            places.push_back(fromBanks.GetAddress(bank, static_cast<int>(index)));
    }
    return places;
}

using Shown = std::function<std::string(std::string_view)>;

std::string Quoted(const Shown& shown, std::string_view bytes) {
    return "\"" + shown(bytes) + "\"";
}

// "Das Erste" (11836 H, SID 28106, Astra 19.2E): what tells a program apart.
std::string Described(const ProgramRow& row, const Shown& shown) {
    std::string details;
    const auto add = [&](const std::string& part) {
        if (!part.empty())
            details += (details.empty() ? "" : ", ") + part;
    };
    std::string tuning = shown(row[kFieldFrequency]);
    if (!row[kFieldPolarisation].empty())
        tuning += (tuning.empty() ? "" : " ") + shown(row[kFieldPolarisation]);
    add(tuning);
    if (!row[kFieldSid].empty())
        add("SID " + shown(row[kFieldSid]));
    add(shown(row[kFieldSatellite]));
    return Quoted(shown, row[kFieldName]) + (details.empty() ? "" : " (" + details + ")");
}

std::string ChangeText(const ProgramRow& a, const ProgramRow& b, unsigned fields,
                       const Shown& shown) {
    std::string text;
    for (int field = 0; field < kFieldCount; ++field) {
        if (((fields >> field) & 1u) == 0)
            continue;
        const auto f = static_cast<std::size_t>(field);
        text += (text.empty() ? "" : ", ") + std::string(kFieldNames[f]) + " " +
                Quoted(shown, a[f]) + " -> " + Quoted(shown, b[f]);
    }
    return text;
}

// A bank entry by its program's name; a place without one by its number.
std::string EntryName(const ProgramPool& pool, int place, const Shown& shown) {
    const std::string& name = pool.Cell(place, kFieldName);
    return name.empty() ? "(place " + std::to_string(place) + ")" : shown(name);
}

std::string BankChanges(const BankDiff& bank, const ListDocument& left, const ListDocument& right,
                        const Shown& shown) {
    std::string text;
    for (int place : bank.added)
        text += (text.empty() ? "+" : ", +") + EntryName(right.pool, place, shown);
    for (int place : bank.removed)
        text += (text.empty() ? "-" : ", -") + EntryName(left.pool, place, shown);
    return text;
}

} // namespace

bool ListDiff::Differs() const {
    return !banks.empty() || std::any_of(pairs.begin(), pairs.end(), [](const PlacePair& pair) {
        return pair.mark != PairMark::Same;
    });
}

int ListDiff::Count(PairMark mark) const {
    return static_cast<int>(std::count_if(
        pairs.begin(), pairs.end(), [mark](const PlacePair& pair) { return pair.mark == mark; }));
}

ListDiff CompareListDocuments(const ListDocument& left, const ListDocument& right) {
    ListDiff diff;
    std::vector<int> partnerOfLeft(kPoolRows, -1);
    std::vector<int> partnerOfRight(kPoolRows, -1);
    // Equal places pair first: two equal lists compare equal even where a place holds nothing
    // the rule recognises (no name and no SID), and a program doubled in both lists keeps its
    // places.
    for (int place = 0; place < kPoolRows; ++place) {
        if (!left.pool.IsRowEmpty(place) && left.pool.Row(place) == right.pool.Row(place)) {
            partnerOfLeft[static_cast<std::size_t>(place)] = place;
            partnerOfRight[static_cast<std::size_t>(place)] = place;
        }
    }
    const MatchIndex rightIndex(right.pool);
    for (int place = 0; place < kPoolRows; ++place) {
        if (partnerOfLeft[static_cast<std::size_t>(place)] >= 0 || left.pool.IsRowEmpty(place))
            continue;
        for (int candidate : rightIndex.PlacesMatching(MakeMatchKey(left.pool.Row(place)))) {
            if (partnerOfRight[static_cast<std::size_t>(candidate)] < 0) {
                partnerOfRight[static_cast<std::size_t>(candidate)] = place;
                partnerOfLeft[static_cast<std::size_t>(place)] = candidate;
                break;
            }
        }
    }
    for (int place = 0; place < kPoolRows; ++place) {
        // A right program alone comes after the left program of its place.
        if (!left.pool.IsRowEmpty(place)) {
            PlacePair pair{place, partnerOfLeft[static_cast<std::size_t>(place)], PairMark::Same,
                           0};
            if (pair.right >= 0)
                pair.changedFields =
                    ChangedFields(left.pool.Row(pair.left), right.pool.Row(pair.right));
            pair.mark = MarkOf(pair);
            diff.pairs.push_back(pair);
        }
        if (!right.pool.IsRowEmpty(place) && partnerOfRight[static_cast<std::size_t>(place)] < 0)
            diff.pairs.push_back({-1, place, PairMark::OnlyRight, 0});
    }

    std::vector<int> leftIds(kPoolRows);
    std::vector<int> rightIds(kPoolRows);
    for (int place = 0; place < kPoolRows; ++place) {
        const auto p = static_cast<std::size_t>(place);
        const bool bothEmpty = left.pool.IsRowEmpty(place) && right.pool.IsRowEmpty(place);
        leftIds[p] = partnerOfLeft[p] >= 0 ? place
                     : bothEmpty           ? kBothEmpty + place
                                           : kLeftOnly + place;
        rightIds[p] = partnerOfRight[p] >= 0 ? partnerOfRight[p]
                      : bothEmpty            ? kBothEmpty + place
                                             : kRightOnly + place;
    }
    for (int bank = 0; bank < kBankCount; ++bank) {
        const std::vector<int> a = EntryIds(left.banks, bank, leftIds);
        const std::vector<int> b = EntryIds(right.banks, bank, rightIds);
        if (a == b)
            continue;
        BankDiff change{bank, EntriesBeyond(right.banks, b, a, bank),
                        EntriesBeyond(left.banks, a, b, bank), false};
        change.reordered = change.added.empty() && change.removed.empty();
        diff.banks.push_back(std::move(change));
    }
    diff.typeDiffers = left.listType != right.listType;
    diff.descriptionDiffers = left.description != right.description;
    return diff;
}

std::vector<DiffLine> DiffLines(const ListDiff& diff, const ListDocument& left,
                                const ListDocument& right, const Shown& shown) {
    std::vector<DiffLine> lines;
    if (diff.typeDiffers)
        lines.push_back({"type " + Quoted(shown, ListTypeText(left.listType)) + " -> " +
                             Quoted(shown, ListTypeText(right.listType)) + " (not counted)",
                         false});
    if (diff.descriptionDiffers)
        lines.push_back({"description " + Quoted(shown, left.description) + " -> " +
                             Quoted(shown, right.description) + " (not counted)",
                         false});
    for (const PlacePair& pair : diff.pairs) {
        switch (pair.mark) {
        case PairMark::Same:
            break;
        case PairMark::Changed:
            lines.push_back({"place " + std::to_string(pair.left) + " changed: " +
                                 ChangeText(left.pool.Row(pair.left), right.pool.Row(pair.right),
                                            pair.changedFields, shown),
                             true});
            break;
        case PairMark::Moved: {
            std::string text = "moved " + std::to_string(pair.left) + " -> " +
                               std::to_string(pair.right) + ": " +
                               Quoted(shown, left.pool.Cell(pair.left, kFieldName));
            if (pair.changedFields != 0)
                text +=
                    ", changed: " + ChangeText(left.pool.Row(pair.left), right.pool.Row(pair.right),
                                               pair.changedFields, shown);
            lines.push_back({std::move(text), true});
            break;
        }
        case PairMark::OnlyLeft:
            lines.push_back({"place " + std::to_string(pair.left) +
                                 " only in A: " + Described(left.pool.Row(pair.left), shown),
                             true});
            break;
        case PairMark::OnlyRight:
            lines.push_back({"place " + std::to_string(pair.right) +
                                 " only in B: " + Described(right.pool.Row(pair.right), shown),
                             true});
            break;
        }
    }
    for (const BankDiff& bank : diff.banks)
        lines.push_back({"bank F" + std::to_string(bank.bank) + ": " +
                             (bank.reordered ? std::string("same entries, other order")
                                             : BankChanges(bank, left, right, shown)),
                         true});
    return lines;
}

bool AnyCountingLine(const std::vector<DiffLine>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const DiffLine& line) { return line.counts; });
}

std::string PairMarkText(PairMark mark) {
    return LoadResString(str::kMarkSame + static_cast<int>(mark));
}

std::string BankDiffText(const BankDiff& bank, const ListDocument& left,
                         const ListDocument& right) {
    if (bank.reordered)
        return LoadResString(str::kBankReordered);
    return BankChanges(bank, left, right,
                       [](std::string_view bytes) { return Cp1252ToUtf8(bytes); });
}

EditResult TakeOver(ListDocument& left, const ListDocument& right, const ListDiff& diff,
                    const std::vector<int>& pairIndices, TakeOverPlace where,
                    TakeOverReport* report) {
    TakeOverReport done;
    std::vector<int> chosen;
    for (int index : pairIndices)
        if (index >= 0 && index < static_cast<int>(diff.pairs.size()) &&
            diff.pairs[static_cast<std::size_t>(index)].right >= 0)
            chosen.push_back(index);
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    if (chosen.empty())
        return MakeResult(EditStatus::NothingToDo, str::kCompareChooseRight);

    // Where every taken program will stand: first the places that are decided at once, then the
    // new programs that wait for a free place.
    std::vector<bool> taken(kPoolRows);
    for (int place = 0; place < kPoolRows; ++place)
        taken[static_cast<std::size_t>(place)] = !left.pool.IsRowEmpty(place);
    std::vector<int> sources(kPoolRows);
    std::iota(sources.begin(), sources.end(), 0);
    bool moves = false;
    std::vector<std::pair<int, int>> writes; // left place, right place
    std::vector<int> waiting;                // right places of new programs without a place yet
    for (int index : chosen) {
        const PlacePair& pair = diff.pairs[static_cast<std::size_t>(index)];
        const auto target = static_cast<std::size_t>(pair.right);
        if (pair.left >= 0) {
            int place = pair.left;
            // Only to an empty place: a program the left list holds there is never pushed away.
            if (where == TakeOverPlace::AtPlace && pair.left != pair.right && !taken[target]) {
                taken[target] = true;
                sources[target] = pair.left;
                sources[static_cast<std::size_t>(pair.left)] = -1;
                place = pair.right;
                moves = true;
                ++done.moved;
            } else if (pair.changedFields != 0) {
                ++done.updated;
            } else {
                continue; // the left list holds it as it is
            }
            writes.emplace_back(place, pair.right);
        } else if (where == TakeOverPlace::AtPlace && !taken[target]) {
            taken[target] = true;
            writes.emplace_back(pair.right, pair.right);
            ++done.atPlace;
        } else {
            waiting.push_back(pair.right);
        }
    }
    // A moved program's old place stays empty; it is no free place for a new one, which would
    // otherwise land between programs unexpectedly.
    std::vector<int> freePlaces;
    for (int place = 0; place < kPoolRows; ++place)
        if (!taken[static_cast<std::size_t>(place)] && left.pool.IsRowEmpty(place))
            freePlaces.push_back(place);
    int last = -1;
    for (int place = kPoolRows - 1; place >= 0; --place)
        if (taken[static_cast<std::size_t>(place)]) {
            last = place;
            break;
        }
    // After the last program first, then the free places from the top.
    std::stable_partition(freePlaces.begin(), freePlaces.end(),
                          [last](int place) { return place > last; });
    if (waiting.size() > freePlaces.size()) {
        EditResult refused = MakeResult(EditStatus::LinesRejected, str::kTakeOverNoRoom);
        refused.message =
            FormatText(LoadResString(str::kTakeOverNoRoom),
                       {std::to_string(waiting.size()), std::to_string(freePlaces.size())});
        return refused;
    }
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        writes.emplace_back(freePlaces[i], waiting[i]);
        ++done.atEnd;
    }

    if (moves)
        MovePrograms(left, sources);
    for (const auto& [place, from] : writes) {
        left.pool.SetRow(place, right.pool.Row(from));
        done.rows.push_back(place);
    }
    std::sort(done.rows.begin(), done.rows.end());
    // The editor's cut names rows that may now hold other programs.
    left.poolCut.reset();
    if (report != nullptr)
        *report = std::move(done);
    return Done(str::kStepTakeOver);
}

ListDocument DocumentOfLines(const std::vector<std::string>& lines, const CFavoritenDat& banks) {
    ListDocument doc;
    for (std::size_t row = 0; row < lines.size() && row < static_cast<std::size_t>(kPoolRows);
         ++row)
        doc.pool.SetRowFromLine(static_cast<int>(row), lines[row]);
    doc.banks = banks;
    return doc;
}

} // namespace fw
