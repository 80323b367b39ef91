#include "gui/print/PageSetup.h"

#include "core/config/Konfiguration.h"
#include "gui/page/AppContext.h"
#include "gui/print/PageSetupDialog.h"

namespace fw {

void OpenPageSetup(AppContext& context, QWidget* parent) {
    PageSetupDialog dialog(context.config.m_printSettings, *context.interaction, parent);
    dialog.exec();
}

} // namespace fw
