#pragma once

#include "core/lists/ProgramPool.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw {

// What decides whether two program places hold the same program, taken once per place so
// that comparing two full pools does not fold names again and again.
struct MatchKey {
    bool empty = true;     // an empty place matches nothing
    std::string name;      // trimmed, folded (FoldCp1252)
    std::string satellite; // trimmed, folded; empty agrees with any
    std::string sid;       // digits without leading zeros ("0" for zero); empty when none
    std::string polarisation;
    long long frequency = -1; // whole MHz, -1 when the field holds no number
};

MatchKey MakeMatchKey(const ProgramRow& row);

// How programs are found equal: by the full rule, or by their names alone.
enum class MatchRule { Program, Name };

// The full rule: when both SIDs are filled in, SID, polarisation, frequency (within 2 MHz)
// and satellite agree; otherwise the names and the satellites agree. An empty satellite
// agrees with any.
bool SameProgram(const MatchKey& a, const MatchKey& b);
bool SameName(const MatchKey& a, const MatchKey& b);
bool Matches(const MatchKey& a, const MatchKey& b, MatchRule rule);

// The places of a pool looked up by the rule, without comparing every pair.
class MatchIndex {
public:
    explicit MatchIndex(const ProgramPool& pool, MatchRule rule = MatchRule::Program);

    const MatchKey& KeyOf(int place) const { return m_keys[static_cast<std::size_t>(place)]; }
    // The places whose programs match key, ascending.
    std::vector<int> PlacesMatching(const MatchKey& key) const;

private:
    MatchRule m_rule;
    std::vector<MatchKey> m_keys;
    std::unordered_map<std::string, std::vector<int>> m_bySid;
    std::unordered_map<std::string, std::vector<int>> m_byName;
};

} // namespace fw
