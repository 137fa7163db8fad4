// Subscriptions and channel settings: subscribing to a directory entry or to a feed address,
// unsubscribing, enabling, renaming, forcing an update, a channel's facts and settings,
// keeping a channel to its story count, and channels added directly.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feedaddress.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QDir>
#include <algorithm>

namespace vantrel
{
using namespace detail;

std::unique_ptr<Channel> detail::channelFromEntry(const DirEntry& e)
{
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
    return c;
}

namespace
{

// A home page is a web address, or nothing.
bool isHomePageAddress(const QString& text)
{
    if (text.trimmed().isEmpty())
        return true;
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

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
    // Its stories live in the store like every channel's: their long texts are not kept.
    channel->attachStore(m_store.get(), StoryCounts());
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
        if (!commitNewChannel(channelFromEntry(*it)))
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
    headlinesChanged(channelId);
    headlinesChanged(VT_ALERTS_CHANNEL_ID);
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

uint32_t Engine::addChannel(const ChannelSeed& desc)
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

// ------------------------------------------------------------------------------------------
// Channels of one's own.

QString Engine::addressRefusal(const QString& key, uint32_t except)
{
    for (const auto& c : m_channels) {
        if (c->id != except && !c->url.isEmpty() && feedAddressKey(c->url) == key)
            return QStringLiteral("You are already subscribed to this feed: \"%1\".").arg(c->name);
    }
    return QString();
}

uint32_t Engine::channelForAddress(const QString& address, QString* name)
{
    const QString key = feedAddressKey(address);
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& c : m_channels) {
        if (!c->url.isEmpty() && feedAddressKey(c->url) == key) {
            if (name)
                *name = c->name;
            return c->id;
        }
    }
    return 0;
}

bool Engine::subscribeAddress(const NewChannel& wanted, uint32_t* channelIdOut, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const FeedAddress address = readFeedAddress(wanted.address);
    if (!address.ok())
        return fail(address.error);
    if (!isHomePageAddress(wanted.homePage))
        return fail(QStringLiteral("The home page must be a web address (http or https)."));
    const QString url = address.url.toString();
    const QString key = feedAddressKey(url);
    const QString name = wanted.name.simplified().isEmpty() ? url : wanted.name.simplified();
    const QString categories = tidyCategories(wanted.categories);
    uint32_t channelId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open)
            return fail(QStringLiteral("The engine's store is not open."));
        const QString refusal = addressRefusal(key, 0);
        if (!refusal.isEmpty())
            return fail(refusal);
        // The catalogue's entry of that feed when there is one, else an entry of one's own.
        uint32_t entryId = 0;
        for (const DirEntry& e : m_entries) {
            if (!e.url.isEmpty() && feedAddressKey(e.url) == key && !channelByEntry(e.id)) {
                entryId = e.id;
                break;
            }
        }
        if (entryId == 0) {
            DirEntry e;
            e.name = name;
            e.url = url;
            e.categories = categories;
            e.description = wanted.description.trimmed();
            e.homePage = wanted.homePage.trimmed();
            e.date = uint32_t(nowSecs());
            e.catalogue = QStringLiteral("user");
            if (url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
                e.flags |= VTDIRENTRY_SECURE;
            entryId = addDirectoryEntry(e);
            if (entryId == 0)
                return fail(QStringLiteral("The store refused the new channel: %1")
                                .arg(m_store->lastError()));
        }
        if (!subscribe(entryId, &channelId))
            return fail(
                QStringLiteral("The store refused the new channel: %1").arg(m_store->lastError()));
        // What the person chose wins over what a catalogue says.
        Channel* c = findChannel(channelId);
        c->name = name;
        c->url = url;
        c->categories = categories;
        if (!wanted.homePage.trimmed().isEmpty())
            c->homePage = wanted.homePage.trimmed();
        if (!wanted.description.trimmed().isEmpty())
            c->description = wanted.description.trimmed();
        // The update below is the channel's first: the schedule does not take it as well.
        if (m_worker.joinable() && !m_shutDown)
            c->lastAttempt = nowSecs();
        Store::Transaction t(*m_store);
        m_store->saveChannel(t, *c);
        t.commit(); // the channel stands; a name that was not stored is corrected by the feed
    }
    if (channelIdOut)
        *channelIdOut = channelId;
    // A channel the person just added downloads now, also while downloads are suspended.
    forceUpdate(channelId);
    return true;
}

ChannelFacts Engine::factsOf(const Channel& c, qint64 now)
{
    ChannelFacts f;
    f.id = c.id;
    f.entryId = c.entryId;
    f.name = c.name;
    f.address = c.url;
    f.categories = c.categories;
    f.homePage = c.homePage;
    f.enabled = c.enabled;
    f.updateIntervalSecs = c.updateIntervalSecs;
    f.keepStories = c.keepStories;
    f.description = c.description;
    f.logoFile = c.logoFile;
    f.status = c.enabled ? c.status : QStringLiteral("Disabled");
    f.lastError = c.lastError;
    f.lastErrorAt = c.lastErrorAt;
    f.lastUpdated = c.lastUpdated;
    f.stories = int(c.stories.size());
    f.unread = c.unreadCount();
    f.updating = c.updating;
    f.scheduled = c.enabled && !c.url.isEmpty() && m_downloadEnabled && !m_shutDown;
    if (f.scheduled) {
        const qint64 interval =
            c.updateIntervalSecs > 0 ? c.updateIntervalSecs : qint64(m_intervalSecs.load());
        f.nextUpdate = c.lastAttempt == 0 ? now : std::max(now, c.lastAttempt + interval);
    }
    return f;
}

bool Engine::channelFacts(uint32_t channelId, ChannelFacts& out)
{
    std::set<uint32_t> queued;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        for (const Job& j : m_jobs)
            if (j.kind == Job::Update)
                queued.insert(j.channelId);
    }
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = findChannel(channelId);
    if (!c || channelId == VT_ALERTS_CHANNEL_ID)
        return false;
    out = factsOf(*c, nowSecs());
    out.queued = queued.count(channelId) > 0;
    return true;
}

bool Engine::tryAllChannelFacts(std::vector<ChannelFacts>& out)
{
    std::set<uint32_t> queued;
    {
        std::unique_lock<std::mutex> lock(m_workMutex, std::try_to_lock);
        if (!lock.owns_lock())
            return false;
        for (const Job& j : m_jobs)
            if (j.kind == Job::Update)
                queued.insert(j.channelId);
    }
    std::unique_lock<std::recursive_mutex> lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    collectFacts(out, queued);
    return true;
}

std::vector<ChannelFacts> Engine::allChannelFacts()
{
    std::set<uint32_t> queued;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        for (const Job& j : m_jobs)
            if (j.kind == Job::Update)
                queued.insert(j.channelId);
    }
    std::vector<ChannelFacts> out;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    collectFacts(out, queued);
    return out;
}

void Engine::collectFacts(std::vector<ChannelFacts>& out, const std::set<uint32_t>& queued)
{
    const qint64 now = nowSecs();
    out.clear();
    out.reserve(m_channels.size());
    for (const auto& c : m_channels) {
        out.push_back(factsOf(*c, now));
        out.back().queued = queued.count(c->id) > 0;
    }
}

bool Engine::setChannelSettings(uint32_t channelId, const ChannelSettings& wanted, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString name = wanted.name.simplified();
    if (name.isEmpty())
        return fail(QStringLiteral("A channel needs a name."));
    if (!isHomePageAddress(wanted.homePage))
        return fail(QStringLiteral("The home page must be a web address (http or https)."));
    if (wanted.updateIntervalSecs < 0 || wanted.keepStories < 0)
        return fail(QStringLiteral("The update interval and the number of stories to keep "
                                   "cannot be negative."));
    bool addressChanged = false;
    bool attributesChanged = false;
    bool enabledChanged = false;
    bool keepChanged = false;
    uint32_t entryId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || channelId == VT_ALERTS_CHANNEL_ID || !m_open)
            return fail(QStringLiteral("There is no such channel."));
        QString url = c->url;
        if (wanted.address.trimmed() != c->url) {
            // A channel that never had a feed may stay without one; any other address is read
            // and checked as a new channel's.
            if (!(c->url.isEmpty() && wanted.address.trimmed().isEmpty())) {
                const FeedAddress address = readFeedAddress(wanted.address);
                if (!address.ok())
                    return fail(address.error);
                url = address.url.toString();
                const QString refusal = addressRefusal(feedAddressKey(url), channelId);
                if (!refusal.isEmpty())
                    return fail(refusal);
            }
        }
        // What the settings may change, to put back when the store refuses the change.
        struct Settable {
            QString name, url, categories, homePage, status;
            bool enabled, secure;
            int updateIntervalSecs, keepStories;
            qint64 lastAttempt;
        };
        const Settable before{c->name,        c->url,        c->categories, c->homePage,
                              c->status,      c->enabled,    c->secure,     c->updateIntervalSecs,
                              c->keepStories, c->lastAttempt};
        addressChanged = url != c->url;
        c->name = name;
        c->url = url;
        c->categories = tidyCategories(wanted.categories);
        c->homePage = wanted.homePage.trimmed();
        c->enabled = wanted.enabled;
        c->updateIntervalSecs = wanted.updateIntervalSecs;
        c->keepStories = wanted.keepStories;
        if (addressChanged) {
            c->secure = url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
            c->lastAttempt = 0;
            c->status = QStringLiteral("Waiting for the first update from the new address");
        }
        attributesChanged = addressChanged || c->name != before.name ||
                            c->categories != before.categories || c->homePage != before.homePage;
        enabledChanged = c->enabled != before.enabled;
        keepChanged = c->keepStories != before.keepStories;
        Store::Transaction t(*m_store);
        m_store->saveChannel(t, *c);
        // The directory entry of a channel of one's own follows it; a catalogue's stays.
        auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                  [&](const DirEntry& e) { return e.id == c->entryId; });
        DirEntry changedEntry;
        const bool ownEntry = entry != m_entries.end() && entry->catalogue == QLatin1String("user");
        if (ownEntry && attributesChanged) {
            changedEntry = *entry;
            changedEntry.name = c->name;
            changedEntry.url = c->url;
            changedEntry.categories = c->categories;
            changedEntry.homePage = c->homePage;
            m_store->saveEntry(t, changedEntry);
        }
        if (!t.commit()) {
            c->name = before.name;
            c->url = before.url;
            c->categories = before.categories;
            c->homePage = before.homePage;
            c->enabled = before.enabled;
            c->secure = before.secure;
            c->updateIntervalSecs = before.updateIntervalSecs;
            c->keepStories = before.keepStories;
            c->lastAttempt = before.lastAttempt;
            c->status = before.status;
            return fail(
                QStringLiteral("The store refused the change: %1").arg(m_store->lastError()));
        }
        if (ownEntry && attributesChanged) {
            *entry = changedEntry;
            entryId = changedEntry.id;
        }
    }
    if (attributesChanged)
        post(refresh::kChannelAttributeChanged, channelId);
    if (enabledChanged) {
        post(refresh::kChannelActiveStateChanged, channelId);
        post(refresh::kChannelStatusChanged, channelId);
    }
    if (entryId != 0)
        fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, QByteArray(), entryId);
    fireEngineEvent(channelId);
    if (keepChanged)
        pruneStories(channelId);
    wake(); // the schedule may have changed
    return true;
}

QStringList Engine::knownCategories()
{
    QStringList texts;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (const auto& c : m_channels)
            texts << c->categories;
        for (const DirEntry& e : m_entries)
            texts << e.categories;
    }
    QSet<QString> seen;
    QStringList paths;
    for (const QString& text : texts) {
        for (const QString& path : tidyCategoryPaths(text)) {
            const QStringList levels = path.split(QLatin1Char('/'));
            for (int n = 1; n <= levels.size(); ++n) {
                const QString prefix = levels.mid(0, n).join(QLatin1Char('/'));
                if (!seen.contains(prefix.toCaseFolded())) {
                    seen.insert(prefix.toCaseFolded());
                    paths << prefix;
                }
            }
        }
    }
    std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return paths;
}

bool Engine::isDemoEntry(uint32_t entryId)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const QString demo = QDir::cleanPath(m_dataDir + QStringLiteral("/demo")) + QLatin1Char('/');
    for (const DirEntry& e : m_entries) {
        if (e.id == entryId)
            return QDir::cleanPath(e.catalogue).startsWith(demo);
    }
    return false;
}

} // namespace vantrel
