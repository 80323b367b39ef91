#pragma once

// Numbers of the string table entries the code names.
namespace fw::str {

inline constexpr int kColumnTitles = 158;
inline constexpr int kDefaultFtpHost = 191;
inline constexpr int kDefaultFirmwarePath = 192;
inline constexpr int kDefaultListPath = 193;
inline constexpr int kDefaultProxyPort = 195;
inline constexpr int kDefaultSettingsPath = 197;
inline constexpr int kDefaultPrintHeader = 1112;
inline constexpr int kQuit = 2038;
inline constexpr int kHelp = 2039;

inline constexpr int kErrorTitle = 9000;
inline constexpr int kDialoutHint = 9001;
inline constexpr int kUsage = 9002;
inline constexpr int kNoDisplay = 9003;
inline constexpr int kDataFolderUnusable = 9004;
inline constexpr int kSettingsNotSaved = 9005;
inline constexpr int kUnknownOption = 9006;
inline constexpr int kOptionNeedsValue = 9007;
inline constexpr int kInfoButton = 9008;
inline constexpr int kInfoButtonTip = 9009;
inline constexpr int kQuitButtonTip = 9010;
inline constexpr int kPortInUseHint = 9011;
inline constexpr int kNotSerialHint = 9012;
inline constexpr int kSettingsNotRead = 9013;

} // namespace fw::str
