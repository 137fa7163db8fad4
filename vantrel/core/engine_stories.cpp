// Story commands (marks, keeping, deleting, downloading a page) and content packages
// (enclosures, placing files, the playing state), and stories added directly.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/origin.h"
#include "vantrel/core/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace vantrel
{
using namespace detail;

std::vector<uint32_t> Engine::existingNumbers(Channel& c, const std::vector<uint32_t>& numbers)
{
    std::vector<uint32_t> out;
    for (uint32_t n : numbers) {
        if (c.indexOf(n) >= 0 && std::find(out.begin(), out.end(), n) == out.end())
            out.push_back(n);
    }
    return out;
}

bool Engine::applyStoryChange(uint32_t channelId, const std::vector<uint32_t>& numbers,
                              const std::function<bool(Story&)>& change)
{
    std::vector<uint32_t> changed;
    bool counters = false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || !m_open)
            return false;
        const std::vector<uint32_t> present = existingNumbers(*c, numbers);
        if (present.empty())
            return false;
        std::vector<Story> updated;
        for (uint32_t n : present) {
            Story s = *c->story(n);
            if (change(s))
                updated.push_back(std::move(s));
        }
        if (!updated.empty()) {
            Store::Transaction t(*m_store);
            for (const Story& s : updated)
                m_store->saveStory(t, channelId, s);
            if (!t.commit())
                return false;
            for (Story& s : updated) {
                counters = counters || c->story(s.number)->read != s.read;
                changed.push_back(s.number);
                c->replaceStory(std::move(s));
            }
        }
    }
    if (!changed.empty()) {
        postStories(refresh::kStoriesAttributeChanged, channelId, changed);
        if (counters)
            post(refresh::kChannelCounterChanged, channelId);
        fireEngineEvent(channelId);
    }
    // Asking for a state the stories already have is done work, not a failure.
    return true;
}

bool Engine::markStoriesRead(uint32_t channelId, const std::vector<uint32_t>& numbers, bool read)
{
    return applyStoryChange(channelId, numbers, [read](Story& s) {
        if (bool(s.read) == read)
            return false;
        s.read = read ? 1 : 0;
        return true;
    });
}

bool Engine::markStoryOpened(uint32_t channelId, uint32_t number, bool opened)
{
    return applyStoryChange(channelId, {number}, [opened](Story& s) {
        bool change = !s.read;
        s.read = 1;
        if (opened && !s.accessed) {
            s.accessed = 1;
            change = true;
        }
        return change;
    });
}

bool Engine::keepStory(uint32_t channelId, uint32_t bundletId, uint32_t number, bool keep)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        const Story* s = c ? c->story(number) : nullptr;
        // The content package named must be the story's own.
        if (!s || (bundletId != 0 && s->bundletId != bundletId))
            return false;
    }
    return applyStoryChange(channelId, {number}, [keep](Story& s) {
        if (bool(s.keep) == keep)
            return false;
        s.keep = keep ? 1 : 0;
        return true;
    });
}

bool Engine::accessBundlet(uint32_t channelId, uint32_t bundletId)
{
    uint32_t number = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || bundletId == 0 || !c->ensureLoaded())
            return false;
        for (const Story& s : c->stories) {
            if (s.bundletId == bundletId) {
                number = s.number;
                break;
            }
        }
    }
    if (number == 0)
        return false;
    return applyStoryChange(channelId, {number}, [](Story& s) {
        if (s.accessed)
            return false;
        s.accessed = 1;
        return true;
    });
}

bool Engine::deleteStories(uint32_t channelId, const std::vector<uint32_t>& numbers)
{
    std::vector<uint32_t> deleted;
    std::vector<QString> filesGone;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || !m_open)
            return false;
        deleted = existingNumbers(*c, numbers);
        if (deleted.empty())
            return false;
        Store::Transaction t(*m_store);
        for (uint32_t n : deleted) {
            const Story* s = c->story(n);
            m_store->deleteStory(t, channelId, n);
            // Remember the identity so that the next download does not bring it back.
            if (!s->identity.isEmpty())
                m_store->saveTombstone(t, channelId, s->identity);
            for (const QString& f : s->madeFiles())
                filesGone.push_back(f);
        }
        if (!t.commit())
            return false;
        std::set<uint32_t> gone(deleted.begin(), deleted.end());
        for (uint32_t n : deleted) {
            const Story* s = c->story(n);
            if (!s->identity.isEmpty())
                c->tombstones.insert(s->identity);
        }
        c->stories.erase(std::remove_if(c->stories.begin(), c->stories.end(),
                                        [&](const Story& s) { return gone.count(s.number) > 0; }),
                         c->stories.end());
        c->reindex();
    }
    headlinesRemoved(channelId, deleted);
    for (const QString& f : filesGone)
        QFile::remove(f);
    postStories(refresh::kStoriesDeleted, channelId, deleted);
    post(refresh::kChannelCounterChanged, channelId);
    fireEngineEvent(channelId);
    return true;
}

bool Engine::downloadStory(uint32_t channelId, uint32_t number)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        const Story* s = c ? c->story(number) : nullptr;
        // Only a page on the network is downloaded: a local page is read where it is.
        if (!s || !s->localPath.isEmpty() || !isNetworkAddress(QUrl(s->link)) || m_shutDown)
            return false;
    }
    Job job;
    job.kind = Job::DownloadStory;
    job.channelId = channelId;
    job.number = number;
    enqueue(job);
    return true;
}

QStringList Engine::pageRoots() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    QStringList roots{QDir::cleanPath(m_dataDir)};
    if (!m_optionsSet.offlineFolder.isEmpty())
        roots << QDir::cleanPath(m_optionsSet.offlineFolder);
    return roots;
}

QString Engine::storedPageAddress(const QString& localPath) const
{
    // A stored page shown from a file: address would let its scripts read the person's files;
    // under the engine's own scheme it keeps the rights of the page it was copied from.
    // Pages are stored in the data directory, or in the offline folder the options name.
    const QString clean = QDir::cleanPath(localPath);
    for (const QString& root : pageRoots()) {
        if (!clean.startsWith(root + QStringLiteral("/pages/")))
            continue;
        QUrl address;
        address.setScheme(QString::fromLatin1(VT_CACHE_SCHEME));
        address.setPath(clean.mid(root.size()));
        return address.toString(QUrl::FullyEncoded);
    }
    return QString();
}

bool Engine::cachedUrl(const QString& url, QString& localUrl)
{
    if (url.trimmed().isEmpty())
        return false;
    {
        // The store has every story, read or not yet read into memory; what it says is what
        // the model says (changes reach the model only once stored).
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const QString copy = m_open ? m_store->localCopyOf(url) : QString();
        if (!copy.isEmpty() && QFileInfo::exists(copy)) {
            localUrl = storedPageAddress(copy);
            if (!localUrl.isEmpty())
                return true;
        }
    }
    // An address that already names a local file is its own local copy.
    QString path;
    const QUrl asUrl(url);
    if (asUrl.isLocalFile())
        path = asUrl.toLocalFile();
    else if (url.startsWith(QLatin1Char('/')))
        path = url;
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        localUrl = storedPageAddress(QFileInfo(path).absoluteFilePath());
        if (localUrl.isEmpty())
            localUrl = QUrl::fromLocalFile(path).toString();
        return true;
    }
    return false;
}

bool Engine::storedPageFile(const QString& address, QString& path)
{
    const QUrl url(address);
    if (!url.isValid() || url.scheme() != QLatin1String(VT_CACHE_SCHEME))
        return false;
    // Compared as written, so that ".." in the address matches no stored page.
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const QString& root : pageRoots()) {
        const QString candidate = root + url.path(QUrl::FullyDecoded);
        for (const auto& c : m_channels) {
            for (const Story& s : c->stories) {
                if (!s.localPath.isEmpty() && QDir::cleanPath(s.localPath) == candidate &&
                    QFileInfo(candidate).isFile()) {
                    path = candidate;
                    return true;
                }
            }
        }
    }
    return false;
}

uint32_t Engine::addStory(uint32_t channelId, const Story& story)
{
    uint32_t number = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        // Numbering needs the stored stories: a number in use would replace a story.
        if (!c || !m_open || !c->ensureLoaded())
            return 0;
        Story s = story;
        if (s.number == 0 || c->indexOf(s.number) >= 0)
            s.number = c->nextStory;
        if (s.bundletId == 0)
            s.bundletId = s.number;
        if (s.received == 0)
            s.received = nowSecs();
        const uint32_t next = std::max(c->nextStory, s.number + 1);
        Store::Transaction t(*m_store);
        m_store->saveStory(t, channelId, s);
        const uint32_t keepNext = c->nextStory;
        c->nextStory = next;
        m_store->saveChannel(t, *c);
        if (!t.commit()) {
            c->nextStory = keepNext;
            return 0;
        }
        c->appendStory(s);
        number = s.number;
    }
    headlinesChanged(channelId);
    post(refresh::kChannelUpdated, channelId);
    post(refresh::kChannelCounterChanged, channelId);
    fireEngineEvent(channelId);
    return number;
}

bool Engine::enclosureForStory(uint32_t channelId, uint32_t number, Enclosure& out)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Channel* c = findChannel(channelId);
    const Story* s = c ? c->story(number) : nullptr;
    if (!s)
        return false;
    if (channelId == VT_ALERTS_CHANNEL_ID) {
        Channel* target = findChannel(s->alertChannelId);
        const Story* alerted = target && s->alertChannelId != VT_ALERTS_CHANNEL_ID
                                   ? target->story(s->alertStoryId)
                                   : nullptr;
        if (!alerted)
            return false;
        channelId = s->alertChannelId;
        c = target;
        s = alerted;
    }
    // A package of a feed from the network is on the network too (stores written before
    // that rule may still hold a local address there).
    if (s->enclosureUrl.isEmpty() || !mayFollow(QUrl(c->url), QUrl(s->enclosureUrl)))
        return false;
    out.channelId = channelId;
    out.storyNumber = s->number;
    out.url = s->enclosureUrl;
    out.headline = s->headline;
    return true;
}

bool Engine::enclosureFor(uint32_t channelId, uint32_t bundletId, Enclosure& out)
{
    uint32_t number = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || bundletId == 0 || !c->ensureLoaded())
            return false;
        for (const Story& s : c->stories) {
            if (s.bundletId == bundletId) {
                number = s.number;
                break;
            }
        }
    }
    return number != 0 && enclosureForStory(channelId, number, out);
}

void Engine::setPlaceFilesDir(const QString& dir)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_placeFilesDir = dir;
}

QString Engine::placeFilesDir() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_placeFilesDir.isEmpty())
        return m_placeFilesDir;
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir())
        return downloads + QStringLiteral("/Vantrel");
    return m_dataDir + QStringLiteral("/files");
}

bool Engine::placeFiles(uint32_t channelId, uint32_t bundletId, QString* placedPath)
{
    Enclosure e;
    if (!enclosureFor(channelId, bundletId, e))
        return false;
    // Only a package that is on this computer can be placed without waiting on the network:
    // a local one, or the copy downloaded for offline reading.
    const QUrl url(e.url);
    QString source =
        url.isLocalFile() ? url.toLocalFile() : (e.url.startsWith('/') ? e.url : QString());
    if (source.isEmpty()) {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const Channel* c = findChannel(e.channelId);
        const Story* s = c ? c->story(e.storyNumber) : nullptr;
        if (s)
            source = s->extra.value(QStringLiteral("Enclosure File")).toString();
    }
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return false;
    const QString folder = placeFilesDir();
    if (!QDir().mkpath(folder))
        return false;
    const QFileInfo info(source);
    QString target = folder + QLatin1Char('/') + info.fileName();
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target =
            folder + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(" (%1)").arg(n);
        if (!info.suffix().isEmpty())
            target += QLatin1Char('.') + info.suffix();
    }
    if (!QFile::copy(source, target))
        return false;
    if (placedPath)
        *placedPath = target;
    return true;
}

void Engine::setPlaying(bool playing)
{
    if (m_playing.exchange(playing) != playing)
        sendNotification(playing ? VTENGINE_NOTIFICATION_ANIMATION_STARTED
                                 : VTENGINE_NOTIFICATION_ANIMATION_STOPPED,
                         QString(), 0);
}

void Engine::setLastPlayed(uint32_t channelId, uint32_t bundletId, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_playMutex);
    m_lastPlayedChannel = channelId;
    m_lastPlayedBundlet = bundletId;
    m_lastPlayedName = name;
}

bool Engine::lastPlayed(uint32_t& channelId, uint32_t& bundletId, QString& name) const
{
    std::lock_guard<std::mutex> lock(m_playMutex);
    if (m_lastPlayedChannel == 0)
        return false;
    channelId = m_lastPlayedChannel;
    bundletId = m_lastPlayedBundlet;
    name = m_lastPlayedName;
    return true;
}

} // namespace vantrel
