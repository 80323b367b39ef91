#pragma once

#include "core/app/CommandLine.h"

namespace fw {

// flashwerk --print-pdf: a program list printed to a PDF with the print settings of upd.ini,
// without a window, on A4. Exit code 0, 1 when the PDF cannot be written, 2 for bad usage, a
// file that is not a list or print settings that cannot be laid out.
int RunPrintPdf(const CommandLineOptions& options, int& argc, char** argv);

} // namespace fw
