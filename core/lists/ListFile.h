#pragma once

#include "core/lists/ListenDat.h"
#include "core/lists/ProgramPool.h"
#include "core/util/FileStamp.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class CFavoritenDat;
class UserInteraction;

// Lines as a text-mode reader sees them: each ends at LF, a CR right before the LF is not part
// of it, and a last line without LF counts when it is not empty.
std::vector<std::string_view> SplitTextModeLines(std::string_view data);

// ".lst" appended unless the name already ends so (any case); "" becomes ".lst".
std::string CompleteListFileName(std::string_view name);
// A name the user typed must name a file in the lists folder, never a path: no separators,
// no control characters, not "." or "..".
bool IsPlainFileName(std::string_view name);

// Header line and column-title line (current language), each with CR LF. The description
// is made single-line and trimmed; empty becomes "NDEF".
std::string ListFileHead(std::string_view typeText, std::string_view description);

struct ListReadResult {
    bool ok = false;
    int programLines = 0;  // program lines taken into the pool
    int droppedLines = 0;  // program lines beyond the pool's last row, not taken
    int extraLines = 0;    // empty lines beyond the pool's last row: no data
    int repairedLines = 0; // lines whose invalid fields were emptied
    int longLines = 0;     // program lines with text past the eleventh field, which is not kept
};

// Fills pool and banks from the text of a list file; pool and banks are emptied first.
ListReadResult ParseListText(std::string_view data, ProgramPool& pool, CFavoritenDat& banks);
// The same from a file. A file that cannot be read shows message 112 and gives ok = false.
ListReadResult ReadListFile(const std::string& path, ProgramPool& pool, CFavoritenDat& banks,
                            UserInteraction& ui);

enum class ListWriteStatus {
    Written,
    InvalidName,     // message holds the text to show
    ReplaceDeclined, // another list of that name exists and the user kept it
    TypeCancelled,
    IncompleteRow,  // the user chose to go back to incompleteRow
    WriteFailed,    // message holds the system's reason; an old file is unchanged
    ChangedOnDisk,  // the file changed since it was opened and the user went back
    OtherNameWanted // the same, and the user wants another name: fileName holds a free one
};

struct ListWriteResult {
    ListWriteStatus status = ListWriteStatus::WriteFailed;
    std::string fileName; // completed with ".lst"
    std::string path;
    int listType = kListUnknown; // the type written (the user's choice when it was unknown)
    int incompleteRow = -1;
    std::string message;
};

// The editor's save. openedFileName is the name the list was loaded from ("" for a new list):
// saving under another name that already exists asks before replacing that file. An unknown
// type is asked for, an incomplete program asks whether to go on. The file is replaced only
// once it has been written completely, under the file's lock (FileLock). With openedStamp (the
// opened file as it was read), a file that another program changed since is not overwritten
// without asking.
ListWriteResult WriteListFile(const std::string& folder, std::string_view fileName,
                              std::string_view openedFileName, std::string_view description,
                              int listType, const ProgramPool& pool, const CFavoritenDat& banks,
                              UserInteraction& ui, const FileStamp* openedStamp = nullptr);

// The whole text of a list file as WriteListFile writes it.
std::string BuildListFileText(int listType, std::string_view description, const ProgramPool& pool,
                              const CFavoritenDat& banks);

// The text of a list file holding what a receiver sent: every program line as it came, then
// the banks.
std::string BuildReceivedListText(std::string_view typeText, std::string_view description,
                                  const std::vector<std::string>& programLines,
                                  const CFavoritenDat& banks);

// The codes the list page has always told its files apart by.
enum class NormalizeStatus : int {
    Unreadable = -1, // could not be read (or repaired)
    NotAList = 0,
    Registered = 1,
};

struct NormalizeResult {
    NormalizeStatus status = NormalizeStatus::Unreadable;
    CListenDat record;    // when registered
    bool changed = false; // the file was repaired on disk
    // When unreadable: the system's reason. When registered with record.m_unrepairedOnDisk:
    // why the repair was not written.
    std::string reason;
};

// What the repair makes of a list file's text, without touching the file.
struct ListAnalysis {
    bool isList = false;          // false: empty or without any CR LF
    std::string type;             // "TV", "RA" or "NDEF"
    std::string description;      // as the header holds it; "NDEF" when there is none
    std::string shownDescription; // for the catalogue: string 141 when there is none
    bool repair = false;          // the text must be rewritten
    std::string header;           // the new header and title lines; empty when they stay
    std::size_t dataStart = 0;    // where the program lines of the old text start
    int droppedBankEntries = 0;   // bank entries outside the program places 0..3999

    // The whole repair: head, CRs in program lines, bank entries outside the places.
    std::string RepairedText(std::string_view data) const;
    // Only the head lines repaired: what decides which lines are program lines.
    std::string HeadRepairedText(std::string_view data) const;
};
ListAnalysis AnalyseListText(std::string_view data);

struct RepairedList {
    ListAnalysis analysis;
    ListReadResult read;
};
// A list file's text as the program takes it after its repair, without touching the file;
// nothing for a text that is no list file.
std::optional<RepairedList> ParseRepairedList(std::string_view data, ProgramPool& pool,
                                              CFavoritenDat& banks);

enum class UnwritableRepair {
    Fail,         // a repair that cannot be written gives -1
    ListRepaired, // the record describes the repaired text, the file stays as it is (also a link)
};

// Checks the header and title lines of a list file and repairs them on disk when needed,
// including foreign TAB-separated files with or without a title line of their own; program
// lines lose their CRs and banks their entries outside the program places.
NormalizeResult NormalizeListFile(const std::string& path,
                                  UnwritableRepair unwritable = UnwritableRepair::Fail);

// Replaces the file by header + data; the old file stays whole when that fails.
bool RewriteFile(const std::string& path, std::string_view header, std::string_view data,
                 std::string& reason);

enum class SetTypeResult {
    Done,
    Untouched,   // no CR LF, or the first line is no header of three fields
    ReadFailed,  // reason set
    WriteFailed, // reason set, file unchanged
};

// Puts the type chosen before a send ("RA" or "TV") into the header line.
SetTypeResult SetListFileType(const std::string& path, std::string_view typeText,
                              std::string& reason);

} // namespace fw
