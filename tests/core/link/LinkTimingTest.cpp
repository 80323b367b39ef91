#include "core/link/LinkTiming.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

// Tests lower the factor to run the protocol fast; its time-outs must still leave a busy
// machine's other end the floor, and the program's own (factor 1) stay as the receiver expects.
TEST(LinkTimingTest, TimeOutsScaleDownOnlyToTheFloor) {
    const struct {
        double factor;
        unsigned timeout;
        unsigned expected;
    } cases[] = {
        {1.0, 5000, 5000},  {1.0, 15000, 15000}, {0.1, 5000, 1500},
        {0.1, 15000, 1500}, {0.5, 15000, 7500},  {0.1, 300, 300},
    };
    for (const auto& c : cases) {
        SetLinkTimeFactor(c.factor);
        EXPECT_EQ(LinkTimeoutMs(c.timeout), c.expected) << c.factor << " " << c.timeout;
        EXPECT_EQ(LinkMs(c.timeout), static_cast<unsigned>(c.timeout * c.factor + 0.5));
    }
    SetLinkTimeFactor(1.0);
}

} // namespace
} // namespace fw
