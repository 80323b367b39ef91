#pragma once

#include "core/editor/ListDocument.h"
#include "core/lists/ProgramMatch.h"

#include <string>
#include <vector>

namespace fw {

// A program and every later program that matches it and is not in an earlier group, places
// ascending; always two places or more.
using DuplicateGroup = std::vector<int>;

// The groups in the order of their first places.
std::vector<DuplicateGroup> FindDuplicates(const ProgramPool& pool, MatchRule rule);

enum class DuplicateKeep {
    First,  // the first place of each group
    Banked, // the first place a favourite bank names, else the first
};

// Deletes every place of the groups but the kept one, as deleting rows does (the places below
// move up); bank entries of a deleted place name the kept one instead, unless its bank names
// that already (then the bank keeps its first entry of it). removed, when given, receives how
// many places were deleted. NothingToDo when there are no duplicates.
EditResult RemoveDuplicates(ListDocument& doc, MatchRule rule, DuplicateKeep keep,
                            int* removed = nullptr);

// How many places a removal deletes: every place of the groups but one each.
int DuplicateCount(const std::vector<DuplicateGroup>& groups);

// Texts of the tools in the current language (UTF-8): "Group 2: 3 programs" for the group
// with number (1-based); "Groups: 2, duplicates to remove: 3", or that there are none; how
// many a removal deleted.
std::string DuplicateGroupTitle(const DuplicateGroup& group, int number);
std::string DuplicatesSummary(const std::vector<DuplicateGroup>& groups);
std::string DuplicatesRemovedText(int removed);

} // namespace fw
