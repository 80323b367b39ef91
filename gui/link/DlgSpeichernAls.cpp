#include "gui/link/DlgSpeichernAls.h"

#include "core/link/SaveName.h"
#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace fw {
namespace {
constexpr int kDialogId = 148;
constexpr int kNameEditId = 1056;
constexpr int kDescriptionEditId = 1057;
constexpr int kDescriptionLabelId = 1097;
constexpr int kOptionalLabelId = 1098;
} // namespace

CDlgSpeichernAls::CDlgSpeichernAls(SaveKind kind, std::string folder, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_folder(std::move(folder)) {
    setWindowTitle(DialogText(kDialogId, "caption"));
    setObjectName(QString::number(kDialogId));

    auto* nameLabel = new QLabel(DialogText(kDialogId, "static-filename"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QString::number(kNameEditId));
    nameLabel->setBuddy(m_name);
    auto* descriptionLabel = new QLabel(DialogText(kDialogId, kDescriptionLabelId), this);
    descriptionLabel->setObjectName(QString::number(kDescriptionLabelId));
    m_descriptionEdit = new QLineEdit(this);
    m_descriptionEdit->setObjectName(QString::number(kDescriptionEditId));
    descriptionLabel->setBuddy(m_descriptionEdit);
    auto* optional = new QLabel(DialogText(kDialogId, kOptionalLabelId), this);
    optional->setObjectName(QString::number(kOptionalLabelId));

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
    buttons->button(QDialogButtonBox::Ok)->setText(DialogText(kDialogId, 1));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setText(DialogText(kDialogId, 2));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
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
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(name.message));
        m_name->setFocus();
        return;
    case SaveNameStatus::Refused:
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(name.message));
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
        QMessageBox::warning(this, windowTitle(), ResText(str::kDescriptionNotEncodable));
        m_descriptionEdit->setFocus();
        return;
    }
    if (name.exists &&
        QMessageBox::question(this, windowTitle(), QString::fromStdString(name.message),
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes) {
        m_name->setFocus();
        return;
    }
    m_path = name.path;
    if (m_kind == SaveKind::ProgramList)
        m_description = description;
    QDialog::accept();
}

} // namespace fw
