#include "tools/cli/Arguments.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>

namespace fw::cli {

std::string Arguments::Value(const std::string& name) const {
    const auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& option : given) {
        if (option.first == name)
            values.push_back(option.second);
    }
    return values;
}

Arguments ParseArguments(const std::vector<std::string>& arguments,
                         const std::vector<OptionSpec>& known) {
    Arguments parsed;
    bool onlyWords = false; // after "--" everything is a word, e.g. a file named "-x.lst"
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (onlyWords || argument.size() < 2 || argument[0] != '-') {
            parsed.words.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyWords = true;
            continue;
        }
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto spec = std::find_if(known.begin(), known.end(), [&](const OptionSpec& option) {
            return option.name == name;
        });
        if (spec == known.end()) {
            parsed.error = FormatText(LoadResString(str::kUnknownOption), {name});
        } else if (!spec->takesValue) {
            parsed.options[name] = "";
        } else if (equals != std::string::npos) {
            parsed.options[name] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            parsed.options[name] = arguments[++i];
        } else {
            parsed.error = FormatText(LoadResString(str::kOptionNeedsValue), {name});
        }
        if (parsed.error.empty())
            parsed.given.emplace_back(name, parsed.options[name]);
    }
    return parsed;
}

} // namespace fw::cli
