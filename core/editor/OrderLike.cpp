#include "core/editor/OrderLike.h"

#include "core/editor/PoolCommands.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramMatch.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>

namespace fw {

namespace {

using Places = std::vector<int>;

// Who went with whom: list place -> reference place and back, -1 for none.
struct Pairing {
    Places referenceOf = Places(kPoolRows, -1);
    Places listOf = Places(kPoolRows, -1);
    // The first reference place that also matched an unpaired list place.
    Places firstReferenceOf = Places(kPoolRows, -1);
};

Pairing PairPrograms(const ProgramPool& pool, const ProgramPool& referencePool,
                     OrderLikeReport& report) {
    Pairing pairing;
    const MatchIndex index(pool);
    for (int reference = 0; reference < kPoolRows; ++reference) {
        const MatchKey key = MakeMatchKey(referencePool.Row(reference));
        const Places candidates = index.PlacesMatching(key);
        int chosen = -1;
        for (int place : candidates) {
            auto& first = pairing.firstReferenceOf[static_cast<std::size_t>(place)];
            if (first < 0)
                first = reference;
            if (chosen < 0 && pairing.referenceOf[static_cast<std::size_t>(place)] < 0)
                chosen = place;
        }
        if (chosen >= 0) {
            pairing.referenceOf[static_cast<std::size_t>(chosen)] = reference;
            pairing.listOf[static_cast<std::size_t>(reference)] = chosen;
            ++report.matched;
        } else if (!candidates.empty()) {
            // Every program it matches went to an earlier reference program.
            const int other = candidates.front();
            report.ambiguous.push_back({true, reference, -1,
                                        referencePool.Cell(reference, kFieldName), other,
                                        pairing.referenceOf[static_cast<std::size_t>(other)]});
        }
    }
    return pairing;
}

// The new order: row i takes the program of row sources[i]. Empty when they do not fit.
std::optional<Places> NewOrder(const ProgramPool& pool, const Pairing& pairing,
                               RestPlacement rest) {
    Places sources(kPoolRows, -1);
    int lastMatched = -1;
    for (int reference = 0; reference < kPoolRows; ++reference)
        if (const int place = pairing.listOf[static_cast<std::size_t>(reference)]; place >= 0) {
            sources[static_cast<std::size_t>(reference)] = place;
            lastMatched = reference;
        }
    Places displaced;
    for (int place = 0; place < kPoolRows; ++place) {
        if (pool.IsRowEmpty(place) || pairing.referenceOf[static_cast<std::size_t>(place)] >= 0)
            continue;
        auto& own = sources[static_cast<std::size_t>(place)];
        if (rest == RestPlacement::Keep && own < 0)
            own = place;
        else
            displaced.push_back(place);
    }
    // After the last matched place first; what does not fit there fills the gaps from the top.
    int next = lastMatched + 1;
    int top = 0;
    const auto taken = [&](int row) { return sources[static_cast<std::size_t>(row)] >= 0; };
    for (int place : displaced) {
        while (next < kPoolRows && taken(next))
            ++next;
        int target = next;
        if (target >= kPoolRows) {
            while (top < kPoolRows && taken(top))
                ++top;
            if (top >= kPoolRows)
                return std::nullopt;
            target = top;
        }
        sources[static_cast<std::size_t>(target)] = place;
    }
    return sources;
}

using BankEntries = std::vector<int>;

BankEntries EntriesOf(const CFavoritenDat& banks, int bank) {
    BankEntries entries;
    for (int index = 0; index < banks.GetCount(bank); ++index)
        entries.push_back(banks.GetAddress(bank, index));
    return entries;
}

// The reference's entries of matched programs, then the list's own entries of programs the
// reference does not know, each program once.
BankEntries NewBank(const ListDocument& doc, const CFavoritenDat& referenceBanks, int bank,
                    const Pairing& pairing, const Places& newPlaceOf) {
    BankEntries entries;
    std::vector<bool> present(kPoolRows, false);
    const auto add = [&](int place) {
        if (place >= 0 && !present[static_cast<std::size_t>(place)]) {
            present[static_cast<std::size_t>(place)] = true;
            entries.push_back(place);
        }
    };
    for (int reference : EntriesOf(referenceBanks, bank))
        if (ProgramPool::IsValidRow(reference) &&
            pairing.listOf[static_cast<std::size_t>(reference)] >= 0)
            add(reference);
    for (int place : EntriesOf(doc.banks, bank))
        if (ProgramPool::IsValidRow(place) &&
            pairing.referenceOf[static_cast<std::size_t>(place)] < 0)
            add(newPlaceOf[static_cast<std::size_t>(place)]);
    return entries;
}

void ReplaceBank(CFavoritenDat& banks, int bank, const BankEntries& entries) {
    for (int index = banks.GetCount(bank) - 1; index >= 0; --index)
        banks.RemoveAt(bank, index);
    for (int place : entries)
        banks.Insert(bank, CFavEintrag{place}, -1);
}

void Report(const ListDocument& doc, const ProgramPool& referencePool, const Pairing& pairing,
            const Places& sources, const Places& newPlaceOf, OrderLikeReport& report) {
    for (int row = 0; row < kPoolRows; ++row) {
        const int place = sources[static_cast<std::size_t>(row)];
        if (place >= 0 && pairing.referenceOf[static_cast<std::size_t>(place)] < 0)
            report.added.push_back({row, place, doc.pool.Cell(place, kFieldName)});
        if (!referencePool.IsRowEmpty(row) && pairing.listOf[static_cast<std::size_t>(row)] < 0)
            report.onlyInReference.push_back({row, -1, referencePool.Cell(row, kFieldName)});
    }
    for (int place = 0; place < kPoolRows; ++place) {
        const int reference = pairing.firstReferenceOf[static_cast<std::size_t>(place)];
        if (reference < 0 || pairing.referenceOf[static_cast<std::size_t>(place)] >= 0)
            continue;
        report.ambiguous.push_back({false, newPlaceOf[static_cast<std::size_t>(place)], place,
                                    doc.pool.Cell(place, kFieldName), reference,
                                    pairing.listOf[static_cast<std::size_t>(reference)]});
    }
}

// Names as a reader sees them: control characters would garble a terminal or a report.
std::string ShownName(std::string_view name) {
    std::string shown;
    for (char byte : name) {
        const auto code = static_cast<unsigned char>(byte);
        shown += code < 0x20 || code == 0x7F ? std::string("?") : Cp1252ToUtf8({&byte, 1});
    }
    return shown;
}

std::string Text(int id, std::initializer_list<std::string_view> arguments) {
    return FormatText(LoadResString(id), arguments) + "\n";
}

} // namespace

EditResult OrderLike(ListDocument& doc, const ProgramPool& referencePool,
                     const CFavoritenDat& referenceBanks, RestPlacement rest,
                     OrderLikeReport& report) {
    report = {};
    const Pairing pairing = PairPrograms(doc.pool, referencePool, report);
    const std::optional<Places> sources = NewOrder(doc.pool, pairing, rest);
    if (!sources) {
        EditResult refused = MakeResult(EditStatus::BankFull, str::kOrderLikeNoRoom);
        refused.message = LoadResString(str::kOrderLikeNoRoom);
        return refused;
    }
    Places newPlaceOf(kPoolRows, -1);
    bool moved = false;
    for (int row = 0; row < kPoolRows; ++row) {
        const int place = (*sources)[static_cast<std::size_t>(row)];
        if (place >= 0)
            newPlaceOf[static_cast<std::size_t>(place)] = row;
        moved = moved || place != (doc.pool.IsRowEmpty(row) ? -1 : row);
    }
    Report(doc, referencePool, pairing, *sources, newPlaceOf, report);

    std::vector<BankEntries> banks;
    bool banksDiffer = false;
    for (int bank = 0; bank < kBankCount; ++bank) {
        banks.push_back(NewBank(doc, referenceBanks, bank, pairing, newPlaceOf));
        if (banks.back().size() > static_cast<std::size_t>(kBankCapacity)) {
            EditResult refused = MakeResult(EditStatus::BankFull, str::kOrderLikeBankOverflow);
            refused.message = FormatText(LoadResString(str::kOrderLikeBankOverflow),
                                         {std::to_string(bank), std::to_string(banks.back().size()),
                                          std::to_string(kBankCapacity)});
            return refused;
        }
        banksDiffer = banksDiffer || banks.back() != EntriesOf(doc.banks, bank);
    }
    if (!moved && !banksDiffer)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepOrderLike);

    // The rows and entries the cuts name are gone from their places.
    doc.poolCut.reset();
    doc.bankCut.reset();
    if (moved)
        MovePrograms(doc, *sources);
    for (int bank = 0; bank < kBankCount; ++bank)
        if (banks[static_cast<std::size_t>(bank)] != EntriesOf(doc.banks, bank))
            ReplaceBank(doc.banks, bank, banks[static_cast<std::size_t>(bank)]);
    return Done(str::kStepOrderLike);
}

std::string OrderLikeReportText(const OrderLikeReport& report) {
    std::string text = Text(str::kOrderLikeMatched, {std::to_string(report.matched)});
    text += Text(str::kOrderLikeAdded, {std::to_string(report.added.size())});
    for (const auto& program : report.added)
        text +=
            Text(str::kOrderLikeAddedLine, {std::to_string(program.place), ShownName(program.name),
                                            std::to_string(program.oldPlace)});
    text += Text(str::kOrderLikeOnlyInReference, {std::to_string(report.onlyInReference.size())});
    for (const auto& program : report.onlyInReference)
        text += Text(str::kOrderLikeReferenceLine,
                     {std::to_string(program.place), ShownName(program.name)});
    if (report.ambiguous.empty())
        return text;
    text += Text(str::kOrderLikeAmbiguous, {std::to_string(report.ambiguous.size())});
    for (const auto& loser : report.ambiguous) {
        const std::string name = ShownName(loser.name);
        text += loser.inReference
                    ? Text(str::kOrderLikeAmbiguousReference,
                           {std::to_string(loser.place), name, std::to_string(loser.otherPlace),
                            std::to_string(loser.winnerPlace)})
                    : Text(str::kOrderLikeAmbiguousList,
                           {std::to_string(loser.place), name, std::to_string(loser.oldPlace),
                            std::to_string(loser.otherPlace), std::to_string(loser.winnerPlace)});
    }
    return text;
}

std::vector<int> AddedPlaces(const OrderLikeReport& report) {
    std::vector<int> places;
    for (const auto& program : report.added)
        places.push_back(program.place);
    return places;
}

std::optional<ReferenceList> ReadReferenceList(const std::string& path, std::string& error) {
    std::string data, reason;
    if (!EndsWithNoCase(path, ".lst")) {
        error = FormatText(LoadResString(str::kCliNotAList), {path});
        return std::nullopt;
    }
    if (!ReadWholeFile(path, data, reason)) {
        error = FormatText(LoadResString(str::kCliOpenFailed), {path, reason});
        return std::nullopt;
    }
    ReferenceList list;
    if (!ParseRepairedList(data, list.pool, list.banks)) {
        error = FormatText(LoadResString(str::kCliNotAList), {path});
        return std::nullopt;
    }
    return list;
}

} // namespace fw
