#pragma once

#include "core/editor/ListDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace fw {

// Where the programs of a list that the reference list does not know go.
enum class RestPlacement {
    End,  // after the last place that took a matched program, in their order
    Keep, // at their own places where those stayed free, else as with End
};

// What putting a list into the order of a reference list did (or, refused, would have done).
struct OrderLikeReport {
    struct Program {
        int place = -1;    // in the ordered list; for a reference program, its reference place
        int oldPlace = -1; // in the list before it was ordered; -1 for a reference program
        std::string name;  // as the file holds it (Windows-1252)
    };
    // A match that lost to an earlier one (in place order).
    struct Ambiguity {
        bool inReference = false; // a reference program; else a program of the list
        // The loser: its reference place, or its place in the ordered list (then oldPlace).
        int place = -1;
        int oldPlace = -1;
        std::string name;
        // The program it also matches (a reference place, or a place of the list before), and
        // what that one went with instead (a place of the list before, or a reference place).
        int otherPlace = -1;
        int winnerPlace = -1;
    };

    int matched = 0;
    std::vector<Program> added;           // programs the reference does not know, by place
    std::vector<Program> onlyInReference; // reference programs without a match: places left empty
    std::vector<Ambiguity> ambiguous;
};

// Puts the programs of doc into the order of the reference list: a matched program (the
// MatchIndex rule; the first match in place order wins) takes its reference program's place,
// the banks become the reference's entries of matched programs followed by doc's own entries
// of programs the reference does not know, each once. Refused, with nothing changed, when a bank
// would hold more than it can or the programs do not fit into the pool. Run it through
// EditHistory::Run for one undo step; the report is filled in either way.
EditResult OrderLike(ListDocument& doc, const ProgramPool& referencePool,
                     const CFavoritenDat& referenceBanks, RestPlacement rest,
                     OrderLikeReport& report);

// The report as text in the current language, names in UTF-8, one line each.
std::string OrderLikeReportText(const OrderLikeReport& report);
// The places of the programs the reference does not know, for selecting them.
std::vector<int> AddedPlaces(const OrderLikeReport& report);

// A reference list read as the editor opens a list (repaired in memory).
struct ReferenceList {
    ProgramPool pool;
    CFavoritenDat banks;
};
// Nothing, with the reason in the current language, when the file cannot be read or is no list.
std::optional<ReferenceList> ReadReferenceList(const std::string& path, std::string& error);

} // namespace fw
