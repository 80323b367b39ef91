#pragma once

#include "core/lists/FavoritenDat.h"

#include <optional>
#include <string>
#include <vector>

namespace fw {

// How a job run ended. Every ending of a job sets it, so that callers without a screen (the
// command-line tool) can tell success from failure without reading the status texts.
enum class JobOutcome {
    Running,
    Succeeded,
    Failed,            // a numbered error or another failure message was shown
    Cancelled,         // the user cancelled (detection, a piece)
    NotSaved,          // a load received everything, but the user declined to save it
    AbortedByReceiver, // the receiver answered 0x0A
    Refused,           // the PC refused the firmware (loader too old, version warning answered No)
};

// A program list as the receiver sent it: its program lines and its banks.
struct ReceivedList {
    std::vector<std::string> lines;
    CFavoritenDat banks;
};

// What one job run learned, for the step that follows it (a comparison, the next step of a
// chain) and for callers without a screen.
struct JobResult {
    JobOutcome outcome = JobOutcome::Running;
    int capacity = 0;           // program lines the receiver holds; 0 when not learned
    float loaderVersion = 0.0f; // the receiver's loader; 0 when not learned
    std::string model;          // "ZEB30" as the receiver named itself; empty when not learned
    std::string port;           // "COM3" or the device given directly; empty when none was found
    std::string device;         // the device behind the port
    std::string failure;        // the message a failed job showed
    std::string savedPath;      // the file a load wrote
    // What a load received whole, even when the user declined to save it.
    std::optional<ReceivedList> list;
    std::optional<std::string> settings; // the 2048 bytes
    std::string software; // the software text the receiver named (firmware send and check)
};

} // namespace fw
