#include "gui/ui/MessageInteraction.h"

#include "core/res/StringIds.h"
#include "gui/ui/DlgRadioTV.h"
#include "gui/ui/Texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <initializer_list>

namespace fw {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
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

QMessageBox::StandardButton BoxButton(Answer answer) {
    switch (answer) {
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

// The window the user works in: the active one (the favourites window beside the editor, say),
// else the open modal window, else the shown main window.
QWidget* OwnerWindow() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() != Qt::Popup &&
            window->windowType() != Qt::ToolTip)
            return window;
    }
    return nullptr;
}

struct ButtonText {
    QMessageBox::StandardButton button;
    const std::string& text;
};

int ShowBox(MessageIcon icon, const QString& title, const std::string& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
            std::initializer_list<ButtonText> ownTexts = {}) {
    QMessageBox box(BoxIcon(icon), title, QString::fromStdString(text), buttons, OwnerWindow());
    box.setDefaultButton(defaultButton);
    for (const ButtonText& own : ownTexts) {
        if (QAbstractButton* button = box.button(own.button); button && !own.text.empty())
            button->setText(QString::fromStdString(own.text));
    }
    return box.exec();
}

QString ProgramName() {
    return QApplication::applicationDisplayName();
}

} // namespace

void MessageInteraction::ShowMessage(const std::string& text, MessageIcon icon) {
    ShowBox(icon, ProgramName(), text, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageInteraction::ShowLastError(const std::string& text) {
    ShowBox(MessageIcon::Warning, ResText(str::kErrorTitle), text, QMessageBox::Ok,
            QMessageBox::Ok);
}

Answer MessageInteraction::Ask(const Question& question) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (question.answers == AnswerSet::YesNoCancel)
        buttons |= QMessageBox::Cancel;
    switch (ShowBox(question.icon, ProgramName(), question.text, buttons,
                    BoxButton(question.defaultAnswer),
                    {{QMessageBox::Yes, question.yesText},
                     {QMessageBox::No, question.noText},
                     {QMessageBox::Cancel, question.cancelText}})) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

ListTypeChoice MessageInteraction::AskRadioOrTv() {
    CDlgRadioTV dialog(OwnerWindow());
    if (dialog.exec() != QDialog::Accepted)
        return ListTypeChoice::Cancelled;
    return dialog.TypeText() == QLatin1String("TV") ? ListTypeChoice::Tv : ListTypeChoice::Radio;
}

} // namespace fw
