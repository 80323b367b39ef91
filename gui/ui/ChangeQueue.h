#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace fw {

// Hands changes from worker threads to the thread the queue lives on, in order. The changes
// travel in a queue of our own under a standard mutex, so that the hand-over is visible to the
// thread sanitizer; the Qt event only says that one is waiting. Changes still queued when the
// queue goes are dropped.
class ChangeQueue : public QObject {
    Q_OBJECT
public:
    explicit ChangeQueue(QObject* parent);

    // Any thread.
    void Post(std::function<void()> change);

signals:
    // A change waits (emitted on any thread).
    void ChangePosted();

private:
    void RunNext();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_changes;
};

} // namespace fw
