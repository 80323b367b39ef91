#include "gui/ui/MessageInteraction.h"

#include "core/res/StringIds.h"
#include "gui/ui/DlgRadioTV.h"
#include "gui/ui/Texts.h"

#include <QMessageBox>

namespace fw {

QMessageBox::Icon MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

void CMessageInteraction::ShowMessage(const std::string& text, MessageIcon icon) {
    QMessageBox box(MessageBoxIcon(icon), QString(), QString::fromStdString(text), QMessageBox::Ok,
                    m_parent);
    box.exec();
}

bool CMessageInteraction::AskYesNo(const std::string& text, MessageIcon icon) {
    QMessageBox box(MessageBoxIcon(icon), QString(), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

ListTypeChoice CMessageInteraction::AskRadioOrTv() {
    CDlgRadioTV dialog(m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return ListTypeChoice::Cancelled;
    return dialog.TypeText() == QLatin1String("TV") ? ListTypeChoice::Tv : ListTypeChoice::Radio;
}

void CMessageInteraction::ShowLastError(QWidget* parent, const QString& reason) {
    QMessageBox::warning(parent, ResText(str::kErrorTitle), reason);
}

} // namespace fw
