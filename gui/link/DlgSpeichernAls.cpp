#include "gui/link/DlgSpeichernAls.h"

#include "core/link/SaveName.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/UserInteraction.h"
#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace fw {

using namespace ids::saveAs;

CDlgSpeichernAls::CDlgSpeichernAls(SaveKind kind, std::string folder, UserInteraction& interaction,
                                   const std::string& proposedName, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_folder(std::move(folder)), m_interaction(interaction) {
    setWindowTitle(DialogText(kDialog, "caption"));
    setObjectName(QString::number(kDialog));

    auto* nameLabel = new QLabel(DialogText(kDialog, "static-filename"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QString::number(kName));
    m_name->setText(QString::fromStdString(proposedName));
    m_name->selectAll();
    nameLabel->setBuddy(m_name);
    auto* descriptionLabel = new QLabel(DialogText(kDialog, kDescriptionLabel), this);
    descriptionLabel->setObjectName(QString::number(kDescriptionLabel));
    m_descriptionEdit = new QLineEdit(this);
    m_descriptionEdit->setObjectName(QString::number(kDescription));
    descriptionLabel->setBuddy(m_descriptionEdit);
    auto* optional = new QLabel(DialogText(kDialog, kOptionalLabel), this);
    optional->setObjectName(QString::number(kOptionalLabel));

    auto* fields = new QGridLayout;
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(m_name, 0, 1);
    fields->setColumnStretch(1, 1);
    // Settings files carry no description; its rows stay out of the layout, so no gap is left.
    if (kind == SaveKind::Settings) {
        descriptionLabel->hide();
        m_descriptionEdit->hide();
        optional->hide();
    } else {
        fields->addWidget(descriptionLabel, 1, 0);
        fields->addWidget(m_descriptionEdit, 1, 1);
        fields->addWidget(optional, 2, 1);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(DialogText(kDialog, kOk));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QString::number(kOk));
    buttons->button(QDialogButtonBox::Cancel)->setText(DialogText(kDialog, kCancel));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QString::number(kCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSpeichernAls::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    // Just the size of its fields: a window's least height would otherwise open a gap.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_name->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
}

void CDlgSpeichernAls::accept() {
    const SaveName name = CheckSaveName(m_name->text().toStdString(), m_kind, m_folder);
    switch (name.status) {
    case SaveNameStatus::Empty:
        m_interaction.ShowMessage(name.message, MessageIcon::Warning);
        m_name->setFocus();
        return;
    case SaveNameStatus::Refused:
        m_interaction.ShowMessage(name.message, MessageIcon::Warning);
        m_name->setFocus();
        m_name->selectAll();
        return;
    case SaveNameStatus::Ok:
        break;
    }
    bool lossless = true;
    const std::string description =
        Utf8ToCp1252(m_descriptionEdit->text().toStdString(), &lossless);
    // A '?' in place of what the user typed would be stored without a word.
    if (m_kind == SaveKind::ProgramList && !lossless) {
        m_interaction.ShowMessage(LoadResString(str::kDescriptionNotEncodable),
                                  MessageIcon::Warning);
        m_descriptionEdit->setFocus();
        return;
    }
    if (name.exists && m_interaction.Ask({.text = name.message,
                                          .icon = MessageIcon::Question,
                                          .defaultAnswer = Answer::No}) != Answer::Yes) {
        m_name->setFocus();
        return;
    }
    m_path = name.path;
    if (m_kind == SaveKind::ProgramList)
        m_description = description;
    QDialog::accept();
}

void CDlgSpeichernAls::reject() {
    // A list took up to a minute to receive; Escape alone must not lose it.
    if (m_kind == SaveKind::ProgramList &&
        m_interaction.Ask({.text = LoadResString(str::kAskDiscardReceivedList),
                           .icon = MessageIcon::Warning,
                           .defaultAnswer = Answer::No,
                           .yesText = LoadResString(str::kAnswerDiscard),
                           .noText = LoadResString(str::kAnswerBack)}) != Answer::Yes) {
        m_name->setFocus();
        return;
    }
    QDialog::reject();
}

} // namespace fw
