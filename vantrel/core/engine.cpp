// The engine's life: where its data lives, starting and stopping, loading the store, the
// read-only directory over the model, and the engine's switches.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace vantrel
{
using namespace detail;

namespace
{

Engine* g_engine = nullptr;
std::mutex g_startErrorMutex;
QString g_startError; // why the last start() failed

QString switchText(bool enabled)
{
    return enabled ? QStringLiteral("1") : QStringLiteral("0");
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

    int FindStories(const std::vector<uint32_t>& channelIds, const QString& text, bool titleOnly,
                    FoundStories& found) const override
    {
        found = m_engine.findStories(channelIds, text, titleOnly);
        return 1;
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

Engine::Engine(const Options& options)
    : m_options(options), m_services(std::make_unique<Services>(*this)),
      m_fetcher(std::make_unique<feeds::Fetcher>()),
      m_probeFetcher(std::make_unique<feeds::Fetcher>())
{
    m_dataDir = options.dataDir.isEmpty() ? dataDirectory() : options.dataDir;
    QDir().mkpath(m_dataDir);
    const QString dbPath = m_dataDir + QStringLiteral("/vantrel.db");
    const bool fresh = !QFileInfo::exists(dbPath);
    m_alerts = std::make_unique<Channel>();
    m_alerts->id = VT_ALERTS_CHANNEL_ID;
    m_alerts->name = QStringLiteral("Alerts");
    m_store = std::make_unique<Store>(dbPath, options.storeLockWaitMs);
    StoreContents contents;
    m_open = m_store->open(contents);
    if (!m_open) {
        m_startNote =
            m_store->problem() == Store::Problem::Locked
                ? QStringLiteral("The engine did not start: %1. Close the program that "
                                 "uses it, or wait until it has finished, and start "
                                 "again.")
                      .arg(m_store->lastError())
                : QStringLiteral("The engine did not start: %1.").arg(m_store->lastError());
        return;
    }
    m_storeNote = m_store->damagedNote();
    m_startNote = m_storeNote;
    takeContents(contents);
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
        // A plain thread: it needs no event loop of its own (each download runs a local one),
        // and joining it is visible to thread checkers.
        m_worker = std::thread([this] { workerMain(0); });
        std::lock_guard<std::mutex> lock(m_workMutex);
        startWorkersLocked();
    }
    // Stories past the storage limits (they may have changed while the engine was not
    // running), then every channel when the person wants them all fresh at start.
    if (m_worker.joinable()) {
        pruneLater();
        bool all = false;
        {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            all = m_optionsSet.updateAllAtStart && m_downloadEnabled;
        }
        if (all) {
            for (const ChannelFacts& f : allChannelFacts()) {
                if (f.enabled && !f.address.isEmpty())
                    forceUpdate(f.id);
            }
        }
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
    std::lock_guard<std::mutex> lock(g_startErrorMutex);
    if (!engine->isOpen()) {
        g_startError = engine->engineStatus();
        return false;
    }
    g_startError.clear();
    g_engine = engine.release();
    return true;
}

QString Engine::startError()
{
    std::lock_guard<std::mutex> lock(g_startErrorMutex);
    return g_startError;
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

QString Engine::storeNote() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_storeNote;
}

void Engine::takeContents(StoreContents& contents)
{
    m_channels = std::move(contents.channels);
    if (contents.alerts)
        m_alerts = std::move(contents.alerts);
    m_alerts->id = VT_ALERTS_CHANNEL_ID;
    if (m_alerts->name.isEmpty())
        m_alerts->name = QStringLiteral("Alerts");
    m_entries = std::move(contents.entries);
    m_rules = std::move(contents.rules);
    m_filters = std::move(contents.filters);
    const auto& meta = contents.meta;
    m_downloadEnabled = meta.value(kMetaDownload, QStringLiteral("1")) != QLatin1String("0");
    m_autoplayEnabled = meta.value(kMetaAutoplay, QStringLiteral("1")) != QLatin1String("0");
    m_restrictions = meta.value(kMetaRestrictions, QStringLiteral("0")).toUInt();
    const int interval = meta.value(kMetaInterval).toInt();
    if (interval > 0)
        m_intervalSecs = interval;
    m_nextChannelId = std::max<uint32_t>(1, meta.value(kMetaNextChannel).toUInt());
    m_nextEntryId = std::max<uint32_t>(1, meta.value(kMetaNextEntry).toUInt());
    m_nextRuleId = std::max<uint32_t>(1, meta.value(kMetaNextRule).toUInt());
    takeCatalogues(meta);
    for (const auto& c : m_channels)
        m_nextChannelId = std::max(m_nextChannelId, c->id + 1);
    for (const auto& e : m_entries)
        m_nextEntryId = std::max(m_nextEntryId, e.id + 1);
    for (const auto& r : m_rules)
        m_nextRuleId = std::max(m_nextRuleId, r.id + 1);
    m_nextFilterId = std::max<uint32_t>(1, meta.value(kMetaNextFilter).toUInt());
    for (const auto& f : m_filters)
        m_nextFilterId = std::max(m_nextFilterId, f.id + 1);
    for (auto& c : m_channels)
        c->updating = false;
    takeOptions(meta);
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
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!saveMetaValue(*m_store, kMetaRestrictions, QString::number(mask)))
            return false;
        if (m_restrictions.exchange(mask) == mask)
            return true;
    }
    sendNotification(VTENGINE_NOTIFICATION_RESTRICTIONS_CHANGED, QString(), 0);
    return true;
}

bool Engine::setUpdateIntervalSecs(int secs)
{
    secs = std::max(1, secs);
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!saveMetaValue(*m_store, kMetaInterval, QString::number(secs)))
            return false;
        m_intervalSecs = secs;
    }
    wake();
    return true;
}

void Engine::setFetchTimeoutMs(int ms)
{
    m_fetchTimeoutMs = std::max(1, ms);
}

void Engine::shutdown()
{
    if (m_shutDown.exchange(true))
        return;
    stopWorker();
    fireCallbacks(VTNOTIFY_SHUTDOWN, QByteArray(), 0);
}

} // namespace vantrel
