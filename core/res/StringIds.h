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
inline constexpr int kPrintDocumentTitle = 1114;
inline constexpr int kDefinePrintArea = 2036;
inline constexpr int kPageWord = 2037;
inline constexpr int kPrintStartFailed = 61702;
inline constexpr int kNotAnInteger = 61712;
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
inline constexpr int kCliPortsUsage = 9034;
inline constexpr int kCliFirmwareUsage = 9035;
inline constexpr int kCliListUsage = 9036;
inline constexpr int kCliSettingsUsage = 9037;
inline constexpr int kCliUnknownSubcommand = 9038;
inline constexpr int kCliOutExists = 9039;
inline constexpr int kCliBadValue = 9040;
inline constexpr int kCliListWithoutType = 9041;
inline constexpr int kCliListNeedsRepair = 9042;
inline constexpr int kCliCancelRequested = 9043;
inline constexpr int kCliTraceFailed = 9044;
inline constexpr int kNoDevice = 9045;
inline constexpr int kCliCannotCancelNow = 9046;

// The options page.
inline constexpr int kProductionRowsHint = 9050;
inline constexpr int kPortWithDevice = 9051;

// Demo mode.
inline constexpr int kDemoWindowTitle = 9060;
inline constexpr int kDemoFirmwareDescription = 9061;
inline constexpr int kDemoListDescription = 9062;
inline constexpr int kDemoReceiverNotStarted = 9063;
inline constexpr int kDemoFilesNotWritten = 9064;

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

// Lines of the version warning.
inline constexpr int kWarnOverwrite = 2015;
inline constexpr int kWarnWithOther = 2016;
inline constexpr int kWarnMayCauseProblems = 2017;
inline constexpr int kWarnContinue = 2018;
inline constexpr int kWarnThisVersion = 2019;
inline constexpr int kWarnInstalled = 2020;
inline constexpr int kWarnOlderVersion = 2022;
inline constexpr int kWarnOntoNewer = 2023;
inline constexpr int kWarnTransfer = 2024;

// Receiver link: the program-list jobs and the texts they share with the other jobs.
inline constexpr int kPortRecognized = 119;
inline constexpr int kProgrammingFinished = 129;
inline constexpr int kFlashNotErased = 144;
inline constexpr int kProgramListError = 145;
inline constexpr int kErasingFlash = 146;
inline constexpr int kSendingProgramList = 147;
inline constexpr int kReadingProgramList = 148;
inline constexpr int kReceiveSendError = 198;
inline constexpr int kProgramListLoaded = 200;
inline constexpr int kOkCaption = 207;
inline constexpr int kNoFirmwareInstalled = 1105;
inline constexpr int kBankTransferError = 1107;
inline constexpr int kBankTransmitted = 1108;
inline constexpr int kCancelInAction = 1117;
inline constexpr int kChainCapacityUnknown = 9350;
inline constexpr int kSendListNotRead = 9351;

// Receiver link: detection, the firmware and the settings jobs.
inline constexpr int kNoFreePort = 115;
inline constexpr int kReceiverNotRecognized = 118;
inline constexpr int kReceiverProgramming = 122;
inline constexpr int kConnectionLost = 126;
inline constexpr int kTransmissionError = 127;
inline constexpr int kFlashProgrammingError = 128;
inline constexpr int kAutoPortSearch = 130;
inline constexpr int kDataTransmitted = 131;
inline constexpr int kIoError = 203;
inline constexpr int kReadingSettings = 204;
inline constexpr int kSettingsReadError = 205;
inline constexpr int kSettingsLoaded = 206;
inline constexpr int kReceiverFoundAt = 1026;
inline constexpr int kSettingsSendError = 1104;
inline constexpr int kFirmwareTransferError = 1115;
inline constexpr int kWrongSoftwareVersion = 2005;
inline constexpr int kCancelCaption = 2014;
inline constexpr int kManualPortSearch = 2040;
inline constexpr int kNoSerialDevice = 9300;
// The transfer dialog's titles, one per kind of job, and the firmware's version caption.
inline constexpr int kTitleFirmwareSend = 2007;
inline constexpr int kVersionLabel = 2008;
inline constexpr int kTitleListSend = 2009;
inline constexpr int kTitleListLoad = 2010;
inline constexpr int kLoadCaption = 2011;
inline constexpr int kTitleSettingsLoad = 2012;
inline constexpr int kTitleSettingsSend = 2013;
// The status line of a job that runs as one step of several.
inline constexpr int kJobStep = 10500;

// The save dialog for received files.
inline constexpr int kFileExistsReplace = 152;
inline constexpr int kChooseFileName = 153;
inline constexpr int kNotAFileName = 9400;

// The file catalogues of the pages: column strings and the hints of an empty catalogue.
inline constexpr int kNoFirmwareFiles = 114;
inline constexpr int kFirmwareCatalogueColumns = 135;
inline constexpr int kListCatalogueColumns = 136;
inline constexpr int kNoCatalogueFiles = 138;
inline constexpr int kSettingsCatalogueColumns = 154;
inline constexpr int kBankColumnTitles = 1110;

// The catalogue pages.
inline constexpr int kImportTitle = 103;
inline constexpr int kDeleteFileQuestion = 157;
inline constexpr int kTransferCancelled = 1103;

// The default-settings page.
inline constexpr int kSettingsImportFilter = 199;
inline constexpr int kChooseSettingsHint = 211;

// The send path, list files and the command-line tool.
inline constexpr int kSendLineTooLong = 9100;
inline constexpr int kSendLineHasCr = 9101;
inline constexpr int kSendEmptyListQuestion = 9102;
inline constexpr int kSendEmptyListRefused = 9103;
inline constexpr int kBankEntriesDropped = 9104;
inline constexpr int kListShownUnrepaired = 9105;
inline constexpr int kListIsSymlink = 9106;
inline constexpr int kCliReceiverCancelled = 9107;
inline constexpr int kCliTraceIncomplete = 9108;
inline constexpr int kCliTraceIsInput = 9109;
inline constexpr int kCliEmptyListNeedsYes = 9110;
inline constexpr int kCliTargetNotWritable = 9112;
inline constexpr int kFileNameTooLong = 9500;
inline constexpr int kFileNameIsFolder = 9501;
inline constexpr int kDescriptionNotEncodable = 9502;
// Files that are refused for reading or replacing.
inline constexpr int kNotARegularFile = 9150;
inline constexpr int kFileTooLarge = 9151;
inline constexpr int kFileNeedsTooMuchMemory = 9152;
inline constexpr int kDanglingLink = 9153;
inline constexpr int kFileWriteProtected = 9154;
inline constexpr int kSettingsStayUnsaved = 9155;
inline constexpr int kDisplayNotReached = 9156;

// The favourites window, the bank lists and the catalogue pages.
inline constexpr int kProgramAlreadyInBank = 10300;
inline constexpr int kImportRefused = 10301;
inline constexpr int kImportFileEmpty = 10302;
inline constexpr int kImportNoLineEnds = 10303;

// The receiver link.
inline constexpr int kReceivedNotSaved = 9550;

// The program pool editor and the favourite banks.
inline constexpr int kAddIncompleteProgram = 1113;
inline constexpr int kBankAlreadyFull = 1116;
inline constexpr int kSearchTextNotFound = 1118;
inline constexpr int kNotAllProgramsPasted = 1119;
inline constexpr int kFavouriteBankFull = 1120;
inline constexpr int kCellNoLineBreaks = 9800;
inline constexpr int kStepEditCell = 9801;
inline constexpr int kStepInsertRows = 9802;
inline constexpr int kStepClearRows = 9803;
inline constexpr int kStepDeleteRows = 9804;
inline constexpr int kStepPasteOverwriting = 9805;
inline constexpr int kStepPasteRows = 9806;
inline constexpr int kStepMoveRows = 9807;
inline constexpr int kStepAddToBank = 9808;
inline constexpr int kStepDeleteBankEntries = 9809;
inline constexpr int kStepPasteBankEntries = 9810;
inline constexpr int kStepMoveBankEntries = 9811;
inline constexpr int kStepDescription = 9812;
inline constexpr int kStepListType = 9813;
// Sorting, filtering and moving rows of the pool.
inline constexpr int kStepSortRows = 10200;
inline constexpr int kMenuSort = 10201;
inline constexpr int kMenuMoveUp = 10202;
inline constexpr int kMenuMoveDown = 10203;
inline constexpr int kSortTitle = 10204;
inline constexpr int kSortBy = 10205;
inline constexpr int kSortKeyName = 10206;
inline constexpr int kSortKeyFrequency = 10207;
inline constexpr int kSortKeySatellite = 10208;
inline constexpr int kSortKeySid = 10209;
inline constexpr int kSortDescending = 10210;
inline constexpr int kSortSelectedRows = 10211;
inline constexpr int kSortWholePool = 10212;
inline constexpr int kFilterLabel = 10213;
inline constexpr int kFilterPlaceholder = 10214;
inline constexpr int kSearchAllColumns = 10215;
inline constexpr int kMenuSortByColumn = 10216;
inline constexpr int kCliMoveDirection = 10217;
inline constexpr int kUndoStep = 9814;
inline constexpr int kRedoStep = 9815;
inline constexpr int kPoolToolTip = 504;
inline constexpr int kMenuEditCell = 2025;
inline constexpr int kMenuCopy = 2026;
inline constexpr int kMenuPasteOverwriting = 2027;
inline constexpr int kMenuPasteCutRows = 2028;
inline constexpr int kMenuPasteCopiedRows = 2029;
inline constexpr int kMenuInsertEmptyRow = 2030;
inline constexpr int kMenuClearRows = 2031;
inline constexpr int kMenuDeleteRows = 2032;
inline constexpr int kMenuAddToBank = 2033;
inline constexpr int kMenuSearch = 2034;
inline constexpr int kMenuSearchAgain = 2035;
inline constexpr int kAskSaveList = 2041;
inline constexpr int kPoolSearchTitle = 2042;
inline constexpr int kBankSearchTitle = 2043;
inline constexpr int kMenuCut = 2044;
inline constexpr int kEnterFileName = 9950;
inline constexpr int kTextNotStorable = 9951;
inline constexpr int kMenuUndo = 9952;
inline constexpr int kMenuRedo = 9953;
inline constexpr int kLinesPastLastPlace = 9954;
// The settings import refuses what the folder scan would never list.
inline constexpr int kNotASettingsFile = 9700;
inline constexpr int kEmptySettingsFile = 9701;
// The port box names the demo receiver instead of its pseudo-terminal.
inline constexpr int kSimulatedReceiver = 9702;
// The port box's bracket around a missing device is its own.
inline constexpr int kNoDeviceInPortBox = 9703;
inline constexpr int kTypeNeedsRepairedFile = 9450;
inline constexpr int kTextPastLastField = 9451;

// Editing a program list from the command line.
inline constexpr int kCliTargetInMoved = 9900;
inline constexpr int kCliNumberOutOfRange = 9901;
inline constexpr int kCliBankEmpty = 9902;
inline constexpr int kCliListWouldLoseData = 9903;
inline constexpr int kCliNotEncodable = 9904;
inline constexpr int kCliIncompletePlace = 9905;
inline constexpr int kCliEmptySearchText = 9906;
inline constexpr int kCliMissingOption = 9907;

// The favourites window and its bank lists.
inline constexpr int kUndoPlain = 9980;
inline constexpr int kRedoPlain = 9981;
inline constexpr int kUndoMenuItem = 9982;
inline constexpr int kRedoMenuItem = 9983;
inline constexpr int kClipboardNotCp1252 = 9984;
inline constexpr int kKeysHelpTitle = 9985;
inline constexpr int kKeysHelpText = 9986;
inline constexpr int kPrintPdfOptionsAlone = 9660;
inline constexpr int kPrintPdfNeedsFiles = 9661;
inline constexpr int kPrintPdfExists = 9662;
inline constexpr int kPrintPdfNotWritten = 9663;
inline constexpr int kPrintPdfWritten = 9664;
inline constexpr int kPrintPdfIsTheList = 9665;

// Advice when a service may have taken the serial adapter.
inline constexpr int kModemManagerHint = 9600;

// The page setup.
inline constexpr int kIntegerOutOfRange = 9630;
// Print settings that cannot be laid out, the colour dialogs, a page range without pages.
inline constexpr int kPrintTopBottomMarginsTooLarge = 10400;
inline constexpr int kPrintLeftRightMarginsTooLarge = 10401;
inline constexpr int kPrintHeaderFontTooLarge = 10402;
inline constexpr int kPrintMainFontTooLarge = 10403;
inline constexpr int kHeaderColourTitle = 10404;
inline constexpr int kTableColourTitle = 10405;
inline constexpr int kNoPageInRange = 10406;
// Printing the program pool from the editor.
inline constexpr int kMenuPrint = 9640;
inline constexpr int kMenuPrintPreview = 9641;
inline constexpr int kMenuExportPdf = 9642;
inline constexpr int kMenuPageSetup = 9643;
inline constexpr int kPrintOnlySelection = 9644;
inline constexpr int kExportPdfTitle = 9645;
inline constexpr int kPdfFilter = 9646;
inline constexpr int kPdfFileDevice = 9647;
inline constexpr int kPrintPageFailed = 9648;

// Rows that an edit would push or write past the last place; a list changed on disk.
inline constexpr int kProgramsAtEnd = 10000;
inline constexpr int kOneProgramAtEnd = 10001;
inline constexpr int kAndOneBankEntry = 10002;
inline constexpr int kAndBankEntries = 10003;
inline constexpr int kWouldBeRemovedMany = 10004;
inline constexpr int kWouldBeRemovedOne = 10005;
inline constexpr int kProgramsPastLastPlace = 10006;
inline constexpr int kInsertAnyway = 10008;
inline constexpr int kPasteAnyway = 10009;
inline constexpr int kCliForceDoesItAnyway = 10010;
inline constexpr int kListChangedOnDisk = 10011;
inline constexpr int kButtonOverwrite = 10012;
inline constexpr int kButtonSaveUnderOtherName = 10013;
inline constexpr int kButtonBack = 10014;
// The editor that loses nothing: discarding, its title and status line, a received list.
inline constexpr int kAskDiscardChanges = 10100;
inline constexpr int kAnswerDiscard = 10101;
inline constexpr int kAnswerBack = 10102;
inline constexpr int kNewListName = 10103;
inline constexpr int kTitleSavesCopy = 10104;
inline constexpr int kFileNameSavesCopy = 10105;
inline constexpr int kStatusPool = 10106;
inline constexpr int kStatusBank = 10107;
inline constexpr int kAskDiscardReceivedList = 10108;
// Added to a refused cell's message: what to change.
inline constexpr int kCellOffendingCharacter = 10110;
inline constexpr int kCellDigitLimit = 10111;
// Writing firmware asks first, naming what is replaced.
inline constexpr int kAskWriteFirmware = 10750;
inline constexpr int kAskWriteFirmwareIntoEmpty = 10751;
inline constexpr int kCliQuestionNeedsYes = 10752;

// The safety copies taken before a send, and the switches for them and the check after it.
inline constexpr int kSafetyCopyDescription = 10650;
inline constexpr int kSafetyCopyBeforeSend = 10651;
inline constexpr int kSafetyCopyBeforeSendTip = 10652;
inline constexpr int kCheckAfterSend = 10653;
inline constexpr int kCheckAfterSendTip = 10654;
inline constexpr int kSafetyCopies = 10655;
inline constexpr int kSafetyCopyColumns = 10656;
inline constexpr int kSendSafetyCopy = 10657;
inline constexpr int kSendSafetyCopyTip = 10658;
inline constexpr int kNoSafetyCopies = 10659;
inline constexpr int kSafetyCopyListTip = 10660;

// The transfer logbook: its command, its window and the titles of its columns.
inline constexpr int kCliLogUsage = 10600;
inline constexpr int kShowLogbook = 10601;
inline constexpr int kLogbookTitle = 10602;
inline constexpr int kLogbookFilterLabel = 10603;
inline constexpr int kLogbookFilterHint = 10604;
inline constexpr int kLogbookShownOfAll = 10605;
inline constexpr int kLogbookEmpty = 10606;
inline constexpr int kLogbookUnreadable = 10607;
inline constexpr int kFirstLogbookColumn = 10610; // 10610..10621 in the order of the file

// The check after a send: verdicts, the text report, the firmware check.
inline constexpr int kCheckListSame = 10550;
inline constexpr int kCheckListDiffers = 10551;
inline constexpr int kCheckPlacesDiffer = 10552;
inline constexpr int kCheckOnePlaceDiffers = 10553;
inline constexpr int kCheckNamesDiffer = 10554;
inline constexpr int kCheckColumnDiffers = 10555;
inline constexpr int kCheckBankHoldsFewer = 10556;
inline constexpr int kCheckBankHoldsMore = 10557;
inline constexpr int kCheckBankEntriesDiffer = 10558;
inline constexpr int kCheckBanksDiffer = 10559;
inline constexpr int kCheckSettingsSame = 10560;
inline constexpr int kCheckSettingsDiffer = 10561;
inline constexpr int kCheckSettingsByteDiffers = 10562;
inline constexpr int kCheckNoByte = 10563;
inline constexpr int kCheckFirmwareRuns = 10564;
inline constexpr int kCheckFirmwareStillNames = 10565;
inline constexpr int kCheckNotRun = 10566;
inline constexpr int kCheckReportPlace = 10567;
inline constexpr int kCheckReportBank = 10568;
inline constexpr int kCheckReportByte = 10569;
// The demo receiver's store faults on the program's command line.
inline constexpr int kStoreFaultNeedsDemo = 10570;

// sends with a safety copy and a check
inline constexpr int kCheckCancelled = 10700;
inline constexpr int kCliSafetyCopyFailed = 10701;
inline constexpr int kCliSafetyCopyWritten = 10702;
inline constexpr int kLogbookNotWritten = 10703;
inline constexpr int kSendWithoutSafetyCopy = 10704;
// the pages' context menu entry (menus 193 and 194)
inline constexpr int kCompareWithReceiver = 10705;
// the steps around a send, as the transfer dialog names them
inline constexpr int kStepSafetyCopy = 10706;
inline constexpr int kStepCheck = 10707;
inline constexpr int kCliReportIsInput = 10708;
inline constexpr int kCliReportNotWritten = 10709;

// the report window of the list tools and the check
inline constexpr int kReportSave = 10890;
inline constexpr int kReportSaveTitle = 10891;
inline constexpr int kReportFilter = 10892;
// the transfer dialog's button that shows a check's whole comparison, and its window
inline constexpr int kShowCheckReport = 10893;
inline constexpr int kCheckReportTitle = 10894;
// the editor's button whose menu holds the tools that work on the whole list
inline constexpr int kEditorTools = 10899;

// list batch: many editing words from a script, the list written once
inline constexpr int kCliBatchLine = 11800;
inline constexpr int kCliBatchNothingWritten = 11801;
inline constexpr int kCliBatchRefusedLines = 11802;
inline constexpr int kCliBatchNested = 11803;
inline constexpr int kCliBatchUnclosedSingleQuote = 11804;
inline constexpr int kCliBatchUnclosedDoubleQuote = 11805;
inline constexpr int kCliBatchTrailingBackslash = 11806;
inline constexpr int kCliBatchStdinUnreadable = 11807;
inline constexpr int kCliBatchNulCharacter = 11808;
// finding and removing duplicate programs
inline constexpr int kStepRemoveDuplicates = 11200;
inline constexpr int kToolFindDuplicates = 11201;
inline constexpr int kDuplicatesTitle = 11202;
inline constexpr int kDuplicatesCompare = 11203;
inline constexpr int kDuplicatesByProgram = 11204;
inline constexpr int kDuplicatesByName = 11205;
inline constexpr int kDuplicatesKeep = 11206;
inline constexpr int kDuplicatesKeepFirst = 11207;
inline constexpr int kDuplicatesKeepBanked = 11208;
inline constexpr int kDuplicatesGroups = 11209;
inline constexpr int kDuplicatesGroupTitle = 11210;
inline constexpr int kDuplicatesSummary = 11211;
inline constexpr int kDuplicatesNone = 11212;
inline constexpr int kDuplicatesRemoved = 11213;
inline constexpr int kDuplicatesRemove = 11214;
inline constexpr int kDuplicatesPlace = 11215;
inline constexpr int kDuplicatesName = 11216;
// the CSV export and import of a program list
inline constexpr int kStepImportCsv = 11600;
inline constexpr int kCsvNoHeader = 11601;
inline constexpr int kCsvColumnTwice = 11602;
inline constexpr int kCsvSummary = 11603;
inline constexpr int kCsvProblemAt = 11604;
inline constexpr int kCsvProblemInLine = 11605;
inline constexpr int kCsvBadPlace = 11606;
inline constexpr int kCsvPlaceTwice = 11607;
inline constexpr int kCsvPlaceOccupied = 11608;
inline constexpr int kCsvNoFreePlace = 11609;
inline constexpr int kCsvNoProgram = 11610;
inline constexpr int kCsvRowNotTaken = 11611;
inline constexpr int kCsvBadBankToken = 11612;
inline constexpr int kCsvBankFull = 11613;
inline constexpr int kCsvOpenQuote = 11614;
inline constexpr int kCsvFieldEmptied = 11615;
inline constexpr int kCsvReadAs = 11616;
inline constexpr int kCsvComma = 11617;
inline constexpr int kCsvSemicolon = 11618;
inline constexpr int kCsvLineBreak = 11619;
inline constexpr int kEditorExportCsv = 11620;
inline constexpr int kEditorImportCsv = 11621;
inline constexpr int kCsvExportTitle = 11622;
inline constexpr int kCsvImportTitle = 11623;
inline constexpr int kCsvSaveFilter = 11624;
inline constexpr int kCsvOpenFilter = 11625;
inline constexpr int kCsvReplaceQuestion = 11626;
inline constexpr int kCsvReplace = 11627;
inline constexpr int kCsvAdd = 11628;
inline constexpr int kCsvReadFailed = 11629;
inline constexpr int kCsvWriteFailed = 11630;
inline constexpr int kCliCsvExists = 11631;
inline constexpr int kCliCsvNotRegular = 11632;
inline constexpr int kCliCsvBadSeparator = 11633;
inline constexpr int kCsvExported = 11634;
inline constexpr int kCsvAllTaken = 11635;
inline constexpr int kCliCsvIsTheList = 11636;

// comparing two lists
inline constexpr int kMarkSame = 11400; // to kMarkOnlyRight: the order of PairMark
inline constexpr int kMarkChanged = 11401;
inline constexpr int kMarkMoved = 11402;
inline constexpr int kMarkOnlyLeft = 11403;
inline constexpr int kMarkOnlyRight = 11404;
inline constexpr int kBankReordered = 11405;
inline constexpr int kStepTakeOver = 11406;
inline constexpr int kTakeOverNoRoom = 11407;
inline constexpr int kCompareTitle = 11408;
inline constexpr int kCompareLeft = 11409;
inline constexpr int kCompareRight = 11410;
inline constexpr int kCompareShow = 11411;
// the filter boxes, in the order of PairMark
inline constexpr int kCompareFilterSame = 11412;
inline constexpr int kCompareFilterChanged = 11413;
inline constexpr int kCompareFilterMoved = 11414;
inline constexpr int kCompareFilterOnlyLeft = 11415;
inline constexpr int kCompareFilterOnlyRight = 11416;
inline constexpr int kCompareTakeOver = 11417;
inline constexpr int kCompareAtPlace = 11418;
inline constexpr int kCompareAtEnd = 11419;
inline constexpr int kComparePrograms = 11420;
inline constexpr int kCompareFavourites = 11421;
inline constexpr int kCompareMarkColumn = 11422;
inline constexpr int kCompareBankColumns = 11423;
inline constexpr int kCompareBanksSame = 11424;
inline constexpr int kCompareCounts = 11425;
inline constexpr int kCompareViewOnly = 11426;
inline constexpr int kCompareTakenOver = 11427;
inline constexpr int kToolCompareWithFile = 11428;
inline constexpr int kCompareOpenTitle = 11429;
inline constexpr int kCompareOpenFilter = 11430;
inline constexpr int kCompareNotAList = 11431;
inline constexpr int kCompareChooseRight = 11432;
inline constexpr int kCompareReceiver = 11433;
inline constexpr int kCompareToolTip = 11434;
inline constexpr int kCliDiffNotInBatch = 11435;
// putting a list into the order of a reference list
inline constexpr int kMenuOrderLike = 11000;
inline constexpr int kOrderLikeChooseTitle = 11001;
inline constexpr int kOrderLikeFilter = 11002;
inline constexpr int kOrderLikeReportTitle = 11003;
inline constexpr int kOrderLikeSelectNew = 11004;
inline constexpr int kStepOrderLike = 11005;
inline constexpr int kOrderLikeNoRoom = 11006;
inline constexpr int kOrderLikeBankOverflow = 11007;
inline constexpr int kOrderLikeMatched = 11010;
inline constexpr int kOrderLikeAdded = 11011;
inline constexpr int kOrderLikeAddedLine = 11012;
inline constexpr int kOrderLikeOnlyInReference = 11013;
inline constexpr int kOrderLikeReferenceLine = 11014;
inline constexpr int kOrderLikeAmbiguous = 11015;
inline constexpr int kOrderLikeAmbiguousList = 11016;
inline constexpr int kOrderLikeAmbiguousReference = 11017;

// Production station
inline constexpr int kRecipeNoSection = 12000;
inline constexpr int kRecipeNoStep = 12001;
inline constexpr int kRecipeBadFlag = 12002;
inline constexpr int kRecipeStepFailed = 12003;
inline constexpr int kRecipeWrongListType = 12004;
inline constexpr int kRecipeEmptyFile = 12005;
inline constexpr int kRecipeListNeedsRepair = 12006;
inline constexpr int kRecipeNotReadable = 12007;
inline constexpr int kStationSafetyCopyFailed = 12010;

// Production station on the command line
inline constexpr int kCliProductionUsage = 12200;
inline constexpr int kCliProductionNeedsPorts = 12201;
inline constexpr int kCliProductionNoDevice = 12202;
inline constexpr int kCliProductionPortTwice = 12203;
inline constexpr int kCliProductionPortDone = 12204;
inline constexpr int kCliProductionPortFailed = 12205;
inline constexpr int kCliProductionSummaryHeadings = 12206;
inline constexpr int kCliProductionAnsweredNo = 12207;
inline constexpr int kCliProductionNotWritten = 12208;
// The production window
inline constexpr int kProductionStationButton = 12300;
inline constexpr int kProductionTitle = 12301;
inline constexpr int kProductionRecipeGroup = 12302;
inline constexpr int kProductionFirmware = 12303;
inline constexpr int kProductionSettings = 12304;
inline constexpr int kProductionTvList = 12305;
inline constexpr int kProductionRadioList = 12306;
inline constexpr int kProductionNone = 12307;
inline constexpr int kProductionVerify = 12308;
inline constexpr int kProductionBackup = 12309;
inline constexpr int kProductionOpenRecipe = 12310;
inline constexpr int kProductionSaveRecipe = 12311;
inline constexpr int kProductionReceivers = 12312;
inline constexpr int kProductionPortColumn = 12313;
inline constexpr int kProductionDeviceColumn = 12314;
inline constexpr int kProductionStepColumn = 12315;
inline constexpr int kProductionProgressColumn = 12316;
inline constexpr int kProductionVerdictColumn = 12317;
inline constexpr int kProductionStart = 12318;
inline constexpr int kProductionCancelAll = 12319;
inline constexpr int kProductionRepeatFailed = 12320;
inline constexpr int kProductionClose = 12321;
inline constexpr int kProductionReport = 12322;
inline constexpr int kProductionRecipeFilter = 12323;
inline constexpr int kProductionOpenRecipeTitle = 12324;
inline constexpr int kProductionSaveRecipeTitle = 12325;
inline constexpr int kProductionNoPortChosen = 12326;
inline constexpr int kProductionNothingSent = 12327;
inline constexpr int kProductionPortQuestion = 12328;
inline constexpr int kProductionVerdictOk = 12329;
inline constexpr int kProductionWaiting = 12331;
inline constexpr int kProductionPortEnded = 12332;
inline constexpr int kProductionCloseWhileRunning = 12333;
inline constexpr int kProductionCancelling = 12334;
inline constexpr int kProductionRecordsNotWritten = 12335;
inline constexpr int kProductionReportUnreadable = 12336;
inline constexpr int kProductionNoPorts = 12337;
inline constexpr int kProductionSummary = 12338;
inline constexpr int kProductionRunning = 12339;
inline constexpr int kProductionColumnStart = 12340;
inline constexpr int kProductionColumnEnd = 12341;
inline constexpr int kProductionColumnPort = 12342;
inline constexpr int kProductionColumnDevice = 12343;
inline constexpr int kProductionColumnModel = 12344;
inline constexpr int kProductionColumnSoftwareBefore = 12345;
inline constexpr int kProductionColumnSoftwareAfter = 12346;
inline constexpr int kProductionColumnFirmware = 12347;
inline constexpr int kProductionColumnSettings = 12348;
inline constexpr int kProductionColumnTv = 12349;
inline constexpr int kProductionColumnRadio = 12350;
inline constexpr int kProductionColumnCheck = 12351;
inline constexpr int kProductionColumnResult = 12352;
inline constexpr int kProductionColumnSeconds = 12353;
inline constexpr int kProductionStationTip = 12354;
inline constexpr int kProductionRecipeNotSaved = 12355;
inline constexpr int kProductionNoReportYet = 12356;
inline constexpr int kProductionVerdictFailedPlain = 12357;

} // namespace fw::str
