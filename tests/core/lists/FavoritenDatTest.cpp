#include "core/lists/FavoritenDat.h"

#include "core/lists/ProgramPool.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fw {
namespace {

const std::string kLabels =
    "BANK0:\tBANK1:\tBANK2:\tBANK3:\tBANK4:\tBANK5:\tBANK6:\tBANK7:\tBANK8:\tBANK9:\r\n";

CFavoritenDat WithBanks(const std::vector<std::vector<int>>& banks) {
    CFavoritenDat model;
    for (std::size_t bank = 0; bank < banks.size(); ++bank)
        for (int address : banks[bank])
            model.Insert(static_cast<int>(bank), {address}, -1);
    return model;
}

std::vector<int> Addresses(const CFavoritenDat& model, int bank) {
    std::vector<int> result;
    for (int i = 0; i < model.GetCount(bank); ++i)
        result.push_back(model.GetAddress(bank, i));
    return result;
}

std::vector<std::string_view> Lines(const std::vector<std::string>& texts) {
    return {texts.begin(), texts.end()};
}

TEST(FavoritenDatTest, EntriesAndBadIndices) {
    CFavoritenDat model = WithBanks({{1, 2}});
    EXPECT_TRUE(model.Insert(0, {9}, -1));
    EXPECT_TRUE(model.Insert(0, {8}, 3)); // at the count: appended
    EXPECT_TRUE(model.Insert(0, {7}, 0));
    EXPECT_EQ(Addresses(model, 0), (std::vector<int>{7, 1, 2, 9, 8}));
    EXPECT_TRUE(model.RemoveAt(0, 1));
    EXPECT_EQ(Addresses(model, 0), (std::vector<int>{7, 2, 9, 8}));
    EXPECT_EQ(model.GetMaxCount(), 4);

    EXPECT_FALSE(model.Insert(kBankCount, {1}, 0));
    EXPECT_FALSE(model.Insert(-1, {1}, 0));
    EXPECT_FALSE(model.RemoveAt(0, 4));
    EXPECT_FALSE(model.RemoveAt(10, 0));
    EXPECT_EQ(model.GetCount(10), 0);
    EXPECT_EQ(model.GetAddress(0, -1), -1);
    EXPECT_EQ(model.GetAddress(0, 4), -1);
    EXPECT_EQ(model.GetAddress(11, 0), -1);
    model.Clear();
    EXPECT_EQ(model.GetMaxCount(), 0);
}

TEST(FavoritenDatTest, BlockText) {
    struct Case {
        std::vector<std::vector<int>> banks;
        std::string text;
    } cases[] = {
        {{}, kLabels},
        {{{}, {}, {}, {5, 6}}, kLabels + "\t\t\t5\t\t\t\t\t\t\r\n\t\t\t6\t\t\t\t\t\t\r\n"},
        {{{1, 0}, {0}}, kLabels + "1\t0\t\t\t\t\t\t\t\t\r\n0\t\t\t\t\t\t\t\t\t\r\n"},
        {{{}, {}, {}, {}, {}, {}, {}, {}, {}, {3999}}, kLabels + "\t\t\t\t\t\t\t\t\t3999\r\n"},
    };
    for (const Case& c : cases) {
        const CFavoritenDat model = WithBanks(c.banks);
        std::string text;
        model.WriteBlock(text);
        EXPECT_EQ(text, c.text);

        std::vector<std::string> lines;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find("\r\n", start);
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        CFavoritenDat back = WithBanks({{42}});
        back.ReadBlock(Lines(lines), true);
        for (int bank = 0; bank < kBankCount; ++bank)
            EXPECT_EQ(Addresses(back, bank), Addresses(model, bank)) << "bank " << bank;
    }
}

TEST(FavoritenDatTest, ReadBlockTakesTenFieldsAndSkipsHoles) {
    CFavoritenDat model;
    const std::vector<std::string> rows = {
        " 12 \t\t 7 ", "2\t\t7", "0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11",
        "x\t",         "",       "\t\t\t\t\t\t\t\t\t\t"};
    model.ReadBlock(Lines(rows), false);
    EXPECT_EQ(Addresses(model, 0), (std::vector<int>{12, 2, 0, 0}));
    EXPECT_EQ(Addresses(model, 1), (std::vector<int>{1}));
    EXPECT_EQ(Addresses(model, 2), (std::vector<int>{7, 7, 2}));
    EXPECT_EQ(Addresses(model, 9), (std::vector<int>{9}));
    model.ReadBlock({}, true);
    EXPECT_EQ(model.GetMaxCount(), 0);
}

TEST(FavoritenDatTest, WireForm) {
    CFavoritenDat model = WithBanks({{258, 0, 65535}});
    EXPECT_EQ(model.GetWireLength(0), 6);
    const auto wire = model.BuildWireBuffer(0);
    EXPECT_EQ(std::vector<unsigned char>(wire.begin(), wire.end()),
              (std::vector<unsigned char>{0x01, 0x02, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_TRUE(model.BuildWireBuffer(10).empty());

    CFavoritenDat received;
    received.ParseWireBuffer(0); // no buffer yet: nothing
    const auto buffer = received.AllocReceiveBuffer(5);
    ASSERT_EQ(buffer.size(), 5u);
    const unsigned char bytes[] = {0xFF, 0x80, 0x01, 0x02, 0x07};
    std::copy(std::begin(bytes), std::end(bytes), buffer.begin());
    received.ParseWireBuffer(4);
    received.ParseWireBuffer(4); // appends, does not replace
    received.ParseWireBuffer(-1);
    EXPECT_EQ(Addresses(received, 4), (std::vector<int>{65408, 258, 65408, 258}));
}

TEST(FavoritenDatTest, ProgramUpdatesKeepReferencesAndMarkChangedBanks) {
    struct Case {
        const char* what;
        std::vector<int> bank0;
        std::vector<int> bank1;
        void (*update)(CFavoritenDat&, BankFlags&);
        std::vector<int> after0;
        bool changed0;
    } cases[] = {
        {"insert shifts and drops what leaves the pool",
         {3, 10, 3999},
         {1},
         [](CFavoritenDat& m, BankFlags& f) { m.InsertPrograms(10, 2, f); },
         {3, 12},
         true},
        {"insert pushing a program onto row 4000 drops it",
         {3998},
         {1},
         [](CFavoritenDat& m, BankFlags& f) { m.InsertPrograms(10, 2, f); },
         {},
         true},
        {"insert behind every entry",
         {3, 4},
         {1},
         [](CFavoritenDat& m, BankFlags& f) { m.InsertPrograms(10, 2, f); },
         {3, 4},
         false},
        {"insert keeps huge addresses from overflowing",
         {2147483647},
         {1},
         [](CFavoritenDat& m, BankFlags& f) { m.InsertPrograms(2, 5, f); },
         {},
         true},
        {"delete removes and shifts",
         {4, 5, 6, 5},
         {1},
         [](CFavoritenDat& m, BankFlags& f) { m.DeleteProgram(5, f); },
         {4, 5},
         true},
        {"remove takes consecutive duplicates",
         {5, 5, 5, 6},
         {1},
         [](CFavoritenDat& m, BankFlags& f) { m.RemoveProgram(5, f); },
         {6},
         true},
        {"remap follows the table",
         {0, 2, 1},
         {1},
         [](CFavoritenDat& m, BankFlags& f) {
             const int table[] = {2, 1, 0};
             m.RemapPrograms(table, f);
         },
         {2, 0, 1},
         true},
        {"remap drops vanished programs and addresses outside the table",
         {0, 1, 7, -3},
         {1},
         [](CFavoritenDat& m, BankFlags& f) {
             const int table[] = {-1, 1, 2};
             m.RemapPrograms(table, f);
         },
         {1},
         true},
    };
    for (const Case& c : cases) {
        CFavoritenDat model = WithBanks({c.bank0, c.bank1});
        BankFlags changed;
        changed.fill(1);
        c.update(model, changed);
        EXPECT_EQ(Addresses(model, 0), c.after0) << c.what;
        EXPECT_EQ(changed[0] == 0, c.changed0) << c.what;
        EXPECT_EQ(Addresses(model, 1), (std::vector<int>{1})) << c.what;
        EXPECT_EQ(changed[1], 1) << c.what << ": bank 1 was not touched";
    }
}

// Copies share the banks until one side changes them, as the undo history relies on.
TEST(FavoritenDatTest, ACopyKeepsItsBanksWhateverTheOriginalDoes) {
    const std::vector<std::pair<const char*, std::function<void(CFavoritenDat&)>>> changes = {
        {"insert", [](CFavoritenDat& m) { m.Insert(0, {9}, 0); }},
        {"remove", [](CFavoritenDat& m) { m.RemoveAt(1, 0); }},
        {"clear", [](CFavoritenDat& m) { m.Clear(); }},
        {"read block",
         [](CFavoritenDat& m) {
             const std::vector<std::string> lines = {"7"};
             m.ReadBlock(Lines(lines), false);
         }},
        {"wire",
         [](CFavoritenDat& m) {
             m.AllocReceiveBuffer(2)[1] = 5;
             m.ParseWireBuffer(0);
         }},
        {"program removed",
         [](CFavoritenDat& m) {
             BankFlags f{};
             m.RemoveProgram(3, f);
         }},
        {"programs inserted",
         [](CFavoritenDat& m) {
             BankFlags f{};
             m.InsertPrograms(0, 1, f);
         }},
        {"programs remapped",
         [](CFavoritenDat& m) {
             BankFlags f{};
             const std::vector<int> table = {1, 0, 2, 3, 4};
             m.RemapPrograms(table, f);
         }},
    };
    const CFavoritenDat original = WithBanks({{1, 3}, {4, 0}});
    for (const auto& [what, change] : changes) {
        CFavoritenDat copy = original;
        CFavoritenDat changed = copy;
        change(changed);
        EXPECT_FALSE(changed.SameBanks(original)) << what;
        EXPECT_EQ(Addresses(copy, 0), (std::vector<int>{1, 3})) << what;
        EXPECT_EQ(Addresses(copy, 1), (std::vector<int>{4, 0})) << what;
    }
}

} // namespace
} // namespace fw
