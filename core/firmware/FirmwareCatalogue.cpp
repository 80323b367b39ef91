#include "core/firmware/FirmwareCatalogue.h"

#include "core/firmware/TransferFile.h"
#include "core/res/StringIds.h"
#include "core/util/FolderScan.h"

namespace fw {

std::vector<CReceiverdat> ScanFirmwareFolder(const std::string& folder,
                                             UserInteraction& interaction) {
    std::vector<CReceiverdat> records;
    for (const FoundFile& found : FindFilesWithExtension(folder, ".bsr")) {
        CTransferFile file;
        if (file.OpenAndCheck(found.path, str::kFirmwareSignature, interaction) != 1)
            continue;
        file.ReadTrailerStrings(3);
        records.emplace_back(file);
    }
    return records;
}

} // namespace fw
