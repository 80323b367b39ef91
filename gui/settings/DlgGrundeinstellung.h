#pragma once

#include "core/settings/GrundDat.h"
#include "gui/page/CataloguePage.h"

#include <vector>

namespace fw {

namespace ids::settings {
inline constexpr int kDialog = 149;
inline constexpr int kMenu = 193;
inline constexpr int kRefresh = 507;
inline constexpr int kLoadReceiver = 1057;
inline constexpr int kImport = 1058;
inline constexpr int kInternet = 1059;
inline constexpr int kSend = 1060;
inline constexpr int kList = 1062;
inline constexpr int kInfo = 1063;
inline constexpr int kDelete = 1070;
inline constexpr int kFileGroup = 1071;
inline constexpr int kLoadGroup = 1124;
inline constexpr int kSendGroup = 1125;
} // namespace ids::settings

// The default-settings page: the ".grd" files of the settings folder, their import, deletion,
// and their transfer to and from the receiver.
class CDlgGrundeinstellung : public CataloguePage {
    Q_OBJECT
public:
    explicit CDlgGrundeinstellung(AppContext& context, QWidget* parent = nullptr);

    void OnLoadReceiver();
    const std::vector<CGrundDat>& Records() const { return m_records; }

protected:
    bool Fill() override;
    int RecordCount() const override { return static_cast<int>(m_records.size()); }
    const FileRecord& RecordAt(int record) const override;
    bool RecordLess(int column, int recordA, int recordB) const override;
    bool AcceptImport(const std::string& source, std::string& targetName) override;
    bool AddImported(const std::string& target) override;
    bool PrepareSend(int record, TransferJob& job) override;
    bool PrepareSafetyCopySend(const SafetyCopy& copy, TransferJob& job) override;
    bool PrepareCompare(int record, TransferJob& load, CheckJudge& judge) override;
    std::vector<MenuEntry> MenuEntries() override;

private:
    // A row's record number points in here; records live until the next refresh.
    std::vector<CGrundDat> m_records;
};

} // namespace fw
