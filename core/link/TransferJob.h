#pragma once

#include "core/firmware/Receiverdat.h"
#include "core/lists/FavoritenDat.h"
#include "core/lists/ListenDat.h"
#include "core/settings/GrundDat.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace fw {

class FirmwareCheckJob;
class FirmwareSendJob;
class ListLoadJob;
class ListSendJob;
class SettingsLoadJob;
class SettingsSendJob;

// Where a send stands in the production chain. Later steps open the port the first step found,
// and every step but the last waits for the receiver's restart announcement.
struct ChainStep {
    int chained = 0;
    int lastStep = 0;
};

// The program lines and banks a list send puts on the wire, read from its file and checked
// before any byte goes out.
struct SendList {
    std::vector<std::string> lines; // padded to 4000
    CFavoritenDat banks;            // entries outside the program places left out
    int droppedBankEntries = 0;
    bool hasPrograms = false; // a program line holds a field that is not empty
    std::string error;        // why the file cannot be sent; the lists are then empty
};

// One description per kind of job; each names the job that carries it out.
struct FirmwareSend {
    using Job = FirmwareSendJob;
    CReceiverdat firmware;
    // The bytes of the file as the caller already read and checked them; the job then never
    // reads the file again, which may have changed (or been overwritten) since.
    std::optional<std::string> fileData;
    ChainStep chain;
};

struct ListSend {
    using Job = ListSendJob;
    CListenDat list;
    std::optional<std::string> fileData; // as for FirmwareSend
    // Read by the caller beforehand (to show a refusal before the dialog opens); else the job
    // reads it.
    std::optional<SendList> sendList;
    ChainStep chain;
};

// What a load is for. Every use but SaveAs keeps the data in the job's result, for the step
// after it, and writes no file of its own.
enum class LoadUse {
    SaveAs,         // asks for a file and writes it
    SafetyCopy,     // before a send
    Compare,        // a comparison with a file, without a send
    CheckAfterSend, // the receiver may still be storing what it was sent and answers no
                    // detection until it is done: detection asks again for
                    // kCheckDetectionWindowMs
};

inline constexpr unsigned kCheckDetectionWindowMs = 30000;

struct ListLoad {
    using Job = ListLoadJob;
    char listKind = 'T'; // 'T' TV, 'R' radio
    LoadUse use = LoadUse::SaveAs;
};

struct SettingsSend {
    using Job = SettingsSendJob;
    CGrundDat settings;
    std::optional<std::string> fileData; // as for FirmwareSend
    ChainStep chain;
};

struct SettingsLoad {
    using Job = SettingsLoadJob;
    LoadUse use = LoadUse::SaveAs;
};

// After a firmware send: asks the restarted receiver which software it runs and refuses the
// programming it then offers, so that nothing is written. The receiver may take its time to
// restart: detection asks again for kFirmwareCheckWindowMs.
struct FirmwareCheck {
    using Job = FirmwareCheckJob;
};

inline constexpr unsigned kFirmwareCheckWindowMs = 60000;

// What a page asks the transfer dialog to do.
using TransferJob =
    std::variant<FirmwareSend, ListSend, ListLoad, SettingsSend, SettingsLoad, FirmwareCheck>;

// The fields the transfer dialog shows above its status.
enum class JobField { FileName, Version, Description, Type };

// How a job presents itself; the one place that knows every kind.
struct JobDescription {
    int titleId = 0;
    bool load = false;            // the start button reads "load"
    bool largeStatusFont = false; // the job may switch the status to the large font
    std::string filePath;         // the file a send reads
    std::vector<std::pair<JobField, std::string>> fields;
};

JobDescription Describe(const TransferJob& job);
// How long a load's detection asks again while the receiver stays silent; 0 asks once.
unsigned DetectionWindowOf(LoadUse use);
ChainStep ChainStepOf(const TransferJob& job);
// Loads are never chained; they keep no chain step.
void SetChainStep(TransferJob& job, ChainStep step);

// Reads the lines and banks of a list send from the bytes it carries or its file, padded to
// 4000 lines; bank entries outside the program places are left out. A file that cannot be
// read or holds a program line the wire cannot carry (a CR, more than 499 bytes) gives empty
// lists and the reason, naming the line.
SendList ReadSendList(const ListSend& job);

} // namespace fw
