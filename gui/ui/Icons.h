#pragma once

#include <QIcon>

namespace fw {

// The command icons of the pages, drawn for this program (gui/res/icons).
enum class CommandIcon {
    Import,
    Receiver,
    SendToReceiver,
    LoadFromReceiver,
    Delete,
    Refresh,
    New,
    Edit
};

QIcon FlashwerkIcon(CommandIcon icon);

} // namespace fw
