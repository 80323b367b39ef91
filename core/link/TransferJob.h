#pragma once

#include "core/firmware/Receiverdat.h"
#include "core/lists/ListenDat.h"
#include "core/settings/GrundDat.h"

#include <optional>
#include <string>

namespace fw {

enum class TransferJobKind {
    FirmwareSend = 1,
    ListSend = 2,
    ListLoad = 3,
    SettingsSend = 4,
    SettingsLoad = 5,
};

// What a page asks the transfer dialog to do.
struct TransferJob {
    TransferJobKind kind = TransferJobKind::FirmwareSend;
    CReceiverdat firmware; // FirmwareSend
    CListenDat list;       // ListSend
    CGrundDat settings;    // SettingsSend
    char listKind = 'T';   // ListLoad: 'T' TV, 'R' radio
    int chained = 0;       // a step of the production chain
    int lastStep = 0;      // the chain's last step: no restart announcement is awaited
    // The bytes of the file to send as the caller already read and checked them; the send jobs
    // then never read the file again, which may have changed (or been overwritten) since.
    std::optional<std::string> fileData;
};

} // namespace fw
