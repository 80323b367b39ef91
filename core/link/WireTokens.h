#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fw::wire {

// Single bytes both sides use.
inline constexpr unsigned char kAck = 0x0D;         // continue / accepted
inline constexpr unsigned char kAbort = 0x0A;       // abort, and the answer to one
inline constexpr unsigned char kSumWrong = 0x0E;    // firmware block refused
inline constexpr unsigned char kFlashFailed = 0xFE; // programming progress: failed
inline constexpr unsigned char kFinished = 0xFF;    // programming or storing done

// Five-character answers.
inline constexpr std::string_view kRecOk = "RECOK";
inline constexpr std::string_view kRecFa = "RECFA";
inline constexpr std::string_view kChOk = "CHOK";

// Commands; each is exactly nine characters.
inline constexpr const char* kProgCode = "PROG CODE";
inline constexpr const char* kProgFert = "PROG FERT"; // firmware as the chain's first step
inline constexpr const char* kLoadTvList = "LOAD TLIS";
inline constexpr const char* kLoadRadioList = "LOAD RLIS";
inline constexpr const char* kProgTvList = "PROG TLIS";
inline constexpr const char* kProgRadioList = "PROG RLIS";
inline constexpr const char* kLoadSettings = "LOAD DEFW";
inline constexpr const char* kProgSettings = "PROG DEFW";

inline constexpr std::size_t kCommandLength = 9;
inline constexpr std::size_t kCommandFrameSize = 14;
// The detection reply: "RECOK", one byte, then the loader version in three characters.
inline constexpr std::size_t kDetectReplySize = 9;
inline constexpr std::size_t kModelReplySize = 5;
inline constexpr std::uint32_t kDetectBaud = 19200;

// The command, the working baud rate big-endian, then CR. A command shorter than nine
// characters is padded with NUL bytes, a longer one cut.
std::array<unsigned char, kCommandFrameSize> CommandFrame(std::string_view command,
                                                          std::uint32_t baud);

// The list commands: a receiver without software has no lists.
bool IsListCommand(std::string_view command);

// The loader version of a detection reply: digits with at most one '.', read with '.' as the
// decimal point whatever the locale. Anything else ("nan", "inf", "0x2", " 11", "1,1") is 0,
// so a firmware that demands a loader version is refused.
float LoaderVersionFromText(std::string_view text);

} // namespace fw::wire
