#include "sim/Wire.h"

#include "core/firmware/TransferFile.h"
#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ByteOrder.h"

#include <algorithm>
#include <array>

namespace fw::sim {
namespace {

constexpr std::array<std::pair<Command, std::string_view>, 8> kCommands = {{
    {Command::ProgCode, "PROG CODE"},
    {Command::ProgFert, "PROG FERT"},
    {Command::LoadTlis, "LOAD TLIS"},
    {Command::LoadRlis, "LOAD RLIS"},
    {Command::ProgTlis, "PROG TLIS"},
    {Command::ProgRlis, "PROG RLIS"},
    {Command::LoadDefw, "LOAD DEFW"},
    {Command::ProgDefw, "PROG DEFW"},
}};

} // namespace

std::string_view CommandText(Command command) {
    for (const auto& [known, text] : kCommands) {
        if (known == command)
            return text;
    }
    return {};
}

std::optional<CommandFrame> ParseCommandFrame(std::string_view bytes) {
    if (bytes.size() != kFrameSize || static_cast<unsigned char>(bytes[13]) != kAck)
        return std::nullopt;
    const std::uint32_t baud = GetU32BE(bytes.substr(kCommandSize));
    if (baud < kMinBaud || baud > kMaxBaud)
        return std::nullopt;
    const std::string_view text = bytes.substr(0, kCommandSize);
    for (const auto& [command, known] : kCommands) {
        if (known == text)
            return CommandFrame{command, baud};
    }
    return std::nullopt;
}

std::string BuildCommandFrame(std::string_view command, std::uint32_t baud) {
    std::string frame(command);
    frame += U32BE(baud);
    frame += static_cast<char>(kAck);
    return frame;
}

std::uint32_t GetU32BE(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < 4 && k < bytes.size(); ++k)
        value = (value << 8) | static_cast<unsigned char>(bytes[k]);
    return value;
}

std::uint32_t GetU16BE(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < 2 && k < bytes.size(); ++k)
        value = (value << 8) | static_cast<unsigned char>(bytes[k]);
    return value;
}

std::string U32BE(std::uint32_t value) {
    unsigned char bytes[4];
    PutU32BE(value, bytes);
    return {reinterpret_cast<const char*>(bytes), sizeof bytes};
}

std::string U16BE(std::uint32_t value) {
    unsigned char bytes[2];
    PutU16BE(value, bytes);
    return {reinterpret_cast<const char*>(bytes), sizeof bytes};
}

std::uint32_t SumBytes(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (const char c : bytes)
        sum += static_cast<unsigned char>(c);
    return sum;
}

bool UsesBlockProtocol(std::string_view loaderVersion) {
    // The receiver and the PC must agree on the protocol, so it reads the version as the PC does.
    return wire::LoaderVersionFromText(loaderVersion) > 1.0f;
}

std::optional<std::string> FirmwareVersionText(std::string_view image) {
    if (image.size() < CTransferFile::kTrailerSize)
        return std::nullopt;
    const std::string_view trailer = image.substr(image.size() - CTransferFile::kTrailerSize);
    const std::size_t signatureEnd = trailer.find('\0');
    const std::string signature = LoadResString(str::kFirmwareSignature);
    const std::string_view found = trailer.substr(0, signatureEnd);
    if (signatureEnd == std::string_view::npos ||
        (found != signature && found != signature + std::string(CTransferFile::kTwoMegabyteSuffix)))
        return std::nullopt;
    const std::size_t versionEnd = trailer.find('\0', signatureEnd + 1);
    if (versionEnd == std::string_view::npos || versionEnd == signatureEnd + 1)
        return std::nullopt;
    return std::string(trailer.substr(signatureEnd + 1, versionEnd - signatureEnd - 1));
}

bool IsEmptyProgramLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == '\t' || c == ' '; });
}

} // namespace fw::sim
