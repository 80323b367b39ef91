#include "core/firmware/Receiverdat.h"

#include "core/firmware/TransferFile.h"
#include "core/util/TextUtil.h"

namespace fw {

CReceiverdat::CReceiverdat(const CTransferFile& file)
    : FileRecord{file.Path(), {}}, m_size(static_cast<std::int32_t>(file.Size())),
      m_kind(file.Kind()) {
    const auto& strings = file.TrailerStrings();
    if (strings.size() > 1)
        m_version = strings[1];
    if (strings.size() > 2)
        m_description = strings[2];
    m_strFileName = FileNameOfPath(m_strPath);
    if (m_strFileName.empty() && m_strPath.find('/') == std::string::npos)
        m_strFileName = m_strPath;
}

} // namespace fw
