#include "sim/ReceiverSimulator.h"

#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"
#include "sim/PtyLine.h"
#include "sim/Receiver.h"
#include "sim/ReceiverMemory.h"
#include "sim/StateFolder.h"
#include "sim/Wire.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/prctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace fw::sim {
namespace {

struct ModelInfo {
    Model model;
    std::string_view name;
    std::string_view reply;
    int capacity;
};

constexpr ModelInfo kModels[] = {
    {Model::RecOk, "recok", "RECOK", 1000}, {Model::Zeb10, "zeb10", "ZEB10", 2000},
    {Model::Zeb20, "zeb20", "ZEB20", 3000}, {Model::Zeb30, "zeb30", "ZEB30", 4000},
    {Model::RecFa, "recfa", "RECFA", 0},
};

constexpr std::pair<Step, std::string_view> kSteps[] = {
    {Step::DetectionReply, "DetectionReply"}, {Step::ModelReply, "ModelReply"},
    {Step::SoftwareText, "SoftwareText"},     {Step::SimpleHeaderReply, "SimpleHeaderReply"},
    {Step::SimpleResult, "SimpleResult"},     {Step::BlockCountReply, "BlockCountReply"},
    {Step::BlockAnswer, "BlockAnswer"},       {Step::ProgressByte, "ProgressByte"},
    {Step::ProgramLine, "ProgramLine"},       {Step::LineAnswer, "LineAnswer"},
    {Step::BankHeader, "BankHeader"},         {Step::BankAnswer, "BankAnswer"},
    {Step::EraseResult, "EraseResult"},       {Step::SettingsBlock, "SettingsBlock"},
    {Step::SettingsResult, "SettingsResult"}, {Step::RestartAnnouncement, "RestartAnnouncement"},
};

constexpr std::pair<FaultKind, std::string_view> kKinds[] = {
    {FaultKind::Silence, "Silence"},       {FaultKind::WrongByte, "WrongByte"},
    {FaultKind::Byte0E, "Byte0E"},         {FaultKind::Abort0A, "Abort0A"},
    {FaultKind::ShortReply, "ShortReply"}, {FaultKind::LineVanishes, "LineVanishes"},
};

const ModelInfo& InfoOf(Model model) {
    for (const ModelInfo& info : kModels) {
        if (info.model == model)
            return info;
    }
    return kModels[3];
}

template <typename Value, std::size_t N>
bool FindByName(const std::pair<Value, std::string_view> (&table)[N], std::string_view text,
                Value& value) {
    for (const auto& [known, name] : table) {
        if (EqualsNoCase(name, text)) {
            value = known;
            return true;
        }
    }
    return false;
}

// A line end inside a program line would end it early on the wire, or read as an abort.
void StripLineEnds(std::vector<std::string>& lines) {
    for (std::string& line : lines)
        std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
}

constexpr std::string_view kStoreNameMax = "--store-name-max";
constexpr std::string_view kStoreBankMax = "--store-bank-max";
constexpr std::string_view kStoreDropPlace = "--store-drop-place";
constexpr std::string_view kStoreSettingsByte = "--store-settings-byte";

// A decimal number from 0 to high and nothing else.
std::optional<std::size_t> DecimalUpTo(std::string_view text, std::size_t high) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > high)
        return std::nullopt;
    return value;
}

// The store faults that take one number, and the largest that makes sense: a name as long as
// a line, a full bank, the last place of the largest receiver.
struct NumberOption {
    std::string_view name;
    std::size_t high;
    std::optional<std::size_t> StoreFaults::*field;
};
constexpr NumberOption kNumberOptions[] = {
    {kStoreNameMax, kMaxLineBytes - 1, &StoreFaults::nameMax},
    {kStoreBankMax, kMaxBankBytes / 2, &StoreFaults::bankMax},
    {kStoreDropPlace, 3999, &StoreFaults::dropPlace},
};

std::string UpTo(std::size_t high) {
    return "from 0 to " + std::to_string(high);
}

bool CheckOptions(const SimulatorOptions& options, std::string& reason) {
    if (options.loaderVersion.size() != kLoaderVersionSize) {
        reason = "the loader version must have 3 characters, not \"" + options.loaderVersion + "\"";
        return false;
    }
    if (options.softwareText.find('\0') != std::string::npos) {
        reason = "the software text must not hold a NUL byte";
        return false;
    }
    if (options.settings.size() != kSettingsSize) {
        reason = "the settings must be " + std::to_string(kSettingsSize) + " bytes, not " +
                 std::to_string(options.settings.size());
        return false;
    }
    for (const int value : options.progressSequence) {
        if (value < 0 || value > 0xFF) {
            reason = "a progress byte must be 0 to 255, not " + std::to_string(value);
            return false;
        }
    }
    if (options.slowLineBaud != 0 &&
        (options.slowLineBaud < kMinBaud || options.slowLineBaud > kMaxBaud)) {
        reason = "a slow line runs at " + std::to_string(kMinBaud) + " to " +
                 std::to_string(kMaxBaud) + " baud";
        return false;
    }
    if (options.flashedModel == Model::RecFa) {
        reason = "a flashed receiver has operating software, so it cannot be recfa";
        return false;
    }
    return CheckStoreFaults(options.storeFaults, ListModel(options), reason);
}

SimulatorOptions Normalised(SimulatorOptions options) {
    if (options.settings.empty())
        options.settings.assign(kSettingsSize, '\0');
    StripLineEnds(options.tvList);
    StripLineEnds(options.radioList);
    return options;
}

} // namespace

std::string_view ModelName(Model model) {
    return InfoOf(model).name;
}

std::string_view ModelReply(Model model) {
    return InfoOf(model).reply;
}

int ProgramCapacity(Model model) {
    return InfoOf(model).capacity;
}

std::string_view StepName(Step step) {
    for (const auto& [known, name] : kSteps) {
        if (known == step)
            return name;
    }
    return {};
}

std::string_view FaultKindName(FaultKind kind) {
    for (const auto& [known, name] : kKinds) {
        if (known == kind)
            return name;
    }
    return {};
}

bool ParseModel(std::string_view text, Model& model) {
    for (const ModelInfo& info : kModels) {
        if (EqualsNoCase(info.name, text)) {
            model = info.model;
            return true;
        }
    }
    return false;
}

bool ParseStep(std::string_view text, Step& step) {
    return FindByName(kSteps, text, step);
}

bool ParseFaultKind(std::string_view text, FaultKind& kind) {
    return FindByName(kKinds, text, kind);
}

bool ParseFault(std::string_view text, Fault& fault) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos)
        return false;
    const std::string_view index = text.substr(first + 1, second - first - 1);
    Fault parsed;
    const auto [end, error] =
        std::from_chars(index.data(), index.data() + index.size(), parsed.index);
    if (error != std::errc{} || end != index.data() + index.size() || parsed.index < 0)
        return false;
    if (!ParseStep(text.substr(0, first), parsed.step) ||
        !ParseFaultKind(text.substr(second + 1), parsed.kind))
        return false;
    fault = parsed;
    return true;
}

bool IsStoreFaultOption(std::string_view name) {
    return name == kStoreSettingsByte ||
           std::any_of(std::begin(kNumberOptions), std::end(kNumberOptions),
                       [name](const NumberOption& known) { return known.name == name; });
}

bool ParseStoreFault(std::string_view name, std::string_view value, StoreFaults& faults,
                     std::string& error) {
    const std::string option(name);
    for (const NumberOption& known : kNumberOptions) {
        if (known.name != name)
            continue;
        if (const std::optional<std::size_t> number = DecimalUpTo(value, known.high)) {
            faults.*known.field = number;
            return true;
        }
        error =
            option + " takes a number " + UpTo(known.high) + ", not \"" + std::string(value) + "\"";
        return false;
    }
    if (name != kStoreSettingsByte) {
        error = "unknown store fault \"" + option + "\"";
        return false;
    }
    const std::size_t colon = value.find(':');
    const std::optional<std::size_t> offset =
        colon == std::string_view::npos ? std::nullopt
                                        : DecimalUpTo(value.substr(0, colon), kSettingsSize - 1);
    const std::optional<std::size_t> byte =
        colon == std::string_view::npos ? std::nullopt : DecimalUpTo(value.substr(colon + 1), 255);
    if (!offset || !byte) {
        error = option + " takes OFFSET:VALUE, OFFSET " + UpTo(kSettingsSize - 1) + " and VALUE " +
                UpTo(255) + " (decimal), not \"" + std::string(value) + "\"";
        return false;
    }
    faults.settingsByte = StoreFaults::SettingsByte{*offset, static_cast<unsigned char>(*byte)};
    return true;
}

Model ListModel(const SimulatorOptions& options) {
    return options.model == Model::RecFa ? options.flashedModel : options.model;
}

bool CheckStoreFaults(const StoreFaults& faults, Model model, std::string& error) {
    const auto capacity = static_cast<std::size_t>(ProgramCapacity(model));
    if (faults.dropPlace && *faults.dropPlace >= capacity) {
        error = std::string(kStoreDropPlace) + " " + std::to_string(*faults.dropPlace) +
                " lies beyond the " + std::to_string(capacity) + " places of " +
                std::string(ModelName(model));
        return false;
    }
    return true;
}

class ReceiverSimulator::Impl {
public:
    explicit Impl(SimulatorOptions options)
        : m_options(Normalised(std::move(options))), m_memory(m_options) {}

    ~Impl() {
        Stop();
        m_receiver.reset();
        m_line.reset();
        for (int& fd : m_stopPipe) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
        RemoveLink();
    }

    bool Open(std::string& reason) {
        if (m_line) {
            reason = "the simulator is open already";
            return false;
        }
        if (!CheckOptions(m_options, reason))
            return false;
        if (!m_options.stateFolder.empty()) {
            if (!LoadStateFolder(m_options, reason))
                return false;
            StripLineEnds(m_options.tvList);
            StripLineEnds(m_options.radioList);
            m_memory.Restore(m_options);
        }

        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (master < 0) {
            reason = SystemReason("pseudo-terminal", errno);
            return false;
        }
        char name[256] = {};
        termios raw{};
        // Set through the master, the line settings are the slave's: raw, so that nothing
        // the PC is sent comes back as an echo.
        if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
            ::ptsname_r(master, name, sizeof name) != 0 || ::tcgetattr(master, &raw) != 0) {
            reason = SystemReason("pseudo-terminal", errno);
            ::close(master);
            return false;
        }
        ::cfmakeraw(&raw);
        ::cfsetispeed(&raw, B19200);
        ::cfsetospeed(&raw, B19200);
        if (::tcsetattr(master, TCSANOW, &raw) != 0 ||
            ::pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            reason = SystemReason(name, errno);
            ::close(master);
            return false;
        }
        m_devicePath = name;
        m_line = std::make_unique<PtyLine>(master, m_stopPipe[0]);
        m_line->SetPacing(m_options.pacing, m_options.slowLineBaud);
        m_receiver = std::make_unique<Receiver>(m_options, *m_line, m_memory);
        return true;
    }

    bool PlaceSymlink(const std::string& linkPath, std::string& reason) {
        if (m_devicePath.empty()) {
            reason = "the simulator is not open";
            return false;
        }
        namespace fs = std::filesystem;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(linkPath, error);
        error.clear(); // a missing path is the usual case
        if (fs::exists(status)) {
            if (!fs::is_symlink(status)) {
                reason = linkPath + ": exists and is no symbolic link; left alone";
                return false;
            }
            fs::remove(linkPath, error);
        }
        if (!error)
            fs::create_symlink(m_devicePath, linkPath, error);
        if (error) {
            reason = linkPath + ": " + error.message();
            return false;
        }
        m_linkPath = linkPath;
        return true;
    }

    void Start() {
        if (!m_receiver || m_thread.joinable())
            return;
        char drained[16];
        while (::read(m_stopPipe[0], drained, sizeof drained) > 0) {
        }
        m_memory.Log("serving on " + m_devicePath);
        m_thread = std::thread([this] {
            // A paced byte takes tens of microseconds: the default timer slack of 50 us would
            // stretch every wait for one.
            if (m_options.pacing || m_options.slowLineBaud != 0)
                ::prctl(PR_SET_TIMERSLACK, 1000UL);
            m_receiver->Serve();
        });
    }

    void Stop() {
        if (!m_thread.joinable())
            return;
        const char wake = 1;
        while (::write(m_stopPipe[1], &wake, 1) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }

    const std::string& DevicePath() const { return m_devicePath; }
    ReceiverMemory& Memory() { return m_memory; }
    const ReceiverMemory& Memory() const { return m_memory; }

private:
    void RemoveLink() {
        if (m_linkPath.empty())
            return;
        // Only our own link: someone may have pointed it elsewhere meanwhile.
        std::error_code error;
        if (std::filesystem::read_symlink(m_linkPath, error) == m_devicePath && !error)
            std::filesystem::remove(m_linkPath, error);
        m_linkPath.clear();
    }

    SimulatorOptions m_options;
    ReceiverMemory m_memory;
    int m_stopPipe[2] = {-1, -1};
    std::unique_ptr<PtyLine> m_line;
    std::unique_ptr<Receiver> m_receiver;
    std::thread m_thread;
    std::string m_devicePath;
    std::string m_linkPath;
};

ReceiverSimulator::ReceiverSimulator(SimulatorOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options))) {}

ReceiverSimulator::~ReceiverSimulator() = default;

bool ReceiverSimulator::Open(std::string& reason) {
    return m_impl->Open(reason);
}

const std::string& ReceiverSimulator::DevicePath() const {
    return m_impl->DevicePath();
}

bool ReceiverSimulator::PlaceSymlink(const std::string& linkPath, std::string& reason) {
    return m_impl->PlaceSymlink(linkPath, reason);
}

void ReceiverSimulator::Start() {
    m_impl->Start();
}

void ReceiverSimulator::Stop() {
    m_impl->Stop();
}

std::vector<unsigned char> ReceiverSimulator::ReceivedFirmware() const {
    return m_impl->Memory().ReceivedFirmware();
}

std::vector<std::string> ReceiverSimulator::ReceivedList(bool tv) const {
    return m_impl->Memory().ReceivedList(tv).lines;
}

Banks ReceiverSimulator::ReceivedBanks(bool tv) const {
    return m_impl->Memory().ReceivedList(tv).banks;
}

std::string ReceiverSimulator::ReceivedSettings() const {
    return m_impl->Memory().ReceivedSettings();
}

std::vector<std::string> ReceiverSimulator::Commands() const {
    return m_impl->Memory().Commands();
}

std::vector<std::string> ReceiverSimulator::Events() const {
    return m_impl->Memory().Events();
}

int ReceiverSimulator::JobsFinished() const {
    return m_impl->Memory().JobsFinished();
}

} // namespace fw::sim
