#include "gui/print/ListPrintDialog.h"

#include "core/res/StringIds.h"
#include "gui/print/PageSetup.h"
#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QPrinterInfo>
#include <QPushButton>

namespace fw {

CListPrintDialog::CListPrintDialog(QPrinter* printer, bool rowsSelected, AppContext& context,
                                   QWidget* parent)
    : QPrintDialog(printer, parent) {
    PrintDialogOptions options = PrintPageRange | PrintShowPageSize | PrintCollateCopies;
    // Without a printer the file is the only place a printout can go.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        options |= PrintToFile;
    if (rowsSelected)
        options |= PrintSelection;
    setOptions(options);
    setPrintRange(AllPages);

    // Qt's own dialog has a button box to put the button in; a platform's native one has not,
    // and there the editor's menu offers the page setup.
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
        QPushButton* pageSetup =
            buttons->addButton(ResText(str::kDefinePrintArea), QDialogButtonBox::ActionRole);
        pageSetup->setObjectName(QString::number(kPageSetupButton));
        pageSetup->setAutoDefault(false);
        connect(pageSetup, &QPushButton::clicked, this,
                [this, &context] { OpenPageSetup(context, this); });
    }
}

} // namespace fw
