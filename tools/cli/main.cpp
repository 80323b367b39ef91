#include "core/util/FileIo.h"
#include "tools/cli/Cli.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    fw::LetOversizedWritesFail();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return fw::cli::RunCli(arguments, std::cout, std::cerr);
}
