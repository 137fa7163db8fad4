// The channel directory: entries added and removed, and catalogues (OPML) merged into it.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/origin.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
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

// Whether two entries say the same, their ids aside.
bool sameEntry(const DirEntry& a, const DirEntry& b)
{
    return a.name == b.name && a.url == b.url && a.categories == b.categories &&
           a.description == b.description && a.homePage == b.homePage && a.flags == b.flags &&
           a.visibility == b.visibility && a.date == b.date && a.catalogue == b.catalogue &&
           a.attributes == b.attributes;
}

bool isLocalPath(const QString& address)
{
    return address.startsWith(QLatin1Char('/'));
}

// The address a catalogue is known by: a local file's clean absolute path, or an http(s)
// address. Empty, with the reason, for anything else.
QString catalogueAddress(const QString& pathOrUrl, QUrl* url, QString* error)
{
    const QString text = pathOrUrl.trimmed();
    QUrl u = isLocalPath(text)
                 ? QUrl::fromLocalFile(text)
                 : QUrl::fromUserInput(text, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (url)
        *url = u;
    if (!text.isEmpty() && u.isLocalFile())
        return QDir::cleanPath(QFileInfo(u.toLocalFile()).absoluteFilePath());
    if (!text.isEmpty() && isNetworkAddress(u) && !u.host().isEmpty())
        return u.toString();
    if (error)
        *error = QStringLiteral("Not a catalogue address: %1").arg(pathOrUrl);
    return QString();
}

// Whether an entry's catalogue text names a catalogue (entries added directly carry another
// word, or none).
bool namesCatalogue(const QString& text)
{
    return isLocalPath(text) || text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Reads a local catalogue (or, without `data`, only checks that it can be read); empty when
// it could, else the reason.
QString readLocalCatalogue(const QString& path, QByteArray* data)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("The channel catalogue %1 cannot be opened: %2")
            .arg(path, QFileInfo::exists(path) ? file.errorString()
                                               : QStringLiteral("there is no such file"));
    if (data)
        *data = file.readAll();
    return QString();
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
    fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, QByteArray(), entryId);
    return true;
}

// ---- catalogues

void Engine::takeCatalogues(const QMap<QString, QString>& meta)
{
    m_catalogues.clear();
    const QJsonArray list = QJsonDocument::fromJson(meta.value(kMetaCatalogues).toUtf8()).array();
    for (const QJsonValue v : list) {
        const QJsonObject o = v.toObject();
        CatalogueState c;
        c.address = o.value(QLatin1String("address")).toString();
        c.lastRefresh = qint64(o.value(QLatin1String("refreshed")).toDouble());
        c.lastError = o.value(QLatin1String("error")).toString();
        if (!c.address.isEmpty() && !findCatalogue(c.address))
            m_catalogues.push_back(c);
    }
    // A store from before catalogues were listed names them only in its entries.
    for (DirEntry& e : m_entries) {
        if (isLocalPath(e.catalogue))
            e.catalogue = QDir::cleanPath(e.catalogue);
        if (namesCatalogue(e.catalogue) && !findCatalogue(e.catalogue)) {
            CatalogueState c;
            c.address = e.catalogue;
            m_catalogues.push_back(c);
        }
    }
}

Engine::CatalogueState* Engine::findCatalogue(const QString& address)
{
    for (CatalogueState& c : m_catalogues) {
        if (c.address == address)
            return &c;
    }
    return nullptr;
}

QString Engine::catalogueMeta() const
{
    QJsonArray list;
    for (const CatalogueState& c : m_catalogues) {
        QJsonObject o;
        o.insert(QLatin1String("address"), c.address);
        o.insert(QLatin1String("refreshed"), double(c.lastRefresh));
        if (!c.lastError.isEmpty())
            o.insert(QLatin1String("error"), c.lastError);
        list.append(o);
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

std::vector<Engine::CatalogueInfo> Engine::catalogues()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const QString bundled = QDir::cleanPath(m_dataDir + QStringLiteral("/demo/directory.opml"));
    QHash<QString, int> counts;
    for (const DirEntry& e : m_entries)
        ++counts[e.catalogue];
    std::vector<CatalogueInfo> out;
    out.reserve(m_catalogues.size());
    for (const CatalogueState& c : m_catalogues) {
        CatalogueInfo info;
        info.address = c.address;
        info.entryCount = counts.value(c.address);
        info.lastRefresh = c.lastRefresh;
        info.lastError = c.lastError;
        info.busy = c.busy;
        info.bundled = c.address == bundled;
        out.push_back(info);
    }
    return out;
}

bool Engine::mergeCatalogue(const QByteArray& data, const QUrl& base, const QString& catalogue,
                            QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const feeds::OpmlResult result = feeds::parseOpml(data, base);
    if (!result.ok)
        return fail(QStringLiteral("The channel catalogue cannot be read: %1").arg(result.error));
    bool added = false;
    int count = 0;
    std::vector<uint32_t> changedChannels;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        CatalogueState* state = findCatalogue(catalogue);
        if (!state || !m_open)
            return fail(
                QStringLiteral("The channel catalogue %1 is no longer listed.").arg(catalogue));
        added = state->lastRefresh == 0;
        std::vector<DirEntry> entries = m_entries;
        QHash<QString, size_t> byUrl;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].url.isEmpty() && !byUrl.contains(entries[i].url))
                byUrl.insert(entries[i].url, i);
        }
        QSet<uint32_t> listed;
        std::vector<size_t> touched;
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
            const auto hit = byUrl.constFind(feedUrl);
            if (hit == byUrl.constEnd()) {
                e.id = nextId++;
                byUrl.insert(feedUrl, entries.size());
                touched.push_back(entries.size());
                listed.insert(e.id);
                entries.push_back(e);
                continue;
            }
            DirEntry& old = entries[*hit];
            // An entry belongs to the listed catalogue that listed it first.
            if (listed.contains(old.id) ||
                (old.catalogue != catalogue && findCatalogue(old.catalogue)))
                continue;
            listed.insert(old.id);
            e.id = old.id;
            if (sameEntry(e, old))
                continue;
            old = e;
            touched.push_back(*hit);
            if (Channel* c = channelByEntry(e.id))
                changedChannels.push_back(c->id);
        }
        // What the catalogue no longer lists goes, unless it is subscribed.
        QSet<uint32_t> gone;
        for (size_t i = 0; i < entries.size(); ++i) {
            DirEntry& e = entries[i];
            if (e.catalogue != catalogue || listed.contains(e.id))
                continue;
            if (channelByEntry(e.id)) {
                e.catalogue.clear();
                touched.push_back(i);
            } else {
                gone.insert(e.id);
            }
        }
        const CatalogueState before = *state;
        state->lastRefresh = nowSecs();
        state->lastError.clear();
        Store::Transaction t(*m_store);
        for (size_t i : touched)
            m_store->saveEntry(t, entries[i]);
        for (uint32_t id : gone)
            m_store->deleteEntry(t, id);
        m_store->saveMeta(t, kMetaNextEntry, QString::number(nextId));
        m_store->saveMeta(t, kMetaCatalogues, catalogueMeta());
        if (!t.commit()) {
            *state = before;
            return fail(
                QStringLiteral("The store refused the catalogue: %1").arg(m_store->lastError()));
        }
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const DirEntry& e) { return gone.contains(e.id); }),
                      entries.end());
        m_entries = std::move(entries);
        m_nextEntryId = nextId;
        count = int(listed.size());
    }
    fireCallbacks(added ? VTNOTIFY_DIRECTORY_ENTRY_ADDED : VTNOTIFY_DIRECTORY_REFRESHED,
                  catalogue.toUtf8(), uint32_t(count));
    for (uint32_t channelId : changedChannels)
        post(refresh::kChannelFlagsChanged, channelId);
    return true;
}

bool Engine::addCatalogue(const QString& pathOrUrl, QString* error)
{
    QUrl url;
    const QString address = catalogueAddress(pathOrUrl, &url, error);
    if (address.isEmpty())
        return false;
    if (!url.isLocalFile()) {
        // An address on the network is read on the worker; a listed one is read again.
        bool listed = false;
        {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            listed = findCatalogue(address) != nullptr;
        }
        return queueCatalogue(address, listed, error);
    }
    QByteArray data;
    const QString unreadable = readLocalCatalogue(address, &data);
    if (!unreadable.isEmpty()) {
        if (error)
            *error = unreadable;
        return false;
    }
    bool listedBefore = false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        listedBefore = findCatalogue(address) != nullptr;
        if (!listedBefore) {
            CatalogueState c;
            c.address = address;
            m_catalogues.push_back(c);
        }
    }
    QString why;
    if (mergeCatalogue(data, QUrl::fromLocalFile(address), address, &why))
        return true;
    {
        // A catalogue that could not be read once is not listed; a listed one keeps its place
        // and says why.
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!listedBefore) {
            m_catalogues.erase(
                std::remove_if(m_catalogues.begin(), m_catalogues.end(),
                               [&](const CatalogueState& c) { return c.address == address; }),
                m_catalogues.end());
        }
    }
    if (listedBefore)
        finishCatalogue(address, why);
    if (error)
        *error = why;
    return false;
}

bool Engine::addCatalogueLater(const QString& pathOrUrl, QString* error)
{
    return queueCatalogue(pathOrUrl, false, error);
}

bool Engine::refreshCatalogue(const QString& address, QString* error)
{
    return queueCatalogue(address, true, error);
}

bool Engine::queueCatalogue(const QString& pathOrUrl, bool mustBeListed, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QUrl url;
    QString address;
    {
        // A listed address is taken as it is.
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (findCatalogue(pathOrUrl))
            address = pathOrUrl;
    }
    if (address.isEmpty())
        address = catalogueAddress(pathOrUrl, &url, error);
    if (address.isEmpty())
        return false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const bool listed = findCatalogue(address) != nullptr;
        if (mustBeListed && !listed)
            return fail(QStringLiteral("The channel catalogue %1 is not listed.").arg(address));
        if (!mustBeListed && listed)
            return fail(QStringLiteral("The channel catalogue %1 is listed already.").arg(address));
    }
    if (isLocalPath(address)) {
        const QString unreadable = readLocalCatalogue(address, nullptr);
        if (!unreadable.isEmpty())
            return fail(unreadable);
    }
    if (!m_worker.joinable() || m_shutDown)
        return fail(QStringLiteral("The engine is not running its downloads."));
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open)
            return fail(QStringLiteral("The engine has no store."));
        CatalogueState* state = findCatalogue(address);
        if (mustBeListed && !state)
            return fail(QStringLiteral("The channel catalogue %1 was removed.").arg(address));
        if (state && state->busy)
            return true; // its reading is queued already
        if (state) {
            state->busy = true;
        } else {
            CatalogueState c;
            c.address = address;
            c.busy = true;
            m_catalogues.push_back(c);
            // Listed at once, so that a catalogue whose download fails stays in the list with
            // the reason.
            Store::Transaction t(*m_store);
            m_store->saveMeta(t, kMetaCatalogues, catalogueMeta());
            if (!t.commit()) {
                m_catalogues.pop_back();
                return fail(QStringLiteral("The store refused the catalogue: %1")
                                .arg(m_store->lastError()));
            }
        }
    }
    Job job;
    job.kind = Job::Catalogue;
    job.source = address;
    enqueue(job);
    return true;
}

void Engine::finishCatalogue(const QString& address, const QString& error)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    CatalogueState* state = findCatalogue(address);
    if (!state)
        return; // removed meanwhile
    state->busy = false;
    if (error.isEmpty() || !m_open)
        return;
    std::fprintf(stderr, "vantrel: %s\n", qPrintable(error));
    state->lastError = error;
    Store::Transaction t(*m_store);
    m_store->saveMeta(t, kMetaCatalogues, catalogueMeta());
    t.commit(); // the reason is shown either way; only its memory after a restart is lost
}

bool Engine::removeCatalogue(const QString& address, QString* error)
{
    int removed = 0;
    QString key = address;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!findCatalogue(key))
            key = catalogueAddress(address, nullptr, nullptr);
        if (key.isEmpty() || !findCatalogue(key)) {
            if (error)
                *error = QStringLiteral("The channel catalogue %1 is not listed.").arg(address);
            return false;
        }
        if (!m_open)
            return false;
        std::vector<CatalogueState> remaining;
        for (const CatalogueState& c : m_catalogues) {
            if (c.address != key)
                remaining.push_back(c);
        }
        std::vector<CatalogueState> before = m_catalogues;
        m_catalogues = remaining;
        QSet<uint32_t> gone;
        std::vector<DirEntry> entries = m_entries;
        Store::Transaction t(*m_store);
        for (DirEntry& e : entries) {
            if (e.catalogue != key)
                continue;
            if (channelByEntry(e.id)) {
                // A subscribed channel stays, as an entry of no catalogue.
                e.catalogue.clear();
                m_store->saveEntry(t, e);
            } else {
                gone.insert(e.id);
                m_store->deleteEntry(t, e.id);
            }
        }
        m_store->saveMeta(t, kMetaCatalogues, catalogueMeta());
        if (!t.commit()) {
            m_catalogues = std::move(before);
            if (error)
                *error =
                    QStringLiteral("The store refused the change: %1").arg(m_store->lastError());
            return false;
        }
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const DirEntry& e) { return gone.contains(e.id); }),
                      entries.end());
        m_entries = std::move(entries);
        removed = int(gone.size());
    }
    fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, key.toUtf8(), uint32_t(removed));
    return true;
}

void Engine::runCatalogue(const QString& source)
{
    QByteArray data;
    QUrl base;
    QString error;
    if (isLocalPath(source)) {
        error = readLocalCatalogue(source, &data);
        base = QUrl::fromLocalFile(source);
    } else {
        const feeds::FetchResult fetched =
            fetcher().fetch(QUrl(source), kMaxFeedBytes, m_fetchTimeoutMs.load());
        if (fetched.ok) {
            data = fetched.body;
            base = fetched.finalUrl.isValid() ? fetched.finalUrl : QUrl(source);
        } else {
            error = QStringLiteral("The channel catalogue %1 cannot be downloaded: %2")
                        .arg(source, fetched.error);
        }
    }
    if (error.isEmpty())
        mergeCatalogue(data, base, source, &error);
    finishCatalogue(source, error);
}
} // namespace vantrel
