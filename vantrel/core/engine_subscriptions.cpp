// Subscriptions and channel settings: subscribing to a directory entry, unsubscribing,
// enabling, renaming, forcing an update, and channels added directly.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QDir>
#include <algorithm>

namespace vantrel
{
using namespace detail;

bool Engine::commitNewChannel(std::unique_ptr<Channel> channel)
{
    // Called with the lock held. Channel ids are never 0 and never the alerts channel's.
    uint32_t id = m_nextChannelId;
    while (id == 0 || id == VT_ALERTS_CHANNEL_ID || findChannel(id))
        ++id;
    channel->id = id;
    Store::Transaction t(*m_store);
    m_store->saveChannel(t, *channel);
    m_store->saveMeta(t, kMetaNextChannel, QString::number(id + 1));
    if (!t.commit())
        return false;
    m_nextChannelId = id + 1;
    m_channels.push_back(std::move(channel));
    return true;
}

bool Engine::subscribe(uint32_t entryId, uint32_t* channelIdOut)
{
    uint32_t channelId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open)
            return false;
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const DirEntry& e) { return e.id == entryId; });
        if (entryId == 0 || it == m_entries.end())
            return false;
        if (Channel* existing = channelByEntry(entryId)) {
            if (channelIdOut)
                *channelIdOut = existing->id;
            return true;
        }
        const DirEntry& e = *it;
        auto c = std::make_unique<Channel>();
        c->entryId = e.id;
        c->name = e.name;
        c->url = e.url;
        c->categories = e.categories;
        c->homePage = e.homePage;
        c->description = e.description;
        c->secure = (e.flags & VTDIRENTRY_SECURE) != 0 ||
                    e.url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
        c->homeServer = (e.flags & VTDIRENTRY_HOME_SERVER) != 0;
        c->filterWords = splitWords(entryAttribute(e, "vantrel:filter"));
        c->filtered = !c->filterWords.isEmpty();
        c->status = c->url.isEmpty() ? QString() : QStringLiteral("Waiting for the first update");
        if (!commitNewChannel(std::move(c)))
            return false;
        channelId = m_channels.back()->id;
    }
    if (channelIdOut)
        *channelIdOut = channelId;
    post(refresh::kChannelAdded, channelId, entryId);
    fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, QByteArray(), entryId);
    fireEngineEvent(channelId);
    wake();
    return true;
}

void Engine::removeChannelFiles(uint32_t channelId)
{
    QDir(m_dataDir + QStringLiteral("/pages/%1").arg(channelId)).removeRecursively();
    QDir logos(m_dataDir + QStringLiteral("/logos"));
    const QStringList files = logos.entryList({QStringLiteral("%1.*").arg(channelId)}, QDir::Files);
    for (const QString& f : files)
        logos.remove(f);
}

bool Engine::unsubscribeEntry(uint32_t entryId)
{
    uint32_t channelId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = channelByEntry(entryId);
        if (!c || !m_open)
            return false;
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const DirEntry& e) { return e.id == entryId; });
        if (it != m_entries.end() && (it->flags & VTDIRENTRY_REQUIRED))
            return false; // a required channel stays
        channelId = c->id;
        // The alerts raised on its stories stay: they are the person's record of what fired,
        // until deleted or pruned like any alert. Channel ids are never given out twice, so
        // they keep pointing at no channel.
        Store::Transaction t(*m_store);
        m_store->deleteChannel(t, channelId);
        if (!t.commit())
            return false;
        m_channels.erase(std::remove_if(m_channels.begin(), m_channels.end(),
                                        [&](const auto& ch) { return ch->id == channelId; }),
                         m_channels.end());
    }
    removeChannelFiles(channelId);
    post(refresh::kChannelDeleted, channelId, entryId);
    fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, QByteArray(), entryId);
    fireEngineEvent(channelId);
    return true;
}

bool Engine::lookupSubscribedChannel(uint32_t entryId, uint32_t& channelId)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = channelByEntry(entryId);
    if (!c)
        return false;
    channelId = c->id;
    return true;
}

bool Engine::isSubscribedEntry(uint32_t entryId)
{
    return channelByEntry(entryId) != nullptr;
}

bool Engine::enableChannel(uint32_t channelId, bool enable)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || channelId == VT_ALERTS_CHANNEL_ID || !m_open)
            return false;
        if (c->enabled == enable)
            return true;
        c->enabled = enable;
        Store::Transaction t(*m_store);
        m_store->saveChannel(t, *c);
        if (!t.commit()) {
            c->enabled = !enable;
            return false;
        }
    }
    post(refresh::kChannelActiveStateChanged, channelId);
    post(refresh::kChannelStatusChanged, channelId);
    fireEngineEvent(channelId);
    wake();
    return true;
}

bool Engine::isChannelEnabled(uint32_t channelId, bool& enabled)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = findChannel(channelId);
    if (!c || channelId == VT_ALERTS_CHANNEL_ID)
        return false;
    enabled = c->enabled;
    return true;
}

bool Engine::forceUpdate(uint32_t channelId)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || c->url.isEmpty() || m_shutDown || !m_worker.joinable())
            return false;
    }
    Job job;
    job.kind = Job::Update;
    job.channelId = channelId;
    enqueue(job);
    return true;
}

bool Engine::setChannelNameAndCategory(uint32_t channelId, const QString& name,
                                       const QString& categories)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || channelId == VT_ALERTS_CHANNEL_ID || name.trimmed().isEmpty() || !m_open)
            return false;
        const QString oldName = c->name;
        const QString oldCategories = c->categories;
        c->name = name.trimmed();
        c->categories = categories;
        Store::Transaction t(*m_store);
        m_store->saveChannel(t, *c);
        if (!t.commit()) {
            c->name = oldName;
            c->categories = oldCategories;
            return false;
        }
    }
    post(refresh::kChannelAttributeChanged, channelId);
    fireEngineEvent(channelId);
    return true;
}

bool Engine::channelStatus(uint32_t channelId, QString& text)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = findChannel(channelId);
    if (!c)
        return false;
    // A disabled channel is not updated: say so rather than what happened last.
    text = c->enabled || channelId == VT_ALERTS_CHANNEL_ID ? c->status : QStringLiteral("Disabled");
    return true;
}

bool Engine::channelName(uint32_t channelId, QString& name)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = findChannel(channelId);
    if (!c)
        return false;
    name = c->name;
    return true;
}

uint32_t Engine::addChannel(const ChannelSpec& desc)
{
    DirEntry entry;
    entry.name = desc.name;
    entry.url = desc.url;
    entry.categories = desc.category;
    entry.description = desc.description;
    entry.homePage = desc.homePage;
    entry.date = uint32_t(nowSecs());
    entry.catalogue = QStringLiteral("user");
    if (desc.secure)
        entry.flags |= VTDIRENTRY_SECURE;
    if (desc.homeServer)
        entry.flags |= VTDIRENTRY_HOME_SERVER;
    if (desc.filtered)
        entry.attributes.insert(QStringLiteral("vantrel:filter"), desc.filterWords.join(' '));
    const uint32_t entryId = addDirectoryEntry(entry);
    if (entryId == 0)
        return 0;
    uint32_t channelId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!subscribe(entryId, &channelId))
            return 0;
        Channel* c = findChannel(channelId);
        // Switches given directly win over what the entry implies.
        c->secure = desc.secure || c->secure;
        c->filtered = desc.filtered;
        c->filterWords = desc.filterWords;
        c->homeServer = desc.homeServer;
        c->enabled = desc.enabled;
        Store::Transaction t(*m_store);
        m_store->saveChannel(t, *c);
        if (!t.commit())
            return 0;
    }
    return channelId;
}

} // namespace vantrel
