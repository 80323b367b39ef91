#pragma once

#include "core/util/UserInteraction.h"

#include <QMessageBox>
#include <QString>

class QWidget;

namespace fw {

// The message box icon that shows a core message's icon.
QMessageBox::Icon MessageBoxIcon(MessageIcon icon);

// Answers core's questions with message boxes: questions with the warning icon and Yes/No,
// messages with their icon and OK, the type of a list with a small Radio/TV choice.
class CMessageInteraction : public UserInteraction {
public:
    explicit CMessageInteraction(QWidget* parent) : m_parent(parent) {}

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, MessageIcon icon) override;
    ListTypeChoice AskRadioOrTv() override;

    // A failed file operation: the system's reason, in a box titled "Fehler" / "Error".
    static void ShowLastError(QWidget* parent, const QString& reason);

private:
    QWidget* m_parent;
};

} // namespace fw
