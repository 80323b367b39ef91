#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// SHA-256 (FIPS 180-4), fed in pieces so that a file need not be held whole.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void Add(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    Digest Finish();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_totalBytes = 0;
};

// 64 lower-case hex digits, as sha256sum prints them.
std::string Sha256Hex(std::string_view bytes);

// The digest of a regular file, read in pieces; empty with reason when it cannot be read.
std::string Sha256HexOfFile(const std::string& path, std::string& reason);

} // namespace fw
