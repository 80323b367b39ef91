#include "tools/cli/Cli.h"

#include "core/app/CommandLine.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tools/cli/Arguments.h"
#include "tools/cli/Commands.h"

#include <algorithm>
#include <ostream>

namespace fw::cli {
namespace {

struct Command {
    std::string name;
    int usage; // string number of its help text
    std::vector<OptionSpec> options;
    int (*run)(const Arguments&, std::ostream& out, std::ostream& err);
};

const std::vector<OptionSpec> kCommonOptions = {
    {"--help", false}, {"--version", false}, {"--lang", true}};
const OptionSpec kDataDir = {"--data-dir", true};
// Options of every command that talks to the receiver.
const std::vector<OptionSpec> kLinkOptions = {
    kDataDir, {"--port", true}, {"--baud", true}, {"--yes", false}, {"--trace", true}};

std::vector<OptionSpec> WithLinkOptions(std::vector<OptionSpec> own) {
    own.insert(own.end(), kLinkOptions.begin(), kLinkOptions.end());
    return own;
}

// What surrounds a list or settings send.
const OptionSpec kNoBackup = {"--no-backup", false};
const OptionSpec kNoVerify = {"--no-verify", false};
const OptionSpec kReport = {"--report", true};

std::vector<OptionSpec> ListOptions() {
    std::vector<OptionSpec> options = WithLinkOptions({{"--description", true},
                                                       {"--type", true},
                                                       {"--force", false},
                                                       kNoBackup,
                                                       kNoVerify,
                                                       kReport});
    options.insert(options.end(), kListEditOptions.begin(), kListEditOptions.end());
    return options;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", str::kCliInfoUsage, {}, RunInfo},
        {"repair", str::kCliRepairUsage, {}, RunRepair},
        {"ports", str::kCliPortsUsage, {kDataDir}, RunPorts},
        {"firmware", str::kCliFirmwareUsage, WithLinkOptions({kNoVerify}), RunFirmware},
        {"list", str::kCliListUsage, ListOptions(), RunList},
        {"settings", str::kCliSettingsUsage,
         WithLinkOptions({{"--force", false}, kNoBackup, kNoVerify, kReport}), RunSettings},
        {"log", str::kCliLogUsage, {kDataDir, {"--last", true}}, RunLog},
        // --port may be given once for each receiver; a trace of many ports is left out.
        {"production",
         str::kCliProductionUsage,
         {kDataDir, {"--port", true}, {"--baud", true}, {"--yes", false}, kReport},
         RunProduction},
    };
    return commands;
}

std::vector<OptionSpec> AllOptions() {
    std::vector<OptionSpec> all = kCommonOptions;
    for (const Command& command : Commands())
        all.insert(all.end(), command.options.begin(), command.options.end());
    return all;
}

bool ApplyLanguage(const Arguments& arguments, std::ostream& err) {
    if (!arguments.Has("--lang"))
        return true;
    const std::string language = arguments.Value("--lang");
    if (language != "de" && language != "en") {
        err << LoadResString(str::kCliBadLanguage) << '\n';
        return false;
    }
    SetLanguage(language == "de" ? Language::German : Language::English);
    return true;
}

} // namespace

std::vector<OptionSpec> CommandOptions(const std::string& name) {
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const Command& c) { return c.name == name; });
    return command == commands.end() ? std::vector<OptionSpec>() : command->options;
}

int RunCli(const std::vector<std::string>& argumentList, std::ostream& out, std::ostream& err) {
    const Arguments arguments = ParseArguments(argumentList, AllOptions());
    // The language first, so that every later message is in it.
    if (!ApplyLanguage(arguments, err))
        return kExitUsage;
    if (!arguments.error.empty()) {
        err << arguments.error << "\n\n" << LoadResString(str::kCliUsage);
        return kExitUsage;
    }
    if (arguments.Has("--version")) {
        out << VersionText();
        return kExitOk;
    }
    if (arguments.words.empty()) {
        (arguments.Has("--help") ? out : err) << LoadResString(str::kCliUsage);
        return arguments.Has("--help") ? kExitOk : kExitUsage;
    }
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(), [&](const Command& c) {
        return c.name == arguments.words.front();
    });
    if (command == commands.end()) {
        err << FormatText(LoadResString(str::kCliUnknownCommand), {arguments.words.front()})
            << "\n\n"
            << LoadResString(str::kCliUsage);
        return kExitUsage;
    }
    if (arguments.Has("--help")) {
        out << LoadResString(command->usage);
        return kExitOk;
    }
    // Options of another command are refused rather than silently ignored.
    for (const auto& option : arguments.options) {
        // A plain name rather than a structured binding: clang before 16 cannot capture those.
        const std::string& name = option.first;
        const bool common = std::any_of(kCommonOptions.begin(), kCommonOptions.end(),
                                        [&](const OptionSpec& o) { return o.name == name; });
        const bool own = std::any_of(command->options.begin(), command->options.end(),
                                     [&](const OptionSpec& o) { return o.name == name; });
        if (!common && !own) {
            err << FormatText(LoadResString(str::kUnknownOption), {name}) << "\n\n"
                << LoadResString(command->usage);
            return kExitUsage;
        }
    }
    return command->run(arguments, out, err);
}

} // namespace fw::cli
