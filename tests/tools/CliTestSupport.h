#pragma once

#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tools/cli/Cli.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace fw::test {

// What one run of the tool gave back.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Runs the tool in-process with its output caught. --lang changes the language of the whole
// process, so English is set again afterwards for the next run and the next test.
inline CliRun RunCliCaught(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int code = cli::RunCli(arguments, out, err);
    SetLanguage(Language::English);
    return {code, out.str(), err.str()};
}

// A list file's programs by place and its non-empty banks: "0=A 1=B | b0=2,0".
inline std::string ListState(const std::string& path) {
    ProgramPool pool;
    CFavoritenDat banks;
    ParseListText(ReadBytes(path), pool, banks);
    return ListState(pool, banks);
}

// Output of a tool running on another thread, which a test can wait for line by line.
class WatchedOutput : public std::streambuf {
public:
    // True once text has been written; false when the limit passed first.
    bool WaitFor(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(60)) {
        std::unique_lock lock(m_mutex);
        return m_written.wait_for(lock, limit,
                                  [&] { return m_text.find(text) != std::string::npos; });
    }
    std::string Text() {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        xsputn(&byte, 1);
        return c;
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        {
            std::lock_guard lock(m_mutex);
            m_text.append(data, static_cast<std::size_t>(size));
        }
        m_written.notify_all();
        return size;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_written;
    std::string m_text;
};

} // namespace fw::test
