#include "gui/ui/Texts.h"

#include "core/res/StringTable.h"

#include <string>

namespace fw {

QString ResText(int id) {
    return QString::fromStdString(LoadResString(id));
}

QString DialogText(int dialogId, std::string_view control) {
    return QString::fromStdString(LoadDialogText(dialogId, control));
}

QString DialogText(int dialogId, int controlId) {
    return DialogText(dialogId, std::to_string(controlId));
}

QString MenuText(int menuId, std::string_view item) {
    return QString::fromStdString(LoadMenuText(menuId, item));
}

QString WithoutMnemonic(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

} // namespace fw
