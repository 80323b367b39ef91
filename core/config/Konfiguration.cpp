#include "core/config/Konfiguration.h"

#include "core/config/FontText.h"
#include "core/config/ProfileFile.h"
#include "core/config/SplitJoin.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"
#include "core/util/WholeNumber.h"

#include <algorithm>
#include <vector>

namespace fw {
namespace {

constexpr std::string_view kOptions = "OPTIONEN";
constexpr std::string_view kTransfer = "DATENTRANSFER";
constexpr std::string_view kInternet = "INTERNET";
constexpr std::string_view kPersistent = "PERSISTENT";
constexpr std::string_view kPrint = "PRINT";
constexpr std::string_view kSafety = "SAFETY";
constexpr std::string_view kProduction = "PRODUCTION";

constexpr int kDefaultBaudRate = 115200;
constexpr int kDefaultRecTimeout = 500;
constexpr int kLoadMargin = 20;

// The pool grid's column titles without their width markers.
std::string DefaultColumnTitles() {
    std::string titles = LoadResString(str::kColumnTitles);
    std::erase(titles, '#');
    return titles;
}

LogFont ResetFont(int weight, bool emphasised) {
    LogFont font;
    font.height = -27;
    font.weight = weight;
    font.italic = emphasised ? 1 : 0;
    font.underline = emphasised ? 1 : 0;
    font.pitchAndFamily = 48;
    font.faceName = "ARIAL";
    return font;
}

LogFont ReadFont(const ProfileFile& profile, std::string_view key) {
    const std::string text = profile.GetString(kPrint, key, "");
    return text.empty() ? DefaultPrintFont() : StringToFont(text);
}

// Server folders are kept relative and without a trailing separator.
void StripOneSlashEachEnd(std::string& path) {
    if (path.empty())
        return;
    if (path.front() == '/')
        path.erase(0, 1);
    if (!path.empty() && path.back() == '/')
        path.pop_back();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A switch that protects the user's data: only a plain 0 turns it off, text that is no number
// leaves it at its default.
int ReadSwitch(const ProfileFile& profile, std::string_view section, std::string_view key,
               int defaultValue) {
    const WholeNumber number = ParseWholeNumber(profile.GetString(section, key, ""));
    if (number.status != WholeNumberStatus::Ok)
        return defaultValue;
    return number.value != 0 ? 1 : 0;
}

} // namespace

int BaudIndexOfRate(int rate) {
    const auto found = std::find(kBaudRates.begin(), kBaudRates.end(), rate);
    return found == kBaudRates.end() ? int(kBaudRates.size()) - 1 : int(found - kBaudRates.begin());
}

int BaudRateOfIndex(int index) {
    return index >= 0 && index < int(kBaudRates.size()) ? kBaudRates[std::size_t(index)]
                                                        : kDefaultBaudRate;
}

int SafetyCopiesToKeep(int stored) {
    return std::clamp(stored, 1, kMostSafetyCopies);
}

std::array<int, 4> ProductionRows(std::string_view text) {
    std::array<int, 4> rows{};
    const std::vector<int> numbers = SplitInts(text, ',');
    std::copy_n(numbers.begin(), std::min(numbers.size(), rows.size()), rows.begin());
    return rows;
}

ProxySetting ParseProxyServer(std::string_view text) {
    const std::string defaultPort = LoadResString(str::kDefaultProxyPort);
    const auto ftp = text.find("ftp=");
    if (ftp != std::string_view::npos) {
        std::string_view entry = text.substr(ftp + 4);
        entry = entry.substr(0, entry.find(';'));
        const auto colon = entry.find(':');
        if (colon == std::string_view::npos)
            return {std::string(entry), defaultPort};
        return {std::string(entry.substr(0, colon)), std::string(entry.substr(colon + 1))};
    }
    // A numeric address always splits at its first ":"; a host name splits only when a port
    // number follows, so "proxy:8080" does not end up as an address with port 21.
    const auto colon = text.find(':');
    if (colon != std::string_view::npos && colon > 0) {
        const std::string_view after = text.substr(colon + 1);
        if (IsDigit(text.front()) || (!after.empty() && IsAllDigits(after)))
            return {std::string(text.substr(0, colon)), std::string(after)};
    }
    return {std::string(text), defaultPort};
}

std::string ProxyServerFromUrl(std::string_view url) {
    url = Trim(url);
    if (const auto scheme = url.find("://"); scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    url = url.substr(0, url.find('/'));
    if (const auto credentials = url.rfind('@'); credentials != std::string_view::npos)
        url.remove_prefix(credentials + 1);
    return std::string(url);
}

CKonfiguration::~CKonfiguration() = default;

void CKonfiguration::Load(const ProfileFile& profile) {
    m_bFertigung = 0;

    m_toolTips = profile.GetInt(kOptions, "TOOLTIPS", 1);
    m_productionFiles = profile.GetString(kOptions, "FERTFILESID", "");

    m_baudRate = profile.GetInt(kTransfer, "BAUDRATE", kDefaultBaudRate);
    if (std::find(kBaudRates.begin(), kBaudRates.end(), m_baudRate) == kBaudRates.end())
        m_baudRate = kDefaultBaudRate;
    m_comPort = profile.GetInt(kTransfer, "COMPORT", 0);
    m_recTimeout = profile.GetInt(kTransfer, "REC-TIMEOUT", kDefaultRecTimeout);
    m_versionHint = profile.GetInt(kTransfer, "VERSIONHINWEIS", 1);

    m_keepPassword = profile.GetInt(kInternet, "KENNWSPEICH", 0);
    m_dialUpEntry = profile.GetString(kInternet, "RAS-EINTRAG", "");
    m_connectionType = profile.GetInt(kInternet, "VERBINDUNGSART", 0);
    m_ftpAddress = profile.GetString(kInternet, "FTP-ADRESSE", LoadResString(str::kDefaultFtpHost));
    m_firmwarePath =
        profile.GetString(kInternet, "BSR-PFAD", LoadResString(str::kDefaultFirmwarePath));
    m_listPath = profile.GetString(kInternet, "LST-PFAD", LoadResString(str::kDefaultListPath));
    m_settingsPath =
        profile.GetString(kInternet, "GRD-PFAD", LoadResString(str::kDefaultSettingsPath));
    m_proxyAddress = profile.GetString(kInternet, "PROXY-ADRESSE", "");
    m_proxyPort =
        profile.GetString(kInternet, "PROXY-ANSCHLUSS", LoadResString(str::kDefaultProxyPort));
    m_password = profile.GetString(kInternet, "KENNWORT", "");
    m_userName = profile.GetString(kInternet, "BENUTZERNAME", "");

    m_chosenFirmwareFile = profile.GetString(kPersistent, "AKTUWAHLOS", "");
    m_chosenListFile = profile.GetString(kPersistent, "AKTUWAHLLISTS", "");
    m_chosenSettingsFile = profile.GetString(kPersistent, "AKTUWAHLSETTINGS", "");
    m_sortSettings = profile.GetInt(kPersistent, "SORTSETTINGS", -1);
    m_sortFirmware = profile.GetInt(kPersistent, "SORTOS", -1);
    m_sortLists = profile.GetInt(kPersistent, "SORTLISTS", -1);
    m_activePage = profile.GetInt(kPersistent, "ACTIVEPAGE", 0);
    m_mainWindow = {
        profile.GetInt(kPersistent, "MAINX", 0), profile.GetInt(kPersistent, "MAINY", 0),
        profile.GetInt(kPersistent, "MAINCX", 0), profile.GetInt(kPersistent, "MAINCY", 0)};

    m_safetyCopy = ReadSwitch(profile, kSafety, "BACKUP", 1);
    m_verifyAfterSend = ReadSwitch(profile, kSafety, "VERIFY", 1);
    const WholeNumber keep = ParseWholeNumber(profile.GetString(kSafety, "KEEP", ""));
    m_safetyCopyKeep = keep.status == WholeNumberStatus::Ok ? SafetyCopiesToKeep(keep.value)
                                                            : kDefaultSafetyCopies;

    m_productionRecipe.reset();
    if (!profile.GetSection(kProduction).empty()) {
        ProductionRecipeSetting recipe;
        recipe.firmware = profile.GetString(kProduction, "FIRMWARE", "");
        recipe.settings = profile.GetString(kProduction, "SETTINGS", "");
        recipe.tvList = profile.GetString(kProduction, "TV", "");
        recipe.radioList = profile.GetString(kProduction, "RADIO", "");
        recipe.verify = ReadSwitch(profile, kProduction, "VERIFY", 1);
        recipe.backup = ReadSwitch(profile, kProduction, "BACKUP", 0);
        m_productionRecipe = recipe;
    }

    CDruckDat& print = m_printSettings;
    const std::string defaultTitles = DefaultColumnTitles();
    std::string titles(Trim(profile.GetString(kPrint, "COLARRAY", defaultTitles)));
    if (titles.empty())
        titles = defaultTitles;
    print.m_columnTitles = SplitStrings(titles, '|');
    const std::size_t columns = print.m_columnTitles.size();

    const std::string defaultFlags = JoinInts(std::vector<int>(columns, 1), '|');
    std::string flags(Trim(profile.GetString(kPrint, "COLCHECK", defaultFlags)));
    if (flags.empty())
        flags = defaultFlags;
    print.m_columnFlags = SplitInts(flags, '|');
    // Every title needs a flag; a column without one is printed, as with no COLCHECK at all.
    if (print.m_columnFlags.size() < columns)
        print.m_columnFlags.resize(columns, 1);

    print.m_leftMargin = profile.GetInt(kPrint, "LEFT", kLoadMargin);
    print.m_rightMargin = profile.GetInt(kPrint, "RIGHT", kLoadMargin);
    print.m_topMargin = profile.GetInt(kPrint, "UP", kLoadMargin);
    print.m_bottomMargin = profile.GetInt(kPrint, "DOWN", kLoadMargin);
    print.m_headerFont = ReadFont(profile, "FONTHEAD");
    print.m_mainFont = ReadFont(profile, "FONTMAIN");
    print.m_headerText = profile.GetString(kPrint, "HEAD", LoadResString(str::kDefaultPrintHeader));
    // Read back so that a footer survives a restart.
    print.m_footerText = profile.GetString(kPrint, "FOOT", "");
    print.m_headerColour = static_cast<std::uint32_t>(profile.GetInt(kPrint, "COLHEAD", 0));
    print.m_mainColour = static_cast<std::uint32_t>(profile.GetInt(kPrint, "COLMAIN", 0));
}

ConfigSaveResult CKonfiguration::Save(ProfileFile& profile) {
    StripOneSlashEachEnd(m_firmwarePath);
    StripOneSlashEachEnd(m_listPath);

    profile.WriteInt(kOptions, "TOOLTIPS", m_toolTips);
    profile.WriteString(kOptions, "FERTFILESID", m_productionFiles);

    profile.WriteInt(kTransfer, "BAUDRATE", m_baudRate);
    profile.WriteInt(kTransfer, "COMPORT", m_comPort);
    profile.WriteInt(kTransfer, "REC-TIMEOUT", m_recTimeout);
    profile.WriteInt(kTransfer, "VERSIONHINWEIS", m_versionHint);

    profile.WriteString(kInternet, "BSR-PFAD", m_firmwarePath);
    profile.WriteString(kInternet, "LST-PFAD", m_listPath);
    profile.WriteString(kInternet, "GRD-PFAD", m_settingsPath);
    profile.WriteString(kInternet, "KENNWORT", m_keepPassword != 0 ? m_password : std::string());
    profile.WriteString(kInternet, "BENUTZERNAME", m_userName);
    profile.WriteString(kInternet, "PROXY-ADRESSE", m_proxyAddress);
    profile.WriteString(kInternet, "PROXY-ANSCHLUSS", m_proxyPort);
    profile.WriteInt(kInternet, "VERBINDUNGSART", m_connectionType);
    profile.WriteInt(kInternet, "KENNWSPEICH", m_keepPassword);
    profile.WriteString(kInternet, "RAS-EINTRAG", m_dialUpEntry);
    profile.WriteString(kInternet, "FTP-ADRESSE", m_ftpAddress);

    profile.WriteString(kPersistent, "AKTUWAHLOS", m_chosenFirmwareFile);
    profile.WriteString(kPersistent, "AKTUWAHLLISTS", m_chosenListFile);
    profile.WriteString(kPersistent, "AKTUWAHLSETTINGS", m_chosenSettingsFile);
    profile.WriteInt(kPersistent, "ACTIVEPAGE", m_activePage);
    // Written once the window was shown, so a file that never saw one stays as it was.
    if (m_mainWindow.cx > 0) {
        profile.WriteInt(kPersistent, "MAINX", m_mainWindow.x);
        profile.WriteInt(kPersistent, "MAINY", m_mainWindow.y);
        profile.WriteInt(kPersistent, "MAINCX", m_mainWindow.cx);
        profile.WriteInt(kPersistent, "MAINCY", m_mainWindow.cy);
    }
    profile.WriteInt(kPersistent, "SORTOS", m_sortFirmware);
    profile.WriteInt(kPersistent, "SORTLISTS", m_sortLists);
    profile.WriteInt(kPersistent, "SORTSETTINGS", m_sortSettings);

    const CDruckDat& print = m_printSettings;
    profile.WriteInt(kPrint, "DOWN", print.m_bottomMargin);
    profile.WriteInt(kPrint, "LEFT", print.m_leftMargin);
    profile.WriteInt(kPrint, "UP", print.m_topMargin);
    profile.WriteInt(kPrint, "RIGHT", print.m_rightMargin);
    profile.WriteString(kPrint, "COLARRAY", JoinStrings(print.m_columnTitles, '|'));
    profile.WriteString(kPrint, "COLCHECK", JoinInts(print.m_columnFlags, '|'));
    profile.WriteString(kPrint, "FONTMAIN", FontToString(print.m_mainFont));
    profile.WriteString(kPrint, "FONTHEAD", FontToString(print.m_headerFont));
    profile.WriteString(kPrint, "FOOT", print.m_footerText);
    profile.WriteString(kPrint, "HEAD", print.m_headerText);
    profile.WriteInt(kPrint, "COLMAIN", static_cast<int>(print.m_mainColour));
    profile.WriteInt(kPrint, "COLHEAD", static_cast<int>(print.m_headerColour));

    profile.WriteInt(kSafety, "BACKUP", m_safetyCopy);
    profile.WriteInt(kSafety, "KEEP", m_safetyCopyKeep);
    profile.WriteInt(kSafety, "VERIFY", m_verifyAfterSend);

    if (m_productionRecipe) {
        const ProductionRecipeSetting& recipe = *m_productionRecipe;
        profile.WriteString(kProduction, "FIRMWARE", recipe.firmware);
        profile.WriteString(kProduction, "SETTINGS", recipe.settings);
        profile.WriteString(kProduction, "TV", recipe.tvList);
        profile.WriteString(kProduction, "RADIO", recipe.radioList);
        profile.WriteInt(kProduction, "VERIFY", recipe.verify);
        profile.WriteInt(kProduction, "BACKUP", recipe.backup);
    }

    ConfigSaveResult result;
    if (profile.Save(result.reason))
        result.status = ConfigSaveStatus::Saved;
    return result;
}

void CKonfiguration::ResetInternet() {
    m_keepPassword = 0;
    m_dialUpEntry.clear();
    m_ftpAddress = LoadResString(str::kDefaultFtpHost);
    m_firmwarePath = LoadResString(str::kDefaultFirmwarePath);
    m_listPath = LoadResString(str::kDefaultListPath);
    m_settingsPath = LoadResString(str::kDefaultSettingsPath);
    m_proxyAddress.clear();
    m_proxyPort = LoadResString(str::kDefaultProxyPort);
    m_password.clear();
    m_userName.clear();
}

void CKonfiguration::ResetOptions() {
    m_toolTips = 1;
    m_baudRate = kDefaultBaudRate;
    m_recTimeout = kDefaultRecTimeout;
    m_versionHint = 1;
    m_bFertigung = 0;
    m_productionFiles.clear();
    m_activePage = 0;
    m_safetyCopy = 1;
    m_safetyCopyKeep = kDefaultSafetyCopies;
    m_verifyAfterSend = 1;
}

void CKonfiguration::ResetPrint() {
    CDruckDat& print = m_printSettings;
    print.m_columnTitles = SplitStrings(DefaultColumnTitles(), '|');
    print.m_columnFlags.assign(print.m_columnTitles.size(), 1);
    print.m_leftMargin = 10;
    print.m_rightMargin = 10;
    print.m_topMargin = 0;
    print.m_bottomMargin = 0;
    print.m_headerFont = ResetFont(700, true);
    print.m_mainFont = ResetFont(400, false);
    print.m_headerText = LoadResString(str::kDefaultPrintHeader);
    print.m_footerText.clear();
    print.m_headerColour = 0;
    print.m_mainColour = 0;
}

void CKonfiguration::ReadSystemProxy(const EnvironmentLookup& getEnvironment) {
    const char* proxy = nullptr;
    if (getEnvironment) {
        for (const char* name : {"ftp_proxy", "FTP_PROXY", "http_proxy", "HTTP_PROXY"}) {
            const char* value = getEnvironment(name);
            if (value != nullptr && !Trim(value).empty()) {
                proxy = value;
                break;
            }
        }
    }
    if (proxy == nullptr) {
        m_connectionType = 0;
        return;
    }
    m_connectionType = 1;
    ProxySetting setting = ParseProxyServer(ProxyServerFromUrl(proxy));
    m_proxyAddress = std::move(setting.address);
    m_proxyPort = std::move(setting.port);
}

} // namespace fw
