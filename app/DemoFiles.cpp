#include "app/DemoFiles.h"

#include "core/firmware/TransferFile.h"
#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>

namespace fw {
namespace {

constexpr std::size_t kFirmwareSize = 128 * 1024;
constexpr std::size_t kSettingsSize = 2048;

constexpr std::string_view kSampleTvNames[] = {
    "Nordlicht Eins",      "Nordlicht Zwei",      "Alpenblick TV",     "Hafenkanal",
    "Sternwarte HD",       "Kanal Morgenrot",     "Wellenreiter TV",   "Bergfunk Regional",
    "Lindenhof Kino",      "Talstation Sport",    "Blaue Welle",       "Kompass Nachrichten",
    "Leuchtturm Kids",     "Eichenwald Doku",     "Silberfluss TV",    "Rosengarten Serien",
    "Windrad Musik",       "Sonnendeck Reise",    "Fuchsbau Familie",  "Wolkenturm News",
    "Heidekraut TV",       "Marktplatz Shop",     "Polarstern Wissen", "Kieselstrand",
    "Gipfelsturm Sport 2", "Ankerplatz Regional", "Funkenflug Comedy", "Mondschein Film",
    "Glockenturm Kultur",  "Seeblick HD",         "Tannenzapfen TV",   "Brueckenkopf Info",
    "Sandbank Serien",     "Kranich Klassik",     "Feldlerche",        "Uhrwerk Technik",
};

constexpr std::string_view kReceiverTvNames[] = {
    "Leuchtfeuer TV",   "Kanal Abendrot",     "Bergsee HD",     "Wetterfahne",
    "Schlossallee TV",  "Inselblick",         "Nordwind Sport", "Kinosaal Eins",
    "Kinosaal Zwei",    "Dachboden Doku",     "Zugvogel Reise", "Kaminfeuer Serien",
    "Rasselbande Kids", "Weitblick News",     "Spieluhr Musik", "Lagerfeuer TV",
    "Sternschnuppe",    "Morgentau Regional", "Tiefsee Wissen", "Stadtgarten TV",
    "Luftschloss Film", "Wandervogel",        "Flusslauf HD",   "Turmuhr Info",
};

constexpr std::string_view kReceiverRadioNames[] = {
    "Radio Nordlicht",    "Welle Alpenblick", "Hafenradio",        "Klassik Kranich",
    "Jazz am Kai",        "Radio Talstation", "Bergfunk 1",        "Deltawelle",
    "Radio Kieselstrand", "Funkturm Pop",     "Radio Lerchenfeld", "Nachtschicht FM",
    "Sendemast Info",     "Radio Ankerplatz", "Welle Silberfluss", "Radio Uhrwerk",
};

struct Transponder {
    std::string_view frequency;
    std::string_view polarisation;
    std::string_view symbolRate;
    std::string_view fec;
};

constexpr Transponder kTransponders[] = {
    {"10744", "H", "22000", "5\\6"}, {"10788", "V", "22000", "5\\6"},
    {"11303", "H", "22000", "3\\4"}, {"11836", "H", "27500", "3\\4"},
    {"11954", "H", "27500", "3\\4"}, {"12110", "H", "27500", "3\\4"},
    {"12480", "V", "27500", "3\\4"}, {"12603", "H", "22000", "5\\6"},
};

// Five programs share a transponder, as on a real satellite; every seventh is scrambled.
ProgramRow MakeProgram(std::string_view name, int index, bool tv, int firstSid) {
    const Transponder& transponder =
        kTransponders[static_cast<std::size_t>(index / 5) % std::size(kTransponders)];
    ProgramRow row;
    row[kFieldCa] = index % 7 == 6 ? "$" : "";
    row[kFieldName] = std::string(name);
    row[kFieldFrequency] = std::string(transponder.frequency);
    row[kFieldPolarisation] = std::string(transponder.polarisation);
    row[kFieldSymbolRate] = std::string(transponder.symbolRate);
    row[kFieldFec] = std::string(transponder.fec);
    row[kFieldSid] = std::to_string(firstSid + index);
    if (tv) {
        const int video = 1100 + 16 * index;
        row[kFieldVideoPid] = std::to_string(video);
        row[kFieldAudioPid] = std::to_string(video + 1);
        row[kFieldPcr] = std::to_string(video);
    } else {
        const int audio = 2100 + 4 * index;
        row[kFieldAudioPid] = std::to_string(audio);
        row[kFieldPcr] = std::to_string(audio);
    }
    row[kFieldSatellite] = "1";
    return row;
}

template <std::size_t N>
std::vector<std::string> ProgramLines(const std::string_view (&names)[N], bool tv, int firstSid) {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < N; ++k) {
        const ProgramRow row = MakeProgram(names[k], static_cast<int>(k), tv, firstSid);
        std::string line;
        for (int field = 0; field < kFieldCount; ++field) {
            if (field > 0)
                line += '\t';
            line += row[static_cast<std::size_t>(field)];
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// A fixed generator, so that the samples are the same on every machine and every run.
class Filler {
public:
    explicit Filler(std::uint32_t seed) : m_state(seed != 0 ? seed : 1) {}
    char Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<char>(m_state & 0xFF);
    }

private:
    std::uint32_t m_state;
};

std::string FileText(int id) {
    return Utf8ToCp1252(LoadResString(id));
}

// The sample is made only when the folder needs it.
bool SeedOne(const std::string& folder, std::string_view extension, std::string_view name,
             std::string (*make)(), std::string& reasons) {
    if (!FindFilesWithExtension(folder, extension).empty())
        return true;
    std::string reason;
    if (WriteFileAtomically(folder + "/" + std::string(name), make(), reason))
        return true;
    if (!reasons.empty())
        reasons += '\n';
    reasons += reason;
    return false;
}

} // namespace

std::string DemoFirmwareBytes() {
    std::string bytes;
    bytes.reserve(kFirmwareSize);
    bytes += "FLASHWERK DEMO FIRMWARE";
    bytes += '\0';
    bytes += "An invented image for the simulated receiver; it runs on no real device.";
    bytes += '\0';
    Filler filler(0x5EED1234u);
    while (bytes.size() < kFirmwareSize - CTransferFile::kTrailerSize)
        bytes += filler.Next();

    std::string trailer = LoadResString(str::kFirmwareSignature);
    trailer += '\0';
    trailer += kDemoFirmwareVersion;
    trailer += '\0';
    trailer += FileText(str::kDemoFirmwareDescription);
    trailer += '\0';
    trailer.resize(CTransferFile::kTrailerSize, '\0');
    return bytes + trailer;
}

std::string DemoTvListText() {
    ProgramPool pool;
    for (std::size_t k = 0; k < std::size(kSampleTvNames); ++k) {
        const int row = static_cast<int>(k);
        pool.SetRow(row, MakeProgram(kSampleTvNames[k], row, true, 10100));
    }

    CFavoritenDat banks;
    const std::initializer_list<int> bankEntries[] = {
        {0, 3, 5, 8, 12, 17, 21, 30}, {9, 24}, {2, 13, 22, 33}, {}, {1, 6, 27}};
    int bank = 0;
    for (const auto& entries : bankEntries) {
        for (const int address : entries)
            banks.Insert(bank, CFavEintrag{address}, -1);
        ++bank;
    }
    return BuildListFileText(kListTv, FileText(str::kDemoListDescription), pool, banks);
}

std::string DemoSettingsBytes(int variant) {
    std::string bytes = "FLASHWERK DEMO SETTINGS " + std::to_string(variant);
    bytes.resize(64, '\0');
    Filler filler(0xC0FFEEu + static_cast<std::uint32_t>(variant));
    while (bytes.size() < kSettingsSize)
        bytes += filler.Next();
    return bytes;
}

DemoReceiverContent MakeDemoReceiverContent() {
    DemoReceiverContent content;
    content.tvList = ProgramLines(kReceiverTvNames, true, 20100);
    content.radioList = ProgramLines(kReceiverRadioNames, false, 30100);
    content.tvBanks[0] = {0, 1, 2, 7, 11, 16};
    content.tvBanks[1] = {6, 9};
    content.tvBanks[2] = {12, 14, 20};
    content.radioBanks[0] = {0, 3, 4, 9};
    content.radioBanks[1] = {5, 13};
    content.settings = DemoSettingsBytes(1);
    return content;
}

bool SeedDemoFiles(const DataFolders& folders, std::string& reason) {
    reason.clear();
    bool ok = SeedOne(folders.firmware, ".bsr", kDemoFirmwareFile, DemoFirmwareBytes, reason);
    ok = SeedOne(folders.lists, ".lst", kDemoListFile, DemoTvListText, reason) && ok;
    const auto settings = [] { return DemoSettingsBytes(); };
    ok = SeedOne(folders.settings, ".grd", kDemoSettingsFile, settings, reason) && ok;
    return ok;
}

} // namespace fw
