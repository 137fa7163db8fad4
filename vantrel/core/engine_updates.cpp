// Downloads on the worker: channel updates, channel logos and story pages.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feedmerge.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace vantrel
{
using namespace detail;

namespace
{

QString newStoriesText(int n)
{
    if (n == 0)
        return QStringLiteral("no new stories");
    if (n == 1)
        return QStringLiteral("1 new story");
    return QStringLiteral("%1 new stories").arg(n);
}

// A saved story page reads offline, and its relative addresses still resolve against the
// original address when the network is there.
QByteArray withBaseAddress(const QByteArray& page, const QString& address)
{
    if (page.contains("<base ") || page.contains("<BASE "))
        return page;
    const QByteArray base = "<base href=\"" + address.toHtmlEscaped().toUtf8() + "\">";
    const int head = page.indexOf("<head");
    if (head >= 0) {
        const int close = page.indexOf('>', head);
        if (close >= 0) {
            QByteArray out = page;
            out.insert(close + 1, base);
            return out;
        }
    }
    return base + page;
}

// New stories stored and listed in one step under the model lock: a first download of a
// large feed is put into the store in parts, so that no window waits for all of it.
constexpr size_t kMergePart = 500;

// New stories of a channel and the alerts raised on them, into the store.
void storeNewStories(Store& store, Store::Transaction& t, uint32_t channelId,
                     const std::vector<Story>& created, const std::vector<Story>& alerts)
{
    for (const Story& s : created)
        store.saveStory(t, channelId, s);
    for (const Story& a : alerts)
        store.saveStory(t, VT_ALERTS_CHANNEL_ID, a);
}

} // namespace

void Engine::runUpdate(uint32_t channelId)
{
    QUrl url;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || c->url.isEmpty() || channelId == VT_ALERTS_CHANNEL_ID)
            return;
        url = QUrl(c->url);
        c->updating = true;
        c->status = QStringLiteral("Connecting...");
    }
    post(refresh::kChannelStatusChanged, channelId);
    post(refresh::kChannelFlagsChanged, channelId);
    fireEngineEvent(channelId);

    const feeds::FetchResult fetched = fetcher().fetch(url, kMaxFeedBytes, m_fetchTimeoutMs.load());
    bool stopping;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        stopping = m_stopping;
    }
    const QUrl source = fetched.finalUrl.isValid() ? fetched.finalUrl : url;
    QString error;
    feeds::ParseResult parsed;
    if (!stopping) {
        if (!fetched.ok) {
            error = fetched.error.isEmpty() ? QStringLiteral("download failed") : fetched.error;
        } else {
            // The download is over; a large feed can take a while to read.
            {
                std::lock_guard<std::recursive_mutex> lock(m_mutex);
                if (Channel* c = findChannel(channelId))
                    c->status = QStringLiteral("Reading...");
            }
            post(refresh::kChannelStatusChanged, channelId);
            fireEngineEvent(channelId);
            feeds::ParseOptions options;
            options.documentUrl = source;
            options.contentType = fetched.contentType;
            // Quitting must not wait for a long parse: the parser polls this now and then.
            options.cancelled = [this] {
                std::lock_guard<std::mutex> lock(m_workMutex);
                return m_stopping;
            };
            parsed = feeds::parseFeed(fetched.body, options);
            if (parsed.status == feeds::ParseStatus::Cancelled)
                stopping = true;
            else if (parsed.status == feeds::ParseStatus::Failed ||
                     (parsed.status == feeds::ParseStatus::Partial && parsed.feed.items.empty()))
                error = QStringLiteral("the feed cannot be read (%1)").arg(parsed.error);
        }
    }

    // Read the feed's stories before taking the model lock: most of a merge's work is this.
    FeedFacts facts;
    if (!stopping && error.isEmpty())
        facts = readFeedFacts(parsed.feed, source);
    const qint64 now = nowSecs();
    MergeOutcome outcome;
    std::vector<MergePart> later;
    yieldToReaders();
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c)
            return; // unsubscribed meanwhile
        c->updating = false;
        if (stopping) {
            c->status.clear();
            return;
        }
        if (!error.isEmpty()) {
            // Nothing stored about the stories changes on a failed update.
            c->status = QStringLiteral("Update failed: %1").arg(error);
            c->lastError = error;
            c->lastErrorAt = now;
            c->lastAttempt = now;
            Store::Transaction t(*m_store);
            m_store->saveChannel(t, *c);
            t.commit();
        } else if (!c->ensureLoaded() || !m_alerts->ensureLoaded()) {
            // Without the stored stories a merge would take every item for a new one.
            c->status = QStringLiteral("Update failed: the stored stories cannot be read (%1)")
                            .arg(m_store->lastError());
            c->lastAttempt = now;
        } else {
            const RuleSet rules(m_rules, m_filters);
            FeedMerge merge = mergeFeed(*c, std::move(facts), rules, m_alerts->nextStory, now);
            const int createdInAll = int(merge.created.size());
            later = takeLaterParts(merge);
            outcome = applyMerge(*c, std::move(merge), now, createdInAll);
            if (parsed.status == feeds::ParseStatus::Partial && outcome.committed) {
                // The stories before the damage were kept; the status says the rest is missing.
                c->status += QStringLiteral("; the feed is damaged (%1)").arg(parsed.error);
                Store::Transaction t(*m_store);
                m_store->saveChannel(t, *c);
                t.commit();
            }
        }
    }
    // Nothing else adds stories to the channel meanwhile: its update is this one.
    for (MergePart& part : later) {
        yieldToReaders();
        if (!outcome.committed || !applyMergePart(channelId, std::move(part), outcome))
            break;
    }
    if (!outcome.created.empty() || !outcome.updated.empty())
        post(refresh::kChannelUpdated, channelId);
    if (!outcome.created.empty())
        post(refresh::kChannelCounterChanged, channelId);
    if (!outcome.updated.empty())
        postStories(refresh::kStoriesAttributeChanged, channelId, outcome.updated);
    if (outcome.attributesChanged)
        post(refresh::kChannelAttributeChanged, channelId);
    post(refresh::kChannelStatusChanged, channelId);
    post(refresh::kChannelFlagsChanged, channelId);
    if (!outcome.alerts.empty()) {
        post(refresh::kChannelUpdated, VT_ALERTS_CHANNEL_ID);
        post(refresh::kChannelCounterChanged, VT_ALERTS_CHANNEL_ID);
    }
    fireEngineEvent(channelId);
    if (!outcome.alerts.empty()) {
        fireEngineEvent(VT_ALERTS_CHANNEL_ID);
        fireCallbacks(VTNOTIFY_ALERTS_RAISED, outcome.firstAlertName.toUtf8(),
                      uint32_t(outcome.alerts.size()), channelId,
                      outcome.firstAlertHeadline.toUtf8());
    }
    if (!outcome.logoUrl.isEmpty())
        fetchLogo(channelId, outcome.logoUrl);
    if (outcome.committed) {
        pruneStories(channelId);
        queueOfflineCopies(channelId, outcome.created);
    }
}

Engine::MergeOutcome Engine::applyMerge(Channel& c, FeedMerge merge, qint64 now, int createdInAll)
{
    // Called with the model lock held. The channel row as it will be after the commit.
    Channel saved;
    saved.id = c.id;
    saved.entryId = c.entryId;
    saved.name = merge.name;
    saved.url = c.url;
    saved.categories = c.categories;
    saved.homePage = merge.homePage;
    saved.description = merge.description;
    saved.enabled = c.enabled;
    saved.secure = c.secure;
    saved.filtered = c.filtered;
    saved.homeServer = c.homeServer;
    saved.filterWords = c.filterWords;
    saved.logoFile = c.logoFile;
    saved.logoUrl = c.logoUrl;
    saved.lastUpdated = now;
    saved.lastAttempt = now;
    saved.contentDate = merge.contentDate;
    saved.status =
        QStringLiteral("Updated %1, %2")
            .arg(QDateTime::fromSecsSinceEpoch(now).toLocalTime().toString(QStringLiteral("hh:mm")),
                 newStoriesText(createdInAll));
    saved.nextStory = merge.nextStory;
    saved.updateIntervalSecs = c.updateIntervalSecs;
    saved.keepStories = c.keepStories;

    MergePart first{std::move(merge.created), std::move(merge.alerts)};
    Store::Transaction t(*m_store);
    storeNewStories(*m_store, t, c.id, first.created, first.alerts);
    for (const Story& s : merge.updated)
        m_store->saveStory(t, c.id, s);
    m_store->saveChannel(t, saved);
    if (!first.alerts.empty()) {
        const uint32_t keep = m_alerts->nextStory;
        m_alerts->nextStory = merge.nextAlert;
        m_store->saveChannel(t, *m_alerts);
        m_alerts->nextStory = keep;
    }
    MergeOutcome outcome;
    if (!t.commit()) {
        c.status = QStringLiteral("Update failed: the store cannot be written (%1)")
                       .arg(m_store->lastError());
        c.lastAttempt = now;
        return outcome;
    }
    outcome.committed = true;
    outcome.attributesChanged =
        saved.name != c.name || saved.homePage != c.homePage || saved.description != c.description;
    c.name = saved.name;
    c.homePage = saved.homePage;
    c.description = saved.description;
    c.lastUpdated = now;
    c.lastAttempt = now;
    c.contentDate = saved.contentDate;
    c.status = saved.status;
    c.lastError.clear();
    c.lastErrorAt = 0;
    c.nextStory = merge.nextStory;
    for (const QString& file : merge.staleFiles)
        QFile::remove(file);
    for (Story& s : merge.updated) {
        outcome.updated.push_back(s.number);
        c.replaceStory(std::move(s));
    }
    addNewStories(c, first, outcome);
    m_alerts->nextStory = std::max(m_alerts->nextStory, merge.nextAlert);
    if (!outcome.created.empty() || !outcome.updated.empty())
        headlinesChanged(c.id);
    if (!outcome.alerts.empty())
        headlinesChanged(VT_ALERTS_CHANNEL_ID);
    if (!merge.logoUrl.isEmpty() && (merge.logoUrl != c.logoUrl || !QFileInfo::exists(c.logoFile)))
        outcome.logoUrl = merge.logoUrl;
    return outcome;
}

std::vector<Engine::MergePart> Engine::takeLaterParts(FeedMerge& merge)
{
    std::vector<Engine::MergePart> later;
    if (merge.created.size() <= kMergePart)
        return later;
    for (size_t first = kMergePart; first < merge.created.size(); first += kMergePart) {
        const auto from = merge.created.begin() + long(first);
        const auto to =
            merge.created.begin() + long(std::min(merge.created.size(), first + kMergePart));
        Engine::MergePart part;
        part.created.assign(std::make_move_iterator(from), std::make_move_iterator(to));
        later.push_back(std::move(part));
    }
    merge.created.resize(kMergePart);
    std::vector<Story> firstAlerts;
    for (Story& alert : merge.alerts) {
        auto part = std::find_if(later.begin(), later.end(), [&](const Engine::MergePart& p) {
            return alert.alertStoryId >= p.created.front().number &&
                   alert.alertStoryId <= p.created.back().number;
        });
        if (part == later.end())
            firstAlerts.push_back(std::move(alert));
        else
            part->alerts.push_back(std::move(alert));
    }
    merge.alerts = std::move(firstAlerts);
    return later;
}

void Engine::yieldToReaders() const
{
    // Long enough for a window to take the lock, never long enough to slow the worker much.
    for (int i = 0; i < 100 && m_readersWaiting.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
}

bool Engine::applyMergePart(uint32_t channelId, MergePart part, MergeOutcome& outcome)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = findChannel(channelId);
    if (!c)
        return false; // unsubscribed meanwhile
    Store::Transaction t(*m_store);
    storeNewStories(*m_store, t, c->id, part.created, part.alerts);
    if (!part.alerts.empty())
        m_store->saveChannel(t, *m_alerts); // its next number already counts them
    if (!t.commit()) {
        // The channel's next update finds them new again.
        std::fprintf(stderr, "vantrel: new stories of channel %u cannot be stored: %s\n", channelId,
                     qPrintable(m_store->lastError()));
        return false;
    }
    const bool alerts = !part.alerts.empty();
    addNewStories(*c, part, outcome);
    headlinesChanged(channelId);
    if (alerts)
        headlinesChanged(VT_ALERTS_CHANNEL_ID);
    return true;
}

void Engine::addNewStories(Channel& c, MergePart& part, MergeOutcome& outcome)
{
    for (Story& s : part.created) {
        outcome.created.push_back(s.number);
        c.appendStory(std::move(s));
    }
    for (Story& a : part.alerts) {
        if (outcome.alerts.empty()) {
            outcome.firstAlertName = a.alertName;
            outcome.firstAlertHeadline = a.headline;
        }
        outcome.alerts.push_back(a.number);
        m_alerts->appendStory(std::move(a));
    }
}

void Engine::fetchLogo(uint32_t channelId, const QString& logoUrl)
{
    const feeds::FetchResult fetched = fetcher().fetch(
        QUrl(logoUrl), kMaxLogoBytes, std::min(kLogoTimeoutMs, m_fetchTimeoutMs.load()));
    if (!fetched.ok || fetched.body.isEmpty())
        return;
    QString ext = QFileInfo(QUrl(logoUrl).path()).suffix().toLower();
    if (ext.isEmpty() || ext.size() > 5) {
        const QString type = fetched.contentType.toLower();
        ext = type.contains(QLatin1String("png"))    ? QStringLiteral("png")
              : type.contains(QLatin1String("jpeg")) ? QStringLiteral("jpg")
              : type.contains(QLatin1String("gif"))  ? QStringLiteral("gif")
              : type.contains(QLatin1String("svg"))  ? QStringLiteral("svg")
                                                     : QStringLiteral("img");
    }
    const QString folder = m_dataDir + QStringLiteral("/logos");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/%1.%2").arg(channelId).arg(ext);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(fetched.body) != fetched.body.size() ||
        !file.commit())
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c)
            return;
        const QString oldFile = c->logoFile;
        const QString oldUrl = c->logoUrl;
        c->logoFile = path;
        c->logoUrl = logoUrl;
        Store::Transaction t(*m_store);
        m_store->saveChannel(t, *c);
        if (!t.commit()) {
            c->logoFile = oldFile;
            c->logoUrl = oldUrl;
            return;
        }
    }
    post(refresh::kChannelAttributeChanged, channelId);
    fireEngineEvent(channelId);
}

void Engine::runDownloadStory(uint32_t channelId, uint32_t number)
{
    QString link;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        const Story* s = c ? c->story(number) : nullptr;
        if (!s || !s->localPath.isEmpty() || s->link.isEmpty())
            return;
        link = s->link;
    }
    const feeds::FetchResult fetched =
        fetcher().fetch(QUrl(link), kMaxFeedBytes, m_fetchTimeoutMs.load());
    if (!fetched.ok) {
        {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            Channel* c = findChannel(channelId);
            if (!c)
                return;
            c->status = QStringLiteral("Story download failed: %1").arg(fetched.error);
        }
        post(refresh::kChannelStatusChanged, channelId);
        fireEngineEvent(channelId);
        return;
    }
    const QString folder = offlineFolder() + QStringLiteral("/pages/%1").arg(channelId);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/%1.html").arg(number);
    QSaveFile file(path);
    const QByteArray page = withBaseAddress(fetched.body, link);
    if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size() || !file.commit())
        return;
    const bool stored = applyStoryChange(channelId, {number}, [&](Story& s) {
        s.localPath = path;
        return true;
    });
    if (!stored)
        QFile::remove(path);
}

} // namespace vantrel
