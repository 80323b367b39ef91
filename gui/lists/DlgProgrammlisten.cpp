#include "gui/lists/DlgProgrammlisten.h"

#include "core/config/Konfiguration.h"
#include "gui/link/DlgSenden.h"
#include "core/lists/ListCatalogue.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/PageGroup.h"
#include "gui/ui/IconButton.h"
#include "core/util/Cp1252.h"
#include "core/util/FileImport.h"
#include "core/util/FileIo.h"
#include "gui/ui/Icons.h"
#include "gui/ui/MessageInteraction.h"
#include "gui/ui/Texts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <cerrno>
#include <memory>
#include <unistd.h>

namespace fw {

namespace {

constexpr int kDialogId = 29;
constexpr int kMenuId = 194;
constexpr int kChooseListHint = 139;
constexpr int kListFileFilter = 134;

// Commands by their control numbers.
enum Command {
    kImportCmd = 3,
    kInternetCmd = 4,
    kSendCmd = 509,
    kDeleteCmd = 1047,
    kEditCmd = 1048,
    kLoadTvCmd = 1049,
    kLoadRadioCmd = 1050,
    kRefreshCmd = 1051,
    kNewCmd = 1052
};

std::string Message(int id, const std::string& argument) {
    return FormatText(LoadResString(id), {argument});
}

// Case-insensitive comparison of texts as the user reads them.
bool TextLess(const std::string& a, const std::string& b) {
    return QString::fromStdString(Cp1252ToUtf8(a))
               .compare(QString::fromStdString(Cp1252ToUtf8(b)), Qt::CaseInsensitive) < 0;
}

bool NameLess(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
}

// The Windows filter "text|pattern||" as Qt writes it: "text".
QString QtFilter(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split('|');
    return parts.isEmpty() ? QString() : parts.front();
}

} // namespace

CDlgProgrammlisten::CDlgProgrammlisten(AppContext& context, QWidget* parent)
    : CPropertyPagePlus(context, kDialogId, parent) {
    BuildLayout();
}

void CDlgProgrammlisten::BuildLayout() {
    auto button = [&](int id, CommandIcon icon, bool withIcon = true) {
        auto* b = new CIconButton(DialogText(kDialogId, id), this);
        SetControlId(b, id);
        if (withIcon)
            b->SetCommandIcon(FlashwerkIcon(icon));
        return b;
    };
    m_loadTv = button(kLoadTvCmd, CommandIcon::LoadFromReceiver);
    m_loadRadio = button(kLoadRadioCmd, CommandIcon::LoadFromReceiver);
    m_import = button(kImportCmd, CommandIcon::Import);
    m_internet = button(kInternetCmd, CommandIcon::Import, false);
    m_internet->hide(); // no download service behind it
    m_send = button(kSendCmd, CommandIcon::SendToReceiver);
    m_new = button(kNewCmd, CommandIcon::New);
    m_edit = button(kEditCmd, CommandIcon::Edit);
    m_refresh = button(kRefreshCmd, CommandIcon::Refresh);
    m_delete = button(kDeleteCmd, CommandIcon::Delete);
    // The program pool editor does not exist yet.
    m_new->setEnabled(false);
    m_edit->setEnabled(false);

    auto group = [&](int id, std::initializer_list<QWidget*> widgets) {
        auto* box = new CPageGroup(DialogText(kDialogId, id), this);
        SetControlId(box, id);
        auto* layout = new QVBoxLayout(box);
        for (QWidget* w : widgets)
            layout->addWidget(w);
        return box;
    };
    QGroupBox* load = group(1124, {m_loadTv, m_loadRadio, m_import, m_internet});
    QGroupBox* send = group(1125, {m_send});
    QGroupBox* list = group(1126, {m_new, m_edit, m_refresh, m_delete});

    m_status = new QLabel(ResText(kChooseListHint), this);
    SetControlId(m_status, 1046);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_list = new CDateiListCtrl(this);
    SetControlId(m_list, 501);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->SetEmptyTextId(str::kNoCatalogueFiles);
    m_list->SetColumns(str::kListCatalogueColumns);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(false);

    auto* left = new QVBoxLayout;
    left->addWidget(m_status);
    left->addWidget(m_list, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(load);
    right->addWidget(send);
    right->addWidget(list);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(m_loadTv, &QPushButton::clicked, this, &CDlgProgrammlisten::OnLoadTv);
    connect(m_loadRadio, &QPushButton::clicked, this, &CDlgProgrammlisten::OnLoadRadio);
    connect(m_import, &QPushButton::clicked, this, &CDlgProgrammlisten::OnImport);
    connect(m_internet, &QPushButton::clicked, this, &CDlgProgrammlisten::OnInternet);
    connect(m_send, &QPushButton::clicked, this, &CDlgProgrammlisten::OnSend);
    connect(m_new, &QPushButton::clicked, this, &CDlgProgrammlisten::OnNew);
    connect(m_edit, &QPushButton::clicked, this, &CDlgProgrammlisten::OnEdit);
    connect(m_refresh, &QPushButton::clicked, this, &CDlgProgrammlisten::OnRefresh);
    connect(m_delete, &QPushButton::clicked, this, &CDlgProgrammlisten::OnDelete);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            &CDlgProgrammlisten::SelectionChanged);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            &CDlgProgrammlisten::SortByColumn);
    // Keeps the hint of an empty catalogue centred.
    connect(m_list->header(), &QHeaderView::sectionResized, this, [this] {
        if (m_list->RowCount() == 0)
            m_list->viewport()->update();
    });

    // Keys are looked at before the controls see them.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    EnableRowCommands(false);
}

void CDlgProgrammlisten::showEvent(QShowEvent* event) {
    CPropertyPagePlus::showEvent(event);
    if (!m_started) {
        m_started = true;
        StartPage();
    }
}

void CDlgProgrammlisten::StartPage() {
    ShowHint();
    EnableRowCommands(false);
    Refresh();
    RestoreSelectionAndSort();
}

bool CDlgProgrammlisten::Refresh() {
    m_list->DeleteAllRows();
    m_records.clear();
    MessageInteraction ui(this);
    ListCatalogue catalogue = ScanListFolder(Context().folders.lists, ui);
    for (const CListenDat& record : catalogue.records)
        AddRecord(record);
    m_list->viewport()->update();
    return catalogue.anyFile;
}

void CDlgProgrammlisten::OnRefresh() {
    Refresh();
    ShowHint();
    EnableRowCommands(false);
    RestoreSelectionAndSort();
}

void CDlgProgrammlisten::RestoreSelectionAndSort() {
    if (m_list->RowCount() > 0) {
        int row = m_list->FindRow(QString::fromStdString(Context().config.m_chosenListFile));
        if (row < 0)
            row = 0;
        m_list->SelectRow(row, true);
        m_list->setCurrentItem(m_list->topLevelItem(row));
        SelectionChanged();
    }
    if (Context().config.m_sortLists >= 0)
        SortByColumn(Context().config.m_sortLists);
}

void CDlgProgrammlisten::SelectionChanged() {
    const CListenDat* record = SelectedRecord();
    if (record == nullptr) {
        ShowHint();
        EnableRowCommands(false);
        return;
    }
    m_status->setText(QString::fromStdString(record->m_strPath));
    EnableRowCommands(true);
    Context().config.m_chosenListFile = record->m_strFileName;
}

const CListenDat* CDlgProgrammlisten::SelectedRecord() const {
    const int index = m_list->GetSelectedRecord();
    if (index < 0 || index >= static_cast<int>(m_records.size()))
        return nullptr;
    return &m_records[static_cast<std::size_t>(index)];
}

void CDlgProgrammlisten::ShowHint() {
    m_status->setText(ResText(kChooseListHint));
}

void CDlgProgrammlisten::EnableRowCommands(bool enabled) {
    m_send->setEnabled(enabled);
    m_delete->setEnabled(enabled);
    m_edit->setEnabled(false); // until the program pool editor exists
}

void CDlgProgrammlisten::AddRecord(const CListenDat& record) {
    m_records.push_back(record);
    m_list->AddListRow(m_list->RowCount(), m_records.back(),
                       static_cast<int>(m_records.size()) - 1);
}

void CDlgProgrammlisten::RemoveRow(int row) {
    const int index = m_list->GetRecordIndex(row);
    m_list->DeleteRow(row);
    if (index < 0 || index >= static_cast<int>(m_records.size()))
        return;
    m_records.erase(m_records.begin() + index);
    for (int r = 0; r < m_list->RowCount(); ++r) {
        const int other = m_list->GetRecordIndex(r);
        if (other > index)
            m_list->SetRecordIndex(r, other - 1);
    }
}

void CDlgProgrammlisten::SelectRowNamed(const QString& fileName) {
    const int row = m_list->FindRow(fileName);
    if (row >= 0) {
        m_list->SelectRow(row, true);
        m_list->setCurrentItem(m_list->topLevelItem(row));
    }
}

void CDlgProgrammlisten::SortByColumn(int column) {
    if (column < 0 || column > 3)
        return;
    Context().config.m_sortLists = column;
    const std::vector<CListenDat>& records = m_records;
    m_list->SortRows([&records, column](int a, int b) {
        const CListenDat& x = records[static_cast<std::size_t>(a)];
        const CListenDat& y = records[static_cast<std::size_t>(b)];
        switch (column) {
        case 0:
            return NameLess(x.m_strFileName, y.m_strFileName);
        case 1:
            return TextLess(x.m_strName, y.m_strName);
        case 2:
            return TextLess(x.m_strType, y.m_strType);
        default:
            return x.m_nSize < y.m_nSize;
        }
    });
}

void CDlgProgrammlisten::OnImport() {
    const QString source = QFileDialog::getOpenFileName(
        this, ResText(str::kImportTitle), QString(), QtFilter(ResText(kListFileFilter)), nullptr,
        QFileDialog::ReadOnly);
    if (!source.isEmpty())
        ImportFrom(source);
}

void CDlgProgrammlisten::ImportFrom(const QString& source) {
    const QFileInfo info(source);
    if (info.suffix().toUpper() != QLatin1String("LST"))
        return;
    const std::string targetName =
        (info.completeBaseName() + '.' + info.suffix().toUpper()).toStdString();
    MessageInteraction ui(this);
    const std::string sourcePath = source.toStdString();
    const std::string& folder = Context().folders.lists;

    ImportResult copied = ImportFile(sourcePath, folder, targetName, false);
    if (copied.status == ImportStatus::Exists) {
        if (!ui.AskYesNo(Message(str::kFileExists, copied.target), MessageIcon::Warning))
            return;
        // A file that is no list must not take the place of one; the check after the copy
        // would come too late to save the old file.
        std::string content, reason;
        if (ReadWholeFile(sourcePath, content, reason) && !AnalyseListText(content).isList) {
            ui.ShowMessage(Message(str::kNoListNotReplaced, sourcePath), MessageIcon::Warning);
            return;
        }
        copied = ImportFile(sourcePath, folder, targetName, true);
    }
    if (copied.status == ImportStatus::Failed) {
        CMessageInteraction::ShowLastError(this, QString::fromStdString(copied.reason));
        return;
    }
    // The file is registered anew: its old row goes.
    const QString shownName = QFileInfo(QString::fromStdString(copied.target)).fileName();
    if (const int old = m_list->FindRow(shownName); old >= 0)
        RemoveRow(old);

    const NormalizeResult normalized = NormalizeListFile(copied.target);
    if (normalized.result == 0) {
        if (ui.AskYesNo(Message(str::kWrongFormatDeleteFile, copied.target),
                        MessageIcon::Warning) &&
            ::unlink(copied.target.c_str()) != 0)
            CMessageInteraction::ShowLastError(
                this, QString::fromStdString(SystemReason(copied.target, errno)));
        SelectionChanged();
        return;
    }
    if (normalized.result < 0) {
        std::string text = Message(str::kFileNotOpened, copied.target);
        if (!normalized.reason.empty())
            text += "\n\n" + normalized.reason;
        ui.ShowMessage(text, MessageIcon::Warning);
        SelectionChanged();
        return;
    }
    AddRecord(normalized.record);
    m_list->setFocus();
    SelectRowNamed(shownName);
    SelectionChanged();
}

void CDlgProgrammlisten::LoadFromReceiver(char listKind) {
    TransferJob job;
    job.kind = TransferJobKind::ListLoad;
    job.listKind = listKind;
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    connect(dialog.get(), &CDlgSenden::FileSavedSignal, this, &CDlgProgrammlisten::OnRefresh);
    dialog->exec();
    if (dialog->Outcome() == JobOutcome::Cancelled)
        MessageInteraction(this).ShowMessage(LoadResString(str::kTransferCancelled),
                                             MessageIcon::Information);
}

void CDlgProgrammlisten::OnSend() {
    m_lastSendResult = 0;
    const CListenDat* selected = SelectedRecord();
    if (selected == nullptr)
        return;
    CListenDat record = *selected;
    const int index = m_list->GetSelectedRecord();
    const int row = m_list->GetSelectedIndex();
    MessageInteraction ui(this);

    // The type goes into the file before the send list is read, so that the dialog and the
    // job see the list as what it is.
    if (record.m_strType == "NDEF") {
        const ListTypeChoice choice = ui.AskRadioOrTv();
        if (choice == ListTypeChoice::Cancelled)
            return;
        const std::string typeText = choice == ListTypeChoice::Tv ? "TV" : "RA";
        std::string reason;
        const SetTypeResult set = SetListFileType(record.m_strPath, typeText, reason);
        if (set == SetTypeResult::ReadFailed) {
            ui.ShowMessage(Message(str::kFileNotOpened, record.m_strPath), MessageIcon::Stop);
            return;
        }
        if (set == SetTypeResult::WriteFailed) {
            CMessageInteraction::ShowLastError(this, QString::fromStdString(reason));
            return;
        }
        if (set == SetTypeResult::Untouched)
            return;
        record.m_strType = typeText;
        m_records[static_cast<std::size_t>(index)].m_strType = typeText;
        m_list->SetCellText(row, 2, QString::fromStdString(typeText));
    }

    TransferJob job;
    job.kind = TransferJobKind::ListSend;
    job.list = record;
    job.chained = m_chained;
    job.lastStep = m_lastStep;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    const int filled = dialog->Session().LoadSendList();
    QApplication::restoreOverrideCursor();
    if (filled < 0) {
        ui.ShowMessage(dialog->Session().sendListError, MessageIcon::Stop);
        return;
    }

    dialog->exec();
    m_lastSendResult = dialog->ChainContinue();
    if (dialog->Outcome() == JobOutcome::Cancelled)
        ui.ShowMessage(LoadResString(str::kTransferCancelled), MessageIcon::Information);
}

int CDlgProgrammlisten::SendChained(int row, int lastStep) {
    m_lastSendResult = 0;
    // A row that is not there would send whatever happens to be selected: stop the chain.
    if (row < 0 || row >= m_list->RowCount())
        return 0;
    m_chained = 1;
    m_lastStep = lastStep;
    m_list->SelectRow(row, true);
    m_list->setCurrentItem(m_list->topLevelItem(row));
    m_list->setFocus();
    SelectionChanged();
    OnSend();
    m_chained = 0;
    m_lastStep = 0;
    return m_lastSendResult;
}

// The program pool editor is not there yet; the commands stay disabled.
void CDlgProgrammlisten::OnNew() {}
void CDlgProgrammlisten::OnEdit() {}
void CDlgProgrammlisten::OnInternet() {}

void CDlgProgrammlisten::OnDelete() {
    const CListenDat* record = SelectedRecord();
    if (record == nullptr)
        return;
    const std::string path = record->m_strPath;
    MessageInteraction ui(this);
    if (!ui.AskYesNo(Message(str::kDeleteFileQuestion, path), MessageIcon::Warning))
        return;
    if (::unlink(path.c_str()) != 0) {
        CMessageInteraction::ShowLastError(this,
                                           QString::fromStdString(SystemReason(path, errno)));
        return;
    }
    RemoveRow(m_list->GetSelectedIndex());
    m_list->clearSelection();
    if (m_list->RowCount() == 0)
        m_list->viewport()->update();
    EnableRowCommands(false);
    ShowHint();
}

QMenu* CDlgProgrammlisten::BuildContextMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [&](int id, void (CDlgProgrammlisten::*command)(), bool enabled = true) {
        QAction* action = menu->addAction(MenuText(kMenuId, std::to_string(id)));
        action->setObjectName(QString::number(id));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, command);
    };
    const bool row = SelectedRecord() != nullptr;
    add(kLoadTvCmd, &CDlgProgrammlisten::OnLoadTv);
    add(kLoadRadioCmd, &CDlgProgrammlisten::OnLoadRadio);
    add(kImportCmd, &CDlgProgrammlisten::OnImport);
    add(kInternetCmd, &CDlgProgrammlisten::OnInternet);
    menu->addSeparator();
    add(kSendCmd, &CDlgProgrammlisten::OnSend, row);
    menu->addSeparator();
    add(kNewCmd, &CDlgProgrammlisten::OnNew, false);
    add(kEditCmd, &CDlgProgrammlisten::OnEdit, false);
    add(kRefreshCmd, &CDlgProgrammlisten::OnRefresh);
    add(kDeleteCmd, &CDlgProgrammlisten::OnDelete, row);
    return menu;
}

void CDlgProgrammlisten::contextMenuEvent(QContextMenuEvent* event) {
    BuildContextMenu()->popup(event->globalPos());
    event->accept();
}

bool CDlgProgrammlisten::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers others =
            key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier);
        if (others == Qt::NoModifier && HandleKey(key->key()))
            return true;
        if (watched == m_list && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            // After the list has moved its selection.
            QTimer::singleShot(0, this, &CDlgProgrammlisten::SelectionChanged);
        }
    }
    return CPropertyPagePlus::eventFilter(watched, event);
}

bool CDlgProgrammlisten::HandleKey(int key) {
    const bool space = key == Qt::Key_Space;
    if (key == Qt::Key_Z || space) {
        if (m_list->RowCount() > 0) {
            m_list->setFocus();
            QTreeWidgetItem* current = m_list->currentItem();
            if (m_list->GetSelectedIndex() < 0) {
                const int row = current != nullptr ? m_list->indexOfTopLevelItem(current) : 0;
                m_list->SelectRow(row, true);
                m_list->setCurrentItem(m_list->topLevelItem(row));
            }
            SelectionChanged();
        }
        if (!space)
            return true;
    }
    if (key == Qt::Key_B || space) {
        if (m_edit->isEnabled())
            OnEdit();
        return true;
    }
    return false;
}

} // namespace fw
