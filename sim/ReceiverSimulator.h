#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::sim {

// The model reply names the program capacity: "RECOK" 1000, "ZEB10" 2000, "ZEB20" 3000,
// "ZEB30" 4000 places; "RECFA" is a receiver without operating software, which names its
// software "NONE" and has no program lists.
enum class Model { RecOk, Zeb10, Zeb20, Zeb30, RecFa };

// Where a fault can be injected: what the receiver sends at that step, or stops doing.
enum class Step {
    DetectionReply,      // "RECOK" + ' ' + the 3-character loader version
    ModelReply,          // the 5-byte model reply after the baud switch
    SoftwareText,        // firmware: the software text with its NUL
    SimpleHeaderReply,   // firmware, simple protocol: "RECOK" after the 8-byte header
    SimpleResult,        // "CHOK"
    BlockCountReply,     // block protocol: "RECOK" after the block count
    BlockAnswer,         // one per block, index = block number
    ProgressByte,        // programming progress, index = position in the sequence
    ProgramLine,         // list load: one per line sent, index = line (0-based)
    LineAnswer,          // list send: one per line received, index = line
    BankHeader,          // list load: one per bank, index = bank
    BankAnswer,          // list send: every answer to a bank header and to bank data
    EraseResult,         // list send: 0xFF after erasing and programming
    SettingsBlock,       // settings load: the 2048 bytes
    SettingsResult,      // settings send: 0xFF
    RestartAnnouncement, // "RECOK" after a chained step
};

enum class FaultKind {
    Silence,     // sends nothing
    WrongByte,   // a reply of the right length with the wrong content
    Byte0E,      // the single byte 0x0E instead of the reply
    Abort0A,     // the abort byte 0x0A instead of the reply (a bank header: 0A 00 00)
    ShortReply,  // all but the last byte (the detection reply: 4 of 9; a single byte: nothing)
    LineVanishes // closes the line: the PC sees a hang-up and the simulator serves no more
};

// index counts the occurrences of the step since the last command frame; the steps of a
// chain run without frames, so they count on (EraseResult 1 is the radio list's). A fault
// fires once; afterwards the receiver returns to waiting for a command frame.
struct Fault {
    Step step = Step::DetectionReply;
    int index = 0;
    FaultKind kind = FaultKind::Silence;
};

using Banks = std::array<std::vector<std::uint16_t>, 10>;

// What a receiver stores other than it was sent, as real ones do, while the wire says all is
// well: so that the check after a send has something to find.
struct StoreFaults {
    struct SettingsByte {
        std::size_t offset = 0;
        unsigned char value = 0;
    };
    std::optional<std::size_t> nameMax;   // every program name cut to this many characters
    std::optional<std::size_t> bankMax;   // the entries kept per bank
    std::optional<std::size_t> dropPlace; // this place is stored empty
    std::optional<SettingsByte> settingsByte;
};

struct SimulatorOptions {
    Model model = Model::Zeb30;
    // A RecFa receiver becomes this model once a firmware has been programmed completely, as a
    // new receiver does after its first flash. Never RecFa itself.
    Model flashedModel = Model::Zeb30;
    std::string loaderVersion = "1.1"; // 3 characters; up to 1.0 means the simple protocol
    // "NONE" when there is no operating software. A firmware programmed completely replaces it
    // by the version text of its trailer.
    std::string softwareText = "ABC V1.20";
    // Program lines without line ends; a list load pads them with empty places to the model's
    // capacity and leaves out any beyond it.
    std::vector<std::string> tvList, radioList;
    Banks tvBanks{}, radioBanks{};
    std::string settings; // 2048 bytes; empty means zero-filled
    // Sent while programming; stops after 0xFF or after a failure value (101 to 254).
    std::vector<int> progressSequence = {0, 10, 40, 70, 100, 0xFF};
    // When set: what the receiver is sent is kept there (firmware.bin, tv.lst, radio.lst,
    // settings.grd, software.txt) and lists, settings and software text found there at Open
    // replace the ones above.
    std::string stateFolder;
    bool pacing = false;            // bytes move at the line rate, 10 bits a byte
    bool realisticPauses = false;   // erase, programming and restart take as long as on a receiver
    std::uint32_t slowLineBaud = 0; // not 0: the line runs at this rate whatever the PC asked
    std::vector<Fault> faults;
    StoreFaults storeFaults;
    // After a firmware, list or settings send the receiver is busy (storing, restarting) and
    // lets this many command frames go unanswered, as a real one may for many seconds.
    int framesIgnoredAfterStore = 0;
    // Called on the simulator's thread for every event (the tool prints them).
    std::function<void(const std::string&)> onEvent;
};

// A receiver on the master side of a pseudo-terminal; the PC opens DevicePath().
class ReceiverSimulator {
public:
    explicit ReceiverSimulator(SimulatorOptions options);
    ~ReceiverSimulator();
    ReceiverSimulator(const ReceiverSimulator&) = delete;
    ReceiverSimulator& operator=(const ReceiverSimulator&) = delete;

    // Creates the pseudo-terminal (raw) and reads the state folder.
    bool Open(std::string& reason);
    const std::string& DevicePath() const;
    // A symbolic link to DevicePath(); an existing link there is replaced, any other file is
    // left alone. The link is removed again with the simulator.
    bool PlaceSymlink(const std::string& linkPath, std::string& reason);
    // Serves on a thread, one job after another, until Stop.
    void Start();
    void Stop();

    // Copies, safe to call while the simulator serves. Received data is in place before the
    // byte that tells the PC the job succeeded. Lists and settings are as they came over the
    // line; the store faults change only what the receiver keeps and later sends back.
    // Each is empty until such a transfer succeeded.
    std::vector<unsigned char> ReceivedFirmware() const;  // the last image whose sums were right
    std::vector<std::string> ReceivedList(bool tv) const; // lines of the last list send
    Banks ReceivedBanks(bool tv) const;
    std::string ReceivedSettings() const;      // the image of the last settings send
    std::vector<std::string> Commands() const; // command texts in the order received
    std::vector<std::string> Events() const;   // a readable log (for failure messages)
    int JobsFinished() const;                  // command jobs and chained steps that ended, however

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

// Names as the tool's --model and --fault take them (matched without regard to case).
std::string_view ModelName(Model model);
std::string_view ModelReply(Model model);
int ProgramCapacity(Model model); // 0 for RecFa
std::string_view StepName(Step step);
std::string_view FaultKindName(FaultKind kind);
bool ParseModel(std::string_view text, Model& model);
bool ParseStep(std::string_view text, Step& step);
bool ParseFaultKind(std::string_view text, FaultKind& kind);
// "STEP:INDEX:KIND", e.g. "BlockAnswer:3:Byte0E".
bool ParseFault(std::string_view text, Fault& fault);

// The options that set the store faults, as the tool and demo mode take them:
// "--store-name-max", "--store-bank-max", "--store-drop-place", "--store-settings-byte".
bool IsStoreFaultOption(std::string_view name);
// Sets the fault that the option names from its decimal value; false with error set when the
// value makes no sense.
bool ParseStoreFault(std::string_view name, std::string_view value, StoreFaults& faults,
                     std::string& error);
// The model whose lists the receiver will hold: a RecFa one has lists only once flashed.
Model ListModel(const SimulatorOptions& options);
// A dropped place beyond the model's places would drop nothing.
bool CheckStoreFaults(const StoreFaults& faults, Model model, std::string& error);

} // namespace fw::sim
