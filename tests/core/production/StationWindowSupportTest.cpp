#include "core/production/ProductionLog.h"
#include "core/production/ProductionReport.h"
#include "core/production/StationPorts.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

using Records = std::vector<std::vector<std::string>>;

TEST(ProductionLog, SplitsRecordsAsRfc4180WritesThem) {
    const struct {
        const char* name;
        std::string_view text;
        Records records;
    } cases[] = {
        {"plain, CR LF", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"LF and no last line end", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"empty fields", ",x,\r\n", {{"", "x", ""}}},
        {"quoted comma, quote and line break",
         "\"a,b\",\"say \"\"hi\"\"\",\"one\r\ntwo\"\r\n",
         {{"a,b", "say \"hi\"", "one\r\ntwo"}}},
        {"empty lines skipped", "\r\na\r\n\r\nb\r\n", {{"a"}, {"b"}}},
        {"a quoted empty field is a record", "\"\"\r\n", {{""}}},
        {"an open quote runs to the end", "a,\"b\r\nc", {{"a", "b\r\nc"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCsvRecords(c.text), c.records) << c.name;
}

TEST(ProductionLog, ReadsWhatTheStationWrote) {
    test::TempDir dir;
    ProductionLogTable table;
    std::string reason;
    ASSERT_TRUE(ReadProductionLog(dir.File("none.csv"), table, reason)) << reason;
    EXPECT_TRUE(table.header.empty() && table.rows.empty());

    ProductionRow row;
    row.port = "COM1";
    row.model = "ZEB30";
    row.softwareAfter = "ABC \"2\", new";
    row.firmware = StepVerdict::Ok;
    row.check = CheckState::Same;
    ProductionRow failed = row;
    failed.port = "usb-FTDI_A1";
    failed.settings = StepVerdict::Failed;
    test::WriteBytes(dir.File("day.csv"), ProductionReportText({row, failed}));
    ASSERT_TRUE(ReadProductionLog(dir.File("day.csv"), table, reason)) << reason;
    ASSERT_EQ(table.header.size(), 14u);
    EXPECT_EQ(table.header.front(), "start");
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0][2], "COM1");
    EXPECT_EQ(table.rows[0][6], "ABC \"2\", new");
    EXPECT_EQ(table.rows[0][12], "ok");
    EXPECT_EQ(table.rows[1][2], "usb-FTDI_A1");
    EXPECT_EQ(table.rows[1][12], "failed");

    // A folder in the file's place cannot be read: said, not shown as an empty day.
    std::filesystem::create_directory(dir.File("folder.csv"));
    EXPECT_FALSE(ReadProductionLog(dir.File("folder.csv"), table, reason));
    EXPECT_FALSE(reason.empty());
}

// The COM ports with a device, then the adapters by their stable names, an adapter already
// behind a COM port once only.
TEST(StationPorts, ComPortsThenTheAdaptersNotMappedYet) {
    test::TempDir dev;
    test::TempDir byId;
    for (const char* device : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
        test::WriteBytes(dev.File(device), "");
    std::filesystem::create_symlink(dev.File("ttyUSB0"), byId.File("usb-FTDI_B-if00"));
    std::filesystem::create_symlink(dev.File("ttyACM0"), byId.File("usb-Prolific_A-if00"));
    std::filesystem::create_symlink(dev.File("ttyUSB1"), byId.File("usb-CH340_C-if00"));
    const PortMap ports({{"COM1", dev.File("ttyUSB0")}, {"COM2", dev.File("ttyUSB1")}}, {});
    EXPECT_EQ(StationPortChoices(ports, byId.Path().string()),
              (std::vector<StationPortChoice>{
                  {"COM1", dev.File("ttyUSB0")},
                  {"COM2", dev.File("ttyUSB1")},
                  {"usb-Prolific_A-if00", byId.File("usb-Prolific_A-if00")}}));
    EXPECT_EQ(StationPortChoices(PortMap({}, {}), dev.File("missing")),
              std::vector<StationPortChoice>{});
}

} // namespace
} // namespace fw
