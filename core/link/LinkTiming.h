#pragma once

#include <chrono>

namespace fw {

// Every wait and time-out of the receiver protocol, in milliseconds as the receiver expects
// them. LinkMs scales them by one factor that the program leaves at 1; tests lower it so the
// whole link suite runs in seconds.
namespace link_ms {
inline constexpr unsigned kModelReplyTimeout = 3000; // model query after the baud switch
inline constexpr unsigned kJobReadTimeout = 5000;    // answers during a job
inline constexpr unsigned kSettingsReadTimeout = 8000;
inline constexpr unsigned kEraseTimeout = 15000; // receiver erasing and writing its flash
inline constexpr unsigned kPauseBeforeSimpleHeader = 100;
inline constexpr unsigned kPauseAfterConnect = 500;
inline constexpr unsigned kPauseBeforeSimpleData = 1000;
inline constexpr unsigned kPauseBeforeProgramming = 500;
} // namespace link_ms

// Sets the factor for every later LinkMs (0 < factor <= 1 in tests).
void SetLinkTimeFactor(double factor);
unsigned LinkMs(unsigned milliseconds);
// LinkMs for a time-out: a lowered factor never takes it below kTimeoutFloorMs (nor above the
// unscaled time), so that a test on a busy machine, whose other end may wait that long for the
// processor, does not take the delay for a silent receiver.
inline constexpr unsigned kTimeoutFloorMs = 1500;
unsigned LinkTimeoutMs(unsigned milliseconds);
// Sleeps for LinkMs(milliseconds).
void LinkPause(unsigned milliseconds);
// Time slept in LinkPause so far, all threads together: the link benchmark takes the
// protocol's fixed waits off a job's time with it.
std::chrono::nanoseconds LinkPauseTotal();

} // namespace fw
