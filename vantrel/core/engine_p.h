#pragma once
// What the engine's source files share and nobody else needs: limits, the names of the
// settings kept in the store's meta table, and small helpers. The engine's work is split by
// responsibility:
//   engine.cpp               life (paths, start, stop, loading the store), switches
//   engine_events.cpp        change reporting (directory change messages, callbacks)
//   engine_stories.cpp       story commands and content packages
//   engine_subscriptions.cpp subscribing (by entry or feed address), unsubscribing, channel
//                            settings and facts, keeping a channel to its story count
//   engine_probe.cpp         probes: what an address a person typed is (feed, page, neither)
//   engine_opml.cpp          subscriptions exported to and imported from OPML catalogues
//   engine_directory.cpp     directory entries and catalogues
//   engine_alerts.cpp        alert and filter rules, alerts raised directly, filters applied
//                            to the stored stories
//   engine_search.cpp        finding stories by text
//   engine_seed.cpp          first-start demo content
//   engine_options.cpp       the options: kept in the store, pruning, compacting, offline
//                            copies, story facts
//   engine_worker.cpp        the worker threads: queue, schedule, idle state
//   engine_updates.cpp       downloads on the worker: channel updates, logos, story pages
//   feedmerge.cpp            a downloaded feed merged into its channel (pure)

#include "vantrel/core/engine.h"
#include "vantrel/core/store.h"

#include <QDateTime>
#include <QLatin1String>
#include <QString>
#include <memory>

namespace vantrel::detail
{

// Downloads of feeds, catalogues and story pages.
constexpr qint64 kMaxFeedBytes = 16 * 1024 * 1024;
constexpr int kFetchTimeoutMs = 60 * 1000;
// Channel logos.
constexpr qint64 kMaxLogoBytes = 2 * 1024 * 1024;
constexpr int kLogoTimeoutMs = 30 * 1000;

inline qint64 nowSecs()
{
    return QDateTime::currentSecsSinceEpoch();
}

// Names of the settings the engine keeps in the store's meta table.
constexpr QLatin1String kMetaDownload("download enabled");
constexpr QLatin1String kMetaAutoplay("autoplay enabled");
constexpr QLatin1String kMetaRestrictions("workgroup restrictions");
constexpr QLatin1String kMetaInterval("update interval");
constexpr QLatin1String kMetaNextChannel("next channel id");
constexpr QLatin1String kMetaNextEntry("next entry id");
constexpr QLatin1String kMetaNextRule("next rule id");
constexpr QLatin1String kMetaCatalogues("catalogues");
constexpr QLatin1String kMetaNextFilter("next filter id");
// The options (engine_options.cpp).
constexpr QLatin1String kMetaUpdateAtStart("update all at start");
constexpr QLatin1String kMetaParallel("parallel downloads");
constexpr QLatin1String kMetaKeepDays("keep days");
constexpr QLatin1String kMetaKeepPerChannel("keep per channel");
constexpr QLatin1String kMetaOffline("offline download");
constexpr QLatin1String kMetaOfflineLimit("offline limit mb");
constexpr QLatin1String kMetaOfflineFolder("offline folder");
constexpr QLatin1String kMetaProxyMode("proxy mode");
constexpr QLatin1String kMetaProxyKind("proxy kind");
constexpr QLatin1String kMetaProxyHost("proxy host");
constexpr QLatin1String kMetaProxyPort("proxy port");
constexpr QLatin1String kMetaProxyUser("proxy user");
constexpr QLatin1String kMetaProxyPassword("proxy password");
constexpr QLatin1String kMetaTimeout("download timeout");
constexpr QLatin1String kMetaUserAgent("user agent");

// Stores one meta setting in a transaction of its own; false when it could not be written.
inline bool saveMetaValue(Store& store, const QString& key, const QString& value)
{
    Store::Transaction t(store);
    store.saveMeta(t, key, value);
    return t.commit();
}

// An attribute of a directory entry by name, without regard to case; empty when absent.
QString entryAttribute(const DirEntry& entry, const char* name);

// A new channel subscribed to the entry (its id still 0), as the entry describes it.
std::unique_ptr<Channel> channelFromEntry(const DirEntry& entry);

} // namespace vantrel::detail
