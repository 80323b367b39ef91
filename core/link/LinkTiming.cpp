#include "core/link/LinkTiming.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace fw {
namespace {
std::atomic<double> g_factor{1.0};
}

void SetLinkTimeFactor(double factor) {
    g_factor.store(factor > 0 ? factor : 1.0);
}

unsigned LinkMs(unsigned milliseconds) {
    return static_cast<unsigned>(std::lround(milliseconds * g_factor.load()));
}

void LinkPause(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(LinkMs(milliseconds)));
}

} // namespace fw
