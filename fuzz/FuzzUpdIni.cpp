// upd.ini: the profile reader and writer, the settings read from it and the font texts.
//
// Input: the file text, optionally followed by a NUL and "SECTION TAB KEY TAB VALUE", the key the
// run writes to (a fixed one otherwise).
#include "fuzz/FuzzSupport.h"

#include "core/config/FontText.h"
#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/lists/ListFile.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace fw;
using fw::fuzz::Require;

namespace {

constexpr std::string_view kSections[] = {"OPTIONEN",   "DATENTRANSFER", "INTERNET",
                                          "PERSISTENT", "PRINT",         "PORTS"};

struct Command {
    std::string section = "INTERNET";
    std::string key = "BENUTZERNAME";
    std::string value = "user";
};

std::pair<std::string_view, Command> SplitInput(std::string_view input) {
    const std::size_t nul = input.rfind('\0');
    if (nul == std::string_view::npos)
        return {input, Command{}};
    std::vector<std::string> parts;
    std::string_view rest = input.substr(nul + 1);
    for (int i = 0; i < 2; ++i) {
        const std::size_t tab = rest.find('\t');
        parts.emplace_back(rest.substr(0, tab));
        rest = tab == std::string_view::npos ? std::string_view{} : rest.substr(tab + 1);
    }
    return {input.substr(0, nul), Command{parts[0], parts[1], std::string(rest)}};
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

// Every key the known sections and the written one hold, with the value a read gives.
using Snapshot = std::map<std::pair<std::string, std::string>, std::string>;

Snapshot TakeSnapshot(const ProfileFile& profile, const Command& command) {
    std::vector<std::string> sections(std::begin(kSections), std::end(kSections));
    sections.push_back(command.section);
    Snapshot snapshot;
    for (const std::string& section : sections) {
        for (const auto& [key, value] : profile.GetSection(section)) {
            const auto id = std::make_pair(LowerAscii(section), LowerAscii(key));
            // Reads find the first of several equal keys; so does the snapshot.
            if (snapshot.contains(id))
                continue;
            Require(profile.GetString(section, key, "\x01 missing") == value,
                    "a key listed in its section reads as listed");
            snapshot.emplace(id, value);
        }
    }
    return snapshot;
}

// What a read gives back for a written value: line breaks and NULs cannot be stored, and
// reads are capped.
std::string AsReadBack(std::string_view written) {
    std::string value(written);
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; },
        ' ');
    return value.substr(0, ProfileFile::kMaxValueLength);
}

void CheckWrites(const ProfileFile& original, const Command& command) {
    const Snapshot before = TakeSnapshot(original, command);
    const std::pair<std::string, std::string> written = {LowerAscii(command.section),
                                                         LowerAscii(command.key)};
    const std::pair<std::string, std::string> writtenInt = {"datentransfer", "rec-timeout"};
    const int number = static_cast<int>(command.value.size() * 7919u) - 40000;

    ProfileFile profile = original;
    const bool stored = profile.WriteString(command.section, command.key, command.value);
    Require(profile.WriteInt("DATENTRANSFER", "REC-TIMEOUT", number), "a plain key is written");

    ProfileFile reread;
    reread.SetText(profile.Text());
    Require(reread.Text() == profile.Text(), "a written file reads back byte for byte");
    if (stored && written != writtenInt)
        Require(reread.GetString(command.section, command.key, "\x01 missing") ==
                    AsReadBack(command.value),
                "a written value reads back");
    Require(reread.GetInt("DATENTRANSFER", "REC-TIMEOUT", number + 1) == number,
            "a written number reads back");

    const Snapshot after = TakeSnapshot(reread, command);
    for (const auto& [id, value] : before) {
        if ((stored && id == written) || id == writtenInt)
            continue;
        const auto found = after.find(id);
        Require(found != after.end() && found->second == value, "other keys are unchanged");
    }
}

bool SameSettings(const CKonfiguration& a, const CKonfiguration& b) {
    const CDruckDat& p = a.m_printSettings;
    const CDruckDat& q = b.m_printSettings;
    return a.m_toolTips == b.m_toolTips && a.m_dialUpEntry == b.m_dialUpEntry &&
           a.m_firmwarePath == b.m_firmwarePath && a.m_listPath == b.m_listPath &&
           a.m_userName == b.m_userName && a.m_ftpAddress == b.m_ftpAddress &&
           a.m_settingsPath == b.m_settingsPath && a.m_password == b.m_password &&
           a.m_proxyAddress == b.m_proxyAddress && a.m_proxyPort == b.m_proxyPort &&
           a.m_connectionType == b.m_connectionType && a.m_keepPassword == b.m_keepPassword &&
           a.m_baudRate == b.m_baudRate && a.m_comPort == b.m_comPort &&
           a.m_recTimeout == b.m_recTimeout && a.m_chosenFirmwareFile == b.m_chosenFirmwareFile &&
           a.m_chosenListFile == b.m_chosenListFile &&
           a.m_chosenSettingsFile == b.m_chosenSettingsFile &&
           a.m_sortFirmware == b.m_sortFirmware && a.m_sortLists == b.m_sortLists &&
           a.m_sortSettings == b.m_sortSettings && a.m_versionHint == b.m_versionHint &&
           a.m_productionFiles == b.m_productionFiles && a.m_activePage == b.m_activePage &&
           p.m_headerText == q.m_headerText && p.m_footerText == q.m_footerText &&
           p.m_headerFont == q.m_headerFont && p.m_mainFont == q.m_mainFont &&
           p.m_headerColour == q.m_headerColour && p.m_mainColour == q.m_mainColour &&
           p.m_columnTitles == q.m_columnTitles && p.m_columnFlags == q.m_columnFlags &&
           p.m_leftMargin == q.m_leftMargin && p.m_rightMargin == q.m_rightMargin &&
           p.m_topMargin == q.m_topMargin && p.m_bottomMargin == q.m_bottomMargin;
}

// Saves into the profile, as the program does at exit, and loads what the file then holds.
CKonfiguration SaveAndLoad(CKonfiguration settings, ProfileFile& profile) {
    Require(settings.Save(profile).status == ConfigSaveStatus::Saved, "the settings are saved");
    std::string reason;
    ProfileFile saved;
    Require(saved.Load(profile.Path(), reason), "the saved file loads");
    Require(saved.Text() == profile.Text(), "the file holds what was saved");
    profile = saved;
    CKonfiguration loaded;
    loaded.Load(saved);
    return loaded;
}

// Each save keeps the two server folders relative and without a trailing separator.
std::string StripOneSlashEachEnd(std::string path) {
    if (path.starts_with('/'))
        path.erase(0, 1);
    if (path.ends_with('/'))
        path.pop_back();
    return path;
}

// Settings that have been saved once come back the same from every later save. The first
// save may change a value for good: line breaks become blanks, reads are capped and font
// numbers are normalised.
void CheckSettings(const ProfileFile& original) {
    CKonfiguration first;
    first.Load(original);
    ProfileFile profile = original;
    profile.SetPath((fuzz::ScratchFolder() / "upd.ini").string());
    const CKonfiguration second = SaveAndLoad(first, profile);
    const CKonfiguration third = SaveAndLoad(second, profile);
    CKonfiguration expected = second;
    expected.m_firmwarePath = StripOneSlashEachEnd(second.m_firmwarePath);
    expected.m_listPath = StripOneSlashEachEnd(second.m_listPath);
    Require(SameSettings(expected, third), "saved settings load back the same");
    for (const LogFont* font :
         {&third.m_printSettings.m_mainFont, &third.m_printSettings.m_headerFont})
        Require(StringToFont(FontToString(*font)) == *font, "a loaded font survives its text");
}

void CheckFontText(std::string_view text) {
    const LogFont font = StringToFont(text);
    const LogFont again = StringToFont(FontToString(font));
    // The face name is the text's last piece, so a written one loses its surrounding blanks.
    LogFont expected = font;
    expected.faceName = std::string(Trim(font.faceName));
    Require(again == expected, "a font text read, written and read again is the same font");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [text, command] =
        SplitInput(std::string_view(reinterpret_cast<const char*>(data), size));
    ProfileFile profile;
    profile.SetText(text);
    Require(profile.Text() == text, "a file read is kept byte for byte");

    for (const std::string_view section : kSections)
        for (const std::string_view key : {"BAUDRATE", "COMPORT", "FONTMAIN", "COM1", "HEAD"}) {
            const std::string value = profile.GetString(section, key, "");
            profile.GetInt(section, key, -7);
            Require(value.size() <= ProfileFile::kMaxValueLength, "reads are capped");
        }
    CheckWrites(profile, command);
    CheckSettings(profile);
    for (const std::string_view line : SplitTextModeLines(text))
        CheckFontText(line);
    CheckFontText(command.value);
    return 0;
}
