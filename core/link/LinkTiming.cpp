#include "core/link/LinkTiming.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace fw {
namespace {
std::atomic<double> g_factor{1.0};
std::atomic<std::chrono::nanoseconds::rep> g_paused{0};
} // namespace

void SetLinkTimeFactor(double factor) {
    g_factor.store(factor > 0 ? factor : 1.0);
}

unsigned LinkMs(unsigned milliseconds) {
    return static_cast<unsigned>(std::lround(milliseconds * g_factor.load()));
}

unsigned LinkTimeoutMs(unsigned milliseconds) {
    return std::max(LinkMs(milliseconds), std::min(milliseconds, kTimeoutFloorMs));
}

void LinkPause(unsigned milliseconds) {
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(LinkMs(milliseconds)));
    g_paused += std::chrono::nanoseconds(std::chrono::steady_clock::now() - start).count();
}

std::chrono::nanoseconds LinkPauseTotal() {
    return std::chrono::nanoseconds(g_paused.load());
}

} // namespace fw
