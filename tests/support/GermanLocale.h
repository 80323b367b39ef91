#pragma once

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace fw::test {

// A German locale (decimal comma, Latin-1 letters) for one C library category, for as long as
// the object lives. It is built with localedef into a folder of its own and found through
// LOCPATH, so that locale tests run on machines that have no German locale installed.
class GermanLocale {
public:
    static constexpr const char* kName = "de_DE.ISO-8859-1";

    explicit GermanLocale(int category) : m_category(category) {
        const char* folder = Folder();
        const char* oldPath = std::getenv("LOCPATH");
        if (oldPath != nullptr)
            m_oldPath = oldPath;
        m_oldLocale = std::setlocale(category, nullptr);
        if (folder != nullptr) {
            ::setenv("LOCPATH", folder, 1);
            m_active = std::setlocale(category, kName) != nullptr;
        }
        EXPECT_TRUE(m_active) << "no German locale could be built (localedef and the locales "
                                 "package are needed)";
    }
    ~GermanLocale() {
        std::setlocale(m_category, m_oldLocale.c_str());
        if (m_oldPath)
            ::setenv("LOCPATH", m_oldPath->c_str(), 1);
        else
            ::unsetenv("LOCPATH");
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

    bool Active() const { return m_active; }

private:
    // Built once per test program; nullptr when localedef failed.
    static const char* Folder() {
        static TempDir folder;
        static const bool built =
            std::system(
                ("localedef -i de_DE -f ISO-8859-1 '" + folder.File(kName) + "'").c_str()) == 0;
        return built ? folder.Path().c_str() : nullptr;
    }

    int m_category;
    std::string m_oldLocale;
    std::optional<std::string> m_oldPath;
    bool m_active = false;
};

} // namespace fw::test
