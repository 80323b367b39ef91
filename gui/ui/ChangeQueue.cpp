#include "gui/ui/ChangeQueue.h"

namespace fw {

ChangeQueue::ChangeQueue(QObject* parent) : QObject(parent) {
    connect(this, &ChangeQueue::ChangePosted, this, &ChangeQueue::RunNext, Qt::QueuedConnection);
}

void ChangeQueue::Post(std::function<void()> change) {
    {
        std::lock_guard lock(m_mutex);
        m_changes.push_back(std::move(change));
    }
    emit ChangePosted();
}

void ChangeQueue::RunNext() {
    std::function<void()> change;
    {
        std::lock_guard lock(m_mutex);
        if (m_changes.empty())
            return;
        change = std::move(m_changes.front());
        m_changes.pop_front();
    }
    change();
}

} // namespace fw
