// The engine's options: checked, kept in the store's meta table and applied at their next use;
// pruning to the storage limits, compacting the store, offline copies of new stories, and the
// facts of one story for its Properties window.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/origin.h"
#include "vantrel/core/store.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace vantrel
{
using namespace detail;

namespace
{

// Stories removed in one locked step: the user-interface thread never waits long for the model.
constexpr size_t kPruneBatch = 2000;
constexpr qint64 kDaySecs = 24 * 3600;

QString switchText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString proxyModeText(feeds::NetworkSettings::ProxyMode mode)
{
    switch (mode) {
    case feeds::NetworkSettings::ProxyMode::None:
        return QStringLiteral("none");
    case feeds::NetworkSettings::ProxyMode::Manual:
        return QStringLiteral("manual");
    case feeds::NetworkSettings::ProxyMode::System:
        break;
    }
    return QStringLiteral("system");
}

feeds::NetworkSettings::ProxyMode proxyModeOf(const QString& text)
{
    if (text == QLatin1String("none"))
        return feeds::NetworkSettings::ProxyMode::None;
    if (text == QLatin1String("manual"))
        return feeds::NetworkSettings::ProxyMode::Manual;
    return feeds::NetworkSettings::ProxyMode::System;
}

qint64 folderBytes(const QString& folder)
{
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

// A file name for an enclosure: the last part of its address, tidied, or the story number.
QString enclosureFileName(const QUrl& url, uint32_t number)
{
    QString name = QFileInfo(url.path()).fileName();
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    name.replace(unsafe, QStringLiteral("_"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name = QStringLiteral("enclosure");
    return QStringLiteral("%1-%2").arg(number).arg(name.left(120));
}

} // namespace

QString EngineOptions::problem() const
{
    if (updateIntervalSecs < kMinInterval || updateIntervalSecs > kMaxInterval)
        return QStringLiteral("Update interval: choose between 1 minute and 7 days.");
    if (parallelDownloads < 1 || parallelDownloads > kMaxParallel)
        return QStringLiteral("Channels downloaded at once: choose from 1 to %1.")
            .arg(kMaxParallel);
    if (keepDays < 0 || keepDays > kMaxKeepDays)
        return QStringLiteral("Keep stories for: choose from 1 to %1 days, or no limit.")
            .arg(kMaxKeepDays);
    if (keepPerChannel < 0 || keepPerChannel > kMaxKeepPerChannel)
        return QStringLiteral("Stories per channel: choose from 1 to %1, or no limit.")
            .arg(kMaxKeepPerChannel);
    if (offlineLimitMb < 1 || offlineLimitMb > kMaxOfflineMb)
        return QStringLiteral("Offline size limit: choose from 1 to %1 MB.").arg(kMaxOfflineMb);
    if (!offlineFolder.trimmed().isEmpty()) {
        if (!QDir::isAbsolutePath(offlineFolder.trimmed()))
            return QStringLiteral("Offline folder: give a full path (starting with \"/\").");
        const QFileInfo info(offlineFolder.trimmed());
        if (info.exists() && !info.isDir())
            return QStringLiteral("Offline folder: \"%1\" is a file, not a folder.")
                .arg(offlineFolder.trimmed());
    }
    if (network.proxyMode == feeds::NetworkSettings::ProxyMode::Manual) {
        const QString host = network.proxyHost.trimmed();
        if (host.isEmpty())
            return QStringLiteral("Proxy host: give the proxy's name or address.");
        if (host.contains(QLatin1Char(' ')) || host.contains(QLatin1Char('/')) ||
            host.contains(QLatin1Char(':')) != host.startsWith(QLatin1Char('[')))
            return QStringLiteral("Proxy host: \"%1\" is not a host name or address.").arg(host);
        if (network.proxyPort == 0)
            return QStringLiteral("Proxy port: choose from 1 to 65535.");
        if (network.proxyUser.isEmpty() && !network.proxyPassword.isEmpty())
            return QStringLiteral("Proxy user: a password needs a user name.");
    }
    if (timeoutSecs < kMinTimeout || timeoutSecs > kMaxTimeout)
        return QStringLiteral("Download timeout: choose from %1 to %2 seconds.")
            .arg(kMinTimeout)
            .arg(kMaxTimeout);
    for (const QChar ch : network.userAgent) {
        if (ch.unicode() < 0x20 || ch.unicode() > 0x7e)
            return QStringLiteral("User agent: use plain printable characters only (no line "
                                  "breaks or accented letters).");
    }
    if (network.userAgent.size() > 512)
        return QStringLiteral("User agent: at most 512 characters.");
    return QString();
}

// ------------------------------------------------------------------------------------------
// Kept in the store.

void Engine::takeOptions(const QMap<QString, QString>& meta)
{
    EngineOptions o;
    o.updateIntervalSecs = m_intervalSecs.load();
    o.paused = !m_downloadEnabled.load();
    o.updateAllAtStart = meta.value(kMetaUpdateAtStart) == QLatin1String("1");
    o.parallelDownloads =
        std::clamp(meta.value(kMetaParallel, QStringLiteral("2")).toInt(), 1, o.kMaxParallel);
    o.keepDays = std::clamp(meta.value(kMetaKeepDays).toInt(), 0, o.kMaxKeepDays);
    o.keepPerChannel = std::clamp(meta.value(kMetaKeepPerChannel).toInt(), 0, o.kMaxKeepPerChannel);
    o.offlineDownload = meta.value(kMetaOffline) == QLatin1String("1");
    o.offlineLimitMb = std::clamp(meta.value(kMetaOfflineLimit, QStringLiteral("500")).toInt(), 1,
                                  o.kMaxOfflineMb);
    o.offlineFolder = meta.value(kMetaOfflineFolder);
    o.network.proxyMode = proxyModeOf(meta.value(kMetaProxyMode));
    o.network.proxyKind = meta.value(kMetaProxyKind) == QLatin1String("socks5")
                              ? feeds::NetworkSettings::ProxyKind::Socks5
                              : feeds::NetworkSettings::ProxyKind::Http;
    o.network.proxyHost = meta.value(kMetaProxyHost);
    o.network.proxyPort = quint16(std::clamp(meta.value(kMetaProxyPort).toInt(), 0, 65535));
    o.network.proxyUser = meta.value(kMetaProxyUser);
    o.network.proxyPassword = meta.value(kMetaProxyPassword);
    o.network.userAgent = meta.value(kMetaUserAgent);
    o.timeoutSecs = std::clamp(meta.value(kMetaTimeout, QStringLiteral("60")).toInt(),
                               o.kMinTimeout, o.kMaxTimeout);
    m_optionsSet = o;
    m_parallel = o.parallelDownloads;
    applyNetworkSettings(o.network, o.timeoutSecs * 1000);
}

EngineOptions Engine::options()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    EngineOptions o = m_optionsSet;
    // These two are also changed by their own commands (the main menu's download switch).
    o.updateIntervalSecs = m_intervalSecs.load();
    o.paused = !m_downloadEnabled.load();
    o.timeoutSecs = std::clamp(m_fetchTimeoutMs.load() / 1000, o.kMinTimeout, o.kMaxTimeout);
    return o;
}

bool Engine::setOptions(const EngineOptions& given, QString* error)
{
    EngineOptions o = given;
    o.offlineFolder = o.offlineFolder.trimmed();
    o.network.proxyHost = o.network.proxyHost.trimmed();
    o.network.userAgent = o.network.userAgent.trimmed();
    const QString problem = o.problem();
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    bool limitsTighter = false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open) {
            if (error)
                *error = QStringLiteral("The engine's store is not open.");
            return false;
        }
        const EngineOptions& old = m_optionsSet;
        limitsTighter = o.keepDays != old.keepDays || o.keepPerChannel != old.keepPerChannel;
        Store::Transaction t(*m_store);
        const std::pair<QLatin1String, QString> values[] = {
            {kMetaInterval, QString::number(o.updateIntervalSecs)},
            {kMetaDownload, switchText(!o.paused)},
            {kMetaUpdateAtStart, switchText(o.updateAllAtStart)},
            {kMetaParallel, QString::number(o.parallelDownloads)},
            {kMetaKeepDays, QString::number(o.keepDays)},
            {kMetaKeepPerChannel, QString::number(o.keepPerChannel)},
            {kMetaOffline, switchText(o.offlineDownload)},
            {kMetaOfflineLimit, QString::number(o.offlineLimitMb)},
            {kMetaOfflineFolder, o.offlineFolder},
            {kMetaProxyMode, proxyModeText(o.network.proxyMode)},
            {kMetaProxyKind, o.network.proxyKind == feeds::NetworkSettings::ProxyKind::Socks5
                                 ? QStringLiteral("socks5")
                                 : QStringLiteral("http")},
            {kMetaProxyHost, o.network.proxyHost},
            {kMetaProxyPort, QString::number(o.network.proxyPort)},
            {kMetaProxyUser, o.network.proxyUser},
            {kMetaProxyPassword, o.network.proxyPassword},
            {kMetaTimeout, QString::number(o.timeoutSecs)},
            {kMetaUserAgent, o.network.userAgent},
        };
        for (const auto& [key, value] : values)
            m_store->saveMeta(t, key, value);
        if (!t.commit()) {
            if (error)
                *error =
                    QStringLiteral("The options could not be saved: %1").arg(m_store->lastError());
            return false;
        }
        m_optionsSet = o;
        m_intervalSecs = o.updateIntervalSecs;
        m_downloadEnabled = !o.paused;
        m_parallel = o.parallelDownloads;
        applyNetworkSettings(o.network, o.timeoutSecs * 1000);
    }
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        startWorkersLocked();
    }
    if (limitsTighter)
        pruneLater();
    wake();
    return true;
}

void Engine::applyNetworkSettings(const feeds::NetworkSettings& settings, int timeoutMs)
{
    m_fetchTimeoutMs = timeoutMs;
    m_fetcher->setNetworkSettings(settings);
    m_probeFetcher->setNetworkSettings(settings);
    std::lock_guard<std::mutex> lock(m_workMutex);
    for (const auto& f : m_moreFetchers)
        f->setNetworkSettings(settings);
}

// ------------------------------------------------------------------------------------------
// Pruning.

std::vector<uint32_t> Engine::pruneCandidates(uint32_t channelId, qint64 now)
{
    std::vector<uint32_t> gone;
    int limit = 0;
    qint64 cutoff = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const Channel* c = findChannel(channelId);
        if (!c || !m_open || c->id == VT_ALERTS_CHANNEL_ID)
            return gone;
        limit = c->keepStories > 0 ? c->keepStories : m_optionsSet.keepPerChannel;
        cutoff = m_optionsSet.keepDays > 0 ? now - m_optionsSet.keepDays * kDaySecs : 0;
    }
    if (limit <= 0 && cutoff <= 0)
        return gone;
    // Chosen from the store, which has every story whether read into memory or not; oldest
    // first by the time the engine received them (a story stays its full time here whatever
    // date its feed gave it). The count is of the stories the person did not keep: a kept
    // story never crowds out a new one. Read without the model lock: removing checks each
    // story again under it.
    if (!m_store->pruneCandidates(channelId, limit, cutoff, gone)) {
        std::fprintf(stderr, "vantrel: the stories of channel %u to prune cannot be read: %s\n",
                     channelId, qPrintable(m_store->lastError()));
        gone.clear();
    }
    return gone;
}

int Engine::pruneStories(uint32_t channelId)
{
    const std::vector<uint32_t> gone = pruneCandidates(channelId, nowSecs());
    int removed = 0;
    for (size_t i = 0; i < gone.size(); i += kPruneBatch) {
        const size_t end = std::min(gone.size(), i + kPruneBatch);
        removed +=
            int(removeStories(
                    channelId,
                    std::vector<uint32_t>(gone.begin() + long(i), gone.begin() + long(end)), true)
                    .size());
        m_store->checkpoint(); // between batches, with the model unlocked
    }
    return removed;
}

int Engine::pruneAll()
{
    std::vector<uint32_t> ids;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (const auto& c : m_channels)
            ids.push_back(c->id);
    }
    int removed = 0;
    for (uint32_t id : ids)
        removed += pruneStories(id);
    return removed;
}

void Engine::pruneLater()
{
    Job job;
    job.kind = Job::Prune;
    enqueue(job);
}

std::vector<uint32_t> Engine::removeStories(uint32_t channelId,
                                            const std::vector<uint32_t>& numbers,
                                            bool leaveTombstones)
{
    // Memory first, under the model lock; then the store, with no lock of the engine's held,
    // since deleting thousands of rows and flushing them to disk can take long enough to
    // stall every window. Until the store has caught up, the stories are `leaving`: gone for
    // everyone who reads the model, left out by a channel that loads meanwhile.
    std::vector<uint32_t> deleted;
    std::vector<uint32_t> alertsGone;
    QHash<uint32_t, QStringList> storyFiles;
    auto failed = [&](const char* what) {
        std::fprintf(stderr, "vantrel: stories of channel %u cannot be removed (%s): %s\n",
                     channelId, what, qPrintable(m_store->lastError()));
        deleted.clear();
        return deleted;
    };
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || !m_open || channelId == VT_ALERTS_CHANNEL_ID)
            return deleted;
        // Read again under the lock: a story the person kept since it was chosen stays. A
        // loaded channel's memory has every change the person made; the store has the
        // stories of a channel not read in yet, and every change too, written under this lock.
        if (c->isLoaded()) {
            for (uint32_t n : numbers) {
                const Story* s = c->story(n);
                if (!s || s->keep)
                    continue;
                deleted.push_back(n);
                QStringList made = s->madeFiles();
                if (!made.isEmpty())
                    storyFiles.insert(n, std::move(made));
            }
            std::sort(deleted.begin(), deleted.end());
        } else if (!m_store->unkeptStories(channelId, numbers, deleted, storyFiles)) {
            return failed("reading them");
        }
        // Stories another removal already took are its to finish.
        deleted.erase(std::remove_if(deleted.begin(), deleted.end(),
                                     [c](uint32_t n) { return c->leaving.contains(n); }),
                      deleted.end());
        if (deleted.empty())
            return deleted;
        // Alerts follow their stories, except the ones the person kept.
        if (!m_alerts->isLoaded()) {
            if (!m_store->unkeptAlertsOn(VT_ALERTS_CHANNEL_ID, channelId, deleted, alertsGone))
                return failed("reading their alerts");
        } else if (!m_alerts->stories.empty()) {
            const std::unordered_set<uint32_t> gone(deleted.begin(), deleted.end());
            for (const Story& a : m_alerts->stories) {
                if (a.alertChannelId == channelId && gone.count(a.alertStoryId) && !a.keep)
                    alertsGone.push_back(a.number);
            }
            std::sort(alertsGone.begin(), alertsGone.end());
        }
        alertsGone.erase(
            std::remove_if(alertsGone.begin(), alertsGone.end(),
                           [this](uint32_t n) { return m_alerts->leaving.contains(n); }),
            alertsGone.end());
        auto leave = [](Channel& ch, const std::vector<uint32_t>& gone, bool tombstones) {
            for (uint32_t n : gone)
                ch.leaving.insert(n, tombstones);
            if (!ch.isLoaded())
                return;
            const std::unordered_set<uint32_t> set(gone.begin(), gone.end());
            if (tombstones) {
                ch.tombstones.reserve(ch.tombstones.size() + qsizetype(gone.size()));
                for (uint32_t n : gone) {
                    const Story* s = ch.story(n);
                    if (s && !s->identity.isEmpty())
                        ch.tombstones.insert(s->identity);
                }
            }
            ch.stories.erase(std::remove_if(ch.stories.begin(), ch.stories.end(),
                                            [&](const Story& s) { return set.count(s.number); }),
                             ch.stories.end());
            ch.reindex();
        };
        leave(*c, deleted, leaveTombstones);
        if (!alertsGone.empty())
            leave(*m_alerts, alertsGone, false);
    }

    // Nothing else writes these rows now: every writer finds a story in memory first.
    QStringList files;
    for (uint32_t n : deleted)
        files += storyFiles.value(n);
    Store::Transaction t(*m_store);
    m_store->deleteStories(t, channelId, deleted, leaveTombstones);
    m_store->deleteStories(t, VT_ALERTS_CHANNEL_ID, alertsGone);
    if (!t.commit()) {
        // Memory no longer shows them; the store still has them, and they are pruned again
        // when the engine next starts.
        std::fprintf(stderr,
                     "vantrel: stories of channel %u cannot be removed from the store: %s\n",
                     channelId, qPrintable(m_store->lastError()));
        files.clear();
    }

    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        // A channel that is not in memory counts from the store again (it has the tombstones,
        // read when it loads).
        auto settle = [this](Channel* ch, const std::vector<uint32_t>& gone) {
            if (!ch)
                return;
            for (uint32_t n : gone)
                ch->leaving.remove(n);
            StoryCounts counts;
            if (!ch->isLoaded() && m_store->storyCounts(ch->id, counts))
                ch->refreshStoredCounts(std::move(counts));
        };
        settle(findChannel(channelId), deleted);
        if (!alertsGone.empty())
            settle(m_alerts.get(), alertsGone);
    }
    headlinesRemoved(channelId, deleted);
    if (!alertsGone.empty())
        headlinesRemoved(VT_ALERTS_CHANNEL_ID, alertsGone);
    for (const QString& f : files)
        QFile::remove(f);
    postStories(refresh::kStoriesDeleted, channelId, deleted);
    post(refresh::kChannelCounterChanged, channelId);
    fireEngineEvent(channelId);
    if (!alertsGone.empty()) {
        postStories(refresh::kStoriesDeleted, VT_ALERTS_CHANNEL_ID, alertsGone);
        post(refresh::kChannelCounterChanged, VT_ALERTS_CHANNEL_ID);
        fireEngineEvent(VT_ALERTS_CHANNEL_ID);
    }
    return deleted;
}

// ------------------------------------------------------------------------------------------
// The store on disk.

QString Engine::storePath() const
{
    return m_store ? m_store->path() : QString();
}

qint64 Engine::storeSizeBytes() const
{
    const QString path = storePath();
    if (path.isEmpty())
        return 0;
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

void Engine::compactStoreLater(CompactCallback done)
{
    Job job;
    job.kind = Job::Compact;
    job.compactDone = std::move(done);
    enqueue(job);
}

void Engine::runCompact(const Job& job)
{
    // Not under the model lock: the person keeps reading while the file is rebuilt.
    const bool ok = m_open && m_store->compact();
    const QString error = ok ? QString() : m_store->lastError();
    if (job.compactDone)
        job.compactDone(ok, error);
}

// ------------------------------------------------------------------------------------------
// Offline copies.

QString Engine::offlineFolder()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_optionsSet.offlineFolder.isEmpty() ? m_dataDir : m_optionsSet.offlineFolder;
}

qint64 Engine::offlineBytes()
{
    const QString folder = offlineFolder();
    return folderBytes(folder + QStringLiteral("/pages")) +
           folderBytes(folder + QStringLiteral("/enclosures"));
}

bool Engine::offlineRoomFor(qint64 bytes)
{
    qint64 limit;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        limit = qint64(m_optionsSet.offlineLimitMb) * 1024 * 1024;
    }
    return offlineBytes() + bytes <= limit;
}

void Engine::queueOfflineCopies(uint32_t channelId, const std::vector<uint32_t>& numbers)
{
    std::vector<Job> jobs;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_optionsSet.offlineDownload || !m_downloadEnabled)
            return;
        const Channel* c = findChannel(channelId);
        if (!c)
            return;
        for (uint32_t n : numbers) {
            const Story* s = c->story(n);
            if (!s)
                continue;
            Job job;
            job.channelId = channelId;
            job.number = n;
            if (s->localPath.isEmpty() && isNetworkAddress(QUrl(s->link))) {
                job.kind = Job::DownloadStory;
                job.source = QStringLiteral("offline"); // within the offline size limit
                jobs.push_back(job);
            }
            if (!s->enclosureUrl.isEmpty() && isNetworkAddress(QUrl(s->enclosureUrl))) {
                job.kind = Job::DownloadEnclosure;
                jobs.push_back(job);
            }
        }
    }
    for (const Job& job : jobs)
        enqueue(job);
}

void Engine::runDownloadEnclosure(uint32_t channelId, uint32_t number)
{
    QUrl url;
    qint64 declared = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        const Story* s = c ? c->story(number) : nullptr;
        if (!s || s->enclosureUrl.isEmpty() ||
            !s->extra.value(QStringLiteral("Enclosure File")).toString().isEmpty())
            return;
        url = QUrl(s->enclosureUrl);
        declared = s->enclosureLength;
        if (!isNetworkAddress(url) || !mayFollow(QUrl(c->url), url))
            return;
    }
    if (!offlineRoomFor(std::max<qint64>(declared, 0)))
        return;
    qint64 limit;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        limit = qint64(m_optionsSet.offlineLimitMb) * 1024 * 1024;
    }
    const qint64 room = std::max<qint64>(1, limit - offlineBytes());
    const feeds::FetchResult fetched = fetcher().fetch(url, room, m_fetchTimeoutMs.load());
    if (!fetched.ok)
        return;
    const QString folder = offlineFolder() + QStringLiteral("/enclosures/%1").arg(channelId);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + enclosureFileName(url, number);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(fetched.body) != fetched.body.size() ||
        !file.commit())
        return;
    const bool stored = applyStoryChange(channelId, {number}, [&](Story& s) {
        s.extra.insert(QStringLiteral("Enclosure File"), path);
        return true;
    });
    if (!stored)
        QFile::remove(path);
}

// ------------------------------------------------------------------------------------------
// Story properties.

bool Engine::storyFacts(uint32_t channelId, uint32_t bundletId, StoryFacts& out)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Channel* c = findChannel(channelId);
    // The channel's stories may not have been read from the store yet.
    if (!c || bundletId == 0 || !c->ensureLoaded())
        return false;
    int index = -1;
    for (size_t i = 0; i < c->stories.size(); ++i) {
        if (c->stories[i].bundletId == bundletId) {
            index = int(i);
            break;
        }
    }
    if (index < 0)
        return false;
    out = StoryFacts();
    if (channelId == VT_ALERTS_CHANNEL_ID) {
        const Story& alert = c->stories[size_t(index)];
        out.alertName = alert.alertName;
        const Channel* target = alert.alertChannelId != VT_ALERTS_CHANNEL_ID
                                    ? findChannel(alert.alertChannelId)
                                    : nullptr;
        const int alerted = target ? target->indexOf(alert.alertStoryId) : -1;
        if (alerted >= 0) {
            c = target;
            index = alerted;
        }
    }
    const Story& s = c->stories[size_t(index)];
    out.channelId = c->id;
    out.number = s.number;
    out.channelName = c->name;
    out.story = s;
    // The long texts are read from the store when the channel does not keep them in memory.
    out.story.summary = c->storyText(index, Story::SummaryPart);
    out.story.header = c->storyText(index, Story::HeaderPart);
    out.story.footer = c->storyText(index, Story::FooterPart);
    out.story.held = Story::AllParts;
    out.enclosureFile = s.extra.value(QStringLiteral("Enclosure File")).toString();
    out.enclosureLocal = !out.enclosureFile.isEmpty() && QFileInfo(out.enclosureFile).isFile();
    if (!out.enclosureLocal)
        out.enclosureFile.clear();
    if (!s.localPath.isEmpty())
        out.pageBytes = QFileInfo(s.localPath).size();
    const Story& f = out.story;
    out.sizeBytes = qint64(f.headline.size() + f.summary.size() + f.link.size() + f.header.size() +
                           f.footer.size() + f.category.size()) *
                        2 +
                    out.pageBytes + (out.enclosureLocal ? QFileInfo(out.enclosureFile).size() : 0);
    return true;
}

} // namespace vantrel
