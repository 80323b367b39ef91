#include "gui/lists/DlgProgrammlisten.h"

#include "core/config/Konfiguration.h"
#include "core/editor/ListDiff.h"
#include "core/lists/ListCatalogue.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileImport.h"
#include "core/util/FolderScan.h"
#include "gui/link/DlgSenden.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/ListCompareWindow.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/Texts.h"
#include "gui/ui/WaitCursor.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>

#include <memory>
#include <optional>

namespace fw {

namespace {

using namespace ids::lists;

constexpr int kChooseListHint = 139;
constexpr int kListFileFilter = 134;

CatalogueSetup ListSetup() {
    CatalogueSetup setup;
    setup.folder = &DataFolders::lists;
    setup.reimportRegisters = true;
    setup.dialogId = kDialog;
    setup.menuId = kMenu;
    setup.listId = kList;
    setup.columnsText = str::kListCatalogueColumns;
    setup.stretchColumn = 1; // the list's own name
    setup.emptyText = str::kNoCatalogueFiles;
    setup.importFilter = kListFileFilter;
    setup.pathLabelId = kStatus;
    setup.pathHint = kChooseListHint;
    setup.importId = kImport;
    setup.internetId = kInternet;
    setup.sendId = kSend;
    setup.deleteId = kDelete;
    setup.refreshId = kRefresh;
    setup.chosenFile = &CKonfiguration::m_chosenListFile;
    setup.sortColumn = &CKonfiguration::m_sortLists;
    setup.safetyCopyFolder = &DataFolders::listBackups;
    return setup;
}

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

} // namespace

CDlgProgrammlisten::CDlgProgrammlisten(AppContext& context, QWidget* parent)
    : CataloguePage(context, ListSetup(), parent) {
    CIconButton* loadTv = MakeButton(kLoadTv, CommandIcon::LoadFromReceiver);
    CIconButton* loadRadio = MakeButton(kLoadRadio, CommandIcon::LoadFromReceiver);
    CIconButton* import = MakeButton(kImport, CommandIcon::Import);
    CIconButton* internet = MakeButton(kInternet, CommandIcon::Import);
    CIconButton* send = MakeButton(kSend, CommandIcon::SendToReceiver);
    CIconButton* newList = MakeButton(kNew, CommandIcon::New);
    m_edit = MakeButton(kEdit, CommandIcon::Edit);
    CIconButton* refresh = MakeButton(kRefresh, CommandIcon::Refresh);
    CIconButton* remove = MakeButton(kDelete, CommandIcon::Delete);
    m_edit->setEnabled(false);
    connect(newList, &QPushButton::clicked, this, &CDlgProgrammlisten::OnNew);
    connect(m_edit, &QPushButton::clicked, this, &CDlgProgrammlisten::OnEdit);
    // A double click on a list opens it as Edit does.
    connect(List(), &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_edit->isEnabled())
            OnEdit();
    });
    connect(loadTv, &QPushButton::clicked, this, &CDlgProgrammlisten::OnLoadTv);
    connect(loadRadio, &QPushButton::clicked, this, &CDlgProgrammlisten::OnLoadRadio);

    ArrangePage({PathLabel()}, {},
                {MakeGroup(kLoadGroup, {loadTv, loadRadio, import, internet}),
                 MakeGroup(kSendGroup, {send}),
                 MakeGroup(kListGroup, {newList, m_edit, refresh, remove})});
}

void CDlgProgrammlisten::AddRecord(const CListenDat& record) {
    m_records.push_back(record);
    const int index = static_cast<int>(m_records.size()) - 1;
    AppendRow([&](int row) { return List()->AddListRow(row, m_records.back(), index); });
}

bool CDlgProgrammlisten::Fill() {
    m_records.clear();
    const ListCatalogue catalogue = ScanListFolder(Context().folders.lists, Interaction());
    for (const CListenDat& record : catalogue.records)
        AddRecord(record);
    return catalogue.anyFile;
}

const FileRecord& CDlgProgrammlisten::RecordAt(int record) const {
    return m_records.at(static_cast<std::size_t>(record));
}

bool CDlgProgrammlisten::RecordLess(int column, int recordA, int recordB) const {
    const CListenDat& x = m_records[static_cast<std::size_t>(recordA)];
    const CListenDat& y = m_records[static_cast<std::size_t>(recordB)];
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
}

bool CDlgProgrammlisten::AcceptImport(const std::string& source, std::string& targetName) {
    // Anything but a list file is not this page's business: ignored without a word.
    const QFileInfo info(QString::fromStdString(source));
    if (info.suffix().toUpper() != QLatin1String("LST"))
        return false;
    targetName = (info.completeBaseName() + '.' + info.suffix().toUpper()).toStdString();
    return true;
}

std::string CDlgProgrammlisten::WhyNotImportable(std::string_view content) const {
    // Copied first and checked after, a file that is no list would lie in the folder and ask
    // to be deleted at every refresh.
    return WhyNoList(content);
}

bool CDlgProgrammlisten::AddImported(const std::string& target) {
    const NormalizeResult normalized = NormalizeListFile(target);
    if (normalized.status == NormalizeStatus::NotAList) {
        std::string reason;
        if (Interaction().AskYesNo(Message(str::kWrongFormatDeleteFile, target),
                                   MessageIcon::Warning) &&
            !DeleteFile(target, reason))
            Interaction().ShowLastError(reason);
        return false;
    }
    if (normalized.status == NormalizeStatus::Unreadable) {
        std::string text = Message(str::kFileNotOpened, target);
        if (!normalized.reason.empty())
            text += "\n\n" + normalized.reason;
        Interaction().ShowMessage(text, MessageIcon::Warning);
        return false;
    }
    AddRecord(normalized.record);
    return true;
}

void CDlgProgrammlisten::LoadList(char listKind) {
    LoadFromReceiver(ListLoad{listKind});
}

bool CDlgProgrammlisten::PrepareSend(int record, TransferJob& job) {
    CListenDat& list = m_records[static_cast<std::size_t>(record)];
    const std::string typeBefore = list.m_strType;
    if (!PrepareListSend(list, job))
        return false;
    if (list.m_strType != typeBefore)
        List()->SetCellText(List()->GetSelectedIndex(), 2, QString::fromStdString(list.m_strType));
    return true;
}

bool CDlgProgrammlisten::PrepareSafetyCopySend(const SafetyCopy& copy, TransferJob& job) {
    NormalizeResult normalized = NormalizeListFile(copy.path);
    if (normalized.status != NormalizeStatus::Registered) {
        ReportUnreadableFile(Interaction(), copy.path, normalized.reason);
        return false;
    }
    return PrepareListSend(normalized.record, job);
}

bool CDlgProgrammlisten::PrepareListSend(CListenDat& list, TransferJob& job) {
    // The type goes into the file before the send list is read, so that the dialog and the
    // job see the list as what it is.
    if (list.m_strType == "NDEF") {
        const ListTypeChoice choice = Interaction().AskRadioOrTv();
        if (choice == ListTypeChoice::Cancelled)
            return false;
        const std::string typeText = choice == ListTypeChoice::Tv ? "TV" : "RA";
        std::string reason;
        const SetTypeResult set = SetListFileType(list.m_strPath, typeText, reason);
        if (set == SetTypeResult::ReadFailed) {
            Interaction().ShowMessage(Message(str::kFileNotOpened, list.m_strPath),
                                      MessageIcon::Stop);
            return false;
        }
        if (set == SetTypeResult::WriteFailed) {
            Interaction().ShowLastError(reason);
            return false;
        }
        if (set == SetTypeResult::Untouched) {
            // Only a list whose repair could not be written has no header to hold the type.
            Interaction().ShowMessage(Message(str::kTypeNeedsRepairedFile, list.m_strPath),
                                      MessageIcon::Warning);
            return false;
        }
        list.m_strType = typeText;
    }
    ListSend send;
    send.list = list;
    {
        WaitCursor wait;
        send.sendList = ReadSendList(send);
    }
    if (!send.sendList->error.empty()) {
        Interaction().ShowMessage(send.sendList->error, MessageIcon::Stop);
        return false;
    }
    job = std::move(send);
    return true;
}

void CDlgProgrammlisten::AfterTransfer(const CDlgSenden& dialog) {
    if (dialog.Outcome() == JobOutcome::Cancelled)
        Interaction().ShowMessage(LoadResString(str::kTransferCancelled), MessageIcon::Information);
}

void CDlgProgrammlisten::ShowSelection(int record) {
    m_edit->setEnabled(record >= 0);
}

void CDlgProgrammlisten::OnEdit() {
    const int record = SelectedRecord();
    if (record >= 0)
        OpenEditor(record);
}

void CDlgProgrammlisten::OpenEditor(int record) {
    // The refresh afterwards replaces the records, so the editor works on a copy.
    const std::optional<CListenDat> opened =
        record >= 0 ? std::optional(m_records.at(static_cast<std::size_t>(record))) : std::nullopt;
    std::unique_ptr<CDlgProgrammpool> editor;
    {
        WaitCursor wait;
        editor = std::make_unique<CDlgProgrammpool>(Context(), opened ? &*opened : nullptr, this);
    }
    editor->exec();
    const QString fileName = editor->FileName();
    editor.reset();
    // A list that was not saved leaves the remembered one selected.
    if (!fileName.isEmpty())
        Context().config.m_chosenListFile = fileName.toStdString();
    OnRefresh();
    activateWindow();
    List()->setFocus();
}

bool CDlgProgrammlisten::HandlePageKey(int key) {
    // B and the space bar open the editor (the space bar has led into the list first).
    if (key != Qt::Key_B && key != Qt::Key_Space)
        return false;
    if (m_edit->isEnabled())
        OnEdit();
    return true;
}

std::vector<CataloguePage::MenuEntry> CDlgProgrammlisten::MenuEntries() {
    return {{kLoadTv, [this] { OnLoadTv(); }},
            {kLoadRadio, [this] { OnLoadRadio(); }},
            {kImport, [this] { OnImport(); }},
            {kInternet, [this] { OnInternet(); }},
            {},
            {kSend, [this] { OnSend(); }, true},
            {},
            {kNew, [this] { OnNew(); }},
            {kEdit, [this] { OnEdit(); }, true},
            {kRefresh, [this] { OnRefresh(); }},
            {kDelete, [this] { OnDelete(); }, true},
            {str::kCompareWithReceiver, [this] { OnCompareWithReceiver(); }, true}};
}

bool CDlgProgrammlisten::PrepareCompare(int record, TransferJob& load, CheckJudge& judge) {
    ListSend file;
    file.list = m_records[static_cast<std::size_t>(record)];
    {
        WaitCursor wait;
        file.sendList = ReadSendList(file);
    }
    if (!file.sendList->error.empty()) {
        Interaction().ShowMessage(file.sendList->error, MessageIcon::Stop);
        return false;
    }
    load = ListLoad{file.list.m_strType == "RA" ? 'R' : 'T', LoadUse::Compare};
    auto compared = std::make_shared<ComparedLists>();
    compared->file = DocumentOfLines(file.sendList->lines, file.sendList->banks);
    compared->file.listType = ListTypeFromText(file.list.m_strType);
    compared->fileName = file.list.m_strFileName;
    m_compared = compared;
    // The judge runs on the transfer's thread; the page reads what it kept only after the
    // dialog has ended that thread.
    judge = [sent = std::move(*file.sendList), compared](const JobResult& loaded) {
        compared->received = loaded.list;
        return CheckList(sent, loaded);
    };
    return true;
}

void CDlgProgrammlisten::AfterCompare() {
    const std::shared_ptr<ComparedLists> compared = std::move(m_compared);
    if (!compared || !compared->received)
        return;
    ListDocument held = DocumentOfLines(compared->received->lines, compared->received->banks);
    held.listType = compared->file.listType;
    // No editor holds the file here: the window only shows.
    ListCompareWindow window(nullptr, compared->file, std::move(held),
                             QString::fromStdString(compared->fileName),
                             ResText(str::kCompareReceiver), this);
    window.exec();
}

} // namespace fw
