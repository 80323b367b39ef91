#include "core/app/CommandLine.h"

#include "core/lists/ProgramPool.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

namespace fw {
namespace {

// The demo receiver's store faults; which ones exist is the receiver's business.
constexpr std::string_view kStoreFaultPrefix = "--store-";

// Toolkit options that take the next argument as their value.
bool IsToolkitOptionWithValue(std::string_view argument) {
    constexpr std::string_view kNames[] = {"-platform",
                                           "-platformpluginpath",
                                           "-platformtheme",
                                           "-plugin",
                                           "-style",
                                           "-stylesheet",
                                           "-display",
                                           "-geometry",
                                           "-qwindowgeometry",
                                           "-qwindowicon",
                                           "-qwindowtitle",
                                           "-session",
                                           "-name",
                                           "-title",
                                           "-visual"};
    for (std::string_view name : kNames) {
        if (argument == name)
            return true;
    }
    return false;
}

// "--name VALUE" or "--name=VALUE"; an empty value is an error.
std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, std::size_t& i,
                                       const std::string& name, CommandLineOptions& options) {
    const std::string& argument = arguments[i];
    std::string value;
    if (argument == name) {
        if (i + 1 < arguments.size())
            value = arguments[++i];
    } else {
        value = argument.substr(name.size() + 1);
    }
    if (value.empty()) {
        options.error = FormatText(LoadResString(str::kOptionNeedsValue), {name});
        return std::nullopt;
    }
    return value;
}

bool IsOption(const std::string& argument, const std::string& name) {
    return argument == name || argument.starts_with(name + "=");
}

} // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineOptions options;
    std::optional<std::string> rows;
    bool force = false;
    for (std::size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--print-pdf") {
            if (i + 2 >= arguments.size() || arguments[i + 1].empty() || arguments[i + 2].empty())
                options.error = LoadResString(str::kPrintPdfNeedsFiles);
            else
                options.printPdf = PrintPdfRequest{arguments[i + 1], arguments[i + 2], {}, false};
            i += 2;
        } else if (IsOption(argument, "--rows")) {
            rows = OptionValue(arguments, i, "--rows", options);
        } else if (argument == "--force") {
            force = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--demo") {
            options.demo = true;
        } else if (argument == "--production") {
            options.production = true;
        } else if (argument.starts_with(kStoreFaultPrefix)) {
            const std::string name = argument.substr(0, argument.find('='));
            if (std::optional<std::string> value = OptionValue(arguments, i, name, options))
                options.demoStoreFaults.emplace_back(name, std::move(*value));
        } else if (IsOption(argument, "--data-dir")) {
            options.dataDir = OptionValue(arguments, i, "--data-dir", options).value_or("");
        } else if (argument.starts_with("--") || !argument.starts_with("-")) {
            options.error = FormatText(LoadResString(str::kUnknownOption), {argument});
        } else if (IsToolkitOptionWithValue(argument)) {
            ++i;
        }
    }
    if (!options.error.empty())
        return options;
    if (!options.demo && !options.demoStoreFaults.empty()) {
        options.error = FormatText(LoadResString(str::kStoreFaultNeedsDemo),
                                   {options.demoStoreFaults[0].first});
        return options;
    }
    if (!options.printPdf) {
        if (rows || force)
            options.error = LoadResString(str::kPrintPdfOptionsAlone);
        return options;
    }
    options.printPdf->force = force;
    if (rows) {
        options.printPdf->rows = ParseNumberList(*rows, 0, kPoolRows - 1);
        if (!options.printPdf->rows)
            options.error = FormatText(LoadResString(str::kCliNumberOutOfRange),
                                       {"--rows", *rows, "0", std::to_string(kPoolRows - 1)});
    }
    return options;
}

std::string UsageText(const std::string& programName) {
    return FormatText(LoadResString(str::kUsage), {programName});
}

std::string VersionText() {
    return std::string("Flashwerk ") + FLASHWERK_VERSION + " (" + FLASHWERK_RELEASE_DATE + ")\n";
}

} // namespace fw
