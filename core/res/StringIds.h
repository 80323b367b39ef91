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
inline constexpr int kCliUsage = 9020;
inline constexpr int kCliInfoUsage = 9021;
inline constexpr int kCliRepairUsage = 9022;
inline constexpr int kCliUnknownCommand = 9023;
inline constexpr int kCliBadLanguage = 9024;
inline constexpr int kCliYesNoPrompt = 9025;
inline constexpr int kCliRadioOrTvPrompt = 9026;
inline constexpr int kCliOpenFailed = 9027;
inline constexpr int kCliLoadFailed = 9028;
inline constexpr int kCliWrongFormat = 9029;
inline constexpr int kCliUnknownKind = 9030;
inline constexpr int kCliWrongWordCount = 9031;
inline constexpr int kCliNotAList = 9032;
inline constexpr int kCliRepairFailed = 9033;

// Firmware and default-settings files.
inline constexpr int kFirmwareSignature = 104;
inline constexpr int kOpenFailedDeleteFile = 105;
inline constexpr int kLoadFailedDeleteFile = 106;
inline constexpr int kWrongFormatDeleteFile = 107;

// Program lists and their checks.
inline constexpr int kFileExists = 109;
inline constexpr int kFileNotFound = 112;
inline constexpr int kNotDefined = 141;
inline constexpr int kListColumnTitles = 151;
inline constexpr int kCellMaxCharacters = 160;
inline constexpr int kCellOnlyDigits = 161;
inline constexpr int kCellOnlyHOrV = 162;
inline constexpr int kCellFecValues = 163;
inline constexpr int kCellMaxDigits = 164;
inline constexpr int kCellOnlyDollar = 212;
inline constexpr int kFileNotOpened = 1106;
inline constexpr int kIncompleteProgram = 1111;
inline constexpr int kInvalidFileName = 9200;
inline constexpr int kListTruncated = 9201;

} // namespace fw::str
