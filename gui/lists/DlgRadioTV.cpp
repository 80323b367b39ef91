#include "gui/lists/DlgRadioTV.h"

#include "gui/page/PropertyPagePlus.h"
#include "gui/ui/Texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

namespace {
constexpr int kDialogId = 145;
}

CDlgRadioTV::CDlgRadioTV(QWidget* parent) : QDialog(parent) {
    setWindowTitle(DialogText(kDialogId, "caption"));
    auto* text = new QLabel(DialogText(kDialogId, "static-text"), this);
    auto* radio = new QPushButton(DialogText(kDialogId, 1050), this);
    auto* tv = new QPushButton(DialogText(kDialogId, 3), this);
    auto* cancel = new QPushButton(DialogText(kDialogId, 2), this);
    CPropertyPagePlus::SetControlId(radio, 1050);
    CPropertyPagePlus::SetControlId(tv, 3);
    CPropertyPagePlus::SetControlId(cancel, 2);
    radio->setAutoDefault(false);
    tv->setAutoDefault(false);
    cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(radio);
    buttons->addWidget(tv);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(radio, &QPushButton::clicked, this, [this] { Choose(QStringLiteral("RA")); });
    connect(tv, &QPushButton::clicked, this, [this] { Choose(QStringLiteral("TV")); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CDlgRadioTV::Choose(const QString& typeText) {
    m_typeText = typeText;
    accept();
}

} // namespace fw
