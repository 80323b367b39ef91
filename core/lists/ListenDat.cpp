#include "core/lists/ListenDat.h"

#include "core/util/TextUtil.h"

namespace fw {

void CListenDat::Fill(const Texts& texts) {
    m_strType = texts[0];
    m_strName = texts[1];
    m_strPath = texts[2];
    m_strFileName = texts[3];
    m_nSize = ToIntC(texts[4]);
}

} // namespace fw
