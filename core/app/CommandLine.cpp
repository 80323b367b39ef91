#include "core/app/CommandLine.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

namespace fw {
namespace {

// Toolkit options that take the next argument as their value.
bool IsToolkitOptionWithValue(std::string_view argument) {
    constexpr std::string_view kNames[] = {
        "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-style", "-stylesheet",
        "-display", "-geometry", "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-session",
        "-name", "-title", "-visual"};
    for (std::string_view name : kNames) {
        if (argument == name)
            return true;
    }
    return false;
}

} // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineOptions options;
    for (std::size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--demo") {
            options.demo = true;
        } else if (argument == "--production") {
            options.production = true;
        } else if (argument == "--data-dir") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty())
                options.error = FormatText(LoadResString(str::kOptionNeedsValue), {argument});
            else
                options.dataDir = arguments[++i];
        } else if (argument.starts_with("--data-dir=")) {
            options.dataDir = argument.substr(11);
            if (options.dataDir.empty())
                options.error = FormatText(LoadResString(str::kOptionNeedsValue), {"--data-dir"});
        } else if (argument.starts_with("--") || !argument.starts_with("-")) {
            options.error = FormatText(LoadResString(str::kUnknownOption), {argument});
        } else if (IsToolkitOptionWithValue(argument)) {
            ++i;
        }
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
