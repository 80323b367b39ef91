#include "core/util/SizeText.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(SizeTextTest, WholeKilobytesPlusOne) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "1 KB"},    {1023, "1 KB"},       {1024, "2 KB"},
        {2048, "3 KB"}, {1048576, "1025 KB"}, {5000000000ULL, "4882813 KB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(CatalogueSizeText(bytes), text) << bytes;
}

} // namespace
} // namespace fw
