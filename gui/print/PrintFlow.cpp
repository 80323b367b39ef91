#include "gui/print/PrintFlow.h"

#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "gui/page/AppContext.h"
#include "gui/print/ListPrintDialog.h"
#include "gui/print/PageSetup.h"
#include "gui/ui/FileChooser.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QToolBar>

namespace fw {

namespace {

constexpr int kPageSetupAction = CListPrintDialog::kPageSetupButton;

// The pages of the range the print dialog chose; none (all pages) when it chose all of them.
QPageRanges ChosenPages(const QPrinter& printer) {
    return printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
}

QString FileNameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

// The list's name with .pdf, in the home folder; a list without a name yet takes the
// printout's default header.
QString SuggestedPdfPath(const QString& listName) {
    QString base = QFileInfo(listName).completeBaseName();
    if (base.isEmpty())
        base = ResText(str::kDefaultPrintHeader);
    return QDir::home().filePath(base + QStringLiteral(".pdf"));
}

} // namespace

PrintFlow::PrintFlow(AppContext& context, QWidget* owner)
    : m_context(context), m_owner(owner), m_documentTitle(ResText(str::kPrintDocumentTitle)) {}

CListDruck PrintFlow::MakePrintout(const ProgramPool& pool, const std::vector<int>& selectedRows,
                                   bool selectionOnly) const {
    return CListDruck(pool, m_context.config.m_printSettings,
                      selectionOnly ? std::optional(selectedRows) : std::nullopt);
}

PrintFlow::RowChoice PrintFlow::AskRowsToPrint(const std::vector<int>& selectedRows) {
    // The grid nearly always has one row selected, its current one: asking then would only
    // get in the way.
    if (selectedRows.size() < 2)
        return RowChoice::All;
    switch (Interaction().Ask({.text = FormatText(LoadResString(str::kPrintOnlySelection),
                                                  {std::to_string(selectedRows.size())}),
                               .icon = MessageIcon::Question,
                               .answers = AnswerSet::YesNoCancel})) {
    case Answer::Yes:
        return RowChoice::Selection;
    case Answer::No:
        return RowChoice::All;
    case Answer::Cancel:
        break;
    }
    return RowChoice::Cancelled;
}

void PrintFlow::Print(const ProgramPool& pool, const std::vector<int>& selectedRows,
                      const QString& suggestedName) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_documentTitle);
    // Otherwise the dialog offers a file named after the document title.
    printer.setOutputFileName(SuggestedPdfPath(suggestedName));
    CListPrintDialog dialog(&printer, !selectedRows.empty(), m_context, m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Made after the dialog, which may have changed the page setup.
    CListDruck printout = MakePrintout(pool, selectedRows, dialog.SelectionChosen());
    if (printer.outputFormat() == QPrinter::PdfFormat)
        WritePdf(printout, printer.outputFileName(), printer.pageLayout().pageSize(),
                 ChosenPages(printer));
    else
        PrintOn(printer, printout);
}

void PrintFlow::PrintOn(QPrinter& printer, CListDruck& printout) {
    // The line names the printer and its queue where a port once stood, or the file.
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    QString device = ResText(str::kPdfFileDevice);
    QString port = FileNameOf(printer.outputFileName());
    if (!toFile) {
        device = QPrinterInfo(printer).description();
        port = printer.printerName();
        if (device.isEmpty())
            device = port;
    }
    const QPageRanges pages = ChosenPages(printer);
    Conclude(RunWithProgress(device, port,
                             [&](const auto& cancel, const auto& pageStarted) {
                                 return RunPrintJob(printer, printout, pages, cancel, pageStarted);
                             }),
             printout);
}

void PrintFlow::Preview(const ProgramPool& pool, const std::vector<int>& selectedRows) {
    const RowChoice rows = AskRowsToPrint(selectedRows);
    if (rows == RowChoice::Cancelled)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_documentTitle);
    printer.setPageSize(DefaultPaper());
    PreparePrintDevice(printer);
    QPrintPreviewDialog preview(&printer, m_owner);
    // Qt's default size shows a page as a stamp.
    if (const QScreen* screen = m_owner ? m_owner->screen() : nullptr)
        preview.resize(screen->availableSize() * 4 / 5);
    // Laid out anew at every paint, so a changed page setup shows at once. Printing from the
    // preview comes here too, with the range its print dialog chose.
    QObject::connect(
        &preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
            CListDruck printout = MakePrintout(pool, selectedRows, rows == RowChoice::Selection);
            const std::atomic<bool> uncancelled{false};
            Conclude(RunPrintJob(*target, printout, ChosenPages(*target), uncancelled, {}),
                     printout);
        });
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
        toolbar->addSeparator();
        QAction* pageSetup = toolbar->addAction(ResText(str::kMenuPageSetup));
        pageSetup->setObjectName(QString::number(kPageSetupAction));
        QObject::connect(pageSetup, &QAction::triggered, &preview, [this, &preview] {
            OpenPageSetup(m_context, &preview);
            if (auto* pages = preview.findChild<QPrintPreviewWidget*>())
                pages->updatePreview();
        });
    }
    preview.exec();
}

QString PrintFlow::AskPdfPath(const QString& suggestedName) {
    return AskSavePath(m_owner, Interaction(), ResText(str::kExportPdfTitle),
                       SuggestedPdfPath(suggestedName), ResText(str::kPdfFilter),
                       QStringLiteral(".pdf"));
}

void PrintFlow::ExportPdf(const ProgramPool& pool, const std::vector<int>& selectedRows,
                          const QString& suggestedName) {
    const RowChoice rows = AskRowsToPrint(selectedRows);
    if (rows == RowChoice::Cancelled)
        return;
    const QString path = AskPdfPath(suggestedName);
    if (path.isEmpty())
        return;
    CListDruck printout = MakePrintout(pool, selectedRows, rows == RowChoice::Selection);
    WritePdf(printout, path, DefaultPaper(), QPageRanges());
}

void PrintFlow::WritePdf(CListDruck& printout, const QString& path, const QPageSize& paper,
                         const QPageRanges& pages) {
    RenderedPdf pdf;
    const PrintOutcome outcome = RunWithProgress(
        ResText(str::kPdfFileDevice), FileNameOf(path),
        [&](const auto& cancel, const auto& pageStarted) {
            pdf = RenderPdf(printout, m_documentTitle, paper, pages, cancel, pageStarted);
            return pdf.outcome;
        });
    Conclude(outcome, printout);
    if (outcome != PrintOutcome::Printed)
        return;
    std::string reason;
    if (!WriteFileAtomically(
            QFile::encodeName(path).toStdString(),
            std::string_view(pdf.bytes.data(), static_cast<std::size_t>(pdf.bytes.size())), reason))
        Interaction().ShowLastError(reason);
}

UserInteraction& PrintFlow::Interaction() {
    return *m_context.interaction;
}

void PrintFlow::PageSetup() {
    OpenPageSetup(m_context, m_owner);
}

PrintOutcome PrintFlow::RunWithProgress(const QString& device, const QString& port,
                                        const CDlgDrucke::Job& job) {
    CDlgDrucke progress(m_documentTitle, device, port, m_owner);
    return progress.Run(
        [&](const std::atomic<bool>& cancel, const CDlgDrucke::PageStarted& pageStarted) {
            return job(cancel, [&](int page, int total) {
                pageStarted(page, total);
                if (m_workerPageObserver)
                    m_workerPageObserver(page, total);
            });
        });
}

void PrintFlow::Conclude(PrintOutcome outcome, const CListDruck& printout) {
    if (m_layoutObserver)
        m_layoutObserver(printout.Layout());
    switch (outcome) {
    case PrintOutcome::StartFailed:
        Interaction().ShowMessage(LoadResString(str::kPrintStartFailed), MessageIcon::Stop);
        break;
    case PrintOutcome::PageFailed:
        Interaction().ShowMessage(LoadResString(str::kPrintPageFailed), MessageIcon::Stop);
        break;
    case PrintOutcome::Unusable:
        Interaction().ShowMessage(printout.ProblemText(), MessageIcon::Warning);
        break;
    case PrintOutcome::NoPageInRange:
        Interaction().ShowMessage(
            FormatText(LoadResString(str::kNoPageInRange), {std::to_string(printout.PageCount())}),
            MessageIcon::Warning);
        break;
    case PrintOutcome::Printed:
    case PrintOutcome::Cancelled:
        break;
    }
}

} // namespace fw
