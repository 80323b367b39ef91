#include "util/MessageBoxes.h"

#include "res/StringIds.h"
#include "util/Texts.h"

namespace fw {

QMessageBox::StandardButton ShowError(QWidget* parent, int stringId) {
    return ShowErrorText(parent, ResText(stringId));
}

QMessageBox::StandardButton ShowErrorText(QWidget* parent, const QString& text) {
    return QMessageBox::critical(parent, QStringLiteral("Flashwerk"), text);
}

void ShowLastError(QWidget* parent, const QString& text, const QString& reason) {
    QMessageBox::warning(parent, ResText(str::kErrorTitle), text + reason);
}

} // namespace fw
