#pragma once

#include "core/editor/ListDocument.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// How a place of one list stands against the other list.
enum class PairMark : int {
    Same = 0,  // the program at the same place, every field equal
    Changed,   // the program at the same place, fields differ
    Moved,     // the program at another place (its fields may differ too)
    OnlyLeft,  // no program of the right list matches it
    OnlyRight, // no program of the left list matches it
};
inline constexpr int kPairMarkCount = 5;

// One row of the comparison: a program of the left list, of the right one, or of both.
struct PlacePair {
    int left = -1;  // place in the left list (Adr), -1 for a program only on the right
    int right = -1; // place in the right list, -1 for a program only on the left
    PairMark mark = PairMark::Same;
    unsigned changedFields = 0; // bit 1 << field for each field that differs

    bool FieldChanged(int field) const { return (changedFields >> field) & 1u; }
};

// A favourite bank whose entries differ, by program: the right bank's entries whose programs
// the left bank lacks, the left bank's entries whose programs the right bank lacks, or the same
// programs in another order.
struct BankDiff {
    int bank = 0;
    std::vector<int> added;   // right places, in right bank order
    std::vector<int> removed; // left places, in left bank order
    bool reordered = false;   // nothing added or removed, but the order differs
};

struct ListDiff {
    // Ordered by the left place, a program only on the right by its right place (after a left
    // program at that place).
    std::vector<PlacePair> pairs;
    std::vector<BankDiff> banks; // only the banks that differ, ascending
    bool typeDiffers = false;
    bool descriptionDiffers = false;

    // A place or a bank differs; type and description do not count.
    bool Differs() const;
    int Count(PairMark mark) const;
};

// Pairs the places of two lists by the matching rule: a place equal in all eleven fields at the
// same place in both lists pairs with it; every other left program, in place order, pairs with
// the first right program that matches it and is not yet paired.
ListDiff CompareListDocuments(const ListDocument& left, const ListDocument& right);

// One line of the difference listing; type and description lines do not count as differences.
struct DiffLine {
    std::string text;
    bool counts = true;
};
// The listing of `list diff` (left is A, right is B). shown turns a cell's bytes into the text
// to print (UTF-8).
std::vector<DiffLine> DiffLines(const ListDiff& diff, const ListDocument& left,
                                const ListDocument& right,
                                const std::function<std::string(std::string_view)>& shown);
bool AnyCountingLine(const std::vector<DiffLine>& lines);

// The name of a mark in the current language ("changed").
std::string PairMarkText(PairMark mark);
// "+Arte, -ZDF", or that only the order differs, in the current language (UTF-8).
std::string BankDiffText(const BankDiff& bank, const ListDocument& left, const ListDocument& right);

enum class TakeOverPlace {
    AtPlace, // a program goes to its place in the right list when that place is free on the left
    AtEnd,   // programs the left list lacks are appended after its last program
};

// What a take over did, for the editor to select and tell.
struct TakeOverReport {
    std::vector<int> rows; // the left places that now hold the taken programs
    int updated = 0;       // left programs that took the right fields where they stand
    int moved = 0;         // left programs moved to their right place
    int atPlace = 0;       // new programs put at their right place
    int atEnd = 0;         // new programs appended (their place was taken, or AtEnd)
};

// Copies the right-hand programs of the chosen pairs into the left list (the document the
// editor holds) as one command: a program the left list has takes the right fields (AtPlace
// moves it to its right place when that place is empty, its bank entries following it); a new
// program goes to its right place when that is empty (AtPlace) or after the last program, then to
// free places from the top. Refused as a whole when the pool has no room for all of them. Banks
// are left as they are. diff must describe left and right as they stand.
EditResult TakeOver(ListDocument& left, const ListDocument& right, const ListDiff& diff,
                    const std::vector<int>& pairIndices, TakeOverPlace where,
                    TakeOverReport* report = nullptr);

// Pool and banks from the lines and banks a receiver sent.
ListDocument DocumentOfLines(const std::vector<std::string>& lines, const CFavoritenDat& banks);

} // namespace fw
