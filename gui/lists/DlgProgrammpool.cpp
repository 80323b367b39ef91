#include "gui/lists/DlgProgrammpool.h"

#include "core/editor/EditorStatus.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileIo.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/lists/CsvTools.h"
#include "gui/lists/DuplicatesWindow.h"
#include "gui/lists/ListCompareWindow.h"
#include "gui/lists/OrderLikeTool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/PoolModel.h"
#include "gui/page/AppContext.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/DlgSuchen.h"
#include "gui/ui/FileChooser.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMoveEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace fw {

namespace {
constexpr int kEditorWidth = 655;
constexpr int kFavouritesWidth = 320;
// Columns fit the texts of the first rows of a loaded list.
constexpr int kWidenedRows = 50;
} // namespace

std::pair<QRect, QRect> CDlgProgrammpool::SideBySide(const QRect& desktop, int editorWidth) {
    if (desktop.width() <= 800)
        return {};
    const int width =
        std::max(kEditorWidth, std::min(editorWidth, desktop.width() - kFavouritesWidth));
    const int x = std::max(0, (desktop.width() - width - kFavouritesWidth) / 2);
    const int height = desktop.height() - 100;
    return {QRect(x, 0, width, height), QRect(x + width, 0, kFavouritesWidth, height)};
}

CDlgProgrammpool::CDlgProgrammpool(AppContext& context, const CListenDat* record, QWidget* parent)
    : CResizeDialog(kDialogId, context.folders.profile, parent), m_context(context),
      m_printFlow(context, this) {
    setWindowTitle(DialogText(kDialogId, "caption"));
    BuildLayout();
    // Last in the Tools menu, after the tools that compare and reorder.
    AddCsvTools(*this, m_context, [this] { return m_fileName->text().trimmed(); });
    if (record != nullptr)
        Load(*record);
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect editor = SideBySide(primary->geometry(), WidthOfAllColumns()).first;
        if (!editor.isNull())
            SetInitialPlacement(editor.x(), editor.y(), editor.width(), editor.height());
    }
    ShowHeader();
    OpenFavourites();
    // Work starts in the grid, on the first row.
    m_grid->SelectRows(0, 1);
    m_grid->setCurrentIndex(m_grid->model()->index(0, PoolModel::ColumnCa));
    m_grid->setFocus();
    ShowState();
}

// The favourites window edits the same document and history; each side shows what the other
// changed, and the pool's marks and its add to bank follow the bank on display.
void CDlgProgrammpool::OpenFavourites() {
    auto* favourites = new CDlgFavoriten(m_doc, m_history, *m_context.interaction,
                                         m_context.folders.profile, this);
    m_favouritesWindow = favourites;
    SetCurrentBankSource([favourites] { return favourites->CurrentBank(); });
    m_grid->SetBankPositionSource([favourites] { return favourites->AddPosition(); });
    SetFavouritesWindow(favourites);
    connect(this, &CDlgProgrammpool::DocumentChanged, favourites, &CDlgFavoriten::Refresh);
    connect(m_grid, &CPoolListCtrl::ProgramEdited, favourites, &CDlgFavoriten::ProgramChanged);
    connect(favourites, &CDlgFavoriten::DocumentChanged, this, &CDlgProgrammpool::Refresh);
    connect(favourites, &CDlgFavoriten::CurrentBankChanged, this, &CDlgProgrammpool::Refresh);

    auto* bankSearch = new CDlgSuchen(str::kBankSearchTitle, favourites);
    connect(bankSearch, &CDlgSuchen::SearchRequested, bankSearch, &QDialog::accept);
    favourites->SetSearchTextSource([bankSearch]() -> std::optional<QString> {
        bankSearch->setResult(QDialog::Rejected);
        if (bankSearch->exec() != QDialog::Accepted)
            return std::nullopt;
        return bankSearch->SearchText();
    });
}

int CDlgProgrammpool::WidthOfAllColumns() const {
    const QMargins margins = layout()->contentsMargins();
    return m_grid->horizontalHeader()->length() + m_grid->verticalScrollBar()->sizeHint().width() +
           2 * m_grid->frameWidth() + margins.left() + margins.right();
}

void CDlgProgrammpool::BuildLayout() {
    m_fileName = new QLineEdit(this);
    SetControlId(m_fileName, ids::pool::kFileName);
    m_description = new QLineEdit(this);
    SetControlId(m_description, ids::pool::kDescription);
    m_radio = new QRadioButton(DialogText(kDialogId, ids::pool::kRadio), this);
    SetControlId(m_radio, ids::pool::kRadio);
    m_tv = new QRadioButton(DialogText(kDialogId, ids::pool::kTv), this);
    SetControlId(m_tv, ids::pool::kTv);
    auto* types = new QButtonGroup(this);
    types->addButton(m_radio, kListRadio);
    types->addButton(m_tv, kListTv);
    connect(types, &QButtonGroup::idClicked, this, &CDlgProgrammpool::OnTypeChosen);
    connect(m_description, &QLineEdit::editingFinished, this,
            &CDlgProgrammpool::OnDescriptionEdited);

    m_grid = new CPoolListCtrl(m_doc, m_history, *m_context.interaction, this);
    connect(m_grid, &CPoolListCtrl::DocumentChanged, this, &CDlgProgrammpool::AfterHeaderChange);
    connect(m_grid, &CPoolListCtrl::ProgramEdited, this, &CDlgProgrammpool::ShowState);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CDlgProgrammpool::ShowState);
    connect(m_fileName, &QLineEdit::textChanged, this, &CDlgProgrammpool::ShowState);
    m_search = new CDlgSuchen(str::kPoolSearchTitle, this);
    m_search->OfferAllColumns();
    m_grid->SetSearchDialog(m_search);
    m_filter = new QLineEdit(this);
    SetControlId(m_filter, ids::pool::kFilter);
    m_filter->setPlaceholderText(ResText(str::kFilterPlaceholder));
    m_filter->setClearButtonEnabled(true);
    connect(m_filter, &QLineEdit::textChanged, m_grid, &CPoolListCtrl::SetFilter);
    // Escape empties a filled field; in an empty one it stays the dialog's key.
    auto* clearFilter = new QAction(m_filter);
    clearFilter->setShortcut(QKeySequence(Qt::Key_Escape));
    clearFilter->setShortcutContext(Qt::WidgetShortcut);
    clearFilter->setEnabled(false);
    m_filter->addAction(clearFilter);
    connect(clearFilter, &QAction::triggered, m_filter, &QLineEdit::clear);
    connect(m_filter, &QLineEdit::textChanged, clearFilter,
            [clearFilter](const QString& text) { clearFilter->setEnabled(!text.isEmpty()); });

    auto* ok = new QPushButton(DialogText(kDialogId, ids::pool::kOk), this);
    SetControlId(ok, ids::pool::kOk);
    ok->setDefault(true);
    auto* cancel = new QPushButton(DialogText(kDialogId, ids::pool::kCancel), this);
    SetControlId(cancel, ids::pool::kCancel);
    m_favouritesButton = new QPushButton(DialogText(kDialogId, ids::pool::kFavourites), this);
    SetControlId(m_favouritesButton, ids::pool::kFavourites);
    m_favouritesButton->hide();
    connect(ok, &QPushButton::clicked, this, [this] { Save(); });
    auto* saveKey = new QAction(this);
    saveKey->setShortcut(QKeySequence::Save);
    connect(saveKey, &QAction::triggered, this, [this] { Save(AfterSave::StayOpen); });
    addAction(saveKey);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_favouritesButton, &QPushButton::clicked, this,
            [this] { m_favouritesWindow->Present(); });
    // The print button stays hidden as it always was; Ctrl+P and the grid's menu print.
    auto* print = new QPushButton(DialogText(kDialogId, ids::pool::kPrint), this);
    SetControlId(print, ids::pool::kPrint);
    print->hide();
    connect(print, &QPushButton::clicked, this,
            [this] { RunPrintCommand(CPoolListCtrl::CmdPrint); });
    // The grid's print command, so that Ctrl+P prints wherever the focus is in the editor.
    addAction(m_grid->Command(CPoolListCtrl::CmdPrint));
    connect(m_grid, &CPoolListCtrl::PrintRequested, this, &CDlgProgrammpool::RunPrintCommand);

    auto* tools = new QPushButton(ResText(str::kEditorTools), this);
    tools->setObjectName("tools");
    m_toolsMenu = new QMenu(tools);
    tools->setMenu(m_toolsMenu);
    // The Tools menu in the order of its entries' use: reorder, clean up, compare, exchange.
    AddOrderLikeTool(*this, *m_context.interaction, m_context.folders.lists);
    AddDuplicatesTool(*this);
    auto* compare = m_toolsMenu->addAction(ResText(str::kToolCompareWithFile));
    compare->setObjectName("compareWithFile");
    connect(compare, &QAction::triggered, this, &CDlgProgrammpool::OnCompareWithFile);

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(DialogText(kDialogId, "static-filename"), this), 0, 0);
    head->addWidget(m_fileName, 0, 1);
    head->addWidget(new QLabel(DialogText(kDialogId, "static-name"), this), 1, 0);
    head->addWidget(m_description, 1, 1);
    auto* typeRow = new QVBoxLayout;
    typeRow->addWidget(m_radio);
    typeRow->addWidget(m_tv);
    head->addLayout(typeRow, 0, 2, 2, 1);
    head->setColumnStretch(1, 1);
    m_status = new QLabel(this);
    m_status->setObjectName("status");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status);
    buttons->addStretch();
    buttons->addWidget(tools);
    buttons->addWidget(print);
    buttons->addWidget(m_favouritesButton);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    // The field stands above the grid, so Tab reaches it first.
    setTabOrder(m_filter, m_grid);
    auto* filterLabel = new QLabel(ResText(str::kFilterLabel), this);
    filterLabel->setBuddy(m_filter);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(filterRow);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

void CDlgProgrammpool::Load(const CListenDat& record) {
    m_openedFileName = record.m_strFileName;
    m_fileName->setText(QString::fromStdString(record.m_strFileName));
    // The file says "NDEF" for a list without a description, and saving an empty one writes it.
    if (record.m_strName != kTypeTextUnknown)
        m_doc.description = record.m_strName;
    m_doc.listType = ListTypeFromText(record.m_strType);
    UserInteraction& ui = *m_context.interaction;
    m_openedStamp = StampOfFile(record.m_strPath);
    const ListReadResult read = ReadListFile(record.m_strPath, m_doc.pool, m_doc.banks, ui);
    m_loadFailed = !read.ok;
    if (read.droppedLines > 0)
        ui.ShowMessage(FormatText(LoadResString(str::kLinesPastLastPlace),
                                  {std::to_string(read.droppedLines)}),
                       MessageIcon::Warning);
    if (read.longLines > 0)
        ui.ShowMessage(
            FormatText(LoadResString(str::kTextPastLastField), {std::to_string(read.longLines)}),
            MessageIcon::Warning);
    m_history.Clear();
    m_doc.poolCut.reset();
    m_doc.bankCut.reset();
    // The grid shows the list once the favourites window gives it the bank for its marks.
    m_grid->WidenColumnsToRows(kWidenedRows);
}

void CDlgProgrammpool::OnCompareWithFile() {
    const QString path = AskOpenPath(this, ResText(str::kCompareOpenTitle),
                                     QString::fromStdString(m_context.folders.lists),
                                     ResText(str::kCompareOpenFilter));
    if (!path.isEmpty())
        CompareWithFile(path);
}

std::unique_ptr<ListCompareWindow> CDlgProgrammpool::ComparisonWith(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    std::string text;
    std::string reason;
    ListDocument other;
    std::optional<RepairedList> list;
    if (ReadWholeFile(QFile::encodeName(path).toStdString(), text, reason))
        list = ParseRepairedList(text, other.pool, other.banks);
    if (!list) {
        m_context.interaction->ShowMessage(
            FormatText(LoadResString(str::kCompareNotAList), {name.toStdString()}) +
                (reason.empty() ? std::string() : "\n" + reason),
            MessageIcon::Stop);
        return nullptr;
    }
    other.description = list->analysis.description;
    other.listType = ListTypeFromText(list->analysis.type);
    const QString mine = m_fileName->text().isEmpty() ? windowTitle() : m_fileName->text();
    return std::make_unique<ListCompareWindow>(this, m_doc, std::move(other), mine, name, this);
}

void CDlgProgrammpool::CompareWithFile(const QString& path) {
    if (const auto window = ComparisonWith(path))
        window->exec();
}

void CDlgProgrammpool::RunPrintCommand(int command) {
    if (command == CPoolListCtrl::CmdPageSetup) {
        m_printFlow.PageSetup();
        return;
    }
    // A cell being edited prints as typed, or not at all when its text is refused.
    if (!m_grid->CommitEditor())
        return;
    const std::vector<int> rows = m_grid->SelectedRows();
    switch (command) {
    case CPoolListCtrl::CmdPrint:
        m_printFlow.Print(m_doc.pool, rows, m_fileName->text().trimmed());
        break;
    case CPoolListCtrl::CmdPrintPreview:
        m_printFlow.Preview(m_doc.pool, rows);
        break;
    case CPoolListCtrl::CmdExportPdf:
        m_printFlow.ExportPdf(m_doc.pool, rows, m_fileName->text().trimmed());
        break;
    default:
        break;
    }
}

void CDlgProgrammpool::ShowHeader() {
    m_description->setText(QString::fromStdString(Cp1252ToUtf8(m_doc.description)));
    // Unchecking both needs the group's exclusivity off for a moment.
    QButtonGroup* group = m_radio->group();
    group->setExclusive(false);
    m_radio->setChecked(m_doc.listType == kListRadio);
    m_tv->setChecked(m_doc.listType == kListTv);
    group->setExclusive(true);
}

void CDlgProgrammpool::SetCurrentBankSource(std::function<int()> currentBank) {
    m_grid->SetCurrentBankSource(std::move(currentBank));
}

void CDlgProgrammpool::SetFavouritesWindow(QWidget* favourites) {
    m_favouritesButton->setVisible(favourites != nullptr);
}

void CDlgProgrammpool::Refresh() {
    m_grid->Refresh();
    ShowHeader();
    ShowState();
}

void CDlgProgrammpool::AfterHeaderChange() {
    ShowHeader();
    ShowState();
    emit DocumentChanged();
}

void CDlgProgrammpool::ShowState() {
    const std::string typed = m_fileName->text().toStdString();
    setWindowTitle(
        QString::fromStdString(EditorTitle(DialogText(kDialogId, "caption").toStdString(), typed,
                                           m_openedFileName, m_history.IsModified())));
    const std::string note = CopyNote(typed, m_openedFileName);
    m_fileName->setToolTip(note.empty() ? ResText(ids::pool::kFileName)
                                        : QString::fromStdString(note));
    const int shownBank = m_favouritesWindow != nullptr ? m_favouritesWindow->CurrentBank() : -1;
    m_status->setText(QString::fromStdString(
        EditorStatusText(m_doc, static_cast<int>(m_grid->SelectedRows().size()), shownBank)));
}

void CDlgProgrammpool::OnDescriptionEdited() {
    bool lossless = true;
    const std::string typed = m_description->text().toStdString();
    const std::string bytes = Utf8ToCp1252(typed, &lossless);
    if (!lossless) {
        m_context.interaction->ShowMessage(UnstorableTextMessage(typed), MessageIcon::Stop);
        ShowHeader();
        return;
    }
    if (m_history.Run(m_doc, [&](ListDocument& doc) { return SetDescription(doc, bytes); })
            .status == EditStatus::Done)
        AfterHeaderChange();
}

void CDlgProgrammpool::OnTypeChosen(int listType) {
    if (m_history.Run(m_doc, [listType](ListDocument& doc) { return SetListType(doc, listType); })
            .status == EditStatus::Done)
        AfterHeaderChange();
}

bool CDlgProgrammpool::Save(AfterSave then) {
    if (!m_grid->CommitEditor())
        return false;
    OnDescriptionEdited();
    UserInteraction& ui = *m_context.interaction;
    const QString name = m_fileName->text().trimmed();
    if (name.isEmpty()) {
        ui.ShowMessage(LoadResString(str::kEnterFileName), MessageIcon::Stop);
        m_fileName->setFocus();
        return false;
    }
    const ListWriteResult result = WriteListFile(
        m_context.folders.lists, name.toStdString(), m_openedFileName, m_doc.description,
        m_doc.listType, m_doc.pool, m_doc.banks, ui, m_openedStamp ? &*m_openedStamp : nullptr);
    switch (result.status) {
    case ListWriteStatus::Written:
        m_doc.listType = result.listType;
        ShowHeader();
        m_openedFileName = result.fileName;
        m_openedStamp = StampOfFile(result.path);
        m_savedFileName = QString::fromStdString(result.fileName);
        m_history.MarkSaved();
        ShowState();
        if (then == AfterSave::Close)
            accept();
        return true;
    case ListWriteStatus::InvalidName:
        ui.ShowMessage(result.message, MessageIcon::Stop);
        break;
    case ListWriteStatus::WriteFailed:
        ui.ShowLastError(result.message);
        break;
    case ListWriteStatus::IncompleteRow:
        m_grid->SelectRows(result.incompleteRow, 1);
        m_grid->setFocus();
        break;
    case ListWriteStatus::OtherNameWanted:
        // A free name is proposed; OK saves under it or under what the user types instead.
        m_fileName->setText(QString::fromStdString(result.fileName));
        m_fileName->setFocus();
        m_fileName->selectAll();
        break;
    case ListWriteStatus::ReplaceDeclined:
    case ListWriteStatus::TypeCancelled:
    case ListWriteStatus::ChangedOnDisk:
        break;
    }
    return false;
}

int CDlgProgrammpool::exec() {
    if (m_loadFailed)
        return QDialog::Rejected;
    // Shown beside the editor once the editor has its frame.
    QTimer::singleShot(0, this, [this] {
        m_favouritesWindow->PlaceBeside(frameGeometry());
        m_favouritesWindow->show();
    });
    const int result = CResizeDialog::exec();
    // Closes with the editor, which also keeps the window's geometry.
    m_favouritesWindow->hide();
    return result;
}

void CDlgProgrammpool::moveEvent(QMoveEvent* event) {
    CResizeDialog::moveEvent(event);
    if (isVisible())
        m_favouritesWindow->FollowEditor(event->pos() - event->oldPos());
}

void CDlgProgrammpool::reject() {
    // A description typed but not yet confirmed is a change too.
    OnDescriptionEdited();
    if (m_history.IsModified()) {
        const Question question{.text =
                                    FormatText(LoadResString(str::kAskDiscardChanges),
                                               {ListDisplayName(m_fileName->text().toStdString())}),
                                .icon = MessageIcon::Warning,
                                .defaultAnswer = Answer::No,
                                .yesText = LoadResString(str::kAnswerDiscard),
                                .noText = LoadResString(str::kAnswerBack)};
        if (m_context.interaction->Ask(question) != Answer::Yes)
            return;
    }
    CResizeDialog::reject();
}

void CDlgProgrammpool::closeEvent(QCloseEvent* event) {
    OnDescriptionEdited();
    const Answer answer =
        m_history.IsModified()
            ? m_context.interaction->Ask({.text = LoadResString(str::kAskSaveList),
                                          .icon = MessageIcon::Warning,
                                          .answers = AnswerSet::YesNoCancel})
            : Answer::No;
    switch (answer) {
    case Answer::Yes:
        if (Save())
            event->accept();
        else
            event->ignore();
        break;
    case Answer::No:
        // The base's close would call reject(), which would ask once more.
        CResizeDialog::reject();
        event->accept();
        break;
    case Answer::Cancel:
        event->ignore();
        break;
    }
}

} // namespace fw
