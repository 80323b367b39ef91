#pragma once

#include "core/firmware/Receiverdat.h"
#include "gui/page/CataloguePage.h"

#include <vector>

class QPlainTextEdit;

namespace fw {

namespace ids::firmware {
inline constexpr int kDialog = 102;
inline constexpr int kMenu = 130;
inline constexpr int kImport = 1010;
inline constexpr int kList = 1011;
inline constexpr int kDescription = 1016;
inline constexpr int kDelete = 1019;
inline constexpr int kRefresh = 1020;
inline constexpr int kSend = 1021;
inline constexpr int kInternet = 1023;
inline constexpr int kPath = 1024;
inline constexpr int kDescriptionLabel = 1122;
inline constexpr int kFileGroup = 1123;
inline constexpr int kLoadGroup = 1124;
} // namespace ids::firmware

// The firmware page: the catalogue of the ".bsr" files in the firmware folder, the selected
// file's description, import from any folder, delete, and the send to the receiver through
// the transfer dialog.
class CDlgFlashwerk : public CataloguePage {
    Q_OBJECT
public:
    explicit CDlgFlashwerk(AppContext& context, QWidget* parent = nullptr);
    ~CDlgFlashwerk() override;

protected:
    bool Fill() override;
    int RecordCount() const override { return static_cast<int>(m_records.size()); }
    const FileRecord& RecordAt(int record) const override;
    bool RecordLess(int column, int recordA, int recordB) const override;
    bool AcceptImport(const std::string& source, std::string& targetName) override;
    bool AddImported(const std::string& target) override;
    bool PrepareSend(int record, TransferJob& job) override;
    void AfterTransfer(const CDlgSenden& dialog) override;
    void ShowSelection(int record) override;
    std::vector<MenuEntry> MenuEntries() override;

private:
    int AddRecord(const CReceiverdat& record);

    QPlainTextEdit* m_description = nullptr;
    // A row's record number points in here; records live until the next refresh.
    std::vector<CReceiverdat> m_records;
};

} // namespace fw
