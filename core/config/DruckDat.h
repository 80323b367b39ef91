#pragma once

#include "core/config/LogFont.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fw {

// What the program pool printout looks like; stored in section PRINT of upd.ini.
class CDruckDat {
public:
    std::string m_headerText;
    std::string m_footerText;         // carried along; the page setup does not show it
    LogFont m_headerFont;             // header text and page number
    LogFont m_mainFont;               // column titles and cells
    std::uint32_t m_headerColour = 0; // 0x00BBGGRR
    std::uint32_t m_mainColour = 0;
    std::vector<std::string> m_columnTitles; // one per pool column
    std::vector<int> m_columnFlags;          // by pool column index: non-zero prints it
    // Margins in units of 12 printer dots.
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    int m_topMargin = 0;
    int m_bottomMargin = 0;
};

} // namespace fw
