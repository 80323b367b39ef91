#include "core/app/CommandLine.h"
#include "core/util/FileIo.h"
#include "sim/ReceiverSimulator.h"
#include "tools/sim/ToolArguments.h"

#include <csignal>
#include <iostream>
#include <pthread.h>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    using namespace fw::sim;
    fw::LetOversizedWritesFail();
    ToolSettings settings;
    std::string error;
    if (!ParseToolArguments({argv + 1, argv + argc}, settings, error)) {
        std::cerr << "flashwerk-receiver-sim: " << error << "\n" << ToolUsage();
        return 2;
    }
    if (settings.help) {
        std::cout << ToolUsage();
        return 0;
    }
    if (settings.version) {
        std::cout << fw::VersionText();
        return 0;
    }
    settings.options.onEvent = [](const std::string& event) { std::cerr << event << std::endl; };

    // Blocked before the serving thread exists, so that only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ReceiverSimulator simulator(settings.options);
    if (!simulator.Open(error)) {
        std::cerr << "flashwerk-receiver-sim: " << error << "\n";
        return 1;
    }
    std::cout << simulator.DevicePath() << "\n";
    if (!settings.linkPath.empty()) {
        if (!simulator.PlaceSymlink(settings.linkPath, error)) {
            std::cerr << "flashwerk-receiver-sim: " << error << "\n";
            return 1;
        }
        std::cout << settings.linkPath << " -> " << simulator.DevicePath() << "\n";
    }
    std::cout.flush();
    simulator.Start();
    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.Stop();
    return 0;
}
