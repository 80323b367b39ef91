#include "core/link/ComPort.h"
#include "tests/support/PtyTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

struct TracedChunk {
    bool sent;
    std::string bytes;
};

TEST(ComPortTrace, ReportsEveryMovedByteAndSurvivesReopening) {
    test::PtyEnd far;
    ASSERT_TRUE(far.Ok());
    std::vector<TracedChunk> trace;
    CComPort port;
    port.SetTrace([&](bool sent, const unsigned char* data, std::size_t size) {
        trace.push_back({sent, std::string(reinterpret_cast<const char*>(data), size)});
    });

    ASSERT_EQ(port.OpenReadWrite(far.Device(), 19200, 8, 0, 0), 1);
    port.SetReadTimeout(200);
    std::size_t moved = 0;
    ASSERT_EQ(port.Write("PROG CODE", 9, moved), 1);
    EXPECT_EQ(far.Receive(9, 2000), "PROG CODE");
    port.Close();

    // A time-out with nothing read leaves no entry; a short read reports what came.
    ASSERT_EQ(port.OpenReadWrite(far.Device(), 115200, 8, 0, 0), 1);
    port.SetReadTimeout(100);
    char buffer[9] = {};
    ASSERT_EQ(port.Read(buffer, 5, moved), 1);
    EXPECT_EQ(moved, 0u);
    ASSERT_TRUE(far.Send("REC"));
    ASSERT_EQ(port.Read(buffer, 5, moved), 1);
    ASSERT_EQ(moved, 3u);

    ASSERT_EQ(trace.size(), 2u);
    EXPECT_TRUE(trace[0].sent);
    EXPECT_EQ(trace[0].bytes, "PROG CODE");
    EXPECT_FALSE(trace[1].sent);
    EXPECT_EQ(trace[1].bytes, "REC");
}

} // namespace
} // namespace fw
