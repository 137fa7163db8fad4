#include "vantrel/core/engine.h"

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/programfiles.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <limits>

#ifndef VANTREL_SOURCE_DEMO_DIR
#define VANTREL_SOURCE_DEMO_DIR ""
#endif

namespace vantrel
{
namespace
{

Engine* g_engine = nullptr;

constexpr qint64 kMaxFeedBytes = 16 * 1024 * 1024;
constexpr int kFetchTimeoutMs = 60 * 1000;

qint64 nowSecs()
{
    return QDateTime::currentSecsSinceEpoch();
}

// Names of the settings the engine keeps in the store's meta table.
constexpr QLatin1String kMetaDownload("download enabled");
constexpr QLatin1String kMetaAutoplay("autoplay enabled");
constexpr QLatin1String kMetaRestrictions("workgroup restrictions");
constexpr QLatin1String kMetaNextChannel("next channel id");
constexpr QLatin1String kMetaNextEntry("next entry id");
constexpr QLatin1String kMetaNextRule("next rule id");

// Stores one meta setting in a transaction of its own; false when it could not be written.
bool saveMetaValue(Store& store, const QString& key, const QString& value)
{
    Store::Transaction t(store);
    store.saveMeta(t, key, value);
    return t.commit();
}

QString switchText(bool enabled)
{
    return enabled ? QStringLiteral("1") : QStringLiteral("0");
}

QString newStoriesText(int n)
{
    if (n == 0)
        return QStringLiteral("no new stories");
    if (n == 1)
        return QStringLiteral("1 new story");
    return QStringLiteral("%1 new stories").arg(n);
}

bool copyTree(const QString& from, const QString& to)
{
    QDir source(from);
    if (!source.exists())
        return false;
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = source.relativeFilePath(path);
        const QString target = to + QLatin1Char('/') + rel;
        if (it.fileInfo().isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::remove(target);
            ok = QFile::copy(path, target) && ok;
        }
    }
    return ok;
}

// Entry flags from an OPML outline's attributes.
void applyOpmlAttributes(DirEntry& e)
{
    auto attr = [&](const char* name) {
        for (auto it = e.attributes.cbegin(); it != e.attributes.cend(); ++it) {
            if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return it.value();
        }
        return QString();
    };
    e.flags = 0;
    if (isTrueText(attr("vantrel:premier")))
        e.flags |= VTDIRENTRY_PREMIER;
    if (isTrueText(attr("vantrel:secure")) ||
        e.url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
        e.flags |= VTDIRENTRY_SECURE;
    if (isTrueText(attr("vantrel:homeServer")))
        e.flags |= VTDIRENTRY_HOME_SERVER;
    if (isTrueText(attr("vantrel:required")))
        e.flags |= VTDIRENTRY_REQUIRED;
    if (isTrueText(attr("vantrel:restricted")))
        e.flags |= VTDIRENTRY_RESTRICTED;
    e.visibility = isTrueText(attr("vantrel:hidden")) ? 1u : 0u;
}

QString entryAttribute(const DirEntry& e, const char* name)
{
    for (auto it = e.attributes.cbegin(); it != e.attributes.cend(); ++it) {
        if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return QString();
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

} // namespace

// ------------------------------------------------------------------------------------------
// The read-only directory over the model.

class Engine::Services final : public CServices
{
public:
    explicit Services(Engine& engine) : m_engine(engine) {}
    int GetNoServices() const override { return int(m_engine.m_channels.size()); }
    CService* GetService(int index) const override
    {
        if (index < 0 || size_t(index) >= m_engine.m_channels.size())
            return nullptr;
        return m_engine.m_channels[size_t(index)].get();
    }
    CService* GetServiceByID(uint32_t channelId) const override
    {
        return m_engine.findChannel(channelId);
    }
    CService* GetServiceByDirectoryEntryId(uint32_t entryId) const override
    {
        return m_engine.channelByEntry(entryId);
    }
    int GetStoryAttribute(const QString& storyId, const QString& name,
                          uint32_t& value) const override
    {
        uint32_t channelId = 0;
        uint32_t number = 0;
        if (!CService::ParseStoryID(storyId, channelId, number))
            return 0;
        Channel* c = m_engine.findChannel(channelId);
        return c ? c->GetStoryAttribute(c->indexOf(number), name, value) : 0;
    }
    int GetStoryAttribute(const QString& storyId, const QString& name,
                          QString& value) const override
    {
        uint32_t channelId = 0;
        uint32_t number = 0;
        if (!CService::ParseStoryID(storyId, channelId, number))
            return 0;
        Channel* c = m_engine.findChannel(channelId);
        return c ? c->GetStoryAttribute(c->indexOf(number), name, value) : 0;
    }

private:
    Engine& m_engine;
};

// ------------------------------------------------------------------------------------------
// Paths and life.

QString Engine::dataDirectory()
{
    const QString explicitDir = qEnvironmentVariable("VANTREL_DATA_DIR");
    if (!explicitDir.isEmpty())
        return explicitDir;
    QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (xdg.isEmpty())
        xdg = QDir::homePath() + QStringLiteral("/.local/share");
    return xdg + QStringLiteral("/vantrel");
}

QString Engine::demoDirectory()
{
    const QString explicitDir = qEnvironmentVariable("VANTREL_DEMO_DIR");
    if (!explicitDir.isEmpty())
        return QFileInfo(explicitDir).isDir() ? explicitDir : QString();
    if (QCoreApplication::instance()) {
        const QString beside =
            programFilesDirectory(QCoreApplication::applicationDirPath()) + QStringLiteral("/demo");
        if (QFileInfo(beside).isDir())
            return beside;
    }
    const QString source = QString::fromUtf8(VANTREL_SOURCE_DEMO_DIR);
    if (!source.isEmpty() && QFileInfo(source).isDir())
        return source;
    return QString();
}

Engine::Engine(const Options& options)
    : m_options(options), m_services(std::make_unique<Services>(*this)),
      m_fetcher(std::make_unique<feeds::Fetcher>())
{
    m_dataDir = options.dataDir.isEmpty() ? dataDirectory() : options.dataDir;
    QDir().mkpath(m_dataDir);
    const QString dbPath = m_dataDir + QStringLiteral("/vantrel.db");
    const bool fresh = !QFileInfo::exists(dbPath);
    m_store = std::make_unique<Store>(dbPath);
    m_open = m_store->open();
    m_alerts = std::make_unique<Channel>();
    m_alerts->id = VT_ALERTS_CHANNEL_ID;
    m_alerts->name = QStringLiteral("Alerts");
    if (!m_open) {
        m_startNote =
            QStringLiteral("The engine store cannot be opened: %1").arg(m_store->lastError());
        return;
    }
    m_startNote = m_store->damagedNote();
    loadFromStore();
    if (!m_open)
        return;
    const bool noDemo = qEnvironmentVariable("VANTREL_NO_DEMO") == QLatin1String("1");
    if (fresh && options.seedDemo && !noDemo) {
        const QString demo = demoDirectory();
        QString error;
        if (!demo.isEmpty() && !seedDemo(demo, &error)) {
            std::fprintf(stderr, "vantrel: the demo content was not seeded: %s\n",
                         qPrintable(error));
            const QString note =
                QStringLiteral("The demo content could not be set up: %1").arg(error);
            m_startNote = m_startNote.isEmpty() ? note : m_startNote + QLatin1Char('\n') + note;
        }
    }
    if (options.startWorker) {
        m_worker = QThread::create([this] { workerMain(); });
        m_worker->setObjectName(QStringLiteral("vantrel-worker"));
        m_worker->start();
    }
}

Engine::~Engine()
{
    stopWorker();
    m_store.reset();
}

Engine* Engine::instance()
{
    return g_engine;
}

bool Engine::start(const Options& options)
{
    if (g_engine)
        return true;
    auto engine = std::make_unique<Engine>(options);
    if (!engine->isOpen())
        return false;
    g_engine = engine.release();
    return true;
}

void Engine::stop()
{
    Engine* engine = g_engine;
    g_engine = nullptr;
    delete engine;
}

QString Engine::engineStatus() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_startNote;
}

void Engine::loadFromStore()
{
    StoreContents contents;
    if (!m_store->load(contents)) {
        // Readable schema but unreadable rows: treat the store as damaged.
        const QString error = m_store->lastError();
        const QString path = m_store->path();
        m_store.reset();
        const QString aside =
            path + QStringLiteral(".damaged-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QFile::remove(aside);
        QFile::rename(path, aside);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        m_startNote = QStringLiteral("The engine store was damaged (%1); it was moved to %2 and "
                                     "the engine started empty.")
                          .arg(error, aside);
        std::fprintf(stderr, "vantrel: %s\n", qPrintable(m_startNote));
        m_store = std::make_unique<Store>(path);
        m_open = m_store->open();
        return;
    }
    m_channels = std::move(contents.channels);
    if (contents.alerts)
        m_alerts = std::move(contents.alerts);
    m_alerts->id = VT_ALERTS_CHANNEL_ID;
    if (m_alerts->name.isEmpty())
        m_alerts->name = QStringLiteral("Alerts");
    m_entries = std::move(contents.entries);
    m_rules = std::move(contents.rules);
    const auto& meta = contents.meta;
    m_downloadEnabled = meta.value(kMetaDownload, QStringLiteral("1")) != QLatin1String("0");
    m_autoplayEnabled = meta.value(kMetaAutoplay, QStringLiteral("1")) != QLatin1String("0");
    m_restrictions = meta.value(kMetaRestrictions, QStringLiteral("0")).toUInt();
    m_nextChannelId = std::max<uint32_t>(1, meta.value(kMetaNextChannel).toUInt());
    m_nextEntryId = std::max<uint32_t>(1, meta.value(kMetaNextEntry).toUInt());
    m_nextRuleId = std::max<uint32_t>(1, meta.value(kMetaNextRule).toUInt());
    for (const auto& c : m_channels)
        m_nextChannelId = std::max(m_nextChannelId, c->id + 1);
    for (const auto& e : m_entries)
        m_nextEntryId = std::max(m_nextEntryId, e.id + 1);
    for (const auto& r : m_rules)
        m_nextRuleId = std::max(m_nextRuleId, r.id + 1);
    for (auto& c : m_channels)
        c->updating = false;
}

Channel* Engine::findChannel(uint32_t id)
{
    if (id == VT_ALERTS_CHANNEL_ID)
        return m_alerts.get();
    if (id == 0)
        return nullptr;
    for (auto& c : m_channels) {
        if (c->id == id)
            return c.get();
    }
    return nullptr;
}

CServices* Engine::services()
{
    return m_services.get();
}

Channel* Engine::channelById(uint32_t id)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return findChannel(id);
}

Channel* Engine::channelByEntry(uint32_t entryId)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (entryId == 0)
        return nullptr;
    for (auto& c : m_channels) {
        if (c->entryId == entryId)
            return c.get();
    }
    return nullptr;
}

// ------------------------------------------------------------------------------------------
// Change reporting.

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

// ------------------------------------------------------------------------------------------
// Story commands.

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
                Story* target = c->story(s.number);
                counters = counters || target->read != s.read;
                changed.push_back(s.number);
                *target = std::move(s);
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
        if (!c || bundletId == 0)
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
            if (!s->localPath.isEmpty())
                filesGone.push_back(s->localPath);
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
        if (!s || s->link.isEmpty() || !s->localPath.isEmpty() || m_shutDown)
            return false;
        const QUrl url(s->link);
        if (!url.isValid() || url.isLocalFile())
            return false;
    }
    Job job;
    job.kind = Job::DownloadStory;
    job.channelId = channelId;
    job.number = number;
    enqueue(job);
    return true;
}

bool Engine::cachedUrl(const QString& url, QString& localUrl)
{
    if (url.trimmed().isEmpty())
        return false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto search = [&](const Channel& c) {
            for (const Story& s : c.stories) {
                if (!s.localPath.isEmpty() && s.link == url && QFileInfo::exists(s.localPath)) {
                    localUrl = QUrl::fromLocalFile(s.localPath).toString();
                    return true;
                }
            }
            return false;
        };
        for (const auto& c : m_channels) {
            if (search(*c))
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
        localUrl = QUrl::fromLocalFile(path).toString();
        return true;
    }
    return false;
}

// ------------------------------------------------------------------------------------------
// Subscriptions and channels.

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
    std::vector<uint32_t> alertsGone;
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
        // The alerts raised on its stories go with it: they would point at nothing.
        for (const Story& a : m_alerts->stories) {
            if (a.alertChannelId == channelId)
                alertsGone.push_back(a.number);
        }
        Store::Transaction t(*m_store);
        m_store->deleteChannel(t, channelId);
        for (uint32_t n : alertsGone)
            m_store->deleteStory(t, VT_ALERTS_CHANNEL_ID, n);
        if (!t.commit())
            return false;
        m_channels.erase(std::remove_if(m_channels.begin(), m_channels.end(),
                                        [&](const auto& ch) { return ch->id == channelId; }),
                         m_channels.end());
        if (!alertsGone.empty()) {
            auto& s = m_alerts->stories;
            s.erase(std::remove_if(s.begin(), s.end(),
                                   [&](const Story& a) { return a.alertChannelId == channelId; }),
                    s.end());
            m_alerts->reindex();
        }
    }
    removeChannelFiles(channelId);
    post(refresh::kChannelDeleted, channelId, entryId);
    if (!alertsGone.empty()) {
        postStories(refresh::kStoriesDeleted, VT_ALERTS_CHANNEL_ID, alertsGone);
        post(refresh::kChannelCounterChanged, VT_ALERTS_CHANNEL_ID);
    }
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
        if (!c || c->url.isEmpty() || m_shutDown || !m_worker)
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

// ------------------------------------------------------------------------------------------
// Content packages.

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
        s = alerted;
    }
    if (s->enclosureUrl.isEmpty())
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
        if (!c || bundletId == 0)
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
    // Only a package that is on this computer can be placed without waiting on the network.
    const QUrl url(e.url);
    const QString source =
        url.isLocalFile() ? url.toLocalFile() : (e.url.startsWith('/') ? e.url : QString());
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
    m_playing = playing;
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

// ------------------------------------------------------------------------------------------
// Switches.

bool Engine::setDownloadEnabled(bool enabled)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!saveMetaValue(*m_store, kMetaDownload, switchText(enabled)))
            return false;
        m_downloadEnabled = enabled;
    }
    wake();
    return true;
}

bool Engine::setAutoplayEnabled(bool enabled)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!saveMetaValue(*m_store, kMetaAutoplay, switchText(enabled)))
        return false;
    m_autoplayEnabled = enabled;
    return true;
}

bool Engine::setWorkgroupRestrictions(uint32_t mask)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!saveMetaValue(*m_store, kMetaRestrictions, QString::number(mask)))
        return false;
    m_restrictions = mask;
    return true;
}

void Engine::setUpdateIntervalSecs(int secs)
{
    m_intervalSecs = std::max(1, secs);
    wake();
}

void Engine::shutdown()
{
    if (m_shutDown.exchange(true))
        return;
    stopWorker();
    fireCallbacks(VTNOTIFY_SHUTDOWN, QByteArray(), 0);
}

// ------------------------------------------------------------------------------------------
// Directory.

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
        std::vector<DirEntry*> toSave;
        for (const feeds::OpmlEntry& o : result.entries) {
            if (o.feedUrl.isEmpty())
                continue;
            DirEntry e;
            e.name = o.title.isEmpty() ? o.feedUrl : o.title;
            e.url = o.feedUrl;
            e.categories = o.categoryPaths.join(';');
            e.description = o.description;
            e.homePage = o.homePage;
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
    if (!m_worker || m_shutDown) {
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

// ------------------------------------------------------------------------------------------
// Alert rules.

uint32_t Engine::addAlertRule(const QString& name, const QStringList& words,
                              const QString& category)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    QStringList clean;
    for (const QString& w : words) {
        if (!w.trimmed().isEmpty())
            clean << w.trimmed();
    }
    if (name.trimmed().isEmpty() || clean.isEmpty() || !m_open)
        return 0;
    AlertRule r;
    r.id = m_nextRuleId;
    r.name = name.trimmed();
    r.words = clean;
    r.category = category.trimmed();
    Store::Transaction t(*m_store);
    m_store->saveRule(t, r);
    m_store->saveMeta(t, kMetaNextRule, QString::number(r.id + 1));
    if (!t.commit())
        return 0;
    m_nextRuleId = r.id + 1;
    m_rules.push_back(r);
    return r.id;
}

bool Engine::removeAlertRule(uint32_t ruleId)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = std::find_if(m_rules.begin(), m_rules.end(),
                           [&](const AlertRule& r) { return r.id == ruleId; });
    if (it == m_rules.end())
        return false;
    Store::Transaction t(*m_store);
    m_store->deleteRule(t, ruleId);
    if (!t.commit())
        return false;
    m_rules.erase(it);
    return true;
}

std::vector<AlertRule> Engine::alertRules()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_rules;
}

// ------------------------------------------------------------------------------------------
// Direct content.

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

uint32_t Engine::addStory(uint32_t channelId, const Story& story)
{
    uint32_t number = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        if (!c || !m_open)
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
    post(refresh::kChannelUpdated, channelId);
    post(refresh::kChannelCounterChanged, channelId);
    fireEngineEvent(channelId);
    return number;
}

uint32_t Engine::addAlert(uint32_t channelId, uint32_t storyNumber, const QString& alertName,
                          const QString& category)
{
    Story alert;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        const Story* s = c && channelId != VT_ALERTS_CHANNEL_ID ? c->story(storyNumber) : nullptr;
        if (!s)
            return 0;
        alert.headline = s->headline;
        alert.summary = s->summary;
        alert.link = s->link;
        alert.published = s->published;
        alert.category = category;
        alert.alertName = alertName;
        alert.alertChannelId = channelId;
        alert.alertStoryId = storyNumber;
    }
    const uint32_t number = addStory(VT_ALERTS_CHANNEL_ID, alert);
    if (number != 0) {
        applyStoryChange(channelId, {storyNumber}, [](Story& s) {
            if (s.alerted)
                return false;
            s.alerted = 1;
            return true;
        });
    }
    return number;
}

bool Engine::seedDemo(const QString& demoDir, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (demoDir.isEmpty() || !QFileInfo(demoDir).isDir())
        return fail(QStringLiteral("no demo folder"));
    const QString copy = m_dataDir + QStringLiteral("/demo");
    if (QFileInfo(demoDir).canonicalFilePath() != QFileInfo(copy).canonicalFilePath()) {
        QDir(copy).removeRecursively();
        if (!copyTree(demoDir, copy))
            return fail(QStringLiteral("the demo folder could not be copied to %1").arg(copy));
    }
    // Files the program reads from the data directory itself (start pages and the like).
    if (QFileInfo(copy + QStringLiteral("/datadir")).isDir() &&
        !copyTree(copy + QStringLiteral("/datadir"), m_dataDir))
        return fail(QStringLiteral("the demo start pages could not be copied"));
    const QString opml = copy + QStringLiteral("/directory.opml");
    if (QFileInfo::exists(opml)) {
        QString why;
        if (!addCatalogue(opml, &why))
            return fail(why);
    }
    QFile seedFile(copy + QStringLiteral("/seed.json"));
    if (!seedFile.open(QIODevice::ReadOnly))
        return true; // a catalogue without subscriptions
    QJsonParseError parseError;
    const QJsonObject seed = QJsonDocument::fromJson(seedFile.readAll(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("seed.json: %1").arg(parseError.errorString()));
    auto entryFor = [&](const QString& relative) -> uint32_t {
        const QString wanted =
            QUrl::fromLocalFile(QDir::cleanPath(copy + QLatin1Char('/') + relative)).toString();
        for (const DirEntry& e : directoryEntries()) {
            if (QUrl(e.url).toString() == wanted)
                return e.id;
        }
        return 0;
    };
    // The worker waits until the seeding is complete, so a channel listed as disabled is never
    // downloaded and every rule is in place for the first download.
    std::lock_guard<std::recursive_mutex> seeding(m_mutex);
    bool ok = true;
    // Rules first: the first download of the new channels already raises alerts.
    for (const QJsonValue v : seed.value(QStringLiteral("alertRules")).toArray()) {
        const QJsonObject r = v.toObject();
        QStringList words;
        for (const QJsonValue w : r.value(QStringLiteral("words")).toArray())
            words << w.toString();
        ok = addAlertRule(r.value(QStringLiteral("name")).toString(), words,
                          r.value(QStringLiteral("category")).toString()) != 0 &&
             ok;
    }
    for (const QJsonValue v : seed.value(QStringLiteral("subscribe")).toArray()) {
        const uint32_t entry = entryFor(v.toString());
        ok = entry != 0 && subscribe(entry) && ok;
    }
    for (const QJsonValue v : seed.value(QStringLiteral("disabled")).toArray()) {
        const uint32_t entry = entryFor(v.toString());
        uint32_t channel = 0;
        if (entry != 0 && (lookupSubscribedChannel(entry, channel) || subscribe(entry, &channel)))
            ok = enableChannel(channel, false) && ok;
        else
            ok = false;
    }
    wake();
    if (!ok)
        return fail(QStringLiteral("seed.json names feeds or rules the catalogue does not have"));
    return true;
}

// ------------------------------------------------------------------------------------------
// The worker.

void Engine::enqueue(const Job& job)
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        // One pending update per channel is enough.
        if (job.kind == Job::Update) {
            for (const Job& j : m_jobs) {
                if (j.kind == Job::Update && j.channelId == job.channelId)
                    return;
            }
        }
        m_jobs.push_back(job);
    }
    m_workCv.notify_all();
}

void Engine::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        ++m_wakeups;
    }
    m_workCv.notify_all();
}

bool Engine::nextScheduled(uint32_t& channelId, qint64& nextDue)
{
    channelId = 0;
    nextDue = std::numeric_limits<qint64>::max();
    // The switch is read under the model lock, where it is changed: a channel added after
    // downloads were suspended is then never taken for a scheduled update.
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_downloadEnabled || m_shutDown)
        return false;
    const qint64 now = nowSecs();
    const qint64 interval = m_intervalSecs.load();
    for (const auto& c : m_channels) {
        if (!c->enabled || c->url.isEmpty())
            continue;
        const qint64 due = c->lastAttempt == 0 ? 0 : c->lastAttempt + interval;
        if (due <= now) {
            channelId = c->id;
            return true;
        }
        nextDue = std::min(nextDue, due);
    }
    return false;
}

void Engine::workerMain()
{
    for (;;) {
        Job job;
        bool haveJob = false;
        uint64_t wakeups = 0;
        {
            std::unique_lock<std::mutex> lock(m_workMutex);
            wakeups = m_wakeups;
            m_busy = false;
            if (m_stopping)
                break;
            if (!m_jobs.empty()) {
                job = m_jobs.front();
                m_jobs.pop_front();
                haveJob = true;
                m_busy = true;
            }
        }
        if (!haveJob) {
            uint32_t due = 0;
            qint64 nextDue = 0;
            if (nextScheduled(due, nextDue)) {
                std::unique_lock<std::mutex> lock(m_workMutex);
                if (m_stopping)
                    break;
                m_busy = true;
                job.kind = Job::Update;
                job.channelId = due;
                haveJob = true;
            } else {
                std::unique_lock<std::mutex> lock(m_workMutex);
                if (m_stopping)
                    break;
                // Something changed while the schedule was being read: read it again.
                if (!m_jobs.empty() || m_wakeups != wakeups)
                    continue;
                const qint64 now = nowSecs();
                const qint64 waitSecs = nextDue == std::numeric_limits<qint64>::max()
                                            ? 60
                                            : std::max<qint64>(1, nextDue - now);
                m_workCv.wait_for(lock, std::chrono::seconds(std::min<qint64>(waitSecs, 60)));
                continue;
            }
        }
        switch (job.kind) {
        case Job::Update:
            runUpdate(job.channelId);
            break;
        case Job::DownloadStory:
            runDownloadStory(job.channelId, job.number);
            break;
        case Job::Catalogue:
            runCatalogue(job.source);
            break;
        }
    }
    m_store->closeThreadConnection();
}

void Engine::stopWorker()
{
    if (!m_worker)
        return;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_fetcher->cancel();
    m_workCv.notify_all();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    std::lock_guard<std::mutex> lock(m_workMutex);
    m_busy = false;
}

bool Engine::isIdle()
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        if (m_worker && (m_busy || !m_jobs.empty()))
            return false;
    }
    if (m_worker) {
        uint32_t due = 0;
        qint64 next = 0;
        if (nextScheduled(due, next))
            return false;
    }
    std::lock_guard<std::mutex> lock(m_refreshMutex);
    return m_pending.empty();
}

bool Engine::waitForIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (isIdle()) {
            // Deliver what the last step queued, then check once more.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (isIdle())
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
}

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

    const feeds::FetchResult fetched = m_fetcher->fetch(url, kMaxFeedBytes, kFetchTimeoutMs);
    bool stopping;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        stopping = m_stopping;
    }
    QString error;
    feeds::ParseResult parsed;
    if (!stopping) {
        if (!fetched.ok)
            error = fetched.error.isEmpty() ? QStringLiteral("download failed") : fetched.error;
        else {
            parsed =
                feeds::parseFeed(fetched.body, fetched.finalUrl.isValid() ? fetched.finalUrl : url);
            if (!parsed.ok)
                error = QStringLiteral("the feed cannot be read (%1)").arg(parsed.error);
        }
    }

    const qint64 now = nowSecs();
    std::vector<uint32_t> newNumbers;
    std::vector<uint32_t> changedNumbers;
    std::vector<uint32_t> newAlerts;
    bool attributesChanged = false;
    QString logoUrl;
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
            c->lastAttempt = now;
            Store::Transaction t(*m_store);
            m_store->saveChannel(t, *c);
            t.commit();
        } else {
            const feeds::Feed& feed = parsed.feed;
            Channel next; // the channel's new facts, applied after the commit
            next.name = c->name.isEmpty() ? feed.title : c->name;
            next.homePage = c->homePage.isEmpty() ? feed.homePage : c->homePage;
            next.description = c->description.isEmpty() ? feed.description : c->description;
            attributesChanged = next.name != c->name || next.homePage != c->homePage ||
                                next.description != c->description;
            uint32_t nextNumber = c->nextStory;
            uint32_t nextAlert = m_alerts->nextStory;
            std::vector<Story> created;
            std::vector<Story> updated;
            std::vector<Story> alerts;
            QStringList staleCopies;
            QSet<QString> seen;
            // Feeds list the newest item first; numbering from the end gives newer stories
            // higher numbers.
            for (auto it = feed.items.rbegin(); it != feed.items.rend(); ++it) {
                const feeds::Item& item = *it;
                if (item.identity.isEmpty() || seen.contains(item.identity) ||
                    c->tombstones.contains(item.identity))
                    continue;
                seen.insert(item.identity);
                Story s;
                const int existing = c->indexOfIdentity(item.identity);
                if (existing >= 0)
                    s = c->stories[size_t(existing)];
                const Story before = s;
                s.identity = item.identity;
                s.headline = item.headline;
                s.summary = item.summary;
                s.link = item.link;
                s.published = item.published.isValid() ? item.published.toSecsSinceEpoch() : 0;
                s.category = item.categories.isEmpty()
                                 ? QString()
                                 : storyCategoryFromFeed(item.categories.first());
                s.enclosureUrl = item.enclosure.url;
                s.enclosureType = item.enclosure.mimeType;
                s.enclosureLength = item.enclosure.length;
                s.bundletType = feeds::bundletTypeFor(item.enclosure);
                if (existing >= 0) {
                    const bool same =
                        before.headline == s.headline && before.summary == s.summary &&
                        before.link == s.link && before.published == s.published &&
                        before.category == s.category && before.enclosureUrl == s.enclosureUrl &&
                        before.enclosureType == s.enclosureType &&
                        before.enclosureLength == s.enclosureLength &&
                        before.bundletType == s.bundletType;
                    if (!same) {
                        // A copy of a page the story no longer points at is stale.
                        if (before.link != s.link && !s.localPath.isEmpty()) {
                            staleCopies.push_back(s.localPath);
                            s.localPath.clear();
                        }
                        updated.push_back(std::move(s));
                    }
                    continue;
                }
                // A filtered channel keeps only the stories that name one of its words.
                if (c->filtered && !c->filterWords.isEmpty() &&
                    !matchesAnyWord(s.headline + QLatin1Char('\n') + s.summary + QLatin1Char('\n') +
                                        item.categories.join(QLatin1Char(' ')),
                                    c->filterWords))
                    continue;
                s.number = nextNumber++;
                s.bundletId = s.number;
                s.received = now;
                for (const AlertRule& rule : m_rules) {
                    if (!matchesAnyWord(s.headline, rule.words) &&
                        !matchesAnyWord(s.summary, rule.words))
                        continue;
                    Story a;
                    a.number = nextAlert++;
                    a.bundletId = a.number;
                    a.headline = s.headline;
                    a.summary = s.summary;
                    a.link = s.link;
                    a.published = s.published;
                    a.received = now;
                    a.category = rule.category;
                    a.alertName = rule.name;
                    a.alertChannelId = channelId;
                    a.alertStoryId = s.number;
                    alerts.push_back(std::move(a));
                    s.alerted = 1;
                }
                created.push_back(std::move(s));
            }
            const int newCount = int(created.size());
            next.status = QStringLiteral("Updated %1, %2")
                              .arg(QDateTime::fromSecsSinceEpoch(now).toLocalTime().toString(
                                       QStringLiteral("hh:mm")),
                                   newStoriesText(newCount));
            next.contentDate = feed.updated.isValid() ? feed.updated.toSecsSinceEpoch() : 0;

            Channel saved; // the channel row as it will be after the commit
            saved.id = c->id;
            saved.entryId = c->entryId;
            saved.name = next.name;
            saved.url = c->url;
            saved.categories = c->categories;
            saved.homePage = next.homePage;
            saved.description = next.description;
            saved.enabled = c->enabled;
            saved.secure = c->secure;
            saved.filtered = c->filtered;
            saved.homeServer = c->homeServer;
            saved.filterWords = c->filterWords;
            saved.logoFile = c->logoFile;
            saved.logoUrl = c->logoUrl;
            saved.lastUpdated = now;
            saved.lastAttempt = now;
            saved.contentDate = next.contentDate;
            saved.status = next.status;
            saved.nextStory = nextNumber;

            Store::Transaction t(*m_store);
            for (const Story& s : created)
                m_store->saveStory(t, channelId, s);
            for (const Story& s : updated)
                m_store->saveStory(t, channelId, s);
            for (const Story& a : alerts)
                m_store->saveStory(t, VT_ALERTS_CHANNEL_ID, a);
            m_store->saveChannel(t, saved);
            if (!alerts.empty()) {
                const uint32_t keep = m_alerts->nextStory;
                m_alerts->nextStory = nextAlert;
                m_store->saveChannel(t, *m_alerts);
                m_alerts->nextStory = keep;
            }
            if (!t.commit()) {
                c->status = QStringLiteral("Update failed: the store cannot be written (%1)")
                                .arg(m_store->lastError());
                c->lastAttempt = now;
            } else {
                c->name = saved.name;
                c->homePage = saved.homePage;
                c->description = saved.description;
                c->lastUpdated = now;
                c->lastAttempt = now;
                c->contentDate = saved.contentDate;
                c->status = saved.status;
                c->nextStory = nextNumber;
                for (const QString& file : staleCopies)
                    QFile::remove(file);
                for (Story& s : updated) {
                    changedNumbers.push_back(s.number);
                    *c->story(s.number) = std::move(s);
                }
                for (const Story& s : created) {
                    newNumbers.push_back(s.number);
                    c->appendStory(s);
                }
                for (const Story& a : alerts) {
                    newAlerts.push_back(a.number);
                    m_alerts->appendStory(a);
                }
                m_alerts->nextStory = std::max(m_alerts->nextStory, nextAlert);
                if (!feed.logoUrl.isEmpty() &&
                    (feed.logoUrl != c->logoUrl || !QFileInfo::exists(c->logoFile)))
                    logoUrl = feed.logoUrl;
            }
        }
    }
    if (!newNumbers.empty() || !changedNumbers.empty())
        post(refresh::kChannelUpdated, channelId);
    if (!newNumbers.empty())
        post(refresh::kChannelCounterChanged, channelId);
    if (!changedNumbers.empty())
        postStories(refresh::kStoriesAttributeChanged, channelId, changedNumbers);
    if (attributesChanged)
        post(refresh::kChannelAttributeChanged, channelId);
    post(refresh::kChannelStatusChanged, channelId);
    post(refresh::kChannelFlagsChanged, channelId);
    if (!newAlerts.empty()) {
        post(refresh::kChannelUpdated, VT_ALERTS_CHANNEL_ID);
        post(refresh::kChannelCounterChanged, VT_ALERTS_CHANNEL_ID);
    }
    fireEngineEvent(channelId);
    if (!newAlerts.empty())
        fireEngineEvent(VT_ALERTS_CHANNEL_ID);
    if (!logoUrl.isEmpty())
        fetchLogo(channelId, logoUrl);
}

void Engine::fetchLogo(uint32_t channelId, const QString& logoUrl)
{
    const feeds::FetchResult fetched = m_fetcher->fetch(QUrl(logoUrl), 2 * 1024 * 1024, 30000);
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
    const feeds::FetchResult fetched = m_fetcher->fetch(QUrl(link), kMaxFeedBytes, kFetchTimeoutMs);
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
    const QString folder = m_dataDir + QStringLiteral("/pages/%1").arg(channelId);
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

void Engine::runCatalogue(const QString& source)
{
    const feeds::FetchResult fetched =
        m_fetcher->fetch(QUrl(source), kMaxFeedBytes, kFetchTimeoutMs);
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
