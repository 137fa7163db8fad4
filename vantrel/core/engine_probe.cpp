// Probes: what an address a person typed is. It is fetched on the worker, ahead of the
// downloads that wait, and read as a feed (previewed) or as a web page whose head names its
// feeds. A probe changes nothing in the engine.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feedaddress.h"
#include "vantrel/core/feeds/feeds.h"

#include <QMetaObject>
#include <algorithm>

namespace vantrel
{
using namespace detail;

namespace
{

constexpr int kMaxDescriptionChars = 600;

QString shownAddress(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.toDisplayString();
}

void fillPreview(FeedProbe& probe, const feeds::ParseResult& parsed, const QUrl& url)
{
    const feeds::Feed& feed = parsed.feed;
    probe.result = FeedProbe::Result::Feed;
    probe.title = feeds::plainTextFromHtml(feed.title).simplified();
    if (probe.title.isEmpty())
        probe.title = url.isLocalFile() ? url.fileName() : url.host();
    probe.description = feeds::plainTextFromHtml(feed.description).simplified();
    if (probe.description.size() > kMaxDescriptionChars)
        probe.description =
            probe.description.left(kMaxDescriptionChars - 3) + QStringLiteral("...");
    probe.homePage = feed.homePage;
    probe.itemCount = int(feed.items.size());
    if (parsed.status == feeds::ParseStatus::Partial)
        probe.damage = parsed.error;
    // The newest by date; stories without one keep the feed's order after those with one.
    std::vector<const feeds::Item*> items;
    items.reserve(feed.items.size());
    for (const feeds::Item& item : feed.items)
        items.push_back(&item);
    std::stable_sort(items.begin(), items.end(), [](const feeds::Item* a, const feeds::Item* b) {
        const bool aDated = a->published.isValid();
        const bool bDated = b->published.isValid();
        if (aDated != bDated)
            return aDated;
        return aDated && a->published > b->published;
    });
    for (size_t i = 0; i < items.size() && i < size_t(Engine::kProbeHeadlines); ++i) {
        FeedProbe::Headline h;
        h.headline = items[i]->headline;
        h.published = items[i]->published.isValid() ? items[i]->published.toSecsSinceEpoch() : 0;
        probe.newest.push_back(std::move(h));
    }
}

} // namespace

uint64_t Engine::probeAddress(const QString& text, ProbeCallback callback)
{
    Job job;
    job.kind = Job::Probe;
    job.callback = std::move(callback);
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        job.probe = m_nextProbe++;
        m_liveProbes.insert(job.probe);
    }
    const FeedAddress address = readFeedAddress(text);
    FeedProbe refused;
    refused.address = text.trimmed();
    if (!address.ok())
        refused.error = address.error;
    else if (!m_worker.joinable() || m_shutDown)
        refused.error = QStringLiteral("The engine is not downloading: it was started without "
                                       "its worker or has shut down.");
    if (!refused.error.isEmpty()) {
        finishProbe(job, std::move(refused));
        return job.probe;
    }
    job.source = address.url.toString();
    enqueue(job);
    return job.probe;
}

void Engine::cancelProbe(uint64_t probe)
{
    std::lock_guard<std::mutex> lock(m_workMutex);
    if (m_liveProbes.erase(probe) == 0)
        return;
    m_jobs.erase(
        std::remove_if(m_jobs.begin(), m_jobs.end(),
                       [&](const Job& j) { return j.kind == Job::Probe && j.probe == probe; }),
        m_jobs.end());
    if (m_runningProbe == probe)
        m_probeFetcher->cancel();
}

void Engine::runProbe(const Job& job)
{
    {
        // Checked and marked running in one step, so that a cancel either stops it here or
        // aborts its download.
        std::lock_guard<std::mutex> lock(m_workMutex);
        if (!m_liveProbes.count(job.probe) || m_stopping)
            return;
        m_runningProbe = job.probe;
        m_probeFetcher->reset();
    }
    FeedProbe probe = probeFeed(QUrl(job.source), true);
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        m_runningProbe = 0;
    }
    finishProbe(job, std::move(probe));
}

void Engine::finishProbe(const Job& job, FeedProbe probe)
{
    // Delivered on the engine's thread; a probe cancelled meanwhile is dropped there.
    QMetaObject::invokeMethod(
        this,
        [this, id = job.probe, callback = job.callback, probe = std::move(probe)] {
            {
                std::lock_guard<std::mutex> lock(m_workMutex);
                if (m_liveProbes.erase(id) == 0)
                    return;
            }
            if (callback)
                callback(probe);
        },
        Qt::QueuedConnection);
}

FeedProbe Engine::probeFeed(const QUrl& url, bool followPage)
{
    FeedProbe probe;
    probe.address = url.toString();
    const feeds::FetchResult fetched =
        m_probeFetcher->fetch(url, kMaxFeedBytes, m_fetchTimeoutMs.load());
    if (!fetched.ok) {
        probe.error =
            QStringLiteral("%1 cannot be read: %2.").arg(shownAddress(url), fetched.error);
        return probe;
    }
    const QUrl source = fetched.finalUrl.isValid() ? fetched.finalUrl : url;
    feeds::ParseOptions options;
    options.documentUrl = source;
    options.contentType = fetched.contentType;
    options.cancelled = [this] { return m_probeFetcher->isCancelled(); };
    const feeds::ParseResult parsed = feeds::parseFeed(fetched.body, options);
    if (parsed.status == feeds::ParseStatus::Cancelled) {
        probe.error = QStringLiteral("cancelled");
        return probe;
    }
    const bool readable =
        parsed.status == feeds::ParseStatus::Complete ||
        (parsed.status == feeds::ParseStatus::Partial && !parsed.feed.items.empty());
    if (readable) {
        fillPreview(probe, parsed, url);
        QString name;
        uint32_t existing = channelForAddress(url.toString(), &name);
        if (existing == 0 && source != url)
            existing = channelForAddress(source.toString(), &name);
        probe.existingChannelId = existing;
        probe.existingChannelName = name;
        return probe;
    }

    // Not a feed: a web page names its feeds in its head.
    const std::vector<feeds::FeedLink> links =
        feeds::discoverFeedLinks(fetched.body, source, fetched.contentType);
    if (links.empty()) {
        probe.error =
            feeds::looksLikeHtml(fetched.body, fetched.contentType)
                ? QStringLiteral("%1 is a web page that links to no feed.").arg(shownAddress(url))
                : QStringLiteral("%1 is neither a feed nor a web page that links to "
                                 "feeds (%2).")
                      .arg(shownAddress(url), parsed.error);
        return probe;
    }
    if (links.size() == 1 && followPage) {
        FeedProbe linked = probeFeed(QUrl(links.front().address), false);
        if (linked.result == FeedProbe::Result::Failed &&
            linked.error != QLatin1String("cancelled"))
            linked.error = QStringLiteral("The page links to the feed %1, which cannot be used: %2")
                               .arg(links.front().address, linked.error);
        return linked;
    }
    probe.result = FeedProbe::Result::Choices;
    for (const feeds::FeedLink& l : links)
        probe.links.push_back({l.address, l.title, l.type});
    return probe;
}

} // namespace vantrel
