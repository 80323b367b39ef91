#pragma once

#include "core/util/FileIo.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class UserInteraction;

// Reads a firmware file whole (for sending) or only its 2048-byte trailer (for the catalogue),
// recognises the trailer's signature and takes the version and description texts from it.
// Loaders return 1, or -1 (cannot be opened), -2 (fewer bytes read than the file holds),
// -3 (wrong format) or -4 (not a regular file, or above the size limit; LastReason says which).
class CTransferFile {
public:
    static constexpr int kLoaded = 1;
    static constexpr int kCannotOpen = -1;
    static constexpr int kShortRead = -2;
    static constexpr int kWrongFormat = -3;
    static constexpr int kNotReadable = -4;

    static constexpr std::uint32_t kTrailerSize = 2048;
    static constexpr std::uint32_t kMinimumFirmwareSize = 3000;
    static constexpr std::string_view kTwoMegabyteSuffix = "-2MB";

    CTransferFile() = default;
    ~CTransferFile() = default;
    CTransferFile(const CTransferFile&) = delete;
    CTransferFile& operator=(const CTransferFile&) = delete;

    // The whole file into the buffer; an empty file is -3. Settings files pass their own limit.
    int LoadWhole(const std::string& path, std::uint64_t limit = kFirmwareFileLimit);
    // The last 2048 bytes into the buffer; a file below 3000 bytes is -3.
    int LoadTrailer(const std::string& path);
    // The same from the bytes of the file at path that the caller has already read.
    int TakeWhole(const std::string& path, std::string_view data);
    int TakeTrailer(const std::string& path, std::string_view data);
    // Kind 1 when the buffer starts with the exact text of the string resource and a NUL, kind 2
    // for that text plus "-2MB"; anything else is -3. Puts the text cursor at the buffer start.
    int CheckSignature(int stringId);
    // Remembers the code; for -1, -2 and -3 asks whether to delete the file and deletes it on
    // Yes; -4 is shown as unreadable, with no offer to delete. Gives the code back.
    int ReportLoadResult(int code, UserInteraction& interaction);
    // Takes count NUL-terminated strings from the text cursor on. A string without its NUL ends
    // at the buffer's end; strings beyond the end are empty.
    void ReadTrailerStrings(int count);
    // Byte sum of the buffer, each byte 0..255, in a wrapping 32-bit accumulator.
    std::uint32_t SumBytes() const;
    // The same over a range; the part of the range outside the buffer adds nothing.
    std::uint32_t SumBytes(std::size_t offset, std::size_t length) const;
    // LoadTrailer and CheckSignature, each reported through ReportLoadResult; 1 or -1.
    int OpenAndCheck(const std::string& path, int stringId, UserInteraction& interaction);
    void Close();

    int Kind() const { return m_kind; }
    const std::string& Path() const { return m_path; }
    int LastResult() const { return m_lastResult; }
    // Why the last load could not open the file; empty after a load that opened it.
    const std::string& LastReason() const { return m_reason; }
    // Length of the whole file, also after LoadTrailer.
    std::uint32_t Size() const { return m_size; }
    const std::vector<std::string>& TrailerStrings() const { return m_trailerStrings; }
    std::span<const unsigned char> Data() const { return m_buffer; }

private:
    enum class Part { Whole, Trailer };
    void Reset(const std::string& path);
    int PartRange(Part part, std::size_t& count, std::size_t& offset) const;
    int Load(const std::string& path, Part part, std::uint64_t limit);
    int Take(const std::string& path, std::string_view data, Part part);

    int m_kind = 0;
    std::string m_path;
    std::string m_reason;
    int m_lastResult = 0;
    std::uint32_t m_size = 0;
    std::size_t m_textCursor = 0;
    std::vector<std::string> m_trailerStrings;
    std::vector<unsigned char> m_buffer;
};

} // namespace fw
