#include "gui/lists/CsvTools.h"

#include "core/editor/CsvList.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/page/AppContext.h"
#include "gui/ui/FileChooser.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace fw {
namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void ExportCsv(CDlgProgrammpool& editor, AppContext& context, const QString& listName) {
    UserInteraction& ui = *context.interaction;
    QString base = QFileInfo(listName).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("list");
    const QString path = AskSavePath(&editor, ui, ResText(str::kCsvExportTitle),
                                     QDir::home().filePath(base + QStringLiteral(".csv")),
                                     ResText(str::kCsvSaveFilter), QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    // What a spreadsheet of the user's language opens directly: German ones expect semicolons
    // and take UTF-8 only with its byte order mark.
    CsvExportOptions options;
    options.language = CurrentLanguage();
    options.separator = options.language == Language::German ? ';' : ',';
    options.bom = options.language == Language::German;
    const ListDocument& doc = editor.Document();
    std::string reason;
    if (!WriteFileAtomically(LocalPath(path), BuildCsvText(doc.pool, doc.banks, options), reason))
        ui.ShowLastError(FormatText(LoadResString(str::kCsvWriteFailed), {reason}));
}

void ImportCsvFile(CDlgProgrammpool& editor, AppContext& context) {
    UserInteraction& ui = *context.interaction;
    const QString path = AskOpenPath(&editor, ResText(str::kCsvImportTitle), QDir::homePath(),
                                     ResText(str::kCsvOpenFilter));
    if (path.isEmpty())
        return;
    std::string data;
    std::string reason;
    if (!ReadWholeFile(LocalPath(path), data, reason)) {
        ui.ShowLastError(FormatText(LoadResString(str::kCsvReadFailed), {reason}));
        return;
    }
    const CsvTable table = ReadCsvTable(data);
    if (!table.ok) {
        ui.ShowMessage(table.error, MessageIcon::Stop);
        return;
    }
    Question question{LoadResString(str::kCsvReplaceQuestion), MessageIcon::Question,
                      AnswerSet::YesNoCancel, Answer::No};
    question.yesText = LoadResString(str::kCsvReplace);
    question.noText = LoadResString(str::kCsvAdd);
    const Answer answer = ui.Ask(question);
    if (answer == Answer::Cancel)
        return;
    CsvImportReport report;
    editor.Grid()->RunCommand(
        [&](ListDocument& doc) { return ImportCsv(doc, table, answer == Answer::Yes, report); });
    editor.Grid()->SelectRowSet(report.takenRows);
    ReportWindow window(ResText(str::kCsvImportTitle),
                        QString::fromStdString(CsvReportText(table, report)), ui, &editor);
    window.setObjectName(QStringLiteral("csvImportReport"));
    window.exec();
}

} // namespace

void AddCsvTools(CDlgProgrammpool& editor, AppContext& context, std::function<QString()> listName) {
    QMenu* menu = editor.ToolsMenu();
    QAction* exportAction = menu->addAction(ResText(str::kEditorExportCsv));
    exportAction->setObjectName(QStringLiteral("exportCsv"));
    QObject::connect(exportAction, &QAction::triggered, &editor,
                     [&editor, &context, listName = std::move(listName)] {
                         ExportCsv(editor, context, listName());
                     });
    QAction* importAction = menu->addAction(ResText(str::kEditorImportCsv));
    importAction->setObjectName(QStringLiteral("importCsv"));
    QObject::connect(importAction, &QAction::triggered, &editor,
                     [&editor, &context] { ImportCsvFile(editor, context); });
}

} // namespace fw
