#include "core/link/TransferJob.h"

#include "core/res/StringIds.h"

namespace fw {
namespace {

template <typename... Ts> struct Overloaded : Ts... { using Ts::operator()...; };

// A step around a send names what it is for ("Step 1 of 3: safety copy").
int LoadTitle(LoadUse use, int plainTitle) {
    switch (use) {
    case LoadUse::SafetyCopy:
        return str::kStepSafetyCopy;
    case LoadUse::CheckAfterSend:
        return str::kStepCheck;
    default:
        return plainTitle;
    }
}

} // namespace

JobDescription Describe(const TransferJob& job) {
    using enum JobField;
    return std::visit(
        Overloaded{
            [](const FirmwareSend& send) {
                return JobDescription{
                    str::kTitleFirmwareSend,
                    false,
                    true,
                    send.firmware.m_strPath,
                    {{FileName, send.firmware.m_strFileName}, {Version, send.firmware.m_version}}};
            },
            [](const ListSend& send) {
                return JobDescription{str::kTitleListSend,
                                      false,
                                      false,
                                      send.list.m_strPath,
                                      {{FileName, send.list.m_strFileName},
                                       {Description, send.list.m_strName},
                                       {Type, send.list.m_strType}}};
            },
            [](const ListLoad& load) {
                return JobDescription{
                    LoadTitle(load.use, str::kTitleListLoad), true, false, {}, {}};
            },
            [](const SettingsSend& send) {
                return JobDescription{str::kTitleSettingsSend,
                                      false,
                                      false,
                                      send.settings.m_strPath,
                                      {{FileName, send.settings.m_strFileName}}};
            },
            [](const FirmwareCheck&) {
                return JobDescription{str::kStepCheck, false, false, {}, {}};
            },
            [](const SettingsLoad& load) {
                return JobDescription{
                    LoadTitle(load.use, str::kTitleSettingsLoad), true, false, {}, {}};
            },
        },
        job);
}

unsigned DetectionWindowOf(LoadUse use) {
    return use == LoadUse::CheckAfterSend ? kCheckDetectionWindowMs : 0;
}

ChainStep ChainStepOf(const TransferJob& job) {
    return std::visit(
        [](const auto& kind) {
            if constexpr (requires { kind.chain; })
                return kind.chain;
            else
                return ChainStep{};
        },
        job);
}

void SetChainStep(TransferJob& job, ChainStep step) {
    std::visit(
        [step](auto& kind) {
            if constexpr (requires { kind.chain; })
                kind.chain = step;
        },
        job);
}

} // namespace fw
