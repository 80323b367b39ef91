#include "core/config/Konfiguration.h"
#include "core/config/FontText.h"
#include "core/config/ProfileFile.h"
#include "core/config/SplitJoin.h"
#include "core/res/StringTable.h"

#include "tests/core/config/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

namespace fw {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

const EnvironmentLookup kNoEnvironment = [](const char*) -> const char* { return nullptr; };

class Konfiguration : public ::testing::Test {
protected:
    void TearDown() override { SetLanguage(Language::English); }

    CKonfiguration FirstStart() {
        CKonfiguration config;
        config.ResetInternet();
        config.ReadSystemProxy(kNoEnvironment);
        config.ResetOptions();
        config.ResetPrint();
        return config;
    }

    CKonfiguration Loaded(std::string_view text) {
        ProfileFile profile;
        profile.SetText(text);
        CKonfiguration config;
        config.Load(profile);
        return config;
    }

    // Saves into a file of its own and returns what reached the disk.
    std::string Saved(CKonfiguration& config, const std::string& before = {}) {
        const std::string path = m_dir.File("upd.ini");
        std::filesystem::remove(path);
        if (!before.empty())
            WriteBytes(path, before);
        ProfileFile profile;
        EXPECT_TRUE(profile.Load(path));
        const ConfigSaveResult saved = config.Save(profile);
        EXPECT_EQ(saved.status, ConfigSaveStatus::Saved) << saved.reason;
        return ReadBytes(path);
    }

    TempDir m_dir;
};

std::string FirstStartText(const std::string& titles, const std::string& head) {
    return "[OPTIONEN]\nTOOLTIPS=1\nFERTFILESID=\n"
           "[DATENTRANSFER]\nBAUDRATE=115200\nCOMPORT=0\nREC-TIMEOUT=500\nVERSIONHINWEIS=1\n"
           "[INTERNET]\nBSR-PFAD=update/os\nLST-PFAD=update/lists\nGRD-PFAD=update/settings\n"
           "KENNWORT=\nBENUTZERNAME=\nPROXY-ADRESSE=\nPROXY-ANSCHLUSS=21\nVERBINDUNGSART=0\n"
           "KENNWSPEICH=0\nRAS-EINTRAG=\nFTP-ADRESSE=" +
           LoadResString(191) +
           "\n"
           "[PERSISTENT]\nAKTUWAHLOS=\nAKTUWAHLLISTS=\nAKTUWAHLSETTINGS=\nACTIVEPAGE=0\n"
           "SORTOS=-1\nSORTLISTS=-1\nSORTSETTINGS=-1\n"
           "[PRINT]\nDOWN=0\nLEFT=10\nUP=0\nRIGHT=10\nCOLARRAY=" +
           titles +
           "\nCOLCHECK=1|1|1|1|1|1|1|1|1|1|1|1\n"
           "FONTMAIN=0|0|-27|0|0|0|48|0|0|0|400|0|0|ARIAL\n"
           "FONTHEAD=0|0|-27|1|0|0|48|0|0|1|700|0|0|ARIAL\n"
           "FOOT=\nHEAD=" +
           head + "\nCOLMAIN=0\nCOLHEAD=0\n[SAFETY]\nBACKUP=1\nKEEP=20\nVERIFY=1\n";
}

TEST_F(Konfiguration, FirstStartWritesEveryKeyInOrder) {
    const struct {
        Language language;
        const char* titles;
        const char* head;
    } cases[] = {
        {Language::German, "Adr|Ca|Programmname|FreqMHz|Pol|Symbol|FEC|SID|V-PID|A-PID|PCR |Sat",
         "Programmpoolliste"},
        {Language::English, "Adr|Ca|Program name|FreqMHz|Pol|Symbol|FEC|SID|V-PID|A-PID|PCR |Sat",
         "Programpool list"},
    };
    for (const auto& c : cases) {
        SetLanguage(c.language);
        CKonfiguration config = FirstStart();
        const std::string text = Saved(config);
        EXPECT_EQ(text, FirstStartText(c.titles, c.head));

        const CKonfiguration loaded = Loaded(text);
        EXPECT_EQ(loaded.m_printSettings.m_columnTitles.size(), 12u);
        EXPECT_EQ(loaded.m_printSettings.m_columnTitles[10], "PCR ");
        EXPECT_EQ(loaded.m_printSettings.m_headerText, c.head);
    }
}

auto AllFields(const CKonfiguration& c) {
    const CDruckDat& p = c.m_printSettings;
    return std::tie(c.m_toolTips, p.m_headerText, p.m_footerText, p.m_headerFont, p.m_mainFont,
                    p.m_headerColour, p.m_mainColour, p.m_columnTitles, p.m_columnFlags,
                    p.m_leftMargin, p.m_rightMargin, p.m_topMargin, p.m_bottomMargin,
                    c.m_dialUpEntry, c.m_userName, c.m_ftpAddress, c.m_firmwarePath, c.m_listPath,
                    c.m_settingsPath, c.m_password, c.m_proxyAddress, c.m_proxyPort,
                    c.m_connectionType, c.m_keepPassword, c.m_baudRate, c.m_comPort, c.m_recTimeout,
                    c.m_chosenFirmwareFile, c.m_chosenListFile, c.m_chosenSettingsFile,
                    c.m_sortFirmware, c.m_sortLists, c.m_sortSettings, c.m_versionHint,
                    c.m_bFertigung, c.m_productionFiles, c.m_activePage, c.m_safetyCopy,
                    c.m_safetyCopyKeep, c.m_verifyAfterSend);
}

TEST_F(Konfiguration, EveryFieldHasItsOwnKeyAndComesBack) {
    CKonfiguration config;
    config.m_toolTips = 0;
    config.m_productionFiles = "a.bsr;b.lst";
    config.m_baudRate = 57600;
    config.m_comPort = 3;
    config.m_recTimeout = 750;
    config.m_versionHint = 0;
    config.m_firmwarePath = "fw";
    config.m_listPath = "ls";
    config.m_settingsPath = "st";
    config.m_password = "secret";
    config.m_userName = "user";
    config.m_proxyAddress = "10.1.2.3";
    config.m_proxyPort = "8080";
    config.m_connectionType = 1;
    config.m_keepPassword = 1;
    config.m_dialUpEntry = "dial";
    config.m_ftpAddress = "ftp.test";
    config.m_chosenFirmwareFile = "f.bsr";
    config.m_chosenListFile = "l.lst";
    config.m_chosenSettingsFile = "s.grd";
    config.m_activePage = 2;
    config.m_sortFirmware = 1;
    config.m_sortLists = 2;
    config.m_sortSettings = 3;
    config.m_safetyCopy = 0;
    config.m_safetyCopyKeep = 5;
    config.m_verifyAfterSend = 0;
    CDruckDat& print = config.m_printSettings;
    print.m_bottomMargin = 4;
    print.m_leftMargin = 5;
    print.m_topMargin = 6;
    print.m_rightMargin = 7;
    print.m_columnTitles = {"A", "B", "C"};
    print.m_columnFlags = {1, 0, 1};
    print.m_mainFont = StringToFont("0|0|-13|0|0|0|0|0|0|0|400|0|0|Mono");
    print.m_headerFont = StringToFont("0|0|-20|1|0|0|0|0|0|0|700|0|0|Sans");
    print.m_footerText = "Fu\xC3\x9F";
    print.m_headerText = "Kopf";
    print.m_mainColour = 255;
    print.m_headerColour = 65280;

    const std::string text = Saved(config);
    EXPECT_EQ(text, "[OPTIONEN]\nTOOLTIPS=0\nFERTFILESID=a.bsr;b.lst\n"
                    "[DATENTRANSFER]\nBAUDRATE=57600\nCOMPORT=3\nREC-TIMEOUT=750\n"
                    "VERSIONHINWEIS=0\n"
                    "[INTERNET]\nBSR-PFAD=fw\nLST-PFAD=ls\nGRD-PFAD=st\nKENNWORT=secret\n"
                    "BENUTZERNAME=user\nPROXY-ADRESSE=10.1.2.3\nPROXY-ANSCHLUSS=8080\n"
                    "VERBINDUNGSART=1\nKENNWSPEICH=1\nRAS-EINTRAG=dial\nFTP-ADRESSE=ftp.test\n"
                    "[PERSISTENT]\nAKTUWAHLOS=f.bsr\nAKTUWAHLLISTS=l.lst\nAKTUWAHLSETTINGS=s.grd\n"
                    "ACTIVEPAGE=2\nSORTOS=1\nSORTLISTS=2\nSORTSETTINGS=3\n"
                    "[PRINT]\nDOWN=4\nLEFT=5\nUP=6\nRIGHT=7\nCOLARRAY=A|B|C\nCOLCHECK=1|0|1\n"
                    "FONTMAIN=0|0|-13|0|0|0|0|0|0|0|400|0|0|Mono\n"
                    "FONTHEAD=0|0|-20|1|0|0|0|0|0|0|700|0|0|Sans\n"
                    "FOOT=Fu\xC3\x9F\nHEAD=Kopf\nCOLMAIN=255\nCOLHEAD=65280\n"
                    "[SAFETY]\nBACKUP=0\nKEEP=5\nVERIFY=0\n");

    CKonfiguration loaded;
    loaded.m_bFertigung = 1;
    ProfileFile profile;
    profile.SetText(text);
    loaded.Load(profile);
    EXPECT_EQ(AllFields(loaded), AllFields(config));
}

TEST_F(Konfiguration, EmptyFileLoadsTheDefaults) {
    SetLanguage(Language::German);
    const CKonfiguration config = Loaded("");
    EXPECT_EQ(config.m_toolTips, 1);
    EXPECT_EQ(config.m_baudRate, 115200);
    EXPECT_EQ(config.m_comPort, 0);
    EXPECT_EQ(config.m_recTimeout, 500);
    EXPECT_EQ(config.m_versionHint, 1);
    EXPECT_EQ(config.m_sortFirmware, -1);
    EXPECT_EQ(config.m_sortSettings, -1);
    EXPECT_EQ(config.m_firmwarePath, "update/os");
    EXPECT_EQ(config.m_settingsPath, "update/settings");
    EXPECT_EQ(config.m_proxyPort, "21");
    EXPECT_EQ(config.m_ftpAddress, LoadResString(191));
    const CDruckDat& print = config.m_printSettings;
    EXPECT_EQ(print.m_columnTitles,
              (Strings{"Adr", "Ca", "Programmname", "FreqMHz", "Pol", "Symbol", "FEC", "SID",
                       "V-PID", "A-PID", "PCR ", "Sat"}));
    EXPECT_EQ(print.m_columnFlags, Ints(12, 1));
    EXPECT_EQ(
        std::tie(print.m_leftMargin, print.m_rightMargin, print.m_topMargin, print.m_bottomMargin),
        std::make_tuple(20, 20, 20, 20));
    EXPECT_EQ(print.m_headerFont, DefaultPrintFont());
    EXPECT_EQ(print.m_mainFont, DefaultPrintFont());
    EXPECT_EQ(print.m_headerText, "Programmpoolliste");
    EXPECT_EQ(print.m_footerText, "");
    EXPECT_EQ(print.m_headerColour, 0u);
}

TEST_F(Konfiguration, OnlySupportedBaudRatesLoad) {
    const std::pair<const char*, int> cases[] = {
        {"9600", 115200}, {"19200", 19200},   {"38400", 38400},
        {"57600", 57600}, {"115200", 115200}, {"230400", 115200},
        {"fast", 115200}, {"", 115200},       {"-1", 115200},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(Loaded(std::string("[DATENTRANSFER]\nBAUDRATE=") + value + "\n").m_baudRate,
                  expected)
            << value;
}

TEST_F(Konfiguration, SafetySwitchesAndKeepCountFallBackOrClamp) {
    const struct {
        const char* value;
        int safetySwitch; // BACKUP and VERIFY
        int keep;
    } cases[] = {
        {"", 1, 20},   {"0", 0, 1},       {"1", 1, 1},       {" 7 ", 1, 7},          {"-3", 1, 1},
        {"on", 1, 20}, {"1000", 1, 1000}, {"1001", 1, 1000}, {"99999999999", 1, 20},
    };
    for (const auto& c : cases) {
        const std::string v = c.value;
        const CKonfiguration config =
            Loaded("[SAFETY]\nBACKUP=" + v + "\nKEEP=" + v + "\nVERIFY=" + v + "\n");
        EXPECT_EQ(config.m_safetyCopy, c.safetySwitch) << v;
        EXPECT_EQ(config.m_verifyAfterSend, c.safetySwitch) << v;
        EXPECT_EQ(config.m_safetyCopyKeep, c.keep) << v;
    }
}

TEST(OptionValues, BaudRadioIndexAndProductionRows) {
    EXPECT_EQ(BaudIndexOfRate(57600), 2);
    EXPECT_EQ(BaudIndexOfRate(9600), 3) << "a rate not offered shows 115200";
    EXPECT_EQ(BaudRateOfIndex(0), 19200);
    EXPECT_EQ(BaudRateOfIndex(-1), 115200);
    EXPECT_EQ(BaudRateOfIndex(4), 115200);

    using Rows = std::array<int, 4>;
    EXPECT_EQ(ProductionRows("2"), (Rows{2, 0, 0, 0}));
    EXPECT_EQ(ProductionRows(""), (Rows{0, 0, 0, 0}));
    EXPECT_EQ(ProductionRows("1, 3,0,2,9"), (Rows{1, 3, 0, 2})) << "only four steps";
    EXPECT_EQ(ProductionRows("1||2").at(0), 1);
}

TEST_F(Konfiguration, ColumnTitlesAndFlagsFallBackWhenBlankOrShort) {
    const Strings defaults =
        SplitStrings("Adr|Ca|Program name|FreqMHz|Pol|Symbol|FEC|SID|V-PID|A-PID|PCR |Sat", '|');
    const struct {
        const char* print;
        Strings titles;
        Ints flags;
    } cases[] = {
        {"", defaults, Ints(12, 1)},
        {"COLARRAY=\n", defaults, Ints(12, 1)},
        {"COLARRAY=   \nCOLCHECK= \n", defaults, Ints(12, 1)},
        {"COLARRAY=A|B|C|D|E\n", {"A", "B", "C", "D", "E"}, Ints(5, 1)},
        {"COLARRAY=A| B | C \nCOLCHECK=0|1|0\n", {"A", " B ", "C"}, {0, 1, 0}},
        {"COLCHECK=0|0\n", defaults, {0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"COLARRAY=A|B\nCOLCHECK=0|1|0|1\n", {"A", "B"}, {0, 1, 0, 1}},
        {"COLARRAY=A|\n", {"A", ""}, {1, 1}},
    };
    for (const auto& c : cases) {
        const CKonfiguration config = Loaded(std::string("[PRINT]\n") + c.print);
        EXPECT_EQ(config.m_printSettings.m_columnTitles, c.titles) << c.print;
        EXPECT_EQ(config.m_printSettings.m_columnFlags, c.flags) << c.print;
    }
}

TEST_F(Konfiguration, FontsFallBackWhenEmptyOrDamaged) {
    const CKonfiguration config = Loaded("[PRINT]\nFONTHEAD=\nFONTMAIN=1|2|3\n");
    EXPECT_EQ(config.m_printSettings.m_headerFont, DefaultPrintFont());
    EXPECT_EQ(config.m_printSettings.m_mainFont, DefaultPrintFont());
}

TEST_F(Konfiguration, PasswordIsOnlyWrittenWhenTheUserAskedForIt) {
    for (const int keep : {0, 1}) {
        CKonfiguration config = FirstStart();
        config.m_password = "secret";
        config.m_keepPassword = keep;
        const CKonfiguration loaded = Loaded(Saved(config));
        EXPECT_EQ(loaded.m_password, keep ? "secret" : "") << keep;
        EXPECT_EQ(config.m_password, "secret") << "memory keeps it for this run";
    }
}

TEST_F(Konfiguration, ServerPathsLoseOneSlashAtEachEnd) {
    const std::pair<const char*, const char*> cases[] = {
        {"/update/os/", "update/os"},
        {"update/os", "update/os"},
        {"//a//", "/a/"},
        {"/", ""},
        {"", ""},
    };
    for (const auto& [stored, expected] : cases) {
        CKonfiguration config = FirstStart();
        config.m_firmwarePath = stored;
        config.m_listPath = stored;
        config.m_settingsPath = stored;
        const CKonfiguration loaded = Loaded(Saved(config));
        EXPECT_EQ(config.m_firmwarePath, expected) << stored;
        EXPECT_EQ(loaded.m_firmwarePath, expected) << stored;
        EXPECT_EQ(loaded.m_listPath, expected) << stored;
        EXPECT_EQ(loaded.m_settingsPath, stored) << stored;
    }
}

TEST_F(Konfiguration, FooterAndTextsWithOddEndsSurviveARestart) {
    CKonfiguration config = FirstStart();
    config.m_printSettings.m_footerText = " page footer ";
    config.m_printSettings.m_headerText = "\"quoted\"";
    config.m_userName = "two\nlines";
    const CKonfiguration loaded = Loaded(Saved(config));
    EXPECT_EQ(loaded.m_printSettings.m_footerText, " page footer ");
    EXPECT_EQ(loaded.m_printSettings.m_headerText, "\"quoted\"");
    EXPECT_EQ(loaded.m_userName, "two lines");
}

TEST_F(Konfiguration, ForeignLinesStayWhereTheyWere) {
    const std::string before = "; Flashwerk\r\n"
                               "[optionen]\r\n"
                               "tooltips = 0\r\n"
                               "EXTRA=keep me\r\n"
                               "\r\n"
                               "[c8]\r\n"
                               "CX=640\r\n"
                               "[PORTS]\r\n"
                               "COM1=/dev/ttyUSB0\r\n"
                               "[PRINT]\r\n"
                               "; margins\r\n"
                               "LEFT=5";
    CKonfiguration config;
    ProfileFile profile;
    profile.SetText(before);
    config.Load(profile);
    EXPECT_EQ(config.m_toolTips, 0);

    const std::string text = Saved(config, before);
    const std::string defaultFont = FontToString(DefaultPrintFont());
    EXPECT_TRUE(text.starts_with("; Flashwerk\r\n"
                                 "[optionen]\r\n"
                                 "tooltips = 0\r\n"
                                 "EXTRA=keep me\r\n"
                                 "FERTFILESID=\r\n"
                                 "\r\n"
                                 "[c8]\r\n"
                                 "CX=640\r\n"
                                 "[PORTS]\r\n"
                                 "COM1=/dev/ttyUSB0\r\n"
                                 "[PRINT]\r\n"
                                 "; margins\r\n"
                                 "LEFT=5\r\n"
                                 "DOWN=20\r\n"
                                 "UP=20\r\n"
                                 "RIGHT=20\r\n"
                                 "COLARRAY=Adr|Ca|Program name|"))
        << text;
    EXPECT_THAT(text,
                ::testing::HasSubstr("FONTMAIN=" + defaultFont + "\r\nFONTHEAD=" + defaultFont +
                                     "\r\nFOOT=\r\nHEAD=Programpool list\r\n"
                                     "COLMAIN=0\r\nCOLHEAD=0\r\n[DATENTRANSFER]\r\n"));
    EXPECT_TRUE(
        text.ends_with("[PERSISTENT]\r\nAKTUWAHLOS=\r\nAKTUWAHLLISTS=\r\n"
                       "AKTUWAHLSETTINGS=\r\nACTIVEPAGE=0\r\nSORTOS=-1\r\nSORTLISTS=-1\r\n"
                       "SORTSETTINGS=-1\r\n[SAFETY]\r\nBACKUP=1\r\nKEEP=20\r\nVERIFY=1\r\n"));
    std::size_t crLf = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++crLf;
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), crLf)
        << "no bare LF in a CR LF file";
}

TEST_F(Konfiguration, BrokenFileLoadsDefaultsAndCanBeSaved) {
    std::string junk = "\x01\x02\0\0[PRINT\n=value\n[\n"s + std::string(100000, 'B') + "\n\xFF\xFE";
    for (int i = 0; i < 256; ++i)
        junk += static_cast<char>(255 - i);
    const CKonfiguration config = Loaded(junk);
    EXPECT_EQ(AllFields(config), AllFields(Loaded("")));

    CKonfiguration copy = config;
    const std::string text = Saved(copy, junk);
    EXPECT_TRUE(text.starts_with(junk));
    EXPECT_EQ(AllFields(Loaded(text)), AllFields(config));
}

TEST_F(Konfiguration, FailedSaveReportsTheReasonAndKeepsTheOldFile) {
    const std::string path = m_dir.File("upd.ini");
    WriteBytes(path, "[OPTIONEN]\nTOOLTIPS=0\n");
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(path));
    CKonfiguration config;
    config.Load(profile);
    ConfigSaveResult saved;
    {
        test::FileSizeLimit limit(64);
        saved = config.Save(profile);
    }
    EXPECT_EQ(saved.status, ConfigSaveStatus::WriteFailed);
    EXPECT_THAT(saved.reason, ::testing::HasSubstr(path));
    EXPECT_EQ(ReadBytes(path), "[OPTIONEN]\nTOOLTIPS=0\n");
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 1u);

    ProfileFile elsewhere;
    ASSERT_TRUE(elsewhere.Load(m_dir.File("gone/upd.ini")));
    saved = config.Save(elsewhere);
    EXPECT_EQ(saved.status, ConfigSaveStatus::WriteFailed);
    EXPECT_THAT(saved.reason, ::testing::HasSubstr("gone/upd.ini"));
}

TEST(ProxyServer, ParsesTheProxyText) {
    const struct {
        const char* text;
        const char* address;
        const char* port;
    } cases[] = {
        {"ftp=10.0.0.1:2121;http=proxy:80;https=proxy:443", "10.0.0.1", "2121"},
        {"http=proxy:80;https=proxy:443;ftp=10.0.0.1:2121", "10.0.0.1", "2121"},
        {"http=proxy:80;ftp=ftpgate;https=proxy:443", "ftpgate", "21"},
        {"192.168.1.1:8080", "192.168.1.1", "8080"},
        {"proxy.example.com:8080", "proxy.example.com", "8080"},
        {"proxy.example.com", "proxy.example.com", "21"},
        {"proxy.example.com:web", "proxy.example.com:web", "21"},
        {"http://proxy:80", "http://proxy:80", "21"},
        {":8080", ":8080", "21"},
        {"", "", "21"},
    };
    for (const auto& c : cases) {
        const ProxySetting setting = ParseProxyServer(c.text);
        EXPECT_EQ(setting.address, c.address) << c.text;
        EXPECT_EQ(setting.port, c.port) << c.text;
    }
}

TEST(ProxyServer, UrlIsReducedToHostAndPort) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://proxy.example.com:3128/", "proxy.example.com:3128"},
        {"http://user:pa:ss@10.0.0.1:8080", "10.0.0.1:8080"},
        {" ftp://gate/path/x ", "gate"},
        {"proxy:3128", "proxy:3128"},
        {"socks5h://u@h:1", "h:1"},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(ProxyServerFromUrl(url), expected) << url;
}

TEST(ProxyServer, EnvironmentDecidesTheConnection) {
    using Environment = std::map<std::string, std::string>;
    const struct {
        Environment environment;
        int connectionType;
        const char* address;
        const char* port;
    } cases[] = {
        {{}, 0, "unchanged", "unchanged"},
        {{{"http_proxy", " "}}, 0, "unchanged", "unchanged"},
        {{{"http_proxy", "http://proxy.example.com:3128/"}}, 1, "proxy.example.com", "3128"},
        {{{"ftp_proxy", "ftp://10.0.0.9:2121"}, {"http_proxy", "http://other:1"}},
         1,
         "10.0.0.9",
         "2121"},
        {{{"HTTP_PROXY", "10.0.0.5:80"}}, 1, "10.0.0.5", "80"},
        {{{"ftp_proxy", ""}, {"http_proxy", "h:1"}}, 1, "h", "1"},
        {{{"FTP_PROXY", "ftpgate"}}, 1, "ftpgate", "21"},
    };
    for (const auto& c : cases) {
        CKonfiguration config;
        config.m_connectionType = 7;
        config.m_proxyAddress = "unchanged";
        config.m_proxyPort = "unchanged";
        config.ReadSystemProxy([&](const char* name) -> const char* {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        });
        const std::string label = c.environment.empty() ? "none" : c.environment.begin()->first;
        EXPECT_EQ(config.m_connectionType, c.connectionType) << label;
        EXPECT_EQ(config.m_proxyAddress, c.address) << label;
        EXPECT_EQ(config.m_proxyPort, c.port) << label;
    }
}

} // namespace
} // namespace fw
