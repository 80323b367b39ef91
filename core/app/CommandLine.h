#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fw {

// A program list printed to a PDF without a window.
struct PrintPdfRequest {
    std::string listFile;
    std::string pdfFile;
    std::optional<std::vector<int>> rows; // pool rows; without, every row up to the last program
    bool force = false;                   // replace an existing PDF
};

struct CommandLineOptions {
    bool help = false;
    bool version = false;
    bool demo = false;       // a simulated receiver on COM1 for this run
    bool production = false; // shows the production download on the options page
    std::string dataDir;
    std::optional<PrintPdfRequest> printPdf;
    // "--store-..." options with their values, in order: what the demo receiver stores other
    // than it is sent. The receiver knows and checks them.
    std::vector<std::pair<std::string, std::string>> demoStoreFaults;
    std::string error; // set when the arguments cannot be used; shown with the usage
};

// Arguments without the program name. Single-dash arguments belong to the toolkit
// (-platform, -style) and are left to it.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText(const std::string& programName);
std::string VersionText();

} // namespace fw
