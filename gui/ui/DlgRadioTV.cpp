#include "gui/ui/DlgRadioTV.h"

#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

using namespace ids::radioTv;

CDlgRadioTV::CDlgRadioTV(QWidget* parent) : QDialog(parent) {
    setWindowTitle(DialogText(kDialog, "caption"));
    auto* text = new QLabel(DialogText(kDialog, "static-text"), this);
    auto* radio = new QPushButton(DialogText(kDialog, kRadio), this);
    auto* tv = new QPushButton(DialogText(kDialog, kTv), this);
    auto* cancel = new QPushButton(DialogText(kDialog, kCancel), this);
    SetControlId(radio, kRadio);
    SetControlId(tv, kTv);
    SetControlId(cancel, kCancel);
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
