#include "core/lists/ProgramMatch.h"

#include "core/util/Cp1252.h"

#include <algorithm>
#include <cstdlib>

namespace fw {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "00123" and "123" name the same service; text that is no number is compared as it stands.
std::string SidOf(std::string_view field) {
    std::string_view sid = Trimmed(field);
    if (!AllDigits(sid))
        return FoldCp1252(sid);
    while (sid.size() > 1 && sid.front() == '0')
        sid.remove_prefix(1);
    return std::string(sid);
}

long long FrequencyOf(std::string_view field) {
    const std::string_view text = Trimmed(field);
    if (!AllDigits(text) || text.size() > 12)
        return -1;
    return std::strtoll(std::string(text).c_str(), nullptr, 10);
}

bool SatellitesAgree(const MatchKey& a, const MatchKey& b) {
    return a.satellite.empty() || b.satellite.empty() || a.satellite == b.satellite;
}

bool FrequenciesAgree(long long a, long long b) {
    if (a < 0 || b < 0)
        return a == b;
    return std::llabs(a - b) <= 2;
}

void AddTo(std::unordered_map<std::string, std::vector<int>>& index, const std::string& key,
           int place) {
    index[key].push_back(place);
}

} // namespace

MatchKey MakeMatchKey(const ProgramRow& row) {
    MatchKey key;
    key.empty = std::all_of(row.begin(), row.end(), [](const std::string& f) { return f.empty(); });
    key.name = FoldCp1252(Trimmed(row[kFieldName]));
    key.satellite = FoldCp1252(Trimmed(row[kFieldSatellite]));
    key.sid = SidOf(row[kFieldSid]);
    key.polarisation = FoldCp1252(Trimmed(row[kFieldPolarisation]));
    key.frequency = FrequencyOf(row[kFieldFrequency]);
    return key;
}

bool SameProgram(const MatchKey& a, const MatchKey& b) {
    if (a.empty || b.empty || !SatellitesAgree(a, b))
        return false;
    if (!a.sid.empty() && !b.sid.empty())
        return a.sid == b.sid && a.polarisation == b.polarisation &&
               FrequenciesAgree(a.frequency, b.frequency);
    return SameName(a, b);
}

// A place without a name has nothing to be recognised by.
bool SameName(const MatchKey& a, const MatchKey& b) {
    return !a.empty && !b.empty && !a.name.empty() && a.name == b.name;
}

bool Matches(const MatchKey& a, const MatchKey& b, MatchRule rule) {
    return rule == MatchRule::Name ? SameName(a, b) : SameProgram(a, b);
}

MatchIndex::MatchIndex(const ProgramPool& pool, MatchRule rule) : m_rule(rule) {
    m_keys.reserve(kPoolRows);
    for (int place = 0; place < kPoolRows; ++place) {
        m_keys.push_back(MakeMatchKey(pool.Row(place)));
        const MatchKey& key = m_keys.back();
        if (key.empty)
            continue;
        if (rule == MatchRule::Program && !key.sid.empty())
            AddTo(m_bySid, key.sid, place);
        // A place with a SID can still match by name one without.
        if (!key.name.empty())
            AddTo(m_byName, key.name, place);
    }
}

std::vector<int> MatchIndex::PlacesMatching(const MatchKey& key) const {
    std::vector<int> places;
    if (key.empty)
        return places;
    const auto collect = [&](const std::unordered_map<std::string, std::vector<int>>& index,
                             const std::string& value) {
        const auto found = index.find(value);
        if (found == index.end())
            return;
        for (int place : found->second)
            if (Matches(key, KeyOf(place), m_rule))
                places.push_back(place);
    };
    if (m_rule == MatchRule::Program && !key.sid.empty())
        collect(m_bySid, key.sid);
    collect(m_byName, key.name);
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    return places;
}

} // namespace fw
