#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The receiver's side of the serial protocol: tokens, sizes and the command frame.
namespace fw::sim {

inline constexpr unsigned char kAck = 0x0D;
inline constexpr unsigned char kAbort = 0x0A;
inline constexpr unsigned char kSumWrong = 0x0E;
inline constexpr unsigned char kFinished = 0xFF;
// The receiver's answer to a settings image it cannot hold; any byte but 0xFF tells the PC.
inline constexpr unsigned char kSettingsRefused = 0x00;

inline constexpr std::string_view kRecOk = "RECOK";
inline constexpr std::string_view kRecFa = "RECFA";
inline constexpr std::string_view kSumOk = "CHOK";
// Only "CHOK" is fixed; a receiver whose sum differs answers with another four bytes.
inline constexpr std::string_view kSumMismatch = "CHFA";
inline constexpr std::string_view kNoSoftware = "NONE";
inline constexpr std::string_view kEmptyProgramLine = "\t\t\t\t\t\t\t\t\t";

inline constexpr std::size_t kCommandSize = 9;
inline constexpr std::size_t kFrameSize = 14;
inline constexpr std::size_t kReplySize = 5;
inline constexpr std::size_t kLoaderVersionSize = 3;
inline constexpr std::size_t kSimpleHeaderSize = 8;
inline constexpr std::size_t kBlockCountSize = 4;
inline constexpr std::size_t kBlockHeaderSize = 5;
inline constexpr std::size_t kBlockSize = 1024;
inline constexpr int kBankCount = 10;
inline constexpr std::size_t kBankHeaderSize = 3;
inline constexpr std::size_t kMaxBankBytes = 2000; // 1000 entries
inline constexpr std::size_t kMaxLineBytes = 500;  // the PC reads no longer line
inline constexpr std::size_t kSettingsSize = 2048;
// Bigger than any receiver's flash; an announcement beyond it is refused, not allocated.
inline constexpr std::size_t kMaxImageSize = 16u * 1024u * 1024u;

inline constexpr std::uint32_t kDetectionBaud = 19200;
inline constexpr std::uint32_t kMinBaud = 300;
inline constexpr std::uint32_t kMaxBaud = 4000000;

enum class Command {
    ProgCode,
    ProgFert,
    LoadTlis,
    LoadRlis,
    ProgTlis,
    ProgRlis,
    LoadDefw,
    ProgDefw
};

struct CommandFrame {
    Command command = Command::ProgCode;
    std::uint32_t baud = 0;
};

std::string_view CommandText(Command command);
// A frame is exactly 14 bytes: a known command, a baud rate the receiver can run, 0x0D.
std::optional<CommandFrame> ParseCommandFrame(std::string_view bytes);
std::string BuildCommandFrame(std::string_view command, std::uint32_t baud);

std::uint32_t GetU32BE(std::string_view bytes); // the first four bytes
std::uint32_t GetU16BE(std::string_view bytes); // the first two bytes
std::string U32BE(std::uint32_t value);
std::string U16BE(std::uint32_t value);

// Byte sum in a wrapping 32-bit accumulator, as the PC computes it.
std::uint32_t SumBytes(std::string_view bytes);

// The PC uses blocks above loader version 1.0; the receiver decides alike.
bool UsesBlockProtocol(std::string_view loaderVersion);

// The software a firmware image names: the text after the signature in its 2048-byte trailer.
// Nothing when the image has no such trailer or the text is empty.
std::optional<std::string> FirmwareVersionText(std::string_view image);

// A program place without a program: every field empty.
bool IsEmptyProgramLine(std::string_view line);

} // namespace fw::sim
