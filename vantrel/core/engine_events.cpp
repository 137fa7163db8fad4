// Change reporting: directory change messages are queued here and delivered on the
// user-interface thread; engine callbacks are called on the thread that made the change.

#include "vantrel/core/engine.h"

#include <QMetaObject>

namespace vantrel
{

void Engine::post(const char* name, uint32_t channelId, uintptr_t second)
{
    RefreshEvent e;
    e.name = name;
    e.channelId = channelId;
    e.second = second;
    std::lock_guard<std::mutex> lock(m_refreshMutex);
    m_pending.push_back(std::move(e));
    if (!m_deliveryScheduled) {
        m_deliveryScheduled = true;
        QMetaObject::invokeMethod(
            this, [this] { deliverPending(); }, Qt::QueuedConnection);
    }
}

void Engine::postStories(const char* name, uint32_t channelId, std::vector<uint32_t> numbers)
{
    if (numbers.empty())
        return;
    RefreshEvent e;
    e.name = name;
    e.channelId = channelId;
    e.hasStories = true;
    e.stories = std::move(numbers);
    std::lock_guard<std::mutex> lock(m_refreshMutex);
    m_pending.push_back(std::move(e));
    if (!m_deliveryScheduled) {
        m_deliveryScheduled = true;
        QMetaObject::invokeMethod(
            this, [this] { deliverPending(); }, Qt::QueuedConnection);
    }
}

void Engine::deliverPending()
{
    std::vector<RefreshEvent> events;
    {
        std::lock_guard<std::mutex> lock(m_refreshMutex);
        events.swap(m_pending);
        m_deliveryScheduled = false;
    }
    for (const RefreshEvent& e : events)
        deliverRefresh(e);
}

void Engine::fireEngineEvent(uint32_t channelId)
{
    fireCallbacks(VTNOTIFY_ENGINE_EVENT, QByteArray(), channelId);
}

} // namespace vantrel
