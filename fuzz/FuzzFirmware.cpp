// Firmware files: the trailer with signature, version and description, the whole image and its
// sums, and the version texts the trailer carries.
#include "fuzz/FuzzSupport.h"

#include "core/firmware/TransferFile.h"
#include "core/firmware/Version.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace fw;
using fw::fuzz::Require;

namespace {

std::uint32_t Sum(const std::uint8_t* data, std::size_t size, std::size_t offset,
                  std::size_t length) {
    if (offset >= size)
        return 0;
    length = std::min(length, size - offset);
    std::uint32_t sum = 0;
    for (std::size_t i = offset; i < offset + length; ++i)
        sum += data[i];
    return sum;
}

// Offsets and lengths taken from the input: small ones land inside the file, the raw ones
// may be anywhere up to the largest size_t.
std::size_t NumberAt(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint64_t raw = 0;
    if (at + sizeof raw <= size)
        std::memcpy(&raw, data + at, sizeof raw);
    return static_cast<std::size_t>(raw);
}

void CheckSums(const CTransferFile& file, const std::uint8_t* data, std::size_t size) {
    Require(file.SumBytes() == Sum(data, size, 0, size), "the sum covers the whole file");
    const std::size_t rawOffset = NumberAt(data, size, 0);
    const std::size_t rawLength = NumberAt(data, size, 8);
    const std::size_t ranges[][2] = {
        {rawOffset, rawLength},
        {rawOffset % (size + 2), rawLength % (size + 2)},
        {rawOffset % (size + 2), std::numeric_limits<std::size_t>::max()},
        {size, 1},
    };
    for (const auto& [offset, length] : ranges)
        Require(file.SumBytes(offset, length) == Sum(data, size, offset, length),
                "a range sum adds the bytes inside the file only");
}

void CheckVersions(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        const SoftwareVersion split = SplitVersion(text);
        Require(split.name.size() <= text.size(), "the name is part of the text");
        for (const std::string& other : texts)
            CompareVersions(text, other, 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteScratchFile("input.bsr", bytes);
    const std::string signature = LoadResString(str::kFirmwareSignature);

    CTransferFile file;
    const int trailer = file.LoadTrailer(path);
    Require(file.Size() == size, "the size is the file's");
    if (size < CTransferFile::kMinimumFirmwareSize) {
        Require(trailer == CTransferFile::kWrongFormat, "a short file is refused");
    } else {
        Require(trailer == CTransferFile::kLoaded, "a long enough file gives its trailer");
        const auto tail = data + size - CTransferFile::kTrailerSize;
        Require(file.Data().size() == CTransferFile::kTrailerSize &&
                    std::equal(file.Data().begin(), file.Data().end(), tail),
                "the trailer is the file's last 2048 bytes");
    }

    const int checked = file.CheckSignature(str::kFirmwareSignature);
    file.ReadTrailerStrings(3);
    const std::vector<std::string>& strings = file.TrailerStrings();
    Require(strings.size() == 3, "three trailer strings are always there");
    if (checked == CTransferFile::kLoaded) {
        Require(strings[0] == signature ? file.Kind() == 1 : file.Kind() == 2,
                "the kind follows the signature text");
    } else {
        Require(checked == CTransferFile::kWrongFormat && file.Kind() == 0,
                "anything but the signature is the wrong format");
    }
    std::size_t taken = 0;
    for (const std::string& text : strings)
        taken += text.size();
    Require(taken <= file.Data().size(), "trailer strings come from the buffer");
    CheckVersions(strings);
    if (trailer == CTransferFile::kLoaded)
        CheckSums(file, data + size - CTransferFile::kTrailerSize, CTransferFile::kTrailerSize);

    const int whole = file.LoadWhole(path);
    Require(whole == (size == 0 ? CTransferFile::kWrongFormat : CTransferFile::kLoaded),
            "any non-empty file loads whole");
    if (whole == CTransferFile::kLoaded)
        Require(file.Data().size() == size &&
                    std::equal(file.Data().begin(), file.Data().end(), data),
                "the whole file is read unchanged");
    CheckSums(file, data, whole == CTransferFile::kLoaded ? size : 0);
    // Reading strings without a signature check starts at the buffer's beginning.
    file.ReadTrailerStrings(3);
    CheckVersions(file.TrailerStrings());
    return 0;
}
