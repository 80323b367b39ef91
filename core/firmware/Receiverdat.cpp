#include "core/firmware/Receiverdat.h"

#include "core/firmware/TransferFile.h"
#include "core/util/TextUtil.h"

namespace fw {

CReceiverdat::CReceiverdat(const CTransferFile& file)
    : m_size(static_cast<std::int32_t>(file.Size())), m_path(file.Path()), m_kind(file.Kind()) {
    const auto& strings = file.TrailerStrings();
    if (strings.size() > 1)
        m_version = strings[1];
    if (strings.size() > 2)
        m_description = strings[2];
    m_fileName = FileNameOfPath(m_path);
    if (m_fileName.empty() && m_path.find('/') == std::string::npos)
        m_fileName = m_path;
}

} // namespace fw
