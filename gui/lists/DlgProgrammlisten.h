#pragma once

#include "core/editor/ListDocument.h"
#include "core/link/JobResult.h"
#include "core/lists/ListenDat.h"
#include "gui/page/CataloguePage.h"

#include <memory>
#include <optional>
#include <vector>

namespace fw {

namespace ids::lists {
inline constexpr int kDialog = 29;
inline constexpr int kMenu = 194;
inline constexpr int kImport = 3;
inline constexpr int kInternet = 4;
inline constexpr int kList = 501;
inline constexpr int kSend = 509;
inline constexpr int kStatus = 1046;
inline constexpr int kDelete = 1047;
inline constexpr int kEdit = 1048;
inline constexpr int kLoadTv = 1049;
inline constexpr int kLoadRadio = 1050;
inline constexpr int kRefresh = 1051;
inline constexpr int kNew = 1052;
inline constexpr int kLoadGroup = 1124;
inline constexpr int kSendGroup = 1125;
inline constexpr int kListGroup = 1126;
} // namespace ids::lists

class CIconButton;

// The program-list page: the catalogue of list files in the lists folder and the commands
// that import, load, send and delete them.
class CDlgProgrammlisten : public CataloguePage {
    Q_OBJECT
public:
    explicit CDlgProgrammlisten(AppContext& context, QWidget* parent = nullptr);

    void OnLoadTv() { LoadList('T'); }
    void OnLoadRadio() { LoadList('R'); }
    // Open the program pool editor on a new list or on the selected one; afterwards the
    // catalogue is read again and the list the editor saved is selected.
    void OnNew() { OpenEditor(-1); }
    void OnEdit();

    const std::vector<CListenDat>& Records() const { return m_records; }

protected:
    bool Fill() override;
    int RecordCount() const override { return static_cast<int>(m_records.size()); }
    const FileRecord& RecordAt(int record) const override;
    bool RecordLess(int column, int recordA, int recordB) const override;
    bool AcceptImport(const std::string& source, std::string& targetName) override;
    std::string WhyNotImportable(std::string_view content) const override;
    bool AddImported(const std::string& target) override;
    bool PrepareSend(int record, TransferJob& job) override;
    bool PrepareSafetyCopySend(const SafetyCopy& copy, TransferJob& job) override;
    bool PrepareCompare(int record, TransferJob& load, CheckJudge& judge) override;
    void AfterTransfer(const CDlgSenden& dialog) override;
    // Shows the file and the list the receiver sent side by side.
    void AfterCompare() override;
    void ShowSelection(int record) override;
    bool HandlePageKey(int key) override;
    std::vector<MenuEntry> MenuEntries() override;

private:
    void LoadList(char listKind);
    void OpenEditor(int record);
    void AddRecord(const CListenDat& record);
    // Fills a send job for a list; a list of unknown type gets the type the user chooses, in
    // the file first. False ends the send.
    bool PrepareListSend(CListenDat& list, TransferJob& job);

    CIconButton* m_edit = nullptr;
    // The last "Compare with receiver": the file, and the list once the receiver sent it.
    struct ComparedLists {
        ListDocument file;
        std::string fileName;
        std::optional<ReceivedList> received;
    };
    std::shared_ptr<ComparedLists> m_compared;
    // A row's record number points in here; records live until the next refresh.
    std::vector<CListenDat> m_records;
};

} // namespace fw
