#pragma once

#include "core/firmware/Receiverdat.h"
#include "core/lists/ListenDat.h"
#include "core/settings/GrundDat.h"

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
};

} // namespace fw
