#include "vantrel/core/notify.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace vantrel
{
namespace
{

struct Hub {
    std::mutex mutex;
    MessageSink sink = nullptr;
    std::vector<uint32_t> windows;
};

Hub& hub()
{
    static Hub h;
    return h;
}

struct Callbacks {
    // Held while callbacks run, so that unregistering waits for a call in flight on another
    // thread. Recursive: a callback may unregister itself.
    std::recursive_mutex mutex;
    std::vector<std::pair<uint32_t, VTNotificationCallback>> list;
};

Callbacks& callbacks()
{
    static Callbacks c;
    return c;
}

struct Sender {
    std::mutex mutex;
    VTNotificationSender send;
};

Sender& sender()
{
    static Sender s;
    return s;
}

} // namespace

void setMessageSink(MessageSink sink)
{
    std::lock_guard<std::mutex> lock(hub().mutex);
    hub().sink = sink;
}

bool subscribeWindow(uint32_t window)
{
    if (window == 0)
        return false;
    std::lock_guard<std::mutex> lock(hub().mutex);
    auto& w = hub().windows;
    if (std::find(w.begin(), w.end(), window) == w.end())
        w.push_back(window);
    return true;
}

bool unsubscribeWindow(uint32_t window)
{
    std::lock_guard<std::mutex> lock(hub().mutex);
    auto& w = hub().windows;
    auto it = std::find(w.begin(), w.end(), window);
    if (it == w.end())
        return false;
    w.erase(it);
    return true;
}

void deliverRefresh(const RefreshEvent& event)
{
    MessageSink sink;
    std::vector<uint32_t> windows;
    {
        std::lock_guard<std::mutex> lock(hub().mutex);
        sink = hub().sink;
        windows = hub().windows;
    }
    if (!sink)
        return;
    const intptr_t second =
        event.hasStories ? reinterpret_cast<intptr_t>(&event.stories) : intptr_t(event.second);
    for (uint32_t window : windows) {
        // A window that unsubscribed while an earlier one was being told is skipped.
        {
            std::lock_guard<std::mutex> lock(hub().mutex);
            const auto& w = hub().windows;
            if (std::find(w.begin(), w.end(), window) == w.end())
                continue;
        }
        sink(window, event.name, uintptr_t(event.channelId), second);
    }
}

bool registerCallback(uint32_t mask, VTNotificationCallback callback)
{
    if (!callback || mask == 0)
        return false;
    std::lock_guard<std::recursive_mutex> lock(callbacks().mutex);
    for (auto& entry : callbacks().list) {
        if (entry.second == callback) {
            entry.first = mask;
            return true;
        }
    }
    callbacks().list.emplace_back(mask, callback);
    return true;
}

bool unregisterCallback(VTNotificationCallback callback)
{
    std::lock_guard<std::recursive_mutex> lock(callbacks().mutex);
    auto& list = callbacks().list;
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const auto& entry) { return entry.second == callback; });
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

void fireCallbacks(uint32_t type, const QByteArray& text, uint32_t value, uint32_t value2,
                   const QByteArray& text2)
{
    std::lock_guard<std::recursive_mutex> lock(callbacks().mutex);
    // Copy: a callback may unregister itself (or another) while we walk the list.
    const auto list = callbacks().list;
    for (const auto& entry : list) {
        if (!(entry.first & type))
            continue;
        const auto& current = callbacks().list;
        const bool stillThere = std::any_of(current.begin(), current.end(), [&](const auto& e) {
            return e.second == entry.second;
        });
        if (stillThere)
            entry.second(type, text.constData(), value, text2.constData(), value2, 0, 0);
    }
}

void setNotificationSender(VTNotificationSender send)
{
    std::lock_guard<std::mutex> lock(sender().mutex);
    sender().send = std::move(send);
}

void sendNotification(int number, const QString& text, uint32_t value)
{
    VTNotificationSender send;
    {
        std::lock_guard<std::mutex> lock(sender().mutex);
        send = sender().send;
    }
    if (send)
        send(number, text, value);
}

} // namespace vantrel
