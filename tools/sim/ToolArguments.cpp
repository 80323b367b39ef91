#include "tools/sim/ToolArguments.h"

#include "sim/Wire.h"

#include <charconv>
#include <optional>

namespace fw::sim {
namespace {

bool TakesValue(std::string_view name) {
    return name == "--model" || name == "--flashed-model" || name == "--loader" ||
           name == "--software" || name == "--state" || name == "--slow" || name == "--fault" ||
           name == "--link" || IsStoreFaultOption(name);
}

bool IsFlag(std::string_view name) {
    return name == "--pace" || name == "--realistic" || name == "--help" || name == "-h" ||
           name == "--version";
}

constexpr std::string_view kIndent = "                    ";

// Names joined by ", ", broken into lines that fit a terminal.
template <typename Name> std::string NameList(int count, Name name, std::string_view indent) {
    constexpr std::size_t kWidth = 80;
    std::string list(indent);
    std::size_t lineStart = 0;
    for (int k = 0; k < count; ++k) {
        const std::string_view next = name(k);
        if (k > 0) {
            list += ',';
            if (list.size() - lineStart + next.size() + 2 > kWidth) {
                list += '\n';
                lineStart = list.size();
                list += indent;
            } else {
                list += ' ';
            }
        }
        list += next;
    }
    return list;
}

std::string StepList() {
    return NameList(
        static_cast<int>(Step::RestartAnnouncement) + 1,
        [](int k) { return StepName(static_cast<Step>(k)); }, kIndent);
}

std::string KindList() {
    return NameList(
        static_cast<int>(FaultKind::LineVanishes) + 1,
        [](int k) { return FaultKindName(static_cast<FaultKind>(k)); }, kIndent);
}

bool Apply(std::string_view name, const std::string& value, ToolSettings& settings,
           std::string& error) {
    SimulatorOptions& options = settings.options;
    if (name == "--model") {
        if (ParseModel(value, options.model))
            return true;
        error = "unknown model \"" + value + "\" (recok, zeb10, zeb20, zeb30, recfa)";
        return false;
    }
    if (name == "--flashed-model") {
        if (ParseModel(value, options.flashedModel) && options.flashedModel != Model::RecFa)
            return true;
        error = "unknown flashed model \"" + value + "\" (recok, zeb10, zeb20, zeb30)";
        return false;
    }
    if (name == "--loader") {
        if (value.size() == kLoaderVersionSize) {
            options.loaderVersion = value;
            return true;
        }
        error = "the loader version has 3 characters, e.g. 1.1";
        return false;
    }
    if (name == "--software") {
        options.softwareText = value;
        return true;
    }
    if (name == "--state") {
        options.stateFolder = value;
        return true;
    }
    if (name == "--link") {
        settings.linkPath = value;
        return true;
    }
    if (name == "--slow") {
        std::uint32_t baud = 0;
        const auto [end, problem] =
            std::from_chars(value.data(), value.data() + value.size(), baud);
        if (problem == std::errc{} && end == value.data() + value.size() && baud >= kMinBaud &&
            baud <= kMaxBaud) {
            options.slowLineBaud = baud;
            return true;
        }
        error = "--slow takes a baud rate from " + std::to_string(kMinBaud) + " to " +
                std::to_string(kMaxBaud);
        return false;
    }
    if (IsStoreFaultOption(name))
        return ParseStoreFault(name, value, options.storeFaults, error);
    // --fault
    Fault fault;
    if (ParseFault(value, fault)) {
        options.faults.push_back(fault);
        return true;
    }
    error = "a fault is STEP:INDEX:KIND, not \"" + value + "\"";
    return false;
}

} // namespace

bool ParseToolArguments(const std::vector<std::string>& arguments, ToolSettings& settings,
                        std::string& error) {
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        std::string name = arguments[k];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (IsFlag(name) && !value) {
            if (name == "--pace")
                settings.options.pacing = true;
            else if (name == "--realistic")
                settings.options.realisticPauses = true;
            else if (name == "--version")
                settings.version = true;
            else
                settings.help = true;
            continue;
        }
        if (!TakesValue(name)) {
            error = "unknown argument \"" + arguments[k] + "\"";
            return false;
        }
        if (!value) {
            if (k + 1 == arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++k];
        }
        if (!Apply(name, *value, settings, error))
            return false;
    }
    // Only now is the model known that a dropped place must lie within.
    return CheckStoreFaults(settings.options.storeFaults, ListModel(settings.options), error);
}

std::string ToolUsage() {
    return "Usage: flashwerk-receiver-sim [options]\n"
           "A receiver on a pseudo-terminal, to try Flashwerk without one.\n"
           "Prints the device to open and serves until interrupted; events go to stderr.\n"
           "\n"
           "  --model NAME      recok (1000 places), zeb10 (2000), zeb20 (3000),\n"
           "                    zeb30 (4000, default) or recfa (no operating software)\n"
           "  --flashed-model NAME\n"
           "                    the model a recfa receiver becomes once a firmware has been\n"
           "                    programmed completely: recok, zeb10, zeb20 or zeb30 (default)\n"
           "  --loader X.Y      loader version, 3 characters (default 1.1; 1.0 and lower\n"
           "                    take firmware without blocks)\n"
           "  --software TEXT   the software the receiver names until a firmware has been\n"
           "                    programmed; then it names that one's version (default\n"
           "                    \"ABC V1.20\")\n"
           "  --state DIR       keep what the receiver is sent in DIR (firmware.bin, tv.lst,\n"
           "                    radio.lst, settings.grd, software.txt) and start with the\n"
           "                    lists, settings and software found there\n"
           "  --link PATH       place a symbolic link to the device at PATH\n"
           "  --pace            move bytes at the line rate\n"
           "  --realistic       erase, program and restart as slowly as a receiver\n"
           "  --slow BAUD       run the line at BAUD whatever the PC asks for\n"
           "  --fault STEP:INDEX:KIND\n"
           "                    misbehave once at the INDEX-th occurrence (from 0) of STEP;\n"
           "                    may be repeated. STEP is one of\n" +
           StepList() + "\n                    and KIND one of\n" + KindList() +
           "\n\n"
           "The receiver can store something other than it was sent while telling the PC\n"
           "that all went well, as real ones do (numbers are decimal):\n"
           "  --store-name-max N\n"
           "                    cut every stored program name to N characters\n"
           "  --store-bank-max N\n"
           "                    keep only the first N entries of each bank\n"
           "  --store-drop-place N\n"
           "                    store place N (from 0) empty\n"
           "  --store-settings-byte OFFSET:VALUE\n"
           "                    store the settings byte at OFFSET (from 0) as VALUE\n"
           "\n"
           "  --help            this text\n"
           "  --version         the version\n"
           "\n"
           "Exit codes: 0 stopped by SIGINT or SIGTERM, 1 the pseudo-terminal or the link\n"
           "could not be made, 2 wrong arguments.\n";
}

} // namespace fw::sim
