#include "core/firmware/TransferFile.h"

#include "core/firmware/Receiverdat.h"
#include "core/res/StringIds.h"

#include "tests/core/firmware/FirmwareTestFiles.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

using test::FirmwareBytes;
using test::Trailer;

class TransferFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir.File(name);
        test::WriteBytes(path, bytes);
        return path;
    }
    test::TempDir m_dir;
};

struct SignatureCase {
    const char* what;
    std::size_t size;
    std::string trailer;
    int load;  // LoadTrailer
    int check; // CheckSignature, when the load succeeded
    int kind;
};

TEST_F(TransferFileTest, RecognisesTheSignatureOfTheTrailer) {
    const std::string nul(1, '\0');
    const SignatureCase cases[] = {
        {"2999 bytes are too short", 2999, "SOFTWARE-VERSION" + nul, -3, 0, 0},
        {"3000 bytes, kind 1", 3000, "SOFTWARE-VERSION" + nul, 1, 1, 1},
        {"kind 2", 5000, "SOFTWARE-VERSION-2MB" + nul, 1, 1, 2},
        {"other suffix", 5000, "SOFTWARE-VERSION-4MB" + nul, 1, -3, 0},
        {"lower case", 5000, "software-version" + nul, 1, -3, 0},
        {"cut short", 5000, "SOFTWARE-VERSIO" + nul, 1, -3, 0},
        {"not at the trailer's start", 5000, nul + "SOFTWARE-VERSION" + nul, 1, -3, 0},
        {"no NUL in the whole trailer", 5000, std::string(2048, 'S'), 1, -3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTransferFile file;
        ASSERT_EQ(file.LoadTrailer(Write("f.bsr", FirmwareBytes(c.size, c.trailer))), c.load);
        if (c.load != 1)
            continue;
        EXPECT_EQ(file.Size(), c.size);
        EXPECT_EQ(file.Data().size(), 2048u);
        EXPECT_EQ(file.CheckSignature(str::kFirmwareSignature), c.check);
        EXPECT_EQ(file.Kind(), c.kind);
    }
}

TEST_F(TransferFileTest, SignatureOnlyInTheImagePartIsNotFound) {
    std::string bytes = FirmwareBytes(6000, "");
    bytes.replace(0, 17, std::string("SOFTWARE-VERSION") + '\0');
    CTransferFile file;
    ASSERT_EQ(file.LoadTrailer(Write("f.bsr", bytes)), 1);
    EXPECT_EQ(file.CheckSignature(str::kFirmwareSignature), -3);
}

TEST_F(TransferFileTest, LoadersReportFilesTheyCannotTake) {
    const std::string folder = m_dir.File("folder.bsr");
    std::filesystem::create_directory(folder);
    const std::string pipe = m_dir.File("pipe.bsr");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string empty = Write("empty.grd", "");

    CTransferFile file;
    EXPECT_EQ(file.LoadTrailer(m_dir.File("missing.bsr")), -1);
    EXPECT_EQ(file.LoadWhole(m_dir.File("missing.bsr")), -1);
    EXPECT_EQ(file.LoadTrailer(folder), -1);
    EXPECT_EQ(file.LoadWhole(pipe), -4) << "a pipe must neither block nor be read";
    EXPECT_NE(file.LastReason().find("not a regular file"), std::string::npos) << file.LastReason();
    EXPECT_EQ(file.LoadWhole(empty), -3);
    EXPECT_EQ(file.LoadTrailer(empty), -3);
}

TEST_F(TransferFileTest, FileAboveTheSizeLimitIsNotRead) {
    // Sparse, so it costs no disk space.
    const std::string path = Write("huge.bsr", "");
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kFirmwareFileLimit) + 1), 0);
    CTransferFile file;
    EXPECT_EQ(file.LoadTrailer(path), -4);
    EXPECT_EQ(file.LoadWhole(path), -4);
    EXPECT_NE(file.LastReason().find("larger than 64 MiB"), std::string::npos) << file.LastReason();
}

TEST_F(TransferFileTest, LoadWholeTakesEveryByteAndSumsThemUnsigned) {
    CTransferFile file;
    ASSERT_EQ(file.LoadWhole(Write("s.grd", "\xFF\xFF")), 1);
    EXPECT_EQ(file.Size(), 2u);
    EXPECT_EQ(file.SumBytes(), 510u);

    const std::string bytes = FirmwareBytes(4000, Trailer("SOFTWARE-VERSION", "X V1", "d"));
    ASSERT_EQ(file.LoadWhole(Write("f.bsr", bytes)), 1);
    ASSERT_EQ(file.Data().size(), bytes.size());
    EXPECT_TRUE(
        std::equal(bytes.begin(), bytes.end(), file.Data().begin(),
                   [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; }));
    EXPECT_EQ(file.SumBytes(), 1952u * 'x' + file.SumBytes(1952, 2048));
    EXPECT_EQ(file.SumBytes(0, 3), 3u * 'x');
    EXPECT_EQ(file.SumBytes(3999, 100), 0u) << "range beyond the buffer adds nothing";
    EXPECT_EQ(file.SumBytes(4000, 1), 0u);

    file.Close();
    EXPECT_TRUE(file.Data().empty());
    EXPECT_EQ(file.SumBytes(), 0u);
}

TEST_F(TransferFileTest, TrailerStringsStayInsideTheBuffer) {
    CTransferFile file;
    ASSERT_EQ(file.LoadTrailer(Write(
                  "a.bsr", FirmwareBytes(3000, Trailer("SOFTWARE-VERSION", "ABC V1.20", "New")))),
              1);
    ASSERT_EQ(file.CheckSignature(str::kFirmwareSignature), 1);
    file.ReadTrailerStrings(3);
    EXPECT_EQ(file.TrailerStrings(),
              (std::vector<std::string>{"SOFTWARE-VERSION", "ABC V1.20", "New"}));

    // No NUL at all: the first string runs to the end of the buffer, the rest are empty.
    ASSERT_EQ(file.LoadTrailer(Write("b.bsr", std::string(3000, 'A'))), 1);
    file.ReadTrailerStrings(3);
    EXPECT_EQ(file.TrailerStrings(), (std::vector<std::string>{std::string(2048, 'A'), "", ""}));

    // The description lacks its NUL at the very end of the file.
    std::string bytes = FirmwareBytes(3000, Trailer("SOFTWARE-VERSION", "V2", ""));
    const std::size_t descriptionStart = 3000 - 2048 + 17 + 3;
    bytes.replace(descriptionStart, bytes.size() - descriptionStart,
                  std::string(bytes.size() - descriptionStart, 'd'));
    ASSERT_EQ(file.LoadTrailer(Write("c.bsr", bytes)), 1);
    file.ReadTrailerStrings(4);
    ASSERT_EQ(file.TrailerStrings().size(), 4u);
    EXPECT_EQ(file.TrailerStrings()[2], std::string(bytes.size() - descriptionStart, 'd'));
    EXPECT_EQ(file.TrailerStrings()[3], "");
}

TEST_F(TransferFileTest, RecordCarriesTheWholeFileAndTheTrailerTexts) {
    const std::string path = Write(
        "Receiver 2.bsr",
        FirmwareBytes(70000, Trailer("SOFTWARE-VERSION-2MB", "ABC V1.20", "For the new boxes")));
    test::ScriptedInteraction interaction;
    CTransferFile file;
    ASSERT_EQ(file.OpenAndCheck(path, str::kFirmwareSignature, interaction), 1);
    file.ReadTrailerStrings(3);
    const CReceiverdat record(file);
    EXPECT_EQ(record.m_version, "ABC V1.20");
    EXPECT_EQ(record.m_size, 70000);
    EXPECT_EQ(record.m_description, "For the new boxes");
    EXPECT_EQ(record.m_strPath, path);
    EXPECT_EQ(record.m_strFileName, "Receiver 2.bsr");
    EXPECT_EQ(record.m_kind, 2);
    EXPECT_TRUE(interaction.shown.empty());
}

struct QuestionCase {
    int code;
    const char* question;
};

TEST_F(TransferFileTest, NegativeResultsAskAndDeleteOnlyOnYes) {
    const QuestionCase cases[] = {
        {-1, "Error on opening file %1.\n Delete file from directory?"},
        {-2, "Error on loading file %1.\n Delete file from directory?"},
        {-3, "Wrong file format %1.\n Delete file from directory?"},
    };
    for (const auto& c : cases) {
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(std::to_string(c.code) + (yes ? " yes" : " no"));
            const std::string path = Write("bad.bsr", std::string(5000, 'z'));
            CTransferFile file;
            ASSERT_EQ(file.LoadTrailer(path), 1);
            test::ScriptedInteraction interaction;
            interaction.answers = {yes ? Answer::Yes : Answer::No};
            EXPECT_EQ(file.ReportLoadResult(c.code, interaction), c.code);
            EXPECT_EQ(file.LastResult(), c.code);
            ASSERT_EQ(interaction.shown.size(), 1u);
            std::string expected = c.question;
            expected.replace(expected.find("%1"), 2, path);
            EXPECT_EQ(interaction.shown[0], expected);
            EXPECT_EQ(std::filesystem::exists(path), !yes);
        }
    }
}

TEST_F(TransferFileTest, SuccessAsksNothingAndFailedDeleteShowsTheReason) {
    test::ScriptedInteraction interaction;
    CTransferFile file;
    EXPECT_EQ(file.ReportLoadResult(1, interaction), 1);
    EXPECT_TRUE(interaction.shown.empty());

    // The file vanished before the user said Yes: the deletion fails and says why.
    const std::string path = m_dir.File("gone.bsr");
    interaction.answers = {Answer::Yes};
    EXPECT_EQ(file.ReportLoadResult(file.LoadTrailer(path), interaction), -1);
    ASSERT_EQ(interaction.shown.size(), 2u);
    EXPECT_EQ(interaction.shown[1], path + ": No such file or directory");
}

TEST_F(TransferFileTest, OpenAndCheckAsksOnceAndGivesMinusOne) {
    struct Case {
        const char* what;
        std::string bytes; // empty: no file
        const char* questionStart;
    };
    const Case cases[] = {
        {"missing", "", "Error on opening file "},
        {"too short", std::string(2000, 'x'), "Wrong file format "},
        {"no signature", FirmwareBytes(4000, Trailer("FIRMWARE", "V1", "")), "Wrong file format "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = m_dir.File("check.bsr");
        std::filesystem::remove(path);
        if (!c.bytes.empty())
            test::WriteBytes(path, c.bytes);
        test::ScriptedInteraction interaction; // answers No
        CTransferFile file;
        EXPECT_EQ(file.OpenAndCheck(path, str::kFirmwareSignature, interaction), -1);
        ASSERT_EQ(interaction.shown.size(), 1u);
        EXPECT_EQ(interaction.shown[0].rfind(c.questionStart + path, 0), 0u)
            << interaction.shown[0];
        EXPECT_EQ(std::filesystem::exists(path), !c.bytes.empty()) << "No keeps the file";
    }
}

} // namespace
} // namespace fw
