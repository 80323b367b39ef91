#include "core/link/TransferCheck.h"
#include "core/res/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

std::string CheckedLine(const std::string& name, const std::string& frequency = "11778") {
    return "\t" + name + "\t" + frequency + "\tH\t27500\t3/4\t100\t255\t256\t255\t1";
}

// Bank bank with entries 0..count-1.
void FillBank(CFavoritenDat& banks, int bank, int count) {
    for (int entry = 0; entry < count; ++entry)
        banks.Insert(bank, CFavEintrag{entry}, entry);
}

struct ListCase {
    const char* what;
    std::vector<std::pair<int, std::string>> heldChanges; // place -> held line
    int sentBank3 = 0, heldBank3 = 0;
    int capacity = 4000;
    const char* verdict;
};

TEST(TransferCheckTest, ListVerdictNamesTheCountAndTheFirstDifference) {
    std::vector<std::string> sent(4000, "\t\t\t\t\t\t\t\t\t");
    sent[5] = CheckedLine("Program 5");
    sent[12] = CheckedLine("Das Erste HD");
    sent[40] = CheckedLine("\xD6"
                           "3");
    std::vector<std::pair<int, std::string>> thirtySeven{{12, CheckedLine("Das Erste")}};
    for (int place = 100; place < 136; ++place)
        thirtySeven.emplace_back(place, CheckedLine("dropped in"));
    const ListCase cases[] = {
        {"the same",
         {},
         1000,
         1000,
         4000,
         "The receiver holds the list as sent (4000 places, 10 banks)."},
        {"names cut and a bank short", thirtySeven, 1000, 998, 4000,
         "The receiver holds a different list: 37 places differ, the first at place 12: sent "
         "\"Das Erste HD\", holds \"Das Erste\"; bank F3 holds 998 of 1000 entries."},
        {"a field beside the name",
         {{5, CheckedLine("Program 5", "11779")}},
         0,
         0,
         4000,
         "The receiver holds a different list: place 5 differs: column 3 of \"Program 5\": sent "
         "\"11778\", holds \"11779\"."},
        {"an emptied place",
         {{40, "\t\t\t\t\t\t\t\t\t"}},
         0,
         0,
         4000,
         "The receiver holds a different list: place 40 differs: sent \"\xC3\x96"
         "3\", holds \"\"."},
        {"past the capacity nothing counts",
         {{1000, CheckedLine("never sent")}},
         5,
         5,
         1000,
         "The receiver holds the list as sent (1000 places, 10 banks)."},
        {"more entries than sent",
         {},
         2,
         3,
         4000,
         "The receiver holds a different list: bank F3 holds 3 entries where 2 were sent."},
        {"the bank's 1001st entry is not compared",
         {},
         1001,
         1000,
         4000,
         "The receiver holds the list as sent (4000 places, 10 banks)."},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> held = sent;
        for (const auto& [place, line] : c.heldChanges)
            held[static_cast<std::size_t>(place)] = line;
        CFavoritenDat sentBanks, heldBanks;
        FillBank(sentBanks, 3, c.sentBank3);
        FillBank(heldBanks, 3, c.heldBank3);
        const ListComparison comparison =
            CompareLists(sent, sentBanks, held, heldBanks, c.capacity);
        EXPECT_EQ(ListVerdict(comparison), c.verdict);
    }
}

TEST(TransferCheckTest, ReportListsEveryPlaceAndBank) {
    const std::vector<std::string> sent{"a\tOne", "b\tTwo", "c\tThree"};
    const std::vector<std::string> held{"a\tOn", "b\tTwo", "c\tThree\t"};
    CFavoritenDat sentBanks, heldBanks;
    FillBank(sentBanks, 1, 3);
    for (const int address : {0, 2, 1})
        heldBanks.Insert(1, CFavEintrag{address}, -1);
    FillBank(sentBanks, 7, 10);
    FillBank(heldBanks, 7, 9);
    EXPECT_EQ(
        ListReport(CompareLists(sent, sentBanks, held, heldBanks, 3)),
        "The receiver holds a different list: 2 places differ, the first at place 0: sent "
        "\"One\", holds \"On\"; 2 banks differ, the first: bank F1 differs from entry 1 on.\n\n"
        "Place 0\n  sent:  a\tOne\n  holds: a\tOn\n"
        "Place 2\n  sent:  c\tThree\n  holds: c\tThree\t\n"
        "Bank F1: 3 entries sent, 3 held, different from entry 1 on\n"
        "Bank F7: 10 entries sent, 9 held, different from entry 9 on\n");
    EXPECT_EQ(ListReport(CompareLists(sent, {}, sent, {}, 3)),
              "The receiver holds the list as sent (3 places, 10 banks).\n");
}

TEST(TransferCheckTest, SettingsVerdictNamesTheFirstByte) {
    const std::string sent(2048, '\x04');
    std::string oneByte = sent;
    oneByte[17] = static_cast<char>(200);
    std::string threeBytes = oneByte;
    threeBytes[18] = threeBytes[2047] = 0;
    const struct {
        std::string held;
        const char* verdict;
    } cases[] = {
        {sent, "The receiver holds the settings as sent (2048 bytes)."},
        {oneByte, "The receiver holds different settings: the byte at offset 17 differs: sent 4, "
                  "holds 200."},
        {threeBytes, "The receiver holds different settings: 3 bytes differ, the first at offset "
                     "17: sent 4, holds 200."},
        {sent.substr(0, 2046), "The receiver holds different settings: 2 bytes differ, the first "
                               "at offset 2046: sent 4, holds nothing."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verdict);
        EXPECT_EQ(SettingsVerdict(CompareSettings(sent, c.held)), c.verdict);
    }
    EXPECT_EQ(SettingsReport(CompareSettings(sent, threeBytes)),
              std::string(cases[2].verdict) +
                  "\n\nByte 17: sent 4, holds 200\nByte 18: sent 4, holds 0\n"
                  "Byte 2047: sent 4, holds 0\n");
}

TEST(TransferCheckTest, FirmwareCheckIgnoresOnlyPadding) {
    const struct {
        std::string_view image;
        std::string_view receiver;
        bool runs;
    } cases[] = {
        {"ABC V1.30", "ABC V1.30", true},
        {"ABC V1.30", std::string_view("ABC V1.30  \0\0", 13), true},
        {"ABC V1.30", "ABC V1.20", false},
        {"ABC V1.30", " ABC V1.30", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.receiver));
        EXPECT_EQ(FirmwareRuns(c.image, c.receiver), c.runs);
    }
    EXPECT_EQ(FirmwareRunsText("ABC V1.30 "), "The receiver now runs ABC V1.30.");
    EXPECT_EQ(FirmwareStillNamesText("ABC V1.30", "ABC V1.20"),
              "Warning: the receiver still names ABC V1.20 instead of ABC V1.30; the new firmware "
              "may not be running.");
}

TEST(TransferCheckTest, VerdictsInGerman) {
    std::vector<std::string> sent(20, "\t\t\t\t\t\t\t\t\t");
    sent[12] = CheckedLine("Das Erste HD");
    std::vector<std::string> held = sent;
    held[12] = CheckedLine("Das Erste");
    held[13] = CheckedLine("Sat.1");
    CFavoritenDat sentBanks, heldBanks;
    FillBank(sentBanks, 3, 1000);
    FillBank(heldBanks, 3, 998);
    SetLanguage(Language::German);
    const std::string list = ListVerdict(CompareLists(sent, sentBanks, held, heldBanks, 20));
    const std::string same = ListVerdict(CompareLists(sent, sentBanks, sent, sentBanks, 20));
    SetLanguage(Language::English);
    EXPECT_EQ(list, "Der Receiver enthält eine andere Liste: 2 Plätze weichen ab, der erste ist "
                    "Platz 12: gesendet „Das Erste HD“, gespeichert „Das Erste“; Bank F3 enthält "
                    "998 von 1000 Einträgen.");
    EXPECT_EQ(same, "Der Receiver enthält die Liste wie gesendet (20 Plätze, 10 Bänke).");
}

} // namespace
} // namespace fw
