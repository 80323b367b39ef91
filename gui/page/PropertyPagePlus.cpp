#include "gui/page/PropertyPagePlus.h"

#include "core/config/Konfiguration.h"
#include "gui/link/DlgSenden.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

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

std::unique_ptr<CDlgSenden> CPropertyPagePlus::TransferDialog(const TransferJob& job) {
    auto dialog = std::make_unique<CDlgSenden>(
        job, LinkSettings::FromConfiguration(m_context.config), m_context.ports, m_context.chain,
        m_context.cancel, m_context.folders.lists, m_context.folders.settings,
        *m_context.interaction, this);
    // Safety copies and the logbook live in the data folder; a run without one keeps none.
    const CKonfiguration& config = m_context.config;
    if (!m_context.folders.program.empty())
        dialog->KeepRecords({m_context.folders, config.m_safetyCopy != 0, config.m_safetyCopyKeep,
                             config.m_verifyAfterSend != 0});
    return dialog;
}

int CPropertyPagePlus::SendChained(int, int) {
    return 0;
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

} // namespace fw
