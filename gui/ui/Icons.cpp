#include "gui/ui/Icons.h"

namespace fw {

QIcon FlashwerkIcon(CommandIcon icon) {
    const char* name = "";
    switch (icon) {
    case CommandIcon::Import:
        name = "import";
        break;
    case CommandIcon::Receiver:
        name = "receiver";
        break;
    case CommandIcon::SendToReceiver:
        name = "send";
        break;
    case CommandIcon::LoadFromReceiver:
        name = "load";
        break;
    case CommandIcon::Delete:
        name = "delete";
        break;
    case CommandIcon::Refresh:
        name = "refresh";
        break;
    case CommandIcon::New:
        name = "new";
        break;
    case CommandIcon::Edit:
        name = "edit";
        break;
    }
    return QIcon(QStringLiteral(":/icons/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace fw
