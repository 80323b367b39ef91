#include "core/production/ProductionReport.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

namespace fw {
namespace {

ProductionRow GoodRow() {
    ProductionRow row;
    row.start = "2026-12-08T09:00:00+01:00";
    row.end = "2026-12-08T09:03:10+01:00";
    row.port = "COM1";
    row.device = "/dev/ttyUSB0";
    row.model = "ZEB30";
    row.softwareBefore = "NONE";
    row.softwareAfter = "NEW V2.00";
    row.firmware = row.settings = row.tvList = row.radioList = StepVerdict::Ok;
    row.check = CheckState::Same;
    row.seconds = 190.04;
    return row;
}

TEST(ProductionReport, RowsBecomeCsvLines) {
    const std::string head = "2026-12-08T09:00:00+01:00,2026-12-08T09:03:10+01:00,COM1,"
                             "/dev/ttyUSB0,ZEB30,";
    const struct {
        const char* what;
        void (*change)(ProductionRow&);
        std::string line;
    } cases[] = {
        {"all well", [](ProductionRow&) {}, head + "NONE,NEW V2.00,ok,ok,ok,ok,same,ok,190.0\r\n"},
        {"texts with commas, quotes and line breaks are quoted",
         [](ProductionRow& row) {
             row.softwareBefore = "ABC, \"beta\"";
             row.softwareAfter = "X\nY";
         },
         head + "\"ABC, \"\"beta\"\"\",\"X\nY\",ok,ok,ok,ok,same,ok,190.0\r\n"},
        {"a receiver that differs has failed",
         [](ProductionRow& row) { row.check = CheckState::Differs; },
         head + "NONE,NEW V2.00,ok,ok,ok,ok,differs,failed,190.0\r\n"},
        {"a check that could not run counts as failed",
         [](ProductionRow& row) { row.check = CheckState::NotRun; },
         head + "NONE,NEW V2.00,ok,ok,ok,ok,not run,failed,190.0\r\n"},
        {"steps left out, check off",
         [](ProductionRow& row) {
             row.firmware = row.settings = StepVerdict::Skipped;
             row.softwareBefore = row.softwareAfter = "";
             row.check = CheckState::Off;
             row.seconds = -1;
         },
         head + ",,skipped,skipped,ok,ok,off,ok,0.0\r\n"},
        {"a failed step, the rest skipped",
         [](ProductionRow& row) {
             row.settings = StepVerdict::Failed;
             row.tvList = row.radioList = StepVerdict::Skipped;
             row.check = CheckState::NotRun;
         },
         head + "NONE,NEW V2.00,ok,failed,skipped,skipped,not run,failed,190.0\r\n"},
        {"nothing ran: no success",
         [](ProductionRow& row) {
             row.firmware = row.settings = row.tvList = row.radioList = StepVerdict::Skipped;
             row.check = CheckState::Off;
         },
         head + "NONE,NEW V2.00,skipped,skipped,skipped,skipped,off,failed,190.0\r\n"},
    };
    for (const auto& c : cases) {
        ProductionRow row = GoodRow();
        c.change(row);
        EXPECT_EQ(ProductionReportLine(row), c.line) << c.what;
    }
    EXPECT_EQ(ProductionReportText({GoodRow()}),
              "start,end,port,device,model,software_before,software_after,firmware,settings,tv,"
              "radio,check,result,seconds\r\n" +
                  cases[0].line);
}

TEST(ProductionReport, TheDaysFileGetsItsHeaderOnceAndWholeRows) {
    test::TempDir dir;
    const std::string data = dir.File("data"); // made by the first append
    const auto now = std::chrono::system_clock::now();
    const std::string path = ProductionLogPath(data, now);
    EXPECT_TRUE(std::regex_match(path, std::regex(".*/data/log/production-20[0-9]{6}\\.csv")))
        << path;

    // Ports finishing together.
    constexpr int kPorts = 8;
    std::vector<std::thread> ports;
    std::vector<std::string> reasons(kPorts);
    // Not vector<bool>: its bits share words, so two threads would write the same word.
    std::vector<char> appended(kPorts, 0);
    for (int port = 0; port < kPorts; ++port) {
        ports.emplace_back([&, port] {
            ProductionRow row = GoodRow();
            row.port = "port " + std::to_string(port);
            row.softwareAfter = std::string(5000, 'v'); // more than one pipe buffer's worth
            appended[port] = AppendProductionRow(data, row, now, reasons[port]);
        });
    }
    for (std::thread& port : ports)
        port.join();
    for (int port = 0; port < kPorts; ++port)
        EXPECT_TRUE(appended[port]) << reasons[port];

    const std::string text = test::ReadBytes(path);
    EXPECT_EQ(text.rfind(ProductionReportHeader(), 0), 0u);
    EXPECT_EQ(text.find("start,end", 1), std::string::npos) << "the header comes once";
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 1u + kPorts);
    for (int port = 0; port < kPorts; ++port) {
        ProductionRow row = GoodRow();
        row.port = "port " + std::to_string(port);
        row.softwareAfter = std::string(5000, 'v');
        EXPECT_NE(text.find(ProductionReportLine(row)), std::string::npos) << port;
    }

    // A data folder that cannot be made is reported, not ignored.
    test::WriteBytes(dir.File("file"), "x");
    std::string reason;
    EXPECT_FALSE(AppendProductionRow(dir.File("file"), GoodRow(), now, reason));
    EXPECT_NE(reason.find("file"), std::string::npos) << reason;
}

} // namespace
} // namespace fw
