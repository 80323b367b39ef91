#include "app/PropertyPagePlus.h"

#include "config/Konfiguration.h"
#include "util/ControlToolTips.h"
#include "util/Texts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace fw {

CPropertyPagePlus::CPropertyPagePlus(AppContext& context, int dialogId, QWidget* parent)
    : QWidget(parent), m_context(context), m_dialogId(dialogId) {
    setObjectName(QString::number(dialogId));
}

QString CPropertyPagePlus::TabCaption() const {
    return DialogText(m_dialogId, "caption");
}

void CPropertyPagePlus::SetToolTips(int on) {
    m_toolTipsOn = on;
    ApplyToolTips();
}

void CPropertyPagePlus::OnSetActive() {
    SetToolTips(m_context.config.m_toolTips);
}

void CPropertyPagePlus::SetControlId(QWidget* control, int id) {
    fw::SetControlId(control, id);
}

void CPropertyPagePlus::showEvent(QShowEvent* event) {
    // Controls added after construction get their tips when the page shows.
    ApplyToolTips();
    QWidget::showEvent(event);
}

void CPropertyPagePlus::ApplyToolTips() {
    ApplyControlToolTips(this, m_toolTipsOn != 0);
}

CPendingPage::CPendingPage(AppContext& context, int dialogId, QWidget* parent)
    : CPropertyPagePlus(context, dialogId, parent) {
    auto* title = new QLabel(WithoutMnemonic(TabCaption()), this);
    title->setAlignment(Qt::AlignCenter);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    title->setFont(font);
    title->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
}

} // namespace fw
