#pragma once

#include <atomic>

namespace fw {

// The Cancel button's signal to a running job. It resets itself when a job takes it, so two
// presses before the job looks count as one.
class CancelEvent {
public:
    void Set() { m_signalled.store(true); }
    void Reset() { m_signalled.store(false); }
    // True once per Set: the first look after a press sees it, later looks do not.
    bool TakeSignal() { return m_signalled.exchange(false); }

private:
    std::atomic<bool> m_signalled{false};
};

} // namespace fw
