#pragma once

#include <QPrintDialog>

namespace fw {

struct AppContext;

// The system's print dialog for the program pool: a page range, printing to a file only when
// the machine has no printer, the selection offered only when rows are selected, and a button
// beside OK that opens the page setup.
class CListPrintDialog : public QPrintDialog {
    Q_OBJECT
public:
    static constexpr int kPageSetupButton = 201;

    CListPrintDialog(QPrinter* printer, bool rowsSelected, AppContext& context,
                     QWidget* parent = nullptr);

    // After OK: the user chose to print only the selected rows.
    bool SelectionChosen() const { return printRange() == QAbstractPrintDialog::Selection; }
};

} // namespace fw
