#include "core/firmware/TransferFile.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"
#include "core/util/UserInteraction.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <unistd.h>

namespace fw {
namespace {

// Closes the descriptor on every way out of a load.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Reads until count bytes are in or the file ends early; the number of bytes read.
std::size_t ReadAt(int fd, unsigned char* target, std::size_t count, off_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(fd, target + done, count - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace

void CTransferFile::Reset(const std::string& path) {
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_trailerStrings.clear();
    m_textCursor = 0;
    m_kind = 0;
    m_size = 0;
    m_path = path;
    m_reason.clear();
}

// The part of a file of m_size bytes that a load keeps, or kWrongFormat.
int CTransferFile::PartRange(Part part, std::size_t& count, std::size_t& offset) const {
    count = m_size;
    offset = 0;
    if (part == Part::Whole)
        return m_size == 0 ? kWrongFormat : kLoaded;
    if (m_size < kMinimumFirmwareSize)
        return kWrongFormat;
    count = kTrailerSize;
    offset = m_size - kTrailerSize;
    return kLoaded;
}

int CTransferFile::Load(const std::string& path, Part part, std::uint64_t limit) {
    Reset(path);
    OpenedFile opened = OpenRegularFile(path, limit);
    const FileDescriptor file(opened.fd);
    m_reason = std::move(opened.reason);
    if (opened.status == OpenedFile::Status::Refused)
        return kNotReadable;
    if (opened.status != OpenedFile::Status::Opened)
        return kCannotOpen;
    // Within the limit, the size fits the 32 bits of the record and the transfer header.
    m_size = static_cast<std::uint32_t>(opened.size);

    std::size_t count = 0, offset = 0;
    if (const int range = PartRange(part, count, offset); range != kLoaded)
        return range;
    try {
        m_buffer.resize(count);
    } catch (const std::bad_alloc&) {
        return kShortRead;
    }
    const std::size_t got = ReadAt(file.Get(), m_buffer.data(), count, static_cast<off_t>(offset));
    if (got < count) {
        m_buffer.resize(got);
        return kShortRead;
    }
    return kLoaded;
}

int CTransferFile::Take(const std::string& path, std::string_view data, Part part) {
    Reset(path);
    if (data.size() > INT32_MAX)
        return kWrongFormat;
    m_size = static_cast<std::uint32_t>(data.size());
    std::size_t count = 0, offset = 0;
    if (const int range = PartRange(part, count, offset); range != kLoaded)
        return range;
    const std::string_view kept = data.substr(offset, count);
    m_buffer.assign(kept.begin(), kept.end());
    return kLoaded;
}

int CTransferFile::TakeWhole(const std::string& path, std::string_view data) {
    return Take(path, data, Part::Whole);
}

int CTransferFile::TakeTrailer(const std::string& path, std::string_view data) {
    return Take(path, data, Part::Trailer);
}

int CTransferFile::LoadWhole(const std::string& path, std::uint64_t limit) {
    return Load(path, Part::Whole, limit);
}

int CTransferFile::LoadTrailer(const std::string& path) {
    return Load(path, Part::Trailer, kFirmwareFileLimit);
}

int CTransferFile::CheckSignature(int stringId) {
    m_kind = 0;
    m_textCursor = 0;
    const std::string signature = LoadResString(stringId);
    const auto nul = std::find(m_buffer.begin(), m_buffer.end(), 0);
    // Without its terminator inside the buffer the text is cut off, not a signature.
    if (signature.empty() || nul == m_buffer.end())
        return kWrongFormat;
    const std::string text(m_buffer.begin(), nul);
    if (text == signature)
        m_kind = 1;
    else if (text == signature + std::string(kTwoMegabyteSuffix))
        m_kind = 2;
    else
        return kWrongFormat;
    return kLoaded;
}

int CTransferFile::ReportLoadResult(int code, UserInteraction& interaction) {
    m_lastResult = code;
    int question = 0;
    switch (code) {
    case kCannotOpen:
        question = str::kOpenFailedDeleteFile;
        break;
    case kShortRead:
        question = str::kLoadFailedDeleteFile;
        break;
    case kWrongFormat:
        question = str::kWrongFormatDeleteFile;
        break;
    case kNotReadable:
        ReportUnreadableFile(interaction, m_path, m_reason);
        return code;
    default:
        return code;
    }
    if (interaction.AskYesNo(FormatText(LoadResString(question), {m_path}), MessageIcon::Warning)) {
        Close();
        if (::unlink(m_path.c_str()) != 0)
            interaction.ShowLastError(SystemReason(m_path, errno));
    }
    return code;
}

void CTransferFile::ReadTrailerStrings(int count) {
    m_trailerStrings.clear();
    std::size_t position = std::min(m_textCursor, m_buffer.size());
    for (int i = 0; i < count; ++i) {
        const auto start = m_buffer.begin() + static_cast<std::ptrdiff_t>(position);
        const auto nul = std::find(start, m_buffer.end(), 0);
        m_trailerStrings.emplace_back(start, nul);
        position = nul == m_buffer.end() ? m_buffer.size()
                                         : static_cast<std::size_t>(nul - m_buffer.begin()) + 1;
    }
}

std::uint32_t CTransferFile::SumBytes() const {
    return SumBytes(0, m_buffer.size());
}

std::uint32_t CTransferFile::SumBytes(std::size_t offset, std::size_t length) const {
    if (offset >= m_buffer.size())
        return 0;
    length = std::min(length, m_buffer.size() - offset);
    std::uint32_t sum = 0;
    for (std::size_t i = offset; i < offset + length; ++i)
        sum += m_buffer[i];
    return sum;
}

int CTransferFile::OpenAndCheck(const std::string& path, int stringId,
                                UserInteraction& interaction) {
    if (ReportLoadResult(LoadTrailer(path), interaction) < 0)
        return -1;
    if (ReportLoadResult(CheckSignature(stringId), interaction) < 0)
        return -1;
    return 1;
}

void CTransferFile::Close() {
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

} // namespace fw
