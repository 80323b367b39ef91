#include "tools/sim/ToolArguments.h"

#include <gtest/gtest.h>

namespace fw::sim {
namespace {

TEST(SimTool, ArgumentsFillTheOptions) {
    ToolSettings settings;
    std::string error;
    ASSERT_TRUE(ParseToolArguments({"--model", "ZEB10", "--flashed-model=zeb20", "--loader=1.0",
                                    "--software", "X V2", "--state", "/tmp/s", "--pace",
                                    "--realistic", "--slow=9600", "--fault", "blockanswer:3:byte0e",
                                    "--fault", "EraseResult:0:LineVanishes", "--link", "/tmp/com1"},
                                   settings, error))
        << error;
    const SimulatorOptions& options = settings.options;
    EXPECT_EQ(options.model, Model::Zeb10);
    EXPECT_EQ(options.flashedModel, Model::Zeb20);
    EXPECT_EQ(options.loaderVersion, "1.0");
    EXPECT_EQ(options.softwareText, "X V2");
    EXPECT_EQ(options.stateFolder, "/tmp/s");
    EXPECT_TRUE(options.pacing);
    EXPECT_TRUE(options.realisticPauses);
    EXPECT_EQ(options.slowLineBaud, 9600u);
    ASSERT_EQ(options.faults.size(), 2u);
    EXPECT_EQ(options.faults[0].step, Step::BlockAnswer);
    EXPECT_EQ(options.faults[0].index, 3);
    EXPECT_EQ(options.faults[0].kind, FaultKind::Byte0E);
    EXPECT_EQ(options.faults[1].kind, FaultKind::LineVanishes);
    EXPECT_EQ(settings.linkPath, "/tmp/com1");
    EXPECT_FALSE(settings.help);
}

TEST(SimTool, WrongArgumentsAreNamed) {
    const std::vector<std::vector<std::string>> wrong = {
        {"--model", "zeb40"},
        {"--flashed-model", "recfa"},
        {"--loader", "1.10"},
        {"--slow", "fast"},
        {"--fault", "BlockAnswer"},
        {"--fault", "Nothing:0:Silence"},
        {"--fault", "BlockAnswer:-1:Silence"},
        {"--fault", "BlockAnswer:1x:Silence"},
        {"--fault", "BlockAnswer:1:Loud"},
        {"--model"},
        {"--pace=yes"},
        {"extra"},
    };
    for (const auto& arguments : wrong) {
        ToolSettings settings;
        std::string error;
        EXPECT_FALSE(ParseToolArguments(arguments, settings, error)) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
    ToolSettings settings;
    std::string error;
    EXPECT_TRUE(ParseToolArguments({"--help"}, settings, error));
    EXPECT_TRUE(settings.help);
    EXPECT_FALSE(settings.version);
    EXPECT_TRUE(ParseToolArguments({"--version"}, settings, error));
    EXPECT_TRUE(settings.version);
    EXPECT_NE(ToolUsage().find("RestartAnnouncement"), std::string::npos);
}

TEST(SimTool, StoreFaultsTakeDecimalNumbersWithinTheirRange) {
    ToolSettings settings;
    std::string error;
    ASSERT_TRUE(
        ParseToolArguments({"--store-name-max", "8", "--store-bank-max=998", "--store-drop-place",
                            "3999", "--store-settings-byte", "2047:255"},
                           settings, error))
        << error;
    const StoreFaults& faults = settings.options.storeFaults;
    EXPECT_EQ(faults.nameMax, 8u);
    EXPECT_EQ(faults.bankMax, 998u);
    EXPECT_EQ(faults.dropPlace, 3999u);
    ASSERT_TRUE(faults.settingsByte);
    EXPECT_EQ(faults.settingsByte->offset, 2047u);
    EXPECT_EQ(faults.settingsByte->value, 255);

    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } wrong[] = {
        {{"--store-name-max", "-1"}, "--store-name-max takes a number from 0 to 499, not \"-1\""},
        {{"--store-bank-max", "1001"},
         "--store-bank-max takes a number from 0 to 1000, not \"1001\""},
        {{"--store-drop-place="}, "--store-drop-place takes a number from 0 to 3999, not \"\""},
        {{"--store-drop-place", "1000", "--model", "recok"},
         "--store-drop-place 1000 lies beyond the 1000 places of recok"},
        // A new receiver holds the lists of the model it becomes.
        {{"--store-drop-place", "1000", "--model", "recfa", "--flashed-model", "recok"},
         "--store-drop-place 1000 lies beyond the 1000 places of recok"},
        {{"--store-settings-byte", "2048:1"},
         "--store-settings-byte takes OFFSET:VALUE, OFFSET from 0 to 2047 and VALUE from 0 to 255 "
         "(decimal), not \"2048:1\""},
        {{"--store-settings-byte", "17"},
         "--store-settings-byte takes OFFSET:VALUE, OFFSET from 0 to 2047 and VALUE from 0 to 255 "
         "(decimal), not \"17\""},
    };
    for (const auto& c : wrong) {
        ToolSettings rejected;
        std::string reason;
        EXPECT_FALSE(ParseToolArguments(c.arguments, rejected, reason));
        EXPECT_EQ(reason, c.error);
    }
}

} // namespace
} // namespace fw::sim
