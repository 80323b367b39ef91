#include "core/lists/ProgramMatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

// A row from the fields the rule looks at.
ProgramRow Program(std::string name, std::string frequency, std::string polarisation,
                   std::string sid, std::string satellite) {
    ProgramRow row{};
    row[kFieldName] = std::move(name);
    row[kFieldFrequency] = std::move(frequency);
    row[kFieldPolarisation] = std::move(polarisation);
    row[kFieldSid] = std::move(sid);
    row[kFieldSatellite] = std::move(satellite);
    return row;
}

TEST(ProgramMatchTest, TheRuleAsATable) {
    const ProgramRow base = Program("Das Erste", "11836", "H", "28106", "Astra");
    struct Case {
        const char* what;
        ProgramRow other;
        bool program;
        bool name;
    };
    const std::vector<Case> cases = {
        {"itself", base, true, true},
        {"renamed, same service", Program("Das Erste HD", "11836", "H", "28106", "Astra"), true,
         false},
        {"frequency 2 MHz off", Program("x", "11838", "H", "28106", "Astra"), true, false},
        {"frequency 3 MHz off", Program("Das Erste", "11833", "H", "28106", "Astra"), false, true},
        {"other polarisation", Program("Das Erste", "11836", "V", "28106", "Astra"), false, true},
        {"other SID", Program("Das Erste", "11836", "H", "28107", "Astra"), false, true},
        {"SID with leading zeros", Program("x", "11836", "H", "028106", "Astra"), true, false},
        {"other satellite", Program("Das Erste", "11836", "H", "28106", "Hotbird"), false, true},
        {"empty satellite agrees", Program("x", "11836", "H", "28106", ""), true, false},
        {"satellite folded", Program("x", "11836", "H", "28106", " ASTRA "), true, false},
        {"no SID: name and satellite", Program(" DAS ERSTE ", "", "", "", "Astra"), true, true},
        {"no SID: other name", Program("Das Zweite", "11836", "H", "", "Astra"), false, false},
        {"no SID: other satellite", Program("Das Erste", "11836", "H", "", "Hotbird"), false, true},
        {"empty place", ProgramRow{}, false, false},
    };
    const MatchKey key = MakeMatchKey(base);
    for (const Case& c : cases) {
        const MatchKey other = MakeMatchKey(c.other);
        EXPECT_EQ(SameProgram(key, other), c.program) << c.what;
        EXPECT_EQ(SameProgram(other, key), c.program) << c.what << " (reversed)";
        EXPECT_EQ(Matches(key, other, MatchRule::Name), c.name) << c.what;
    }
    // Diacritics fold: "Mnchen" in Windows-1252 matches its plain spelling by name.
    EXPECT_TRUE(SameName(MakeMatchKey(Program("M\xFCnchen", "", "", "", "")),
                         MakeMatchKey(Program("MUNCHEN", "", "", "", ""))));
    // Two places without a name are not the same program.
    EXPECT_FALSE(SameProgram(MakeMatchKey(Program("", "1", "H", "", "")),
                             MakeMatchKey(Program("", "1", "H", "", ""))));
}

TEST(ProgramMatchTest, TheIndexFindsWhatComparingEveryPlaceFinds) {
    ProgramPool pool;
    const std::vector<ProgramRow> rows = {
        Program("A", "11836", "H", "1", "Astra"),   Program("B", "11836", "H", "2", "Astra"),
        Program("A", "12000", "V", "", "Astra"),    Program("A", "11837", "H", "1", ""),
        Program("a", "11836", "H", "9", "Hotbird"), Program("C", "", "", "", ""),
    };
    for (std::size_t i = 0; i < rows.size(); ++i)
        pool.SetRow(static_cast<int>(10 * i), rows[i]);
    for (MatchRule rule : {MatchRule::Program, MatchRule::Name}) {
        const MatchIndex index(pool, rule);
        for (int place = 0; place <= 60; ++place) {
            std::vector<int> expected;
            for (int other = 0; other <= 60; ++other)
                if (Matches(index.KeyOf(place), index.KeyOf(other), rule))
                    expected.push_back(other);
            EXPECT_EQ(index.PlacesMatching(index.KeyOf(place)), expected)
                << "place " << place << " rule " << static_cast<int>(rule);
        }
    }
}

} // namespace
} // namespace fw
