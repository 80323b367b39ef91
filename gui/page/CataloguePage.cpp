#include "gui/page/CataloguePage.h"

#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileImport.h"
#include "core/util/FileRecord.h"
#include "gui/link/DlgSenden.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/PageGroup.h"
#include "gui/ui/Texts.h"
#include "gui/ui/WaitCursor.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

namespace fw {
namespace {

// Windows filter "Receiver Format (*.bsr)|*.bsr||" as a Qt name filter. Both cases of the
// pattern, because the folder scans find "A.BSR" too.
QString QtNameFilter(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype bracket = description.indexOf(u'(');
        if (bracket > 0)
            description = description.left(bracket).trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            if (pattern.toUpper() != pattern)
                patterns.append(pattern.toUpper());
        }
        filters.append(description + " (" + patterns.join(u' ') + ")");
    }
    return filters.join(";;");
}

std::string Message(int id, const std::string& argument) {
    return FormatText(LoadResString(id), {argument});
}

} // namespace

CataloguePage::CataloguePage(AppContext& context, const CatalogueSetup& setup, QWidget* parent)
    : CPropertyPagePlus(context, setup.dialogId, parent), m_setup(setup) {
    m_list = new CDateiListCtrl(this);
    SetControlId(m_list, setup.listId);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->SetColumns(setup.columnsText);
    m_list->SetEmptyTextId(setup.emptyText);
    m_list->header()->setSectionResizeMode(setup.stretchColumn, QHeaderView::Stretch);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);

    m_pathLabel = new QLabel(ResText(setup.pathHint), this);
    SetControlId(m_pathLabel, setup.pathLabelId);
    m_pathLabel->setWordWrap(true);
    m_pathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    if (setup.safetyCopyFolder != nullptr)
        m_safetyCopySection = MakeSafetyCopySection();

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CataloguePage::SelectionChanged);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CataloguePage::OnColumnClicked);
    // Keeps the hint of an empty catalogue centred.
    connect(m_list->header(), &QHeaderView::sectionResized, this, [this] {
        if (m_list->RowCount() == 0)
            m_list->viewport()->update();
    });
}

CataloguePage::~CataloguePage() = default;

QWidget* CataloguePage::MakeSafetyCopySection() {
    m_safetyCopyList = new CDateiListCtrl(this);
    SetControlId(m_safetyCopyList, str::kSafetyCopyListTip);
    m_safetyCopyList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_safetyCopyList->SetColumns(str::kSafetyCopyColumns);
    m_safetyCopyList->SetEmptyTextId(str::kNoSafetyCopies);
    m_safetyCopyList->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    // Rows come newest first from the folder; sorting them otherwise would only hide the order.
    m_safetyCopyList->setSortingEnabled(false);

    m_sendSafetyCopy = new CIconButton(ResText(str::kSendSafetyCopy), this);
    SetControlId(m_sendSafetyCopy, str::kSendSafetyCopyTip);
    m_sendSafetyCopy->SetCommandIcon(FlashwerkIcon(CommandIcon::SendToReceiver));
    m_sendSafetyCopy->setAutoDefault(false);
    m_sendSafetyCopy->setEnabled(false);
    connect(m_sendSafetyCopy, &QAbstractButton::clicked, this, &CataloguePage::OnSendSafetyCopy);
    connect(m_safetyCopyList, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_sendSafetyCopy->setEnabled(m_safetyCopyList->GetSelectedRecord() >= 0); });

    // The button goes below the list, which keeps the width for whole file names.
    auto* section = new PageGroup(ResText(str::kSafetyCopies), this);
    auto* layout = new QVBoxLayout(section);
    layout->addWidget(m_safetyCopyList, 1);
    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(m_sendSafetyCopy);
    layout->addLayout(commands);
    return section;
}

void CataloguePage::FillSafetyCopies() {
    if (m_safetyCopyList == nullptr)
        return;
    m_safetyCopyList->DeleteAllRows();
    m_safetyCopies = ListSafetyCopies(Context().folders.*m_setup.safetyCopyFolder);
    for (int i = 0; i < static_cast<int>(m_safetyCopies.size()); ++i)
        m_safetyCopyList->AddSafetyCopyRow(i, m_safetyCopies[static_cast<std::size_t>(i)], i);
    m_safetyCopyList->viewport()->update();
    m_sendSafetyCopy->setEnabled(false);
}

CIconButton* CataloguePage::MakeButton(int id, CommandIcon icon) {
    auto* button = new CIconButton(DialogText(m_setup.dialogId, id), this);
    SetControlId(button, id);
    button->SetCommandIcon(FlashwerkIcon(icon));
    // Enter in the catalogue must not fire a command the user did not choose.
    button->setAutoDefault(false);
    button->setDefault(false);
    if (id == m_setup.internetId) {
        connect(button, &QAbstractButton::clicked, this, &CataloguePage::OnInternet);
        // No download service stands behind it.
        button->hide();
    } else if (id == m_setup.importId) {
        connect(button, &QAbstractButton::clicked, this, &CataloguePage::OnImport);
    } else if (id == m_setup.sendId) {
        connect(button, &QAbstractButton::clicked, this, &CataloguePage::OnSend);
        m_send = button;
    } else if (id == m_setup.deleteId) {
        connect(button, &QAbstractButton::clicked, this, &CataloguePage::OnDelete);
        m_delete = button;
    } else if (id == m_setup.refreshId) {
        connect(button, &QAbstractButton::clicked, this, &CataloguePage::OnRefresh);
    }
    return button;
}

QGroupBox* CataloguePage::MakeGroup(int id, std::initializer_list<QWidget*> widgets) {
    auto* group = new PageGroup(DialogText(m_setup.dialogId, id), this);
    SetControlId(group, id);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    return group;
}

void CataloguePage::ArrangePage(std::initializer_list<QWidget*> aboveList,
                                std::initializer_list<QWidget*> belowList,
                                std::initializer_list<QWidget*> groups) {
    auto* catalogue = new QVBoxLayout;
    for (QWidget* widget : aboveList)
        catalogue->addWidget(widget);
    catalogue->addWidget(m_list, 3);
    for (QWidget* widget : belowList)
        catalogue->addWidget(widget);
    if (m_safetyCopySection != nullptr)
        catalogue->addWidget(m_safetyCopySection, 1);
    auto* commands = new QVBoxLayout;
    for (QWidget* group : groups)
        commands->addWidget(group);
    commands->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(catalogue, 1);
    layout->addLayout(commands);

    // The list keys reach the page from whichever of its controls has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    SelectionChanged();
}

QString CataloguePage::InfoText() const {
    return m_pathLabel->text();
}

int CataloguePage::AppendRow(const std::function<int(int row)>& add) {
    return add(m_list->RowCount());
}

std::string CataloguePage::RecordPath(int record) const {
    return record >= 0 && record < RecordCount() ? RecordAt(record).m_strPath : std::string();
}

int CataloguePage::SelectedRecord() const {
    return m_list->GetSelectedRecord();
}

void CataloguePage::SelectRow(int row) {
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr)
        return;
    m_list->setCurrentItem(item, 0,
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollToItem(item);
    SelectionChanged();
}

void CataloguePage::SelectionChanged() {
    const int record = SelectedRecord();
    const std::string path = RecordPath(record);
    const bool selected = !path.empty();
    if (selected) {
        Context().config.*m_setup.chosenFile =
            QFileInfo(QString::fromStdString(path)).fileName().toStdString();
        m_pathLabel->setText(QString::fromStdString(path));
    } else {
        m_pathLabel->setText(ResText(m_setup.pathHint));
    }
    if (m_send != nullptr)
        m_send->setEnabled(selected);
    if (m_delete != nullptr)
        m_delete->setEnabled(selected);
    ShowSelection(selected ? record : -1);
}

void CataloguePage::showEvent(QShowEvent* event) {
    CPropertyPagePlus::showEvent(event);
    if (m_filled || m_fillQueued)
        return;
    // The folder's questions belong over the window the user sees: inside the main window,
    // wait until that window is on the screen.
    if (window() == this) {
        OnRefresh();
        return;
    }
    m_fillQueued = true;
    QTimer::singleShot(0, this, [this] {
        if (!m_filled)
            OnRefresh();
    });
}

void CataloguePage::OnRefresh() {
    m_filled = true;
    m_list->DeleteAllRows();
    Fill();
    m_list->viewport()->update();
    RestoreSelection();
    FillSafetyCopies();
}

void CataloguePage::RestoreSelection() {
    if (m_list->RowCount() == 0) {
        SelectionChanged();
        return;
    }
    // Sorted first, so that "the first row" is the one the user sees at the top.
    if (Context().config.*m_setup.sortColumn >= 0)
        SortByColumn(Context().config.*m_setup.sortColumn, m_sortOrder);
    const int remembered =
        m_list->FindRow(QString::fromStdString(Context().config.*m_setup.chosenFile));
    SelectRow(remembered >= 0 ? remembered : 0);
}

void CataloguePage::OnColumnClicked(int column) {
    const bool again = column == Context().config.*m_setup.sortColumn;
    SortByColumn(column, again && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                    : Qt::AscendingOrder);
}

void CataloguePage::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= m_list->ColumnCount())
        return;
    const bool ascending = order == Qt::AscendingOrder;
    m_list->SortRows([this, column, ascending](int a, int b) {
        return ascending ? RecordLess(column, a, b) : RecordLess(column, b, a);
    });
    m_list->header()->setSortIndicator(column, order);
    m_sortOrder = order;
    Context().config.*m_setup.sortColumn = column;
    if (QTreeWidgetItem* current = m_list->currentItem())
        m_list->scrollToItem(current);
}

QString CataloguePage::ChooseImportFile() {
    QFileDialog dialog(this, ResText(str::kImportTitle), QString(),
                       QtNameFilter(ResText(m_setup.importFilter)));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void CataloguePage::OnImport() {
    const QString source = ChooseImportFile();
    if (!source.isEmpty())
        ImportFrom(source);
}

void CataloguePage::ImportFrom(const QString& source) {
    const std::string sourcePath = source.toStdString();
    std::string targetName = QFileInfo(source).fileName().toStdString();
    if (!AcceptImport(sourcePath, targetName))
        return;
    const std::string& folder = Context().folders.*m_setup.folder;
    const ImportCheck check = [this](std::string_view content) {
        return WhyNotImportable(content);
    };
    ImportResult copied = ImportFile(sourcePath, folder, targetName, false, check);
    if (copied.status == ImportStatus::SameFile && !m_setup.reimportRegisters)
        return;
    if (copied.status == ImportStatus::Exists) {
        if (!Interaction().AskYesNo(Message(str::kFileExists, copied.target), MessageIcon::Warning))
            return;
        WaitCursor wait;
        copied = ImportFile(sourcePath, folder, targetName, true, check);
    }
    if (copied.status == ImportStatus::Refused) {
        Interaction().ShowMessage(
            FormatText(LoadResString(str::kImportRefused), {sourcePath, copied.reason}),
            MessageIcon::Warning);
        return;
    }
    if (copied.status == ImportStatus::Failed) {
        Interaction().ShowLastError(copied.reason);
        return;
    }
    // A file of the folder itself is registered again; a replaced file's row goes.
    const QString shownName = QFileInfo(QString::fromStdString(copied.target)).fileName();
    RemoveRowsNamed(shownName);
    if (!AddImported(copied.target)) {
        SelectionChanged();
        return;
    }
    m_list->viewport()->update();
    m_list->setFocus();
    const int row = m_list->FindRow(shownName);
    if (row >= 0)
        SelectRow(row);
    else
        SelectionChanged();
}

void CataloguePage::RemoveRowsNamed(const QString& fileName) {
    for (int row = m_list->FindRow(fileName); row >= 0; row = m_list->FindRow(fileName))
        m_list->DeleteRow(row);
}

void CataloguePage::OnDelete() {
    const int record = SelectedRecord();
    const std::string path = RecordPath(record);
    if (path.empty())
        return;
    if (!Interaction().AskYesNo(Message(str::kDeleteFileQuestion, path), MessageIcon::Warning))
        return;
    std::string reason;
    if (!DeleteFile(path, reason)) {
        Interaction().ShowLastError(reason);
        return;
    }
    // The record stays until the next refresh; only its row goes.
    m_list->DeleteRow(m_list->GetSelectedIndex());
    m_list->clearSelection();
    m_list->viewport()->update();
    SelectionChanged();
}

void CataloguePage::OnSend() {
    m_chainResult = 0;
    const int record = SelectedRecord();
    if (record < 0)
        return;
    TransferJob job;
    if (!PrepareSend(record, job))
        return;
    SetChainStep(job, {m_chained, m_chained != 0 ? m_lastStep : 0});
    RunSend(job);
}

void CataloguePage::OnSendSafetyCopy() {
    const int record = m_safetyCopyList != nullptr ? m_safetyCopyList->GetSelectedRecord() : -1;
    if (record < 0 || record >= static_cast<int>(m_safetyCopies.size()))
        return;
    TransferJob job;
    if (PrepareSafetyCopySend(m_safetyCopies[static_cast<std::size_t>(record)], job))
        RunSend(job);
}

void CataloguePage::OnCompareWithReceiver() {
    const int record = SelectedRecord();
    TransferJob load;
    CheckJudge judge;
    if (record < 0 || !PrepareCompare(record, load, judge))
        return;
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(load);
    dialog->JudgeLoad(std::move(judge));
    dialog->exec();
    AfterTransfer(*dialog);
    AfterCompare();
}

void CataloguePage::RunSend(const TransferJob& job) {
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    dialog->exec();
    m_chainResult = dialog->ChainContinue();
    AfterTransfer(*dialog);
    // A send may have taken a safety copy first.
    FillSafetyCopies();
}

int CataloguePage::SendChained(int row, int lastStep) {
    m_chainResult = 0;
    // The production download may reach a page the user has not opened yet.
    if (!m_filled)
        OnRefresh();
    // A row that is not there would send whatever happens to be selected: stop the chain.
    if (row < 0 || row >= m_list->RowCount())
        return 0;
    m_chained = 1;
    m_lastStep = lastStep;
    m_list->setFocus();
    SelectRow(row);
    OnSend();
    m_chained = 0;
    m_lastStep = 0;
    return m_chainResult;
}

void CataloguePage::LoadFromReceiver(const TransferJob& job) {
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    QString saved;
    connect(dialog.get(), &CDlgSenden::FileSavedSignal, this,
            [&saved](const QString& path) { saved = path; });
    dialog->exec();
    AfterTransfer(*dialog);
    if (saved.isEmpty())
        return;
    // The new file becomes the remembered one, so the refresh selects it.
    Context().config.*m_setup.chosenFile = QFileInfo(saved).fileName().toStdString();
    OnRefresh();
    m_list->setFocus();
}

void CataloguePage::FocusList() {
    m_list->setFocus(Qt::ShortcutFocusReason);
    const int focused = m_list->GetFocusedIndex();
    if (m_list->GetSelectedIndex() < 0 && focused < 0)
        SelectRow(0);
    else if (focused >= 0)
        SelectRow(focused);
    else
        SelectionChanged();
}

bool CataloguePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers others =
            key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier);
        // Del in the catalogue deletes the selected file, as the button does, after its question.
        if (watched == m_list && key->key() == Qt::Key_Delete &&
            key->modifiers() == Qt::NoModifier && m_delete != nullptr && m_delete->isEnabled()) {
            OnDelete();
            return true;
        }
        if (others == Qt::NoModifier) {
            const bool space = key->key() == Qt::Key_Space;
            const bool toList = (key->key() == Qt::Key_Z || space) && m_list->RowCount() > 0;
            if (toList)
                FocusList();
            if (HandlePageKey(key->key()) || toList)
                return true;
        }
    }
    return CPropertyPagePlus::eventFilter(watched, event);
}

std::unique_ptr<QMenu> CataloguePage::CreateContextMenu() {
    const bool selected = SelectedRecord() >= 0;
    auto menu = std::make_unique<QMenu>(this);
    for (const MenuEntry& entry : MenuEntries()) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QString text = MenuText(m_setup.menuId, std::to_string(entry.id));
        // Some entries have no menu text of their own; the button's caption names them.
        if (text.isEmpty())
            text = WithoutMnemonic(DialogText(m_setup.dialogId, entry.id));
        QAction* action = menu->addAction(text, this, entry.command);
        action->setObjectName(QString::number(entry.id));
        // Nothing to download from: the command shows, but cannot be chosen.
        action->setEnabled(entry.enabled && entry.id != m_setup.internetId &&
                           (selected || !entry.needsRow));
    }
    return menu;
}

void CataloguePage::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}

} // namespace fw
