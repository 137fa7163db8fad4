// The channel directory: entries added and removed, and catalogues (OPML) merged into it.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/origin.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace vantrel
{
using namespace detail;

QString detail::entryAttribute(const DirEntry& e, const char* name)
{
    for (auto it = e.attributes.cbegin(); it != e.attributes.cend(); ++it) {
        if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return QString();
}

namespace
{

// Entry flags from an OPML outline's attributes.
void applyOpmlAttributes(DirEntry& e)
{
    auto on = [&](const char* name) { return isTrueText(entryAttribute(e, name)); };
    e.flags = 0;
    if (on("vantrel:premier"))
        e.flags |= VTDIRENTRY_PREMIER;
    if (on("vantrel:secure") || e.url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
        e.flags |= VTDIRENTRY_SECURE;
    if (on("vantrel:homeServer"))
        e.flags |= VTDIRENTRY_HOME_SERVER;
    if (on("vantrel:required"))
        e.flags |= VTDIRENTRY_REQUIRED;
    if (on("vantrel:restricted"))
        e.flags |= VTDIRENTRY_RESTRICTED;
    e.visibility = on("vantrel:hidden") ? 1u : 0u;
}

} // namespace

std::vector<DirEntry> Engine::directoryEntries()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_entries;
}

uint32_t Engine::addDirectoryEntry(const DirEntry& entry)
{
    uint32_t id = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open)
            return 0;
        DirEntry e = entry;
        e.id = m_nextEntryId;
        Store::Transaction t(*m_store);
        m_store->saveEntry(t, e);
        m_store->saveMeta(t, kMetaNextEntry, QString::number(e.id + 1));
        if (!t.commit())
            return 0;
        m_nextEntryId = e.id + 1;
        m_entries.push_back(e);
        id = e.id;
    }
    fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_ADDED, QByteArray(), id);
    return id;
}

bool Engine::removeDirectoryEntry(uint32_t entryId)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const DirEntry& e) { return e.id == entryId; });
        if (entryId == 0 || it == m_entries.end() || channelByEntry(entryId) || !m_open)
            return false;
        Store::Transaction t(*m_store);
        m_store->deleteEntry(t, entryId);
        if (!t.commit())
            return false;
        m_entries.erase(it);
    }
    fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_REMOVED, QByteArray(), entryId);
    return true;
}

bool Engine::mergeCatalogue(const QByteArray& data, const QUrl& base, const QString& catalogue,
                            QString* error)
{
    const feeds::OpmlResult result = feeds::parseOpml(data, base);
    if (!result.ok) {
        if (error)
            *error = QStringLiteral("The channel catalogue cannot be read: %1").arg(result.error);
        return false;
    }
    std::vector<uint32_t> added;
    std::vector<uint32_t> changed;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        std::vector<DirEntry> entries = m_entries;
        uint32_t nextId = m_nextEntryId;
        for (const feeds::OpmlEntry& o : result.entries) {
            // A catalogue from the network lists only feeds on the network.
            const QString feedUrl = followableAddress(base, o.feedUrl);
            if (feedUrl.isEmpty())
                continue;
            DirEntry e;
            e.name = o.title.isEmpty() ? feedUrl : o.title;
            e.url = feedUrl;
            e.categories = o.categoryPaths.join(';');
            e.description = o.description;
            e.homePage = followableAddress(base, o.homePage);
            e.date = o.created.isValid() ? uint32_t(o.created.toSecsSinceEpoch()) : 0u;
            e.catalogue = catalogue;
            e.attributes = o.attributes;
            applyOpmlAttributes(e);
            auto it = std::find_if(entries.begin(), entries.end(),
                                   [&](const DirEntry& x) { return x.url == e.url; });
            if (it != entries.end()) {
                e.id = it->id;
                *it = e;
                changed.push_back(e.id);
            } else {
                e.id = nextId++;
                entries.push_back(e);
                added.push_back(e.id);
            }
        }
        Store::Transaction t(*m_store);
        for (const DirEntry& e : entries) {
            if (std::find(added.begin(), added.end(), e.id) != added.end() ||
                std::find(changed.begin(), changed.end(), e.id) != changed.end())
                m_store->saveEntry(t, e);
        }
        m_store->saveMeta(t, kMetaNextEntry, QString::number(nextId));
        if (!t.commit()) {
            if (error)
                *error =
                    QStringLiteral("The store refused the catalogue: %1").arg(m_store->lastError());
            return false;
        }
        m_entries = std::move(entries);
        m_nextEntryId = nextId;
    }
    for (uint32_t id : added)
        fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_ADDED, QByteArray(), id);
    for (uint32_t id : changed)
        fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, QByteArray(), id);
    return true;
}

bool Engine::addCatalogue(const QString& pathOrUrl, QString* error)
{
    QUrl url = QUrl::fromUserInput(pathOrUrl, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (pathOrUrl.startsWith(QLatin1Char('/')))
        url = QUrl::fromLocalFile(pathOrUrl);
    if (url.isLocalFile()) {
        QFile file(url.toLocalFile());
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("The channel catalogue %1 cannot be opened: %2")
                             .arg(url.toLocalFile(), file.errorString());
            return false;
        }
        return mergeCatalogue(file.readAll(), url, url.toLocalFile(), error);
    }
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        if (error)
            *error = QStringLiteral("Not a catalogue address: %1").arg(pathOrUrl);
        return false;
    }
    if (!m_worker.joinable() || m_shutDown) {
        if (error)
            *error = QStringLiteral("The engine is not downloading.");
        return false;
    }
    Job job;
    job.kind = Job::Catalogue;
    job.source = url.toString();
    enqueue(job);
    return true;
}

void Engine::runCatalogue(const QString& source)
{
    const feeds::FetchResult fetched =
        fetcher().fetch(QUrl(source), kMaxFeedBytes, m_fetchTimeoutMs.load());
    if (!fetched.ok) {
        std::fprintf(stderr, "vantrel: the catalogue %s cannot be downloaded: %s\n",
                     qPrintable(source), qPrintable(fetched.error));
        return;
    }
    QString error;
    if (!mergeCatalogue(fetched.body, fetched.finalUrl.isValid() ? fetched.finalUrl : QUrl(source),
                        source, &error))
        std::fprintf(stderr, "vantrel: %s\n", qPrintable(error));
}
} // namespace vantrel
