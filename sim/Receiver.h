#pragma once

#include "sim/Faults.h"
#include "sim/PtyLine.h"
#include "sim/ReceiverMemory.h"
#include "sim/ReceiverSimulator.h"
#include "sim/Wire.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fw::sim {

// Pauses of the receiver's own work. The quick set keeps tests fast; the realistic one stays
// inside every time-out of the PC (5 s for progress and restart, 15 s for the erase).
struct Pauses {
    Millis baudSwitch;   // between the detection reply and the model reply
    Millis progressStep; // before each progress byte
    Millis restart;      // before "RECOK" after a chained step
    Millis erase;        // erasing and programming a list
    Millis settingsProgram;
};
inline constexpr Pauses kQuickPauses{Millis{2}, Millis{2}, Millis{10}, Millis{10}, Millis{5}};
inline constexpr Pauses kRealisticPauses{Millis{50}, Millis{700}, Millis{2000}, Millis{4000},
                                         Millis{1000}};

// How long the receiver waits for the PC during a job before it returns to waiting for a
// command frame. Normally the PC closing its port ends the job at once.
inline constexpr Millis kAnswerPatience{10000};
// The PC's verdict on the software may wait for the user to answer the version warning.
inline constexpr Millis kVerdictPatience{5 * 60 * 1000};
// Between chained steps the PC runs the next page; no user is involved, but a message box
// about a missing file may be.
inline constexpr Millis kChainPatience{5 * 60 * 1000};
// A settings image ends when the line has been quiet this long; the PC sends it in one write.
inline constexpr Millis kSettingsQuiet{200};

// The receiver's side of every job, run on the simulator's thread.
class Receiver {
public:
    Receiver(const SimulatorOptions& options, PtyLine& line, ReceiverMemory& memory);

    // Serves jobs until the simulator stops or the line is gone.
    void Serve();

private:
    // After a chained step the next one comes without a command frame, always in this order.
    enum class ChainStep { None, Settings, TvList, RadioList };

    // A line the caller has read already (the first of a chained list).
    struct FirstLine {
        std::string text;
        bool overlong = false;
    };

    std::optional<CommandFrame> WaitForFrame();
    void RunCommand(const CommandFrame& frame);
    void RunChainStep();
    void EndJob();

    bool Detect(const CommandFrame& frame);
    bool ReceiveFirmware(bool chained);
    bool ReceiveSimple();
    bool ReceiveBlocks();
    bool Program();
    // The programmed image's version text becomes the software the receiver names.
    void TakeSoftwareName();
    bool AnnounceRestart();

    bool SendList(bool tv);
    bool AcceptLoadAbort(bool nextIsHeader);
    bool ReceiveList(bool tv, int lineCount, const std::optional<FirstLine>& first);
    bool SendSettings();
    bool ReceiveSettings(std::optional<std::string> image);

    // Sends message at step, or the planned fault instead (then false). commit runs right
    // before the message goes out, so that what it keeps is in place when the PC sees it.
    bool Send(Step step, std::string_view message, const std::function<void()>& commit = {});
    // Bytes outside the steps a fault can hit.
    bool SendPlain(std::string_view message, std::string_view what);
    bool ReadBytes(std::string& out, std::size_t count, Millis patience, std::string_view what);
    bool ReadByte(unsigned char& byte, std::string_view what);
    bool Pause(Millis duration);
    // false unless state is Ok; logs why the job cannot go on.
    bool Check(LineState state, std::string_view what);
    void Log(std::string event);

    const SimulatorOptions& m_options;
    PtyLine& m_line;
    ReceiverMemory& m_memory;
    const Pauses m_pauses;
    FaultPlan m_faults;
    // What the model reply names; a RecFa receiver changes it when flashed.
    Model m_model;
    ChainStep m_chain = ChainStep::None;
    int m_chainLines = 0;
    bool m_halted = false;
    // Command frames still to go unanswered since the last store.
    int m_busyFrames = 0;
};

} // namespace fw::sim
