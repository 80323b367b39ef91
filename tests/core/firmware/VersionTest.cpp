#include "core/firmware/Version.h"

#include "tests/support/GermanLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace fw {
namespace {

TEST(SplitVersionTest, SplitsAtTheLastLowerCaseVElseTheLastCapital) {
    struct Case {
        const char* text;
        const char* name;
        float version;
    };
    const Case cases[] = {
        {"ABC V1.20", "ABC", 1.2f},
        {"none", "none", 0.0f},
        {"NONE", "NONE", 0.0f},
        {"ABC v2 V3", "ABC", 2.0f},  // the lower-case v wins over a later capital
        {"Av1 v7", "Av1", 7.0f},     // the last lower-case v
        {"VIEW V3.1", "VIEW", 3.1f}, // the last capital
        {"  Box 2000  V 1.5", "Box 2000", 1.5f},
        {"1.75", "", 1.75f},
        {"", "", 0.0f},
        {"ABC V", "ABC", 0.0f},
        {"ABC Vbeta", "ABC", 0.0f},
        {"ABC V1.2beta", "ABC", 1.2f},
        {"ABC V1,5", "ABC", 1.0f}, // the C library stops at the comma
        {"ABC V1e1", "ABC", 10.0f},
        {"ABC V-2", "ABC", -2.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const SoftwareVersion split = SplitVersion(c.text);
        EXPECT_EQ(split.name, c.name);
        EXPECT_EQ(split.version, c.version);
    }
}

TEST(SplitVersionTest, HugeNumbersDoNotOverflowTheFloat) {
    EXPECT_EQ(SplitVersion("X V1e300").version, std::numeric_limits<float>::infinity());
}

TEST(SplitVersionTest, ReadsThePointWhateverTheLocale) {
    const test::GermanLocale german(LC_NUMERIC);
    ASSERT_TRUE(german.Active());
    EXPECT_EQ(SplitVersion("ABC V1.20").version, 1.2f);
}

TEST(CompareVersionsTest, ChoosesTheWarningAndItsTexts) {
    using Mode = VersionWarningMode;
    struct Case {
        const char* receiver;
        const char* file;
        int hint;
        Mode mode;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"ABC V1.2", "ABC V1.3", 1, Mode::None, "", ""},
        {"ABC V1.2", "ABC V1.20", 1, Mode::SameVersion, "ABC V1.2", ""},
        {"ABC V1.3", "ABC V1.2", 1, Mode::OlderOntoNewer, "ABC V1.2", "ABC V1.3"},
        {"ABC V1.2", "XYZ V1.3", 1, Mode::OtherSoftware, "ABC", "XYZ"},
        {"abc V1.2", "ABC V1.2", 1, Mode::OtherSoftware, "abc", "ABC"},
        {"ABC V1.2", "1.2", 1, Mode::OtherSoftware, "ABC", ""},
        {"NONE", "ABC V1.0", 1, Mode::None, "", ""},
        {"None", "ABC V1.0", 1, Mode::None, "", ""},
        {"ABC V1.2", "ABC V1.2", 0, Mode::None, "", ""},
        {"ABC V1.2", "ABC V1.2", 2, Mode::None, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.receiver) + " / " + c.file + " / " + std::to_string(c.hint));
        const VersionWarning warning = CompareVersions(c.receiver, c.file, c.hint);
        EXPECT_EQ(warning.mode, c.mode);
        EXPECT_EQ(warning.first, c.first);
        EXPECT_EQ(warning.second, c.second);
    }
}

} // namespace
} // namespace fw
