#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fw::cli {

struct OptionSpec {
    std::string name; // "--lang"
    bool takesValue;
};

// Options may stand anywhere among the command words; "--name=value" and "--name value" both work.
struct Arguments {
    std::vector<std::string> words;
    std::map<std::string, std::string> options; // a flag maps to ""; the last value counts
    // Every value of every option in the order given, for options that may be repeated.
    std::vector<std::pair<std::string, std::string>> given;
    std::string error; // the first problem, ready to show

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::string Value(const std::string& name) const;
    std::vector<std::string> Values(const std::string& name) const;
};

Arguments ParseArguments(const std::vector<std::string>& arguments,
                         const std::vector<OptionSpec>& known);

} // namespace fw::cli
