#pragma once

#include "core/link/JobResult.h"
#include "core/link/TransferJob.h"

#include <string>
#include <vector>

namespace fw {

class JobContext;

// The jobs, one per kind. Each takes its description, works through the context on the worker
// thread, ends in exactly one outcome and keeps what it works on to itself.

class FirmwareSendJob {
public:
    explicit FirmwareSendJob(FirmwareSend job) : m_job(std::move(job)) {}
    JobResult Run(JobContext& context);

private:
    void Work(JobContext& context);

    FirmwareSend m_job;
    std::string m_software; // what the receiver named before it was flashed
};

class FirmwareCheckJob {
public:
    explicit FirmwareCheckJob(FirmwareCheck) {}
    JobResult Run(JobContext& context);

private:
    void Work(JobContext& context);

    std::string m_software;
};

class ListLoadJob {
public:
    explicit ListLoadJob(ListLoad job) : m_job(job) {}
    JobResult Run(JobContext& context);

private:
    void Work(JobContext& context);

    ListLoad m_job;
    ReceivedList m_received;
    bool m_whole = false; // every line and bank arrived
};

class ListSendJob {
public:
    explicit ListSendJob(ListSend job) : m_job(std::move(job)) {}
    JobResult Run(JobContext& context);

private:
    void Work(JobContext& context);

    ListSend m_job;
    int m_capacity = 0;
};

class SettingsLoadJob {
public:
    explicit SettingsLoadJob(SettingsLoad job) : m_job(job) {}
    JobResult Run(JobContext& context);

private:
    void Work(JobContext& context);

    SettingsLoad m_job;
    std::string m_received; // the whole block, once it arrived
};

class SettingsSendJob {
public:
    explicit SettingsSendJob(SettingsSend job) : m_job(std::move(job)) {}
    JobResult Run(JobContext& context);

private:
    void Work(JobContext& context);

    SettingsSend m_job;
};

} // namespace fw
