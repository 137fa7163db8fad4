#pragma once
// The Vantrel engine: one object per process that owns the live model (subscribed channels,
// their stories, the alerts channel, the channel directory, alert rules and switches), keeps it
// in the store and brings channels up to date on a worker thread.
//
// Threads. The engine object lives on the user-interface thread (the thread that created it).
// The model is guarded by one recursive lock: readers take it through lock()/unlock() (what
// GetCServices/ReleaseCServices do), commands take it for the short time they change the
// model. The worker does network and parsing without the lock and applies results in short
// locked sections; with parallel downloads there are several workers, the first of which
// also runs probes, catalogues, pruning and compacting. Changes are written to the store first and
// applied to the model only when the transaction committed, so model and store never disagree.
//
// Decisions worth knowing:
// - Channels are updated every 30 minutes (the engine's interval, which the person may
//   change) after their last attempt, or at the interval of their own; a channel never updated
//   (or last tried longer ago) is updated right after start. Up to the number of parallel
//   downloads (an option) are downloaded at the same time, each channel by one worker only.
// - Storage limits (an option: days, stories per channel; a channel's own keep count comes
//   first) remove the oldest stories on the worker, in short locked steps, besides those the
//   person kept; an alert goes with its story unless the person kept the alert. Suspending
//   downloads stops the scheduled updates only: a forced update ("Update Now") is the user's
//   explicit wish and still runs.
// - A failed update (network, HTTP status, malformed or oversized feed) changes no stored
//   story; the channel's status says what went wrong.
// - A filtered channel keeps a new story only when one of its filter words occurs in the
//   headline, the summary or a category as a whole word, without regard to case. Alert rules
//   match headline (and summary) by their own choices; filter rules act on new stories in
//   their order. A new story that rules alert raises one alert, once, when it first arrives.
// - A deleted story leaves its identity behind, so that later downloads skip it.
// - Every story has a content-package number ("BundLet Id"): its story number.
// - The alerts channel is found by id but is not among the listed channels.
// - Unsubscribing removes the channel's stories, files and the alerts raised on them.
// - A store that another program keeps locked is waited for; when it stays locked the engine
//   does not start (startError() says why) instead of starting on an empty store. Only a
//   damaged store is moved aside, with its journal files (storeNote() says where).
// - A feed or catalogue from the network may only point the engine at the network: local
//   addresses in it are dropped (origin.h). Incoming stories are made in one place, mergeFeed().
//
// Change reporting. Every change queues directory change messages (the REFRESHCODE names)
// that are delivered on the user-interface thread through refreshHub(); and engine callbacks
// (callbackRegistry()) are called on the thread that made the change: the worker's for
// downloads, the caller's for commands.

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/model.h"
#include "vantrel/core/notify.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace vantrel
{

class Store;
struct FeedMerge;
class RuleSet;
struct RuleVerdict;
struct StoreContents;

// What a probe of an address found (Engine::probeAddress).
struct FeedProbe {
    enum class Result {
        Feed,    // the address is a feed: the preview fields are filled
        Choices, // a web page that links to several feeds: `links` lists them
        Failed,  // `error` says why, in words for the person
    };
    Result result = Result::Failed;
    QString address; // the feed's address after "feed:" forms and redirects
    QString error;
    // Feed.
    QString title;
    QString description; // plain text
    QString homePage;
    int itemCount = 0;
    QString damage; // not empty when only the start of a damaged feed could be read
    struct Headline {
        QString headline;
        qint64 published = 0; // seconds since 1970; 0 when the feed gives none
    };
    std::vector<Headline> newest; // up to kProbeHeadlines, newest first
    // Choices: the feeds the page links to, in its order.
    struct Link {
        QString address;
        QString title; // may be empty
        QString type;  // "RSS", "Atom", ...
    };
    std::vector<Link> links;
    // Feed: the channel already subscribed to this address (0 when none).
    uint32_t existingChannelId = 0;
    QString existingChannelName;
};

// A channel of the person's own, added by its feed address.
struct NewChannel {
    QString address;    // as typed: every form readFeedAddress() takes
    QString name;       // empty: the feed's title once it is downloaded
    QString categories; // category text form ("/" between levels, ";" between paths)
    QString homePage;
    QString description;
};

// What a person may change of a subscribed channel.
struct ChannelSettings {
    QString name;
    QString address;    // the feed address
    QString categories; // category text form
    QString homePage;
    bool enabled = true;
    int updateIntervalSecs = 0; // 0: the engine's interval for every channel
    int keepStories = 0;        // how many of the newest stories to keep; 0: all. Stories the
                                // person kept always stay, besides these.
};

// A channel's settings and state, as the properties and status windows show them.
struct ChannelFacts : ChannelSettings {
    uint32_t id = 0;
    uint32_t entryId = 0;
    QString description;
    QString logoFile;
    QString status;    // the channel's status text
    QString lastError; // what went wrong the last time, while the channel has not updated since
    qint64 lastErrorAt = 0;
    qint64 lastUpdated = 0; // last successful update, seconds since 1970; 0 never
    qint64 nextUpdate = 0;  // when the schedule takes it next; 0 when it will not (see below)
    int stories = 0;
    int unread = 0;
    bool updating = false;  // being downloaded now
    bool queued = false;    // waiting for the worker
    bool scheduled = false; // updated by the schedule (enabled, has an address, downloads on)
};

// What importing an OPML catalogue did.
struct OpmlImportReport {
    bool ok = false; // the file was read; false with `error` when it could not be
    QString error;
    int added = 0;
    QStringList skipped; // names of channels already subscribed
    struct Refused {
        QString name;
        QString address;
        QString reason;
    };
    std::vector<Refused> refused;
    std::vector<uint32_t> channels; // the channels added
    // In words for the person: "12 channels added, 3 already subscribed, 1 refused."
    QString summary() const;
};

// What a test or the first start gives to create a channel directly (no network).
struct ChannelSeed {
    QString name;
    QString url;      // feed address; empty for a channel that is never downloaded
    QString category; // "/" between levels, ";" between paths
    QString homePage;
    QString description;
    bool enabled = true;
    bool secure = false;
    bool filtered = false;
    bool homeServer = false;
    QStringList filterWords;
};

// The engine's options, as the Options dialog shows them (kept in the store). The engine
// reads each value at its next use: no restart is needed.
struct EngineOptions {
    // Updates.
    int updateIntervalSecs = 30 * 60; // channels without an interval of their own
    bool updateAllAtStart = false;    // every channel at start, whatever its schedule
    int parallelDownloads = 2;        // channels downloaded at the same time
    bool paused = false;              // no scheduled updates (the main menu's download switch)
    // Storage. Stories the person kept are never removed by these.
    int keepDays = 0;       // stories received longer ago go; 0: no limit
    int keepPerChannel = 0; // the newest this many per channel stay; 0: no limit
    // Offline reading.
    bool offlineDownload = false; // download new stories' pages and enclosures
    int offlineLimitMb = 500;     // the offline folder never grows past this
    QString offlineFolder;        // empty: "offline" in the data directory
    // Network.
    feeds::NetworkSettings network;
    int timeoutSecs = 60; // one download, redirects included

    static constexpr int kMinInterval = 60;
    static constexpr int kMaxInterval = 7 * 24 * 3600;
    static constexpr int kMaxParallel = 8;
    static constexpr int kMaxKeepDays = 3650;
    static constexpr int kMaxKeepPerChannel = 100000;
    static constexpr int kMaxOfflineMb = 100000;
    static constexpr int kMinTimeout = 5;
    static constexpr int kMaxTimeout = 600;

    // The first value that cannot be used, in words that name its field; empty when all can.
    QString problem() const;
};

// What the story Properties window shows of one story.
struct StoryFacts {
    uint32_t channelId = 0;
    uint32_t number = 0;
    QString channelName;
    Story story;
    bool enclosureLocal = false; // the enclosure was downloaded
    QString enclosureFile;       // its local copy
    QString alertName;           // the story came through an alert of that name
    qint64 pageBytes = 0;        // the downloaded story page, 0 when none
    qint64 sizeBytes = 0;        // what the story takes: its texts and its files
};

class Engine : public QObject
{
public:
    struct Options {
        QString dataDir;         // empty: dataDirectory()
        bool seedDemo = true;    // seed an empty data directory (unless VANTREL_NO_DEMO=1)
        bool startWorker = true; // false: no background downloads (benchmarks)
        // How long the start waits for a store that another program holds locked.
        int storeLockWaitMs = 20000;
    };

    // The data directory: $VANTREL_DATA_DIR, else $XDG_DATA_HOME/vantrel, else
    // ~/.local/share/vantrel.
    static QString dataDirectory();
    // The demo content: $VANTREL_DEMO_DIR, else <program dir>/demo, else the source tree's
    // data/demo. Empty when none of them exists.
    static QString demoDirectory();

    explicit Engine(const Options& options);
    ~Engine() override;

    // The process's engine (set by start(), cleared by stop()).
    static Engine* instance();
    static bool start(const Options& options);
    static void stop();
    // Why the last start() failed, in words for the person (for example a store that another
    // program kept locked); empty after a start that succeeded.
    static QString startError();

    // False when no usable store could be opened (the engine then cannot run; engineStatus()
    // says why). A store that stays locked is never replaced by an empty one.
    bool isOpen() const { return m_open; }
    // The engine's own state for the user: empty, or what went wrong at start (a damaged store
    // moved aside, demo content that could not be set up, or why the engine cannot run).
    QString engineStatus() const;
    // What happened to the store at this start, for the person: empty, or that the store was
    // damaged and where it was moved (the engine then started empty).
    QString storeNote() const;
    QString dataDir() const { return m_dataDir; }

    // --- The model lock ------------------------------------------------------------------
    // The mutex is not fair: a reader announces itself, and a worker between two parts of a
    // long change lets it in first (yieldToReaders()).
    void lock()
    {
        ++m_readersWaiting;
        m_mutex.lock();
        --m_readersWaiting;
    }
    void unlock() { m_mutex.unlock(); }
    // The read-only directory of channels; use only while holding the lock.
    CServices* services();
    Channel* channelById(uint32_t id); // includes the alerts channel
    Channel* channelByEntry(uint32_t entryId);

    // --- Commands (user-interface thread). Each returns false and changes nothing when the
    // ids are unknown or the store refused the change.
    bool markStoriesRead(uint32_t channelId, const std::vector<uint32_t>& numbers, bool read);
    bool markStoryOpened(uint32_t channelId, uint32_t number, bool opened);
    bool deleteStories(uint32_t channelId, const std::vector<uint32_t>& numbers);
    bool keepStory(uint32_t channelId, uint32_t bundletId, uint32_t number, bool keep);
    bool accessBundlet(uint32_t channelId, uint32_t bundletId);
    // Queues the download of the story page; false when there is nothing to download.
    bool downloadStory(uint32_t channelId, uint32_t number);
    // Where a story page is shown from: the engine's stored copy as an address of its own
    // scheme (VT_CACHE_SCHEME), or the address itself when it is a local file. A local file
    // inside the folder of stored pages is given out under the scheme too.
    bool cachedUrl(const QString& url, QString& localUrl);
    // The file behind an address of the engine's scheme: only the stored copy of a story page
    // that the engine keeps now.
    bool storedPageFile(const QString& address, QString& path);

    bool subscribe(uint32_t entryId, uint32_t* channelId = nullptr);
    bool unsubscribeEntry(uint32_t entryId);
    bool lookupSubscribedChannel(uint32_t entryId, uint32_t& channelId);
    bool enableChannel(uint32_t channelId, bool enable);
    bool isChannelEnabled(uint32_t channelId, bool& enabled);
    // Updates the channel now, on the worker; also while scheduled downloads are suspended.
    bool forceUpdate(uint32_t channelId);
    bool channelStatus(uint32_t channelId, QString& text);
    // Renames a channel or moves it to other categories (";" between paths); reported as a
    // channel attribute change.
    bool setChannelNameAndCategory(uint32_t channelId, const QString& name,
                                   const QString& categories);
    bool channelName(uint32_t channelId, QString& name);

    // The enclosure of the story with that content package (bundlet id), mapped through the
    // alerts channel to the alerted story; false when there is none.
    struct Enclosure {
        uint32_t channelId = 0;
        uint32_t storyNumber = 0;
        QString url;
        QString headline;
    };
    bool enclosureFor(uint32_t channelId, uint32_t bundletId, Enclosure& out);
    bool enclosureForStory(uint32_t channelId, uint32_t number, Enclosure& out);
    // Copies a local enclosure into the place-files folder; false when nothing was copied.
    bool placeFiles(uint32_t channelId, uint32_t bundletId, QString* placedPath = nullptr);
    void setPlaceFilesDir(const QString& dir);
    QString placeFilesDir() const;

    // Animation (playing a content package) state.
    void setPlaying(bool playing);
    bool isPlaying() const { return m_playing.load(); }
    void setLastPlayed(uint32_t channelId, uint32_t bundletId, const QString& name);
    bool lastPlayed(uint32_t& channelId, uint32_t& bundletId, QString& name) const;

    // Switches (kept in the store).
    bool downloadEnabled() const { return m_downloadEnabled.load(); }
    bool setDownloadEnabled(bool enabled);
    bool autoplayEnabled() const { return m_autoplayEnabled.load(); }
    bool setAutoplayEnabled(bool enabled);
    uint32_t workgroupRestrictions() const { return m_restrictions.load(); }
    bool setWorkgroupRestrictions(uint32_t mask);
    // How often channels without an interval of their own are updated (kept in the store).
    int updateIntervalSecs() const { return m_intervalSecs.load(); }
    bool setUpdateIntervalSecs(int secs);
    // How long one download may take (tests shorten it).
    void setFetchTimeoutMs(int ms);
    int fetchTimeoutMs() const { return m_fetchTimeoutMs.load(); }

    // Stops background work and tells the callbacks that the engine shuts down.
    void shutdown();
    bool isShutDown() const { return m_shutDown.load(); }

    // --- Options ---------------------------------------------------------------------------
    EngineOptions options();
    // Checks, stores and applies every value in one change; false with the reason in words
    // (naming the field) and nothing changed when a value cannot be used. Pruning to new
    // limits runs on the worker.
    bool setOptions(const EngineOptions& options, QString* error = nullptr);
    int parallelDownloads() const { return m_parallel.load(); }
    // Queues pruning every channel to the storage limits on the worker.
    void pruneLater();
    // Prunes every channel to the storage limits now, on the calling thread, in short locked
    // steps; the number of stories removed. Alerts raised on a removed story go with it
    // unless the person kept the alert.
    int pruneAll();
    // The store's file, and its size on disk (with its journal).
    QString storePath() const;
    qint64 storeSizeBytes() const;
    using CompactCallback = std::function<void(bool ok, const QString& error)>;
    // Compacts the store on the worker; the callback runs there when it is done.
    void compactStoreLater(CompactCallback done);
    // The folder of downloaded pages and enclosures, and its size.
    QString offlineFolder();
    qint64 offlineBytes();

    // The story with that content package, as the Properties window shows it; an alert is
    // shown as the story it was raised on (with the alert's name). False when there is none.
    bool storyFacts(uint32_t channelId, uint32_t bundletId, StoryFacts& out);

    // --- Channels of one's own ------------------------------------------------------------
    // How many newest headlines a probe gives.
    static constexpr int kProbeHeadlines = 5;
    using ProbeCallback = std::function<void(const FeedProbe&)>;
    // Fetches the address on the worker, ahead of scheduled downloads, to see what it is: a
    // feed (previewed), a web page linking to feeds (listed; a page with one feed link is
    // followed to that feed), or neither. The callback runs on the engine's thread, once,
    // unless the probe is cancelled first. Returns the probe's number (never 0).
    uint64_t probeAddress(const QString& address, ProbeCallback callback);
    // Stops a probe: a queued one never runs, a running one's download is aborted. Its
    // callback is not called.
    void cancelProbe(uint64_t probe);

    // Subscribes to the feed at the address: the directory entry with that address, or a new
    // entry of the person's own, and its channel, which is downloaded at once. False, with the
    // reason in words, when the address is refused or already subscribed.
    bool subscribeAddress(const NewChannel& channel, uint32_t* channelId = nullptr,
                          QString* error = nullptr);
    // The subscribed channel whose feed is at the address (any form of it), or 0.
    uint32_t channelForAddress(const QString& address, QString* name = nullptr);

    bool channelFacts(uint32_t channelId, ChannelFacts& out);
    // Every subscribed channel, in the engine's order. The try form gives up at once, leaving
    // `out` alone, while a download holds the model (windows that refresh on a timer use it,
    // so that they never wait).
    std::vector<ChannelFacts> allChannelFacts();
    bool tryAllChannelFacts(std::vector<ChannelFacts>& out);
    // Applies the settings in one change. A new address is checked as subscribeAddress does;
    // a lower keep count removes the oldest stories at once. False with the reason in words.
    bool setChannelSettings(uint32_t channelId, const ChannelSettings& settings,
                            QString* error = nullptr);
    // Every category path in use by channels and directory entries, sorted, each with its
    // parent paths ("Technology/Linux" brings "Technology").
    QStringList knownCategories();

    // Subscribed channels as an OPML 2.0 catalogue: channels with a feed address, in outlines
    // nested by category (a channel in two categories appears in both).
    QByteArray exportOpml();
    bool exportOpml(const QString& path, QString* error = nullptr);
    // Subscribes to the channels of an OPML catalogue with its folders as category paths;
    // addresses already subscribed are skipped, addresses a reader does not follow refused.
    // One change for all of them.
    OpmlImportReport importOpml(const QByteArray& data, const QUrl& source);
    OpmlImportReport importOpml(const QString& path);

    // Channels that came with the demo content (their directory entries are the demo
    // catalogue's).
    bool isDemoEntry(uint32_t entryId);

    // --- Directory -----------------------------------------------------------------------
    std::vector<DirEntry> directoryEntries();
    bool isSubscribedEntry(uint32_t entryId);
    // Adds the channels of an OPML catalogue: a local file at once, an http(s) address on
    // the worker. False with a reason when a local catalogue cannot be read.
    bool addCatalogue(const QString& pathOrUrl, QString* error = nullptr);

    // --- Finding stories -----------------------------------------------------------------
    // The stories of the channels whose headline (or, unless titleOnly, summary) contains the
    // text, without regard to case (both sides case-folded); numbers per channel, in story
    // number order, for each channel that exists. An empty text finds nothing.
    // Headlines are searched in a compact index of folded UTF-8 headlines per channel, made on
    // the first search from the store (or the loaded stories) and made again after a download
    // or an added story changed the channel's headlines; summaries are searched in the store,
    // so that neither is read into the channel's stories. Safe on any thread; call it without
    // holding the model lock (a search thread then never holds up the user interface).
    FoundStories findStories(const std::vector<uint32_t>& channelIds, const QString& text,
                             bool titleOnly);
    // How many characters of story texts read from the store are kept for the next reader.
    void setStoryTextCacheLimit(qsizetype characters);
    // --- Catalogues: the OPML files and addresses the directory is read from. A catalogue is
    // known by its address (a local file's absolute path, or an http(s) address). Each entry
    // belongs to the catalogue that first listed it; entries of no catalogue (channels added
    // directly) stay until they are removed one by one.
    struct CatalogueInfo {
        QString address;
        int entryCount = 0;
        qint64 lastRefresh = 0; // the last reading that went well; 0: not yet
        QString lastError;      // why the last reading failed; empty when it went well
        bool busy = false;      // queued or being read on the worker
        bool bundled = false;   // the demo catalogue the data directory was seeded with
    };
    std::vector<CatalogueInfo> catalogues();
    // Lists a new catalogue and reads it on the worker. False with a reason for a listed one,
    // a local file that cannot be read, an address of another scheme, or when the worker does
    // not run.
    bool addCatalogueLater(const QString& pathOrUrl, QString* error = nullptr);
    // Reads a listed catalogue again on the worker.
    bool refreshCatalogue(const QString& address, QString* error = nullptr);
    // Unlists a catalogue and removes its entries that are not subscribed (the subscribed ones
    // stay, as entries of no catalogue).
    bool removeCatalogue(const QString& address, QString* error = nullptr);

    // --- Alert and filter rules ------------------------------------------------------------
    // A rule with the default matching choices; its id (0 when it cannot be used).
    uint32_t addAlertRule(const QString& name, const QStringList& words, const QString& category);
    std::vector<AlertRule> alertRules();
    // Replaces every alert rule in one change; rules with id 0 are new. False, changing
    // nothing, with the reason in words (naming the rule and the field) when one cannot be used
    // or two have the same name.
    bool setAlertRules(const std::vector<AlertRule>& rules, QString* error = nullptr);
    // How many stored stories of the channels it watches the rule matches (enabled or not);
    // -1 when the stored stories cannot be read.
    int countAlertMatches(const AlertRule& rule);
    // Filter rules, in the order they act.
    std::vector<FilterRule> filterRules();
    bool setFilterRules(const std::vector<FilterRule>& rules, QString* error = nullptr);
    // How many stored stories the rule would act on (enabled or not); -1 when the stored
    // stories cannot be read.
    int countFilterMatches(const FilterRule& rule);
    // Applies the enabled filter rules to the stored stories, on the worker; `done` runs on the
    // engine's thread with the number of stories changed (-1 when the stored stories cannot be
    // read). Kept stories are never deleted, and a story already alerted raises no second alert.
    void applyFiltersToStored(std::function<void(int changed)> done);
    // The same on the calling thread (tools, benchmarks).
    int applyFiltersNow();

    // --- Direct content (tests, seeding): no network ------------------------------------
    // A directory entry; its id (0 on failure).
    uint32_t addDirectoryEntry(const DirEntry& entry);
    // Removes an entry that is not subscribed (a subscribed one stays: unsubscribe first).
    bool removeDirectoryEntry(uint32_t entryId);
    // A subscribed channel with its own directory entry; its id (0 on failure).
    uint32_t addChannel(const ChannelSeed& desc);
    // A story; the story's number (0 on failure). The number, bundlet id and received time are
    // given by the engine when left 0.
    uint32_t addStory(uint32_t channelId, const Story& story);
    // An alert raised on a story; the alert's number in the alerts channel.
    uint32_t addAlert(uint32_t channelId, uint32_t storyNumber, const QString& alertName,
                      const QString& category);
    // Seeds the data directory from demo content (see the first start).
    bool seedDemo(const QString& demoDir, QString* error = nullptr);

    // Runs one update of the channel on the calling thread, as the worker would (tools and
    // benchmarks; never on the thread of a program that draws: it waits on the network).
    void updateChannelNow(uint32_t channelId) { runUpdate(channelId); }

    // True when the worker has nothing to do now and every change message was delivered.
    bool isIdle();
    // Runs the event loop until isIdle() or the timeout; returns isIdle().
    bool waitForIdle(int timeoutMs = 10000);

private:
    class Services;
    struct Job {
        enum Kind {
            Update,
            DownloadStory,
            Catalogue,
            Probe,
            Prune,
            Compact,
            DownloadEnclosure,
            ApplyFilters
        } kind = Update;
        CompactCallback compactDone;
        uint32_t channelId = 0;
        uint32_t number = 0;
        QString source;
        uint64_t probe = 0;
        ProbeCallback callback;
        std::function<void(int)> applied; // ApplyFilters
    };

    void takeContents(StoreContents& contents);
    void takeOptions(const QMap<QString, QString>& meta);
    // The stories of the channel that the storage limits remove, oldest first, as the store
    // has them (call without the model lock).
    std::vector<uint32_t> pruneCandidates(uint32_t channelId, qint64 now);
    bool commitNewChannel(std::unique_ptr<Channel> channel);
    Channel* findChannel(uint32_t id);
    std::vector<uint32_t> existingNumbers(Channel& c, const std::vector<uint32_t>& numbers);
    // Judges every stored story of every subscribed channel by the rules, read from the store
    // (whether the channel's stories are in memory or not) without holding the model lock;
    // each story with its verdict goes to `each`. False with the reason when the stories
    // cannot be read.
    bool judgeStoredStories(
        const RuleSet& set,
        const std::function<void(uint32_t channelId, const Story&, const RuleVerdict&)>& each,
        QString* error);
    bool applyStoryChange(uint32_t channelId, const std::vector<uint32_t>& numbers,
                          const std::function<bool(Story&)>& change);
    void removeChannelFiles(uint32_t channelId);
    // The address a stored page is given out under; empty for a file outside the folder of
    // stored pages.
    QString storedPageAddress(const QString& localPath) const;
    // The folders whose "pages" folder holds stored pages: the data directory, and the offline
    // folder when the options name one.
    QStringList pageRoots() const;
    bool mergeCatalogue(const QByteArray& data, const QUrl& base, const QString& catalogue,
                        QString* error);
    // Catalogues (engine_directory.cpp); the model lock is held by the callers.
    struct CatalogueState {
        QString address;
        qint64 lastRefresh = 0;
        QString lastError;
        bool busy = false;
    };
    void takeCatalogues(const QMap<QString, QString>& meta);
    CatalogueState* findCatalogue(const QString& address);
    // The list as the store's meta table keeps it.
    QString catalogueMeta() const;
    bool queueCatalogue(const QString& pathOrUrl, bool mustBeListed, QString* error);
    void finishCatalogue(const QString& address, const QString& error);

    // Change reporting.
    void post(const char* name, uint32_t channelId, uintptr_t second = 0);
    void postStories(const char* name, uint32_t channelId, std::vector<uint32_t> numbers);
    void deliverPending();
    void fireEngineEvent(uint32_t channelId);

    // Worker.
    void enqueue(const Job& job);
    void wake();
    void workerMain(int slot);
    // Takes the next job this worker slot may run (claiming an update's channel).
    bool takeJob(int slot, Job& job);
    void runJob(const Job& job);
    // The next channel the schedule wants; with `claim`, the channel is claimed for the
    // calling worker (and no other worker takes it until released).
    bool nextScheduled(uint32_t& channelId, qint64& nextDue, bool claim = false);
    void releaseChannel(uint32_t channelId);
    // Starts worker slots up to the number of parallel downloads (m_workMutex held).
    void startWorkersLocked();
    // The fetcher of the calling worker.
    feeds::Fetcher& fetcher();
    void applyNetworkSettings(const feeds::NetworkSettings& settings, int timeoutMs);
    // Offline copies of new stories (pages and enclosures), on the worker.
    void queueOfflineCopies(uint32_t channelId, const std::vector<uint32_t>& numbers);
    void runDownloadEnclosure(uint32_t channelId, uint32_t number);
    bool offlineRoomFor(qint64 bytes);
    void runCompact(const Job& job);
    // Removes those of the stories the person did not keep (and their alerts, unless kept),
    // whether the channel's stories are in memory or not: out of memory under the model lock,
    // then out of the store with no lock held (Channel::leaving in between); the numbers
    // removed.
    std::vector<uint32_t> removeStories(uint32_t channelId, const std::vector<uint32_t>& numbers,
                                        bool leaveTombstones);
    // The status text while channels update: "Updating 3 of 16: <name>" as each starts, and
    // the end of the work once the workers have nothing left (worker threads).
    void reportUpdateStarting(uint32_t channelId);
    void reportUpdatesDone();
    void runUpdate(uint32_t channelId);
    // What a committed merge changed, for the change reports.
    struct MergeOutcome {
        std::vector<uint32_t> created;
        std::vector<uint32_t> updated;
        std::vector<uint32_t> alerts;
        QString firstAlertName; // the first alert's name and its story's headline
        QString firstAlertHeadline;
        bool attributesChanged = false;
        bool committed = false; // the store took the merge
        QString logoUrl;        // a logo to fetch
    };
    // Stores a merge and applies it to the model once it committed (model lock held).
    // createdInAll: the new stories the status counts, those put off to later parts included.
    MergeOutcome applyMerge(Channel& channel, FeedMerge merge, qint64 now, int createdInAll);
    // New stories of a large merge beyond its first part, with the alerts raised on them.
    struct MergePart {
        std::vector<Story> created;
        std::vector<Story> alerts;
    };
    // Takes the new stories beyond the first part out of the merge, in parts, each with the
    // alerts raised on its stories (new stories are numbered in order, oldest first).
    static std::vector<MergePart> takeLaterParts(FeedMerge& merge);
    // Stores a later part and adds it to the model, under the model lock of its own; false
    // when the channel is gone or the store failed.
    bool applyMergePart(uint32_t channelId, MergePart part, MergeOutcome& outcome);
    // New stories and their alerts into the model, once the store took them (model lock
    // held; the part's stories are moved out).
    void addNewStories(Channel& channel, MergePart& part, MergeOutcome& outcome);
    // Waits, briefly, while a reader waits for the model lock (worker threads, lock not held).
    void yieldToReaders() const;
    void runDownloadStory(uint32_t channelId, uint32_t number);
    void runCatalogue(const QString& source);
    void runProbe(const Job& job);
    FeedProbe probeFeed(const QUrl& url, bool followPage);
    void finishProbe(const Job& job, FeedProbe probe);
    // Removes the channel's stories past the storage limits (its own keep count, else the
    // options' count, and the options' days), in short locked steps; kept stories stay. The
    // number removed.
    int pruneStories(uint32_t channelId);
    ChannelFacts factsOf(const Channel& c, qint64 now);
    // With the model lock held: every channel's facts; `queued` the channels waiting.
    void collectFacts(std::vector<ChannelFacts>& out, const std::set<uint32_t>& queued);
    // Called with the lock held: the refusal of an address for a new or changed channel
    // (empty when it may be used); `except` is the channel being changed.
    QString addressRefusal(const QString& key, uint32_t except);
    void fetchLogo(uint32_t channelId, const QString& logoUrl);
    void stopWorker();

    struct HeadlineIndex;
    FoundStories searchStore(const std::vector<uint32_t>& channelIds, const QString& text,
                             bool titleOnly);
    // Marks a channel's headline index out of date (its headlines changed).
    void headlinesChanged(uint32_t channelId);
    // The same when stories were only removed: an index made already keeps the others' entries
    // rather than being made again from the store.
    void headlinesRemoved(uint32_t channelId, const std::vector<uint32_t>& numbers);

    Options m_options;
    QString m_dataDir;
    bool m_open = false;
    QString m_startNote;
    QString m_storeNote;
    std::unique_ptr<Store> m_store;

    mutable std::recursive_mutex m_mutex;
    std::atomic<int> m_readersWaiting{0}; // readers waiting in lock()
    std::vector<std::unique_ptr<Channel>> m_channels;
    std::unique_ptr<Channel> m_alerts;
    std::vector<DirEntry> m_entries;
    std::vector<CatalogueState> m_catalogues;
    std::vector<AlertRule> m_rules;
    std::vector<FilterRule> m_filters;
    std::unique_ptr<Services> m_services;
    uint32_t m_nextChannelId = 1;
    uint32_t m_nextEntryId = 1;
    uint32_t m_nextRuleId = 1;
    uint32_t m_nextFilterId = 1;
    QString m_placeFilesDir;

    std::atomic<bool> m_downloadEnabled{true};
    std::atomic<bool> m_autoplayEnabled{true};
    std::atomic<uint32_t> m_restrictions{0};
    std::atomic<int> m_intervalSecs{30 * 60};
    std::atomic<int> m_fetchTimeoutMs{60 * 1000};
    std::atomic<int> m_parallel{2};
    EngineOptions m_optionsSet; // under m_mutex
    std::atomic<bool> m_shutDown{false};
    std::atomic<bool> m_playing{false};
    mutable std::mutex m_playMutex;
    uint32_t m_lastPlayedChannel = 0;
    uint32_t m_lastPlayedBundlet = 0;
    QString m_lastPlayedName;

    // Pending directory change messages.
    std::mutex m_refreshMutex;
    std::vector<RefreshEvent> m_pending;
    bool m_deliveryScheduled = false;

    // Worker state.
    std::mutex m_workMutex;
    std::condition_variable m_workCv;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    int m_busy = 0;               // workers running a job
    std::set<uint32_t> m_claimed; // channels a worker updates now
    // Workers besides the first (which also runs probes and catalogues), each with its
    // fetcher; started as the number of parallel downloads grows.
    std::vector<std::thread> m_moreWorkers;
    std::vector<std::unique_ptr<feeds::Fetcher>> m_moreFetchers;
    int m_updatesStarted = 0; // updates begun since the workers last had nothing to do
    uint64_t m_wakeups = 0;   // counts wake() calls, so that none is lost
    std::thread m_worker;
    std::unique_ptr<feeds::Fetcher> m_fetcher;

    // Search: headline indexes per channel and the generation of each channel's headlines.
    std::mutex m_searchMutex;
    std::map<uint32_t, std::shared_ptr<const HeadlineIndex>> m_headlineIndex;
    std::map<uint32_t, uint64_t> m_headlineGeneration;
    // Probes have a fetcher of their own, so that cancelling one leaves updates alone.
    std::unique_ptr<feeds::Fetcher> m_probeFetcher;
    uint64_t m_nextProbe = 1; // guarded by m_workMutex, as are the two below
    uint64_t m_runningProbe = 0;
    std::set<uint64_t> m_liveProbes; // probes neither delivered nor cancelled
};

} // namespace vantrel
