#include "gui/settings/DlgGrundeinstellung.h"

#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/settings/SettingsCatalogue.h"
#include "core/util/FileIo.h"
#include "gui/link/DlgSenden.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/Texts.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>

#include <filesystem>

namespace fw {

namespace {

using namespace ids::settings;

CatalogueSetup SettingsSetup() {
    CatalogueSetup setup;
    setup.folder = &DataFolders::settings;
    setup.dialogId = kDialog;
    setup.menuId = kMenu;
    setup.listId = kList;
    setup.columnsText = str::kSettingsCatalogueColumns;
    setup.emptyText = str::kNoCatalogueFiles;
    setup.importFilter = str::kSettingsImportFilter;
    setup.pathLabelId = kInfo;
    setup.pathHint = str::kChooseSettingsHint;
    setup.importId = kImport;
    setup.internetId = kInternet;
    setup.sendId = kSend;
    setup.deleteId = kDelete;
    setup.refreshId = kRefresh;
    setup.chosenFile = &CKonfiguration::m_chosenSettingsFile;
    setup.sortColumn = &CKonfiguration::m_sortSettings;
    setup.safetyCopyFolder = &DataFolders::settingsBackups;
    return setup;
}

} // namespace

CDlgGrundeinstellung::CDlgGrundeinstellung(AppContext& context, QWidget* parent)
    : CataloguePage(context, SettingsSetup(), parent) {
    CIconButton* loadReceiver = MakeButton(kLoadReceiver, CommandIcon::LoadFromReceiver);
    CIconButton* import = MakeButton(kImport, CommandIcon::Import);
    CIconButton* internet = MakeButton(kInternet, CommandIcon::Receiver);
    CIconButton* send = MakeButton(kSend, CommandIcon::SendToReceiver);
    CIconButton* refresh = MakeButton(kRefresh, CommandIcon::Refresh);
    CIconButton* remove = MakeButton(kDelete, CommandIcon::Delete);
    connect(loadReceiver, &QAbstractButton::clicked, this, &CDlgGrundeinstellung::OnLoadReceiver);

    ArrangePage({}, {PathLabel()},
                {MakeGroup(kLoadGroup, {loadReceiver, import, internet}),
                 MakeGroup(kSendGroup, {send}), MakeGroup(kFileGroup, {refresh, remove})});
}

bool CDlgGrundeinstellung::Fill() {
    // An empty file ends the folder's pass (the scan asks about it); what was found stays.
    SettingsCatalogue catalogue = ScanSettingsFolder(Context().folders.settings, Interaction());
    m_records = std::move(catalogue.records);
    for (int i = 0; i < static_cast<int>(m_records.size()); ++i)
        AppendRow([&](int row) { return List()->AddSettingsRow(row, m_records[i], i); });
    return catalogue.result != 0;
}

const FileRecord& CDlgGrundeinstellung::RecordAt(int record) const {
    return m_records.at(static_cast<std::size_t>(record));
}

bool CDlgGrundeinstellung::RecordLess(int column, int recordA, int recordB) const {
    const CGrundDat& a = m_records[static_cast<std::size_t>(recordA)];
    const CGrundDat& b = m_records[static_cast<std::size_t>(recordB)];
    if (column == 0)
        return QString::fromStdString(a.m_strFileName)
                   .compare(QString::fromStdString(b.m_strFileName), Qt::CaseInsensitive) < 0;
    if (column == 1)
        return static_cast<std::uint32_t>(a.m_size) < static_cast<std::uint32_t>(b.m_size);
    return false;
}

bool CDlgGrundeinstellung::AcceptImport(const std::string& source, std::string&) {
    // The folder scan lists ".grd" files only and stops at an empty one: such a copy would
    // lie in the folder unseen, or hide the files after it.
    if (QFileInfo(QString::fromStdString(source))
            .suffix()
            .compare(QLatin1String("grd"), Qt::CaseInsensitive) != 0) {
        Interaction().ShowMessage(FormatText(LoadResString(str::kNotASettingsFile), {source}),
                                  MessageIcon::Warning);
        return false;
    }
    std::error_code error;
    if (std::filesystem::file_size(source, error) == 0 && !error) {
        Interaction().ShowMessage(FormatText(LoadResString(str::kEmptySettingsFile), {source}),
                                  MessageIcon::Warning);
        return false;
    }
    return true;
}

bool CDlgGrundeinstellung::AddImported(const std::string& target) {
    // The imported file becomes the remembered one, so the refresh selects it.
    Context().config.m_chosenSettingsFile =
        QFileInfo(QString::fromStdString(target)).fileName().toStdString();
    OnRefresh();
    return true;
}

void CDlgGrundeinstellung::OnLoadReceiver() {
    LoadFromReceiver(SettingsLoad{});
}

bool CDlgGrundeinstellung::PrepareSend(int record, TransferJob& job) {
    SettingsSend send;
    send.settings = m_records[static_cast<std::size_t>(record)];
    job = std::move(send);
    return true;
}

bool CDlgGrundeinstellung::PrepareSafetyCopySend(const SafetyCopy& copy, TransferJob& job) {
    // The send reads and checks the file itself, as for any file of the folder.
    SettingsSend send;
    send.settings.m_strPath = copy.path;
    send.settings.m_strFileName = copy.fileName;
    job = std::move(send);
    return true;
}

std::vector<CataloguePage::MenuEntry> CDlgGrundeinstellung::MenuEntries() {
    return {{kLoadReceiver, [this] { OnLoadReceiver(); }},
            {kImport, [this] { OnImport(); }},
            {kInternet, [this] { OnInternet(); }},
            {},
            {kSend, [this] { OnSend(); }, true},
            {},
            {kRefresh, [this] { OnRefresh(); }},
            {kDelete, [this] { OnDelete(); }, true},
            {str::kCompareWithReceiver, [this] { OnCompareWithReceiver(); }, true}};
}

bool CDlgGrundeinstellung::PrepareCompare(int record, TransferJob& load, CheckJudge& judge) {
    std::string bytes, reason;
    if (!ReadWholeFile(m_records[static_cast<std::size_t>(record)].m_strPath, bytes, reason)) {
        Interaction().ShowMessage(reason, MessageIcon::Stop);
        return false;
    }
    load = SettingsLoad{LoadUse::Compare};
    judge = [bytes](const JobResult& loaded) { return CheckSettings(bytes, loaded); };
    return true;
}

} // namespace fw
