#include "gui/firmware/DlgFlashwerk.h"

#include "core/config/Konfiguration.h"
#include "core/firmware/FirmwareCatalogue.h"
#include "core/firmware/TransferFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileImport.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"
#include "gui/link/DlgSenden.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/Texts.h"
#include "gui/ui/WaitCursor.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>
#include <filesystem>

namespace fw {
namespace {

using namespace ids::firmware;

constexpr int kFileFilter = 102;
constexpr int kSelectHint = 110;
constexpr int kPathHint = 111;
constexpr int kNotFirmware = 1028;

CatalogueSetup FirmwareSetup() {
    CatalogueSetup setup;
    setup.folder = &DataFolders::firmware;
    setup.dialogId = kDialog;
    setup.menuId = kMenu;
    setup.listId = kList;
    setup.columnsText = str::kFirmwareCatalogueColumns;
    setup.emptyText = str::kNoFirmwareFiles;
    setup.importFilter = kFileFilter;
    setup.pathLabelId = kPath;
    setup.pathHint = kPathHint;
    setup.importId = kImport;
    setup.internetId = kInternet;
    setup.sendId = kSend;
    setup.deleteId = kDelete;
    setup.refreshId = kRefresh;
    setup.chosenFile = &CKonfiguration::m_chosenFirmwareFile;
    setup.sortColumn = &CKonfiguration::m_sortFirmware;
    return setup;
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

} // namespace

CDlgFlashwerk::CDlgFlashwerk(AppContext& context, QWidget* parent)
    : CataloguePage(context, FirmwareSetup(), parent) {
    CIconButton* import = MakeButton(kImport, CommandIcon::Import);
    CIconButton* internet = MakeButton(kInternet, CommandIcon::Import);
    CIconButton* send = MakeButton(kSend, CommandIcon::SendToReceiver);
    CIconButton* remove = MakeButton(kDelete, CommandIcon::Delete);
    CIconButton* refresh = MakeButton(kRefresh, CommandIcon::Refresh);

    m_description = new QPlainTextEdit(this);
    SetControlId(m_description, kDescription);
    m_description->setReadOnly(true);
    // The box only shows; the focus stays with the list and the buttons.
    m_description->setFocusPolicy(Qt::NoFocus);
    m_description->setMinimumHeight(m_description->fontMetrics().lineSpacing() * 4);

    auto* descriptionLabel = new QLabel(DialogText(kDialog, kDescriptionLabel), this);
    SetControlId(descriptionLabel, kDescriptionLabel);
    QFont bold = descriptionLabel->font();
    bold.setBold(true);
    descriptionLabel->setFont(bold);

    ArrangePage({}, {descriptionLabel, m_description, PathLabel()},
                {MakeGroup(kLoadGroup, {import, internet}),
                 MakeGroup(kFileGroup, {send, remove, refresh})});
}

CDlgFlashwerk::~CDlgFlashwerk() = default;

int CDlgFlashwerk::AddRecord(const CReceiverdat& record) {
    m_records.push_back(record);
    const int index = static_cast<int>(m_records.size()) - 1;
    return AppendRow([&](int row) { return List()->AddFirmwareRow(row, m_records.back(), index); });
}

bool CDlgFlashwerk::Fill() {
    m_records.clear();
    for (const CReceiverdat& record : ScanFirmwareFolder(Context().folders.firmware, Interaction()))
        AddRecord(record);
    return !m_records.empty();
}

const FileRecord& CDlgFlashwerk::RecordAt(int record) const {
    return m_records.at(static_cast<std::size_t>(record));
}

bool CDlgFlashwerk::RecordLess(int column, int recordA, int recordB) const {
    const CReceiverdat& a = m_records[static_cast<std::size_t>(recordA)];
    const CReceiverdat& b = m_records[static_cast<std::size_t>(recordB)];
    switch (column) {
    case 0:
        return CompareNoCase(a.m_strFileName, b.m_strFileName) < 0;
    case 1:
        return CompareNoCase(a.m_version, b.m_version) < 0;
    case 2:
        return a.m_size < b.m_size;
    default:
        return false;
    }
}

bool CDlgFlashwerk::AcceptImport(const std::string& source, std::string&) {
    // A file of the folder itself is already in the catalogue.
    if (SameFolder(std::filesystem::path(source).parent_path().string(),
                   Context().folders.firmware))
        return false;
    // Checked before anything is copied, so that a file that is no firmware never replaces
    // one that is.
    CReceiverdat record;
    int loadResult = 0;
    bool isFirmware = false;
    {
        WaitCursor wait;
        isFirmware = ReadFirmwareRecord(source, record, loadResult);
    }
    if (isFirmware)
        return true;
    std::string reason;
    if ((loadResult == CTransferFile::kCannotOpen || loadResult == CTransferFile::kNotReadable) &&
        !IsReadableRegularFile(source, kFirmwareFileLimit, reason))
        Interaction().ShowLastError(reason);
    else
        Interaction().ShowMessage(LoadResString(kNotFirmware), MessageIcon::Warning);
    return false;
}

bool CDlgFlashwerk::AddImported(const std::string& target) {
    // The record describes the copy in the folder; a copy that changed on the way is removed.
    CReceiverdat record;
    int loadResult = 0;
    if (!ReadFirmwareRecord(target, record, loadResult)) {
        Interaction().ShowMessage(LoadResString(kNotFirmware), MessageIcon::Warning);
        std::string reason;
        if (!DeleteFile(target, reason))
            Interaction().ShowLastError(reason);
        return false;
    }
    AddRecord(record);
    return true;
}

bool CDlgFlashwerk::PrepareSend(int record, TransferJob& job) {
    FirmwareSend send;
    send.firmware = m_records[static_cast<std::size_t>(record)];
    job = std::move(send);
    return true;
}

void CDlgFlashwerk::AfterTransfer(const CDlgSenden& dialog) {
    if (dialog.FirmwareCancelled() == 1)
        Interaction().ShowMessage(LoadResString(str::kTransferCancelled), MessageIcon::Information);
}

void CDlgFlashwerk::ShowSelection(int record) {
    if (record < 0) {
        m_description->setPlainText(ResText(kSelectHint));
        return;
    }
    m_description->setPlainText(QString::fromStdString(
        Cp1252ToUtf8(m_records[static_cast<std::size_t>(record)].m_description)));
}

std::vector<CataloguePage::MenuEntry> CDlgFlashwerk::MenuEntries() {
    return {{kSend, [this] { OnSend(); }, true},   {}, {kImport, [this] { OnImport(); }},
            {kInternet, [this] { OnInternet(); }}, {}, {kDelete, [this] { OnDelete(); }, true},
            {kRefresh, [this] { OnRefresh(); }}};
}

} // namespace fw
