#include "gui/settings/DlgGrundeinstellung.h"

#include "core/config/Konfiguration.h"
#include "gui/link/DlgSenden.h"
#include "core/res/StringIds.h"
#include "core/settings/SettingsCatalogue.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/PageGroup.h"
#include "gui/ui/IconButton.h"
#include "core/util/FileImport.h"
#include "core/util/FileIo.h"
#include "gui/ui/MessageInteraction.h"
#include "gui/ui/Texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QVBoxLayout>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace fw {

namespace {

constexpr int kContextMenu = 193;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// "Name(*.grd)|*.grd||" as a file dialog filter: the descriptions carry their patterns.
QString FileDialogFilter(const QString& pairs) {
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty())
            filters << parts[i];
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace

CDlgGrundeinstellung::CDlgGrundeinstellung(AppContext& context, QWidget* parent,
                                           UserInteraction* interaction)
    : CPropertyPagePlus(context, kDialogId, parent),
      m_ownInteraction(std::make_unique<CMessageInteraction>(this)),
      m_interaction(interaction != nullptr ? interaction : m_ownInteraction.get()) {
    BuildLayout();
    ShowHint();
    SetCommandsEnabled(false);

    m_list->SetEmptyTextId(str::kNoCatalogueFiles);
    m_list->SetColumns(str::kSettingsCatalogueColumns);
    // Only one file is sent or deleted at a time.
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            &CDlgGrundeinstellung::OnSelectionChanged);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            &CDlgGrundeinstellung::OnColumnClicked);

    // Alt+Z or Z (and space away from the buttons) lead into the list.
    for (const QKeySequence& key : {QKeySequence(Qt::ALT | Qt::Key_Z), QKeySequence(Qt::Key_Z)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] { OnListKey(false); });
    }
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WidgetWithChildrenShortcut);
    connect(space, &QShortcut::activated, this, [this] { OnListKey(true); });

    if (Refill() != 0)
        ShowHint();
    RestoreSelection();
}

CDlgGrundeinstellung::~CDlgGrundeinstellung() = default;

void CDlgGrundeinstellung::BuildLayout() {
    m_list = new CDateiListCtrl(this);
    SetControlId(m_list, kList);
    m_info = new QLabel(this);
    SetControlId(m_info, kInfo);
    m_info->setWordWrap(true);
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* load = new CPageGroup(DialogText(kDialogId, kGroupLoad), this);
    SetControlId(load, kGroupLoad);
    auto* send = new CPageGroup(DialogText(kDialogId, kGroupSend), this);
    SetControlId(send, kGroupSend);
    auto* file = new CPageGroup(DialogText(kDialogId, kGroupFile), this);
    SetControlId(file, kGroupFile);

    m_loadReceiver = AddButton(kLoadReceiver, CommandIcon::LoadFromReceiver, load);
    m_import = AddButton(kImport, CommandIcon::Import, load);
    m_internet = AddButton(kInternet, CommandIcon::Receiver, load);
    m_internet->hide();
    m_send = AddButton(kSend, CommandIcon::SendToReceiver, send);
    m_refresh = AddButton(kRefresh, CommandIcon::Refresh, file);
    m_delete = AddButton(kDelete, CommandIcon::Delete, file);

    auto* loadLayout = new QVBoxLayout(load);
    loadLayout->addWidget(m_loadReceiver);
    loadLayout->addWidget(m_import);
    loadLayout->addWidget(m_internet);
    auto* sendLayout = new QVBoxLayout(send);
    sendLayout->addWidget(m_send);
    auto* fileLayout = new QVBoxLayout(file);
    fileLayout->addWidget(m_refresh);
    fileLayout->addWidget(m_delete);

    auto* commands = new QVBoxLayout;
    commands->addWidget(load);
    commands->addWidget(send);
    commands->addWidget(file);
    commands->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(m_info);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(commands);

    connect(m_loadReceiver, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnLoadReceiver);
    connect(m_import, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnImport);
    connect(m_internet, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnInternet);
    connect(m_send, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnSend);
    connect(m_refresh, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnRefresh);
    connect(m_delete, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnDelete);
}

CIconButton* CDlgGrundeinstellung::AddButton(int id, CommandIcon icon, QWidget* parent) {
    auto* button = new CIconButton(DialogText(kDialogId, id), parent);
    SetControlId(button, id);
    button->SetCommandIcon(FlashwerkIcon(icon));
    return button;
}

void CDlgGrundeinstellung::SetInteraction(UserInteraction* interaction) {
    m_interaction = interaction != nullptr ? interaction : m_ownInteraction.get();
}

QString CDlgGrundeinstellung::InfoText() const {
    return m_info->text();
}

void CDlgGrundeinstellung::ShowHint() {
    m_info->setText(ResText(str::kChooseSettingsHint));
}

void CDlgGrundeinstellung::SetCommandsEnabled(bool enabled) {
    m_send->setEnabled(enabled);
    m_delete->setEnabled(enabled);
}

int CDlgGrundeinstellung::Refill() {
    m_list->DeleteAllRows();
    m_records.clear();
    SettingsCatalogue catalogue = ScanSettingsFolder(Context().folders.settings, *m_interaction);
    m_records = std::move(catalogue.records);
    for (int i = 0; i < static_cast<int>(m_records.size()); ++i)
        m_list->AddSettingsRow(m_list->GetNextIndex(), m_records[i], i);
    return catalogue.result;
}

void CDlgGrundeinstellung::RestoreSelection() {
    if (m_list->RowCount() == 0)
        return;
    int row = m_list->FindRow(FromUtf8(Context().config.m_chosenSettingsFile));
    if (row < 0)
        row = 0;
    m_list->SelectRow(row, true);
    m_list->setCurrentItem(m_list->topLevelItem(row), 0, QItemSelectionModel::NoUpdate);
    OnSelectionChanged();
    if (Context().config.m_sortSettings >= 0)
        SortBy(Context().config.m_sortSettings);
}

void CDlgGrundeinstellung::OnSelectionChanged() {
    const int row = m_list->GetSelectedIndex();
    const int record = row >= 0 ? m_list->GetRecordIndex(row) : -1;
    if (record < 0 || record >= static_cast<int>(m_records.size())) {
        ShowHint();
        SetCommandsEnabled(false);
        return;
    }
    Context().config.m_chosenSettingsFile = m_records[record].m_name;
    m_info->setText(FromUtf8(m_records[record].m_path));
    SetCommandsEnabled(true);
}

void CDlgGrundeinstellung::OnColumnClicked(int column) {
    SortBy(column);
    Context().config.m_sortSettings = column;
}

void CDlgGrundeinstellung::SortBy(int column) {
    if (column == 0) {
        m_list->SortRows([this](int a, int b) {
            return FromUtf8(m_records[a].m_name).compare(FromUtf8(m_records[b].m_name),
                                                         Qt::CaseInsensitive) < 0;
        });
    } else if (column == 1) {
        m_list->SortRows([this](int a, int b) {
            return static_cast<std::uint32_t>(m_records[a].m_size) <
                   static_cast<std::uint32_t>(m_records[b].m_size);
        });
    }
}

void CDlgGrundeinstellung::OnListKey(bool space) {
    // Space keeps pressing the button that has the focus.
    if (space) {
        if (auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            button != nullptr && isAncestorOf(button)) {
            button->click();
            return;
        }
    }
    if (m_list->RowCount() == 0)
        return;
    int focused = m_list->GetFocusedIndex();
    if (m_list->GetSelectedIndex() < 0 && focused < 0)
        focused = 0;
    if (focused >= 0) {
        m_list->SelectRow(focused, true);
        m_list->setCurrentItem(m_list->topLevelItem(focused), 0, QItemSelectionModel::NoUpdate);
    }
    m_list->setFocus(Qt::ShortcutFocusReason);
    OnSelectionChanged();
}

void CDlgGrundeinstellung::OnRefresh() {
    if (Refill() != 0)
        ShowHint();
    SetCommandsEnabled(false);
    RestoreSelection();
}

void CDlgGrundeinstellung::OnInternet() {
    // There is no internet source for settings: the fetch reports success, so only refresh.
    OnRefresh();
}

QString CDlgGrundeinstellung::ChooseImportFile() {
    QFileDialog dialog(this, ResText(str::kImportTitle), QString(), FileDialogFilter(ResText(str::kSettingsImportFilter)));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void CDlgGrundeinstellung::ShowFileError(const std::string& reason) {
    CMessageInteraction::ShowLastError(this, FromUtf8(reason));
}

void CDlgGrundeinstellung::OnImport() {
    const QString source = ChooseImportFile();
    if (source.isEmpty())
        return;
    const std::string name = QFileInfo(source).fileName().toStdString();
    const std::string folder = Context().folders.settings;
    ImportResult result = ImportFile(source.toStdString(), folder, name, false);
    if (result.status == ImportStatus::SameFile)
        return;
    if (result.status == ImportStatus::Exists) {
        const QString question = ResText(str::kFileExists).arg(FromUtf8(result.target));
        if (!m_interaction->AskYesNo(question.toStdString(), MessageIcon::Warning))
            return;
        // Replaced in one step, so a failed copy leaves the old file.
        result = ImportFile(source.toStdString(), folder, name, true);
    }
    if (result.status != ImportStatus::Copied) {
        ShowFileError(result.reason);
        return;
    }
    OnRefresh();
    m_list->setFocus();
    const int row = m_list->FindRow(FromUtf8(std::filesystem::path(result.target).filename().string()));
    if (row >= 0) {
        m_list->SelectRow(row, true);
        m_list->setCurrentItem(m_list->topLevelItem(row), 0, QItemSelectionModel::NoUpdate);
    }
    OnSelectionChanged();
}

void CDlgGrundeinstellung::OnDelete() {
    const int row = m_list->GetSelectedIndex();
    const int record = row >= 0 ? m_list->GetRecordIndex(row) : -1;
    if (record >= 0 && record < static_cast<int>(m_records.size())) {
        const std::string path = m_records[record].m_path;
        const QString question = ResText(str::kDeleteFileQuestion).arg(FromUtf8(path));
        if (!m_interaction->AskYesNo(question.toStdString(), MessageIcon::Warning))
            return;
        std::error_code error;
        if (!std::filesystem::remove(path, error)) {
            ShowFileError(SystemReason(path, error ? error.value() : ENOENT));
            return;
        }
        // The records stay where they are; the row goes, so no other row's index changes.
        m_list->DeleteRow(row);
    }
    if (m_list->RowCount() == 0)
        m_list->viewport()->update();
    m_list->clearSelection();
    SetCommandsEnabled(false);
    ShowHint();
}

void CDlgGrundeinstellung::OnLoadReceiver() {
    TransferJob job;
    job.kind = TransferJobKind::SettingsLoad;
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    QString saved;
    connect(dialog.get(), &CDlgSenden::FileSavedSignal, this,
            [&saved](const QString& path) { saved = path; });
    dialog->exec();
    if (saved.isEmpty())
        return;
    // The new file becomes the remembered one, so the refill selects it.
    Context().config.m_chosenSettingsFile = QFileInfo(saved).fileName().toStdString();
    OnRefresh();
}

void CDlgGrundeinstellung::OnSend() {
    const int row = m_list->GetSelectedIndex();
    const int record = row >= 0 ? m_list->GetRecordIndex(row) : -1;
    if (record < 0 || record >= static_cast<int>(m_records.size()))
        return;
    TransferJob job;
    job.kind = TransferJobKind::SettingsSend;
    job.settings = m_records[record];
    job.chained = m_chainedMode;
    job.lastStep = m_chainedMode != 0 ? m_chainLastStep : 0;
    const std::unique_ptr<CDlgSenden> dialog = TransferDialog(job);
    dialog->exec();
    m_chainResult = dialog->ChainContinue();
}

int CDlgGrundeinstellung::SendChained(int row, int lastStep) {
    // A row that is not there would send whatever happens to be selected: stop the chain.
    if (row < 0 || row >= m_list->RowCount()) {
        m_chainResult = 0;
        return 0;
    }
    m_chainedMode = 1;
    m_chainLastStep = lastStep;
    m_list->SelectRow(row, true);
    m_list->setCurrentItem(m_list->topLevelItem(row), 0, QItemSelectionModel::NoUpdate);
    OnSelectionChanged();
    OnSend();
    m_chainedMode = 0;
    m_chainLastStep = 0;
    return m_chainResult;
}

void CDlgGrundeinstellung::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    FillContextMenu(menu);
    menu.exec(event->globalPos());
}

void CDlgGrundeinstellung::FillContextMenu(QMenu& menu) {
    const auto add = [&](int id, void (CDlgGrundeinstellung::*handler)()) {
        QAction* action = menu.addAction(MenuText(kContextMenu, std::to_string(id)));
        action->setObjectName(QString::number(id));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add(kLoadReceiver, &CDlgGrundeinstellung::OnLoadReceiver);
    add(kImport, &CDlgGrundeinstellung::OnImport);
    add(kInternet, &CDlgGrundeinstellung::OnInternet);
    menu.addSeparator();
    QAction* send = add(kSend, &CDlgGrundeinstellung::OnSend);
    menu.addSeparator();
    add(kRefresh, &CDlgGrundeinstellung::OnRefresh);
    QAction* remove = add(kDelete, &CDlgGrundeinstellung::OnDelete);
    const bool selected = m_list->GetSelectedIndex() >= 0;
    send->setEnabled(selected);
    remove->setEnabled(selected);
}

} // namespace fw
