#include "core/app/Logbook.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace fw {
namespace {

LogbookRecord SampleRecord(const std::string& job, double seconds = 21.34) {
    return {"2026-12-07T23:26:02+01:00",
            job,
            "COM1",
            "/dev/ttyUSB0",
            "ZEB30",
            "V2.10",
            "/data/lists/tv.lst",
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
            "/data/lists/backup/tv-20261207-232602.lst",
            "ok",
            "The receiver holds the list as sent.",
            seconds};
}

bool SameRecord(const LogbookRecord& a, const LogbookRecord& b) {
    return LogbookFields(a) == LogbookFields(b);
}

class LogbookTest : public ::testing::Test {
protected:
    void Append(const LogbookRecord& record) {
        std::string reason;
        ASSERT_TRUE(AppendToLogbook(m_data, record, reason)) << reason;
    }
    std::vector<LogbookRecord> Read(std::size_t last = kWholeLogbook) {
        std::vector<LogbookRecord> records;
        std::string reason;
        EXPECT_TRUE(ReadLogbook(m_data, last, records, reason)) << reason;
        return records;
    }
    std::vector<std::string> Jobs(const std::vector<LogbookRecord>& records) {
        std::vector<std::string> jobs;
        for (const LogbookRecord& record : records)
            jobs.push_back(record.job);
        return jobs;
    }

    test::TempDir m_dir;
    const std::string m_data = m_dir.Path().string();
};

TEST_F(LogbookTest, LineKeepsEveryFieldOnOneLine) {
    const struct {
        std::string field;
        std::string written;
    } cases[] = {
        {"plain Ä text", "plain Ä text"},
        {"a\tb", "a\\tb"},
        {"first\nsecond\r\n", "first\\nsecond\\r\\n"},
        {"C:\\lists\\tv.lst", "C:\\\\lists\\\\tv.lst"},
        {std::string("\x1B[2J\x7F\0", 6), "\\x1B[2J\\x7F\\x00"},
    };
    for (const auto& c : cases) {
        LogbookRecord record = SampleRecord("list send");
        record.software = c.field;
        const std::string line = LogbookLine(record);
        EXPECT_EQ(line, "2026-12-07T23:26:02+01:00\tlist send\tCOM1\t/dev/ttyUSB0\tZEB30\t" +
                            c.written +
                            "\t/data/lists/tv.lst\t"
                            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\t"
                            "/data/lists/backup/tv-20261207-232602.lst\tok\t"
                            "The receiver holds the list as sent.\t21.3\n");
        EXPECT_EQ(ParseLogbookLine(line.substr(0, line.size() - 1)).software, c.field);
    }
}

TEST_F(LogbookTest, ParsingToleratesShortLongAndOddLines) {
    EXPECT_TRUE(
        SameRecord(ParseLogbookLine(LogbookLine(SampleRecord("x", 3.0))), SampleRecord("x", 3.0)));
    const LogbookRecord shortLine = ParseLogbookLine("2026-01-01T00:00:00+00:00\tlist load");
    EXPECT_EQ(shortLine.job, "list load");
    EXPECT_EQ(shortLine.outcome, "");
    const LogbookRecord longLine =
        ParseLogbookLine("t\tj\tp\td\tm\ts\tf\th\tc\to\tv\t7.5\ta column of a later version");
    EXPECT_EQ(longLine.verdict, "v");
    EXPECT_EQ(longLine.seconds, 7.5);
    EXPECT_EQ(ParseLogbookLine("\\q\\x4G\\").time, "\\q\\x4G\\") << "stray escapes stay as typed";
    EXPECT_EQ(LogbookFields(SampleRecord("x", -2))[11], "0.0");
}

TEST_F(LogbookTest, TimeIsLocalWithItsOffset) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    const auto when = std::chrono::system_clock::from_time_t(1796685962); // 2026-12-07 23:26:02Z
    const struct {
        const char* zone;
        const char* time;
    } cases[] = {{"UTC0", "2026-12-07T23:26:02+00:00"},
                 {"CET-1", "2026-12-08T00:26:02+01:00"},
                 {"NST+3:30", "2026-12-07T19:56:02-03:30"}};
    for (const auto& c : cases) {
        ::setenv("TZ", c.zone, 1);
        ::tzset();
        EXPECT_EQ(LogbookTime(when), c.time) << c.zone;
    }
    old ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

TEST_F(LogbookTest, ReadsTheLastLinesNewestFirstAcrossTheRotatedFile) {
    EXPECT_TRUE(Read().empty()) << "no logbook yet";
    std::filesystem::create_directories(m_dir.Path() / "log");
    test::WriteBytes(RotatedLogbookPath(m_data),
                     LogbookLine(SampleRecord("old 1")) + LogbookLine(SampleRecord("old 2")));
    for (const char* job : {"new 1", "new 2", "new 3"})
        Append(SampleRecord(job));
    EXPECT_EQ(Jobs(Read(2)), (std::vector<std::string>{"new 3", "new 2"}));
    EXPECT_EQ(Jobs(Read(4)), (std::vector<std::string>{"new 3", "new 2", "new 1", "old 2"}));
    EXPECT_EQ(Jobs(Read()),
              (std::vector<std::string>{"new 3", "new 2", "new 1", "old 2", "old 1"}));
    EXPECT_TRUE(Read(0).empty());
}

TEST_F(LogbookTest, RotatesBeforeALineWouldPassTheLimit) {
    std::filesystem::create_directories(m_dir.Path() / "log");
    test::WriteBytes(RotatedLogbookPath(m_data), "the oldest lines go\n");
    const std::string line = LogbookLine(SampleRecord("fits"));
    const std::string filler(kLogbookRotateBytes - line.size() - 1, 'f');
    test::WriteBytes(LogbookPath(m_data), filler + "\n");

    Append(SampleRecord("fits"));
    EXPECT_EQ(std::filesystem::file_size(LogbookPath(m_data)), kLogbookRotateBytes);
    EXPECT_EQ(test::ReadBytes(RotatedLogbookPath(m_data)), "the oldest lines go\n");

    Append(SampleRecord("rotates"));
    EXPECT_EQ(test::ReadBytes(LogbookPath(m_data)), LogbookLine(SampleRecord("rotates")));
    EXPECT_EQ(test::ReadBytes(RotatedLogbookPath(m_data)), filler + "\n" + line);
    EXPECT_EQ(Jobs(Read(2)), (std::vector<std::string>{"rotates", "fits"}));
}

TEST_F(LogbookTest, TwoWritersRotateInTurns) {
    // A logbook of three lines rotates often enough for the writers to meet at a rotation.
    const std::string line = LogbookLine(SampleRecord("writer"));
    const std::uint64_t rotateAt = 3 * line.size();
    const auto writer = [&] {
        for (int i = 0; i < 300; ++i) {
            std::string reason;
            EXPECT_TRUE(AppendToLogbook(m_data, SampleRecord("writer"), reason, rotateAt))
                << reason;
        }
    };
    std::thread first(writer), second(writer);
    first.join();
    second.join();
    // A rotation without turns moves another writer's fresh logbook over the full one.
    EXPECT_EQ(test::ReadBytes(RotatedLogbookPath(m_data)), line + line + line);
    const std::string current = test::ReadBytes(LogbookPath(m_data));
    EXPECT_EQ(current.size() % line.size(), 0u);
    EXPECT_EQ(current.substr(0, line.size()), line);
}

TEST_F(LogbookTest, AppendsMakeTheirFolderAndFailuresLeaveTheLogbookWhole) {
    Append(SampleRecord("before"));
    const std::string before = test::ReadBytes(LogbookPath(m_data));
    {
        test::FileSizeLimit limit(before.size() + 5);
        std::string reason;
        EXPECT_FALSE(AppendToLogbook(m_data, SampleRecord("cut"), reason));
        EXPECT_NE(reason.find("transfers.tsv"), std::string::npos) << reason;
    }
    EXPECT_EQ(test::ReadBytes(LogbookPath(m_data)), before) << "the cut line is taken back";

    std::string reason;
    EXPECT_TRUE(AppendToLogbook(m_dir.File("not-made-yet"), SampleRecord("x"), reason)) << reason;
    test::WriteBytes(m_dir.File("plain-file"), "");
    EXPECT_FALSE(AppendToLogbook(m_dir.File("plain-file"), SampleRecord("x"), reason));
    EXPECT_NE(reason.find("plain-file"), std::string::npos) << reason;
}

TEST_F(LogbookTest, FilterWantsEveryWordInSomeField) {
    const LogbookRecord record = SampleRecord("list send");
    const struct {
        const char* filter;
        bool matches;
    } cases[] = {{"", true},           {"  ", true},          {"zeb30", true},
                 {"ZEB30 send", true}, {"zeb30 load", false}, {"ttyusb0 ok", true},
                 {"2026-12-07", true}, {"21.3", true},        {"ZEB20", false}};
    for (const auto& c : cases)
        EXPECT_EQ(LogbookRecordMatches(record, c.filter), c.matches) << '"' << c.filter << '"';
}

} // namespace
} // namespace fw
