#include "core/config/ProfileFile.h"

#include "tests/core/config/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

namespace fw {
namespace {

using namespace std::string_literals;
using test::TempDir;
using ::testing::ElementsAre;
using ::testing::Pair;

ProfileFile FromText(std::string_view text) {
    ProfileFile profile;
    profile.SetText(text);
    return profile;
}

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::string expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GetString) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(FromText(c.text).GetString(c.section, c.key, "<default>"), c.expected);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"Plain", "[A]\nKEY=value\n", "A", "KEY", "value"},
        ReadCase{"SectionAndKeyIgnoreCase", "[Optionen]\ntoolTips=1\n", "OPTIONEN", "TOOLTIPS",
                 "1"},
        ReadCase{"BlanksAroundEverything", "  [ A ]  \n  KEY  =  a b  \t\n", "A", "KEY", "a b"},
        ReadCase{"DoubleQuotesStripped", "[A]\nK=\" a b \"\n", "A", "K", " a b "},
        ReadCase{"SingleQuotesStripped", "[A]\nK='x'\n", "A", "K", "x"},
        ReadCase{"MismatchedQuotesKept", "[A]\nK=\"x'\n", "A", "K", "\"x'"},
        ReadCase{"LoneQuoteKept", "[A]\nK=\"\n", "A", "K", "\""},
        ReadCase{"EmptyValue", "[A]\nK=\n", "A", "K", ""},
        ReadCase{"ValueWithEquals", "[A]\nK=a=b\n", "A", "K", "a=b"},
        ReadCase{"MissingKey", "[A]\nK=1\n", "A", "OTHER", "<default>"},
        ReadCase{"MissingSection", "[A]\nK=1\n", "B", "K", "<default>"},
        ReadCase{"KeyOfNextSectionNotFound", "[A]\nX=1\n[B]\nK=2\n", "A", "K", "<default>"},
        ReadCase{"KeyBeforeAnySectionIgnored", "K=1\n[A]\n", "A", "K", "<default>"},
        ReadCase{"CommentIsNoKey", "[A]\n;K=1\n", "A", "K", "<default>"},
        ReadCase{"FirstOfDuplicateKeys", "[A]\nK=1\nK=2\n", "A", "K", "1"},
        ReadCase{"OnlyFirstOfDuplicateSections", "[A]\nX=1\n[A]\nK=2\n", "A", "K", "<default>"},
        ReadCase{"CrLf", "[A]\r\nK=v\r\nL=w\r\n", "A", "K", "v"},
        ReadCase{"NoFinalNewline", "[A]\nK=v", "A", "K", "v"},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[A]\nK=v\n", "A", "K", "v"},
        ReadCase{"BracketWithoutClose", "[A\nK=v\n", "A", "K", "<default>"},
        ReadCase{"EqualsWithoutKey", "[A]\n=v\nK=w\n", "A", "K", "w"},
        ReadCase{"CutAtNul", "[A]\nK=ab\0cd\n"s, "A", "K", "ab"},
        ReadCase{"BytesUnchanged", "[A]\nK=Gr\xC3\xBC\xC3\x9F\xE4\n", "A", "K",
                 "Gr\xC3\xBC\xC3\x9F\xE4"},
        ReadCase{"CappedAt4095", "[A]\nK=" + kLong + "\n", "A", "K", std::string(4095, 'x')}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ProfileFile, GetIntFollowsAtoiAndDefaultsOnlyWhenNothingIsThere) {
    const ProfileFile profile =
        FromText("[A]\nN=42\nNEG=-5\nWORD=abc\nEMPTY=\nTAIL= 17xyz\nQUOTED=\"7\"\n");
    const struct {
        const char* key;
        int expected;
    } cases[] = {{"N", 42},    {"NEG", -5},   {"WORD", 0},    {"EMPTY", 99},
                 {"TAIL", 17}, {"QUOTED", 7}, {"MISSING", 99}};
    for (const auto& c : cases)
        EXPECT_EQ(profile.GetInt("a", c.key, 99), c.expected) << c.key;
}

TEST(ProfileFile, GetSectionListsKeysInFileOrder) {
    const ProfileFile profile = FromText("[PORTS]\n; mapping\nCOM2=/dev/ttyS1\n\ncom1 = "
                                         "/dev/ttyUSB0\n=junk\nnoequals\n[OTHER]\nCOM3=x\n");
    EXPECT_THAT(profile.GetSection("ports"),
                ElementsAre(Pair("COM2", "/dev/ttyS1"), Pair("com1", "/dev/ttyUSB0")));
    EXPECT_TRUE(profile.GetSection("MISSING").empty());
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    ProfileFile profile = FromText(c.before);
    ASSERT_TRUE(profile.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(profile.Text(), c.after);
    EXPECT_EQ(profile.GetString(c.section, c.key, "<default>"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(
        WriteCase{"InPlaceKeepingNeighbours", "; top\n[A]\nX=1\nk = old ; c\nY=2\n[B]\nK=3\n", "a",
                  "K", "new", "; top\n[A]\nX=1\nk = new\nY=2\n[B]\nK=3\n"},
        WriteCase{"NewKeyAfterLastKeyOfSection", "[A]\nX=1\n\n; about B\n[B]\nY=2\n", "A", "Z", "9",
                  "[A]\nX=1\nZ=9\n\n; about B\n[B]\nY=2\n"},
        WriteCase{"NewKeyInEmptySection", "[A]\n\n[B]\n", "A", "Z", "9", "[A]\nZ=9\n\n[B]\n"},
        WriteCase{"NewSectionAtEnd", "[A]\nX=1\n", "B", "Y", "2", "[A]\nX=1\n[B]\nY=2\n"},
        WriteCase{"IntoEmptyFile", "", "A", "X", "1", "[A]\nX=1\n"},
        WriteCase{"MissingFinalNewline", "[A]\nX=1", "A", "Y", "2", "[A]\nX=1\nY=2\n"},
        WriteCase{"InPlaceWithoutFinalNewline", "[A]\nX=1", "A", "X", "2", "[A]\nX=2"},
        WriteCase{"CrLfKeptForNewLines", "[A]\r\nX=1\r\n", "B", "Y", "2",
                  "[A]\r\nX=1\r\n[B]\r\nY=2\r\n"},
        WriteCase{"ByteOrderMarkKept", "\xEF\xBB\xBF[A]\nX=1\n", "A", "X", "2",
                  "\xEF\xBB\xBF[A]\nX=2\n"},
        WriteCase{"EmptyValue", "[A]\nX=1\n", "A", "X", "", "[A]\nX=\n"},
        WriteCase{"BlanksAtEndsGetQuotes", "", "A", "X", " a ", "[A]\nX=\" a \"\n"},
        WriteCase{"EnclosingQuotesGetQuotes", "", "A", "X", "'a'", "[A]\nX=\"'a'\"\n"},
        WriteCase{"InnerQuotesAsTheyAre", "", "A", "X", "a \"b\" c", "[A]\nX=a \"b\" c\n"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ProfileFile, LookupsFollowEveryInsertedLine) {
    ProfileFile profile = FromText("[A]\nX=1\n[B]\nY=2\n[a]\nZ=3\n[C]\n");
    ASSERT_TRUE(profile.WriteString("A", "N1", "a"));
    ASSERT_TRUE(profile.WriteString("C", "N2", "c"));
    ASSERT_TRUE(profile.WriteString("b", "y", "two"));
    ASSERT_TRUE(profile.WriteString("D", "N3", "d"));
    ASSERT_TRUE(profile.WriteString("B", "N4", "b"));
    ASSERT_TRUE(profile.WriteString("A", "N1", "again"));
    EXPECT_EQ(profile.Text(),
              "[A]\nX=1\nN1=again\n[B]\nY=two\nN4=b\n[a]\nZ=3\n[C]\nN2=c\n[D]\nN3=d\n");
    // What the written profile answers is what a fresh read of its text answers.
    const ProfileFile fresh = FromText(profile.Text());
    for (const auto* section : {"A", "b", "C", "d"})
        for (const auto* key : {"X", "N1", "Y", "N4", "Z", "N2", "N3"})
            EXPECT_EQ(profile.GetString(section, key, "-"), fresh.GetString(section, key, "-"))
                << section << "/" << key;
    EXPECT_EQ(profile.GetSection("B"), fresh.GetSection("B"));
}

TEST(ProfileFile, ALargeFileIsReadAndWrittenLikeASmallOne) {
    // Close to the size limit, with the keys that matter behind everything else.
    std::string text;
    for (int i = 0; text.size() < 7'500'000; ++i)
        text += "[S" + std::to_string(i) + "]\nKEY=value " + std::to_string(i) + "\n; note\n";
    text += "[TRANSFER]\nBAUDRATE=9600\n";
    TempDir dir;
    const std::string path = dir.File("upd.ini");
    test::WriteBytes(path, text);

    ProfileFile profile;
    std::string reason;
    ASSERT_TRUE(profile.Load(path, reason)) << reason;
    EXPECT_EQ(profile.GetInt("transfer", "baudrate", 0), 9600);
    EXPECT_EQ(profile.GetString("S1000", "KEY", ""), "value 1000");
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(profile.WriteInt("S" + std::to_string(i * 7), "NEW", i));
    ASSERT_TRUE(profile.WriteInt("TRANSFER", "BAUDRATE", 115200));
    ASSERT_TRUE(profile.Save(reason)) << reason;

    ProfileFile again;
    ASSERT_TRUE(again.Load(path, reason)) << reason;
    EXPECT_EQ(again.Text(), profile.Text());
    EXPECT_EQ(again.GetInt("TRANSFER", "BAUDRATE", 0), 115200);
    EXPECT_EQ(again.GetInt("S1393", "NEW", -1), 199);
    EXPECT_EQ(again.GetString("S1393", "KEY", ""), "value 1393");
}

TEST(ProfileFile, LineBreaksInAValueCannotBreakTheFile) {
    ProfileFile profile = FromText("[A]\nX=1\n");
    ASSERT_TRUE(profile.WriteString("A", "X", "a\r\n[B]\nY=2\0z"s));
    EXPECT_EQ(profile.Text(), "[A]\nX=a  [B] Y=2 z\n");
    EXPECT_FALSE(profile.HasKey("B", "Y"));
}

TEST(ProfileFile, RefusesNamesThatWouldNotReadBack) {
    const std::string before = "[A]\nX=1\n";
    ProfileFile profile = FromText(before);
    const std::pair<const char*, const char*> bad[] = {
        {"", "K"},    {"A", ""},    {"A]", "K"}, {"A\nB", "K"}, {" A", "K"},
        {"A", "K=L"}, {"A", "K\r"}, {"A", ";K"}, {"A", "[K"},   {"A", "K "}};
    for (const auto& [section, key] : bad)
        EXPECT_FALSE(profile.WriteString(section, key, "v")) << section << "/" << key;
    EXPECT_EQ(profile.Text(), before);
}

TEST(ProfileFile, WriteIntIsDecimalWithSign) {
    ProfileFile profile;
    ASSERT_TRUE(profile.WriteInt("A", "N", -1));
    ASSERT_TRUE(profile.WriteInt("A", "M", 115200));
    EXPECT_EQ(profile.Text(), "[A]\nN=-1\nM=115200\n");
}

// Whatever the file holds, reading it must not crash and must give back every byte.
TEST(ProfileFile, DamagedTextLoadsAndSurvivesUnchanged) {
    std::mt19937 random(12345);
    std::string noise(20000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() & 0xFF);
    const std::string texts[] = {
        noise,
        "\0\0\0[A]\0\nK=\0\n"s,
        "[A]\n" + std::string(100000, 'k') + "=" + std::string(100000, 'v') + "\n",
        "[A\n[\n]\n[]\n=value\n=\n[A]]\nK=1",
        "\r\r\n\n\r[A]\rK=1\r\n",
    };
    for (const std::string& text : texts) {
        ProfileFile profile = FromText(text);
        EXPECT_EQ(profile.Text(), text);
        EXPECT_EQ(profile.GetString("MISSING", "K", "d"), "d");
        profile.GetSection("A");
        ASSERT_TRUE(profile.WriteString("NEW", "K", "v"));
        EXPECT_TRUE(profile.Text().starts_with(text));
        EXPECT_EQ(FromText(profile.Text()).GetString("NEW", "K", "d"), "v");
    }
}

TEST(ProfileFile, MissingFileIsEmptyAndNotAnError) {
    TempDir dir;
    ProfileFile profile;
    std::string reason;
    EXPECT_TRUE(profile.Load(dir.File("upd.ini"), reason));
    EXPECT_FALSE(profile.Exists());
    EXPECT_EQ(profile.Text(), "");
    EXPECT_TRUE(profile.Load(dir.File("nofolder/upd.ini"), reason));
    EXPECT_FALSE(profile.Exists());
}

TEST(ProfileFile, UnreadableFileIsReported) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("upd.ini"));
    ProfileFile profile;
    std::string reason;
    EXPECT_FALSE(profile.Load(dir.File("upd.ini"), reason));
    EXPECT_TRUE(profile.Exists());
    EXPECT_THAT(reason, ::testing::HasSubstr("upd.ini"));
}

TEST(ProfileFile, SaveWritesTheTextBackByteForByte) {
    TempDir dir;
    const std::string path = dir.File("upd.ini");
    const std::string original = "; kept\r\n[A]\r\nX=1\r\nUNKNOWN=\xE4\r\n";
    test::WriteBytes(path, original);
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(path));
    EXPECT_TRUE(profile.Exists());
    ASSERT_TRUE(profile.WriteInt("A", "X", 2));
    std::string reason;
    ASSERT_TRUE(profile.Save(reason)) << reason;
    EXPECT_EQ(test::ReadBytes(path), "; kept\r\n[A]\r\nX=2\r\nUNKNOWN=\xE4\r\n");
}

TEST(ProfileFile, FailedSaveReportsAndKeepsTheOldFile) {
    TempDir dir;
    test::WriteBytes(dir.File("plain"), "x");
    for (const std::string& path : {dir.File("missing/upd.ini"), dir.File("plain/upd.ini")}) {
        ProfileFile profile;
        ASSERT_TRUE(profile.Load(path));
        ASSERT_TRUE(profile.WriteInt("A", "X", 1));
        std::string reason;
        EXPECT_FALSE(profile.Save(reason)) << path;
        EXPECT_THAT(reason, ::testing::HasSubstr(path));
        EXPECT_FALSE(profile.Exists());
    }

    const std::string path = dir.File("upd.ini");
    test::WriteBytes(path, "[A]\nX=1\n");
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(path));
    ASSERT_TRUE(profile.WriteString("A", "X", std::string(1000, 'v')));
    std::string reason;
    {
        test::FileSizeLimit limit(100);
        EXPECT_FALSE(profile.Save(reason));
    }
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(test::ReadBytes(path), "[A]\nX=1\n");
    EXPECT_EQ(test::EntryCount(dir.Path()), 2u) << "no temporary file may be left";
}

} // namespace
} // namespace fw
