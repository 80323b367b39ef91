#pragma once

#include <atomic>

namespace fw {

// The Cancel button's signal to a running job. It resets itself when a job takes it, so two
// presses before the job looks count as one.
class CancelEvent {
public:
    void Set() {
        int none = kNone;
        m_state.compare_exchange_strong(none, kSignalled);
    }
    // A cancel for every job still to come, not only the running one: a station's port that
    // is cancelled between two jobs must not go on with the next. Neither Reset nor
    // TakeSignal clears it; Clear does.
    void SetForGood() { m_state.store(kForGood); }
    // A new job starts: a press meant for the one before is forgotten.
    void Reset() {
        int signalled = kSignalled;
        m_state.compare_exchange_strong(signalled, kNone);
    }
    void Clear() { m_state.store(kNone); }
    // True once per Set: the first look after a press sees it, later looks do not.
    bool TakeSignal() {
        int signalled = kSignalled;
        return m_state.compare_exchange_strong(signalled, kNone) || signalled == kForGood;
    }

private:
    static constexpr int kNone = 0, kSignalled = 1, kForGood = 2;
    std::atomic<int> m_state{kNone};
};

} // namespace fw
