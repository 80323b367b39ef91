#include "gui/firmware/DlgFlashwerk.h"

#include "core/config/Konfiguration.h"
#include "core/firmware/FirmwareCatalogue.h"
#include "core/firmware/TransferFile.h"
#include "gui/link/DlgSenden.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/PageGroup.h"
#include "gui/ui/IconButton.h"
#include "core/util/Cp1252.h"
#include "core/util/FileImport.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"
#include "gui/ui/Icons.h"
#include "gui/ui/MessageInteraction.h"
#include "gui/ui/Texts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace fw {
namespace {

constexpr int kFileFilter = 102;
constexpr int kSelectHint = 110;
constexpr int kPathHint = 111;
constexpr int kNotFirmware = 1028;

// Windows filter "Receiver Format (*.bsr)|*.bsr||" as a Qt name filter. Both cases of the
// pattern, because the folder scan finds "A.BSR" too.
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

// The record of a firmware file, or nothing when it is no firmware (no questions asked).
bool ReadFirmwareRecord(const std::string& path, CReceiverdat& record, int& loadResult) {
    CTransferFile file;
    loadResult = file.LoadTrailer(path);
    if (loadResult != CTransferFile::kLoaded)
        return false;
    if (file.CheckSignature(str::kFirmwareSignature) != CTransferFile::kLoaded) {
        loadResult = CTransferFile::kWrongFormat;
        return false;
    }
    file.ReadTrailerStrings(3);
    record = CReceiverdat(file);
    return true;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// A wait cursor for the length of a command.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

CDlgFlashwerk::CDlgFlashwerk(AppContext& context, QWidget* parent)
    : CPropertyPagePlus(context, kDialogId, parent) {
    BuildLayout();
    OnRefresh();
}

CDlgFlashwerk::~CDlgFlashwerk() = default;

void CDlgFlashwerk::BuildLayout() {
    m_list = new CDateiListCtrl(this);
    SetControlId(m_list, kList);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->SetColumns(str::kFirmwareCatalogueColumns);
    m_list->SetEmptyTextId(str::kNoFirmwareFiles);

    m_import = MakeButton(kImportButton);
    m_internet = MakeButton(kInternetButton);
    // No internet download exists in this program.
    m_internet->setVisible(false);
    m_delete = MakeButton(kDeleteButton);
    m_refresh = MakeButton(kRefreshButton);
    m_send = MakeButton(kSendButton);
    m_import->SetCommandIcon(FlashwerkIcon(CommandIcon::Import));
    m_internet->SetCommandIcon(FlashwerkIcon(CommandIcon::Import));
    m_delete->SetCommandIcon(FlashwerkIcon(CommandIcon::Delete));
    m_refresh->SetCommandIcon(FlashwerkIcon(CommandIcon::Refresh));
    m_send->SetCommandIcon(FlashwerkIcon(CommandIcon::SendToReceiver));

    m_description = new QPlainTextEdit(this);
    SetControlId(m_description, kDescription);
    m_description->setReadOnly(true);
    // The box only shows; the focus stays with the list and the buttons.
    m_description->setFocusPolicy(Qt::NoFocus);
    m_description->setMinimumHeight(m_description->fontMetrics().lineSpacing() * 4);

    auto* descriptionLabel = new QLabel(DialogText(kDialogId, kDescriptionLabel), this);
    SetControlId(descriptionLabel, kDescriptionLabel);
    QFont bold = descriptionLabel->font();
    bold.setBold(true);
    descriptionLabel->setFont(bold);

    m_path = new QLabel(this);
    SetControlId(m_path, kPathLabel);
    m_path->setWordWrap(true);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The same arrangement as the other pages: the catalogue on the left, the commands in
    // their groups on the right.
    auto* loadGroup = new CPageGroup(DialogText(kDialogId, kLoadGroup), this);
    SetControlId(loadGroup, kLoadGroup);
    auto* loadLayout = new QVBoxLayout(loadGroup);
    loadLayout->addWidget(m_import);
    loadLayout->addWidget(m_internet);

    auto* fileGroup = new CPageGroup(DialogText(kDialogId, kFileGroup), this);
    SetControlId(fileGroup, kFileGroup);
    auto* fileLayout = new QVBoxLayout(fileGroup);
    fileLayout->addWidget(m_send);
    fileLayout->addSpacing(m_send->fontMetrics().height() / 2);
    fileLayout->addWidget(m_delete);
    fileLayout->addWidget(m_refresh);

    auto* commands = new QVBoxLayout;
    commands->addWidget(loadGroup);
    commands->addWidget(fileGroup);
    commands->addStretch(1);

    auto* catalogue = new QVBoxLayout;
    catalogue->addWidget(m_list, 3);
    catalogue->addWidget(descriptionLabel);
    catalogue->addWidget(m_description, 1);
    catalogue->addWidget(m_path);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(catalogue, 1);
    layout->addLayout(commands);

    connect(m_import, &QAbstractButton::clicked, this, &CDlgFlashwerk::OnImport);
    connect(m_internet, &QAbstractButton::clicked, this, &CDlgFlashwerk::OnInternet);
    connect(m_delete, &QAbstractButton::clicked, this, &CDlgFlashwerk::OnDelete);
    connect(m_refresh, &QAbstractButton::clicked, this, &CDlgFlashwerk::OnRefresh);
    connect(m_send, &QAbstractButton::clicked, this, &CDlgFlashwerk::OnSend);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CDlgFlashwerk::OnSelectionChanged);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CDlgFlashwerk::SortByColumn);

    // Z and the space bar reach the page from whichever of its controls has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

CIconButton* CDlgFlashwerk::MakeButton(int id) {
    auto* button = new CIconButton(DialogText(kDialogId, id), this);
    SetControlId(button, id);
    return button;
}

void CDlgFlashwerk::OnSetActive() {
    CPropertyPagePlus::OnSetActive();
}

void CDlgFlashwerk::SetButtonStates(bool loadEnabled, bool fileCommandsEnabled) {
    m_import->setEnabled(loadEnabled);
    m_internet->setEnabled(loadEnabled);
    m_delete->setEnabled(fileCommandsEnabled);
    m_send->setEnabled(fileCommandsEnabled);
}

const CReceiverdat* CDlgFlashwerk::SelectedRecord() const {
    const auto found = m_records.find(m_list->GetSelectedRecord());
    return found != m_records.end() ? &found->second : nullptr;
}

void CDlgFlashwerk::OnSelectionChanged() {
    const CReceiverdat* record = SelectedRecord();
    if (record == nullptr) {
        m_delete->setEnabled(false);
        m_send->setEnabled(false);
        m_description->setPlainText(ResText(kSelectHint));
        m_path->setText(ResText(kPathHint));
        return;
    }
    Context().config.m_chosenFirmwareFile = record->m_fileName;
    m_description->setPlainText(QString::fromStdString(Cp1252ToUtf8(record->m_description)));
    m_path->setText(QString::fromStdString(record->m_path));
    m_delete->setEnabled(true);
    m_send->setEnabled(true);
}

void CDlgFlashwerk::SelectAndFocus(int row) {
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr)
        return;
    m_list->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollToItem(item);
    OnSelectionChanged();
}

int CDlgFlashwerk::AddRecord(const CReceiverdat& record) {
    const int key = m_nextRecord++;
    m_records.emplace(key, record);
    return m_list->AddFirmwareRow(m_list->RowCount(), record, key);
}

void CDlgFlashwerk::RemoveRow(int row) {
    m_records.erase(m_list->GetRecordIndex(row));
    m_list->DeleteRow(row);
}

void CDlgFlashwerk::OnRefresh() {
    SetButtonStates(false, false);
    m_list->DeleteAllRows();
    m_records.clear();
    m_nextRecord = 0;

    CMessageInteraction interaction(this);
    for (const CReceiverdat& record : ScanFirmwareFolder(Context().folders.firmware, interaction))
        AddRecord(record);

    SetButtonStates(true, false);
    RestoreSelection();
}

void CDlgFlashwerk::RestoreSelection() {
    if (m_list->RowCount() == 0) {
        OnSelectionChanged();
        return;
    }
    // Sorted first, so that "the first row" is the one the user sees at the top.
    if (Context().config.m_sortFirmware >= 0)
        SortByColumn(Context().config.m_sortFirmware);
    const int remembered =
        m_list->FindRow(QString::fromStdString(Context().config.m_chosenFirmwareFile));
    SelectAndFocus(remembered >= 0 ? remembered : 0);
}

bool CDlgFlashwerk::RecordLess(int column, int recordA, int recordB) const {
    const auto a = m_records.find(recordA);
    const auto b = m_records.find(recordB);
    if (a == m_records.end() || b == m_records.end())
        return false;
    switch (column) {
    case 0:
        return CompareNoCase(a->second.m_fileName, b->second.m_fileName) < 0;
    case 1:
        return CompareNoCase(a->second.m_version, b->second.m_version) < 0;
    case 2:
        return a->second.m_size < b->second.m_size;
    default:
        return false;
    }
}

void CDlgFlashwerk::SortByColumn(int column) {
    m_list->SortRows([this, column](int a, int b) { return RecordLess(column, a, b); });
    Context().config.m_sortFirmware = column;
    if (QTreeWidgetItem* current = m_list->currentItem())
        m_list->scrollToItem(current);
}

void CDlgFlashwerk::OnImport() {
    QFileDialog dialog(this, ResText(str::kImportTitle));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QtNameFilter(ResText(kFileFilter)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string source = dialog.selectedFiles().front().toStdString();
    const std::string folder = Context().folders.firmware;
    const std::string name = std::filesystem::path(source).filename().string();

    // A file of the folder itself is already in the catalogue.
    if (SameFolder(std::filesystem::path(source).parent_path().string(), folder))
        return;

    // The source is checked before anything is copied, so that a file that is no firmware
    // never replaces one that is.
    CReceiverdat record;
    int loadResult = 0;
    bool isFirmware = false;
    {
        WaitCursor wait;
        isFirmware = ReadFirmwareRecord(source, record, loadResult);
    }
    if (!isFirmware) {
        std::string reason;
        if ((loadResult == CTransferFile::kCannotOpen || loadResult == CTransferFile::kNotReadable) &&
            !IsReadableRegularFile(source, kFirmwareFileLimit, reason))
            CMessageInteraction::ShowLastError(this, QString::fromStdString(reason));
        else
            QMessageBox::warning(this, QString(), ResText(kNotFirmware));
        return;
    }

    ImportResult result = ImportFile(source, folder, name, false);
    if (result.status == ImportStatus::SameFile)
        return;
    bool replaced = false;
    if (result.status == ImportStatus::Exists) {
        CMessageInteraction interaction(this);
        if (!interaction.AskYesNo(FormatText(LoadResString(str::kFileExists), {result.target}),
                                  MessageIcon::Warning))
            return;
        WaitCursor wait;
        result = ImportFile(source, folder, name, true);
        replaced = result.status == ImportStatus::Copied;
    }
    if (result.status != ImportStatus::Copied) {
        if (result.status == ImportStatus::Failed)
            CMessageInteraction::ShowLastError(this, QString::fromStdString(result.reason));
        return;
    }

    // The record describes the copy in the folder; a copy that changed on the way is removed.
    if (!ReadFirmwareRecord(result.target, record, loadResult)) {
        QMessageBox::warning(this, QString(), ResText(kNotFirmware));
        if (::unlink(result.target.c_str()) != 0)
            CMessageInteraction::ShowLastError(
                this, QString::fromStdString(SystemReason(result.target, errno)));
        if (!replaced)
            return;
    }
    if (replaced) {
        // The replaced file's row goes; its new content is listed at the end.
        const std::string targetName = std::filesystem::path(result.target).filename().string();
        for (int row = m_list->RowCount() - 1; row >= 0; --row) {
            const auto found = m_records.find(m_list->GetRecordIndex(row));
            if (found != m_records.end() && found->second.m_fileName == targetName)
                RemoveRow(row);
        }
        if (!std::filesystem::exists(result.target))
            return;
    }
    const int row = AddRecord(record);
    m_list->setFocus();
    SelectAndFocus(row);
}

void CDlgFlashwerk::OnInternet() {
    // The program has no internet download; there is never anything new to list.
}

void CDlgFlashwerk::OnDelete() {
    const int row = m_list->GetSelectedIndex();
    const CReceiverdat* record = SelectedRecord();
    if (record == nullptr)
        return;
    const std::string path = record->m_path;
    CMessageInteraction interaction(this);
    if (!interaction.AskYesNo(FormatText(LoadResString(str::kDeleteFileQuestion), {path}),
                              MessageIcon::Warning))
        return;
    if (::unlink(path.c_str()) != 0) {
        CMessageInteraction::ShowLastError(this, QString::fromStdString(SystemReason(path, errno)));
        return;
    }
    RemoveRow(row);
    m_list->clearSelection();
    OnSelectionChanged();
}

void CDlgFlashwerk::OnSend() {
    const CReceiverdat* record = SelectedRecord();
    if (record == nullptr)
        return;
    TransferJob job;
    job.kind = TransferJobKind::FirmwareSend;
    job.firmware = *record;
    job.chained = m_chained;
    job.lastStep = m_lastStep;
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    dialog->exec();
    m_chainResult = dialog->ChainContinue();
    if (dialog->FirmwareCancelled() == 1)
        QMessageBox::information(this, QString(), ResText(str::kTransferCancelled));
}

int CDlgFlashwerk::SendChained(int row, int lastStep) {
    m_chainResult = 0;
    if (row < 0 || row >= m_list->RowCount())
        return 0;
    m_chained = 1;
    m_lastStep = lastStep;
    m_list->setFocus();
    SelectAndFocus(row);
    OnSend();
    m_chained = 0;
    m_lastStep = 0;
    return m_chainResult;
}

void CDlgFlashwerk::FocusListByKey() {
    if (m_list->RowCount() == 0)
        return;
    m_list->setFocus();
    const int focused = m_list->GetFocusedIndex();
    if (m_list->GetSelectedIndex() < 0 && focused < 0)
        SelectAndFocus(0);
    else if (focused >= 0)
        SelectAndFocus(focused);
    else
        OnSelectionChanged();
}

bool CDlgFlashwerk::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool z = key->key() == Qt::Key_Z &&
                       (modifiers == Qt::NoModifier || modifiers == Qt::AltModifier);
        const bool space = key->key() == Qt::Key_Space && modifiers == Qt::NoModifier;
        if ((z || space) && m_list->RowCount() > 0) {
            FocusListByKey();
            return true;
        }
    }
    return CPropertyPagePlus::eventFilter(watched, event);
}

void CDlgFlashwerk::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> CDlgFlashwerk::CreateContextMenu() {
    const bool selected = SelectedRecord() != nullptr;
    auto menu = std::make_unique<QMenu>(this);
    auto add = [&](int id, auto handler) {
        QString text = MenuText(kMenuId, std::to_string(id));
        if (text.isEmpty())
            text = WithoutMnemonic(DialogText(kDialogId, id));
        QAction* action = menu->addAction(text, this, handler);
        action->setObjectName(QString::number(id));
        return action;
    };
    add(kSendButton, &CDlgFlashwerk::OnSend)->setEnabled(selected);
    menu->addSeparator();
    add(kImportButton, &CDlgFlashwerk::OnImport);
    // Nothing to download from: the command shows, but cannot be chosen.
    add(kInternetButton, &CDlgFlashwerk::OnInternet)->setEnabled(false);
    menu->addSeparator();
    add(kDeleteButton, &CDlgFlashwerk::OnDelete)->setEnabled(selected);
    add(kRefreshButton, &CDlgFlashwerk::OnRefresh);
    return menu;
}

} // namespace fw
