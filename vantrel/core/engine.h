#pragma once
// The Vantrel engine: one object per process that owns the live model (subscribed channels,
// their stories, the alerts channel, the channel directory, alert rules and switches), keeps it
// in the store and brings channels up to date on a worker thread.
//
// Threads. The engine object lives on the user-interface thread (the thread that created it).
// The model is guarded by one recursive lock: readers take it through lock()/unlock() (what
// GetCServices/ReleaseCServices do), commands take it for the short time they change the
// model. The worker does network and parsing without the lock and applies results in short
// locked sections. Changes are written to the store first and applied to the model only when
// the transaction committed, so model and store never disagree.
//
// Decisions worth knowing:
// - Channels are updated every 30 minutes after their last attempt; a channel never updated
//   (or last tried longer ago) is updated right after start. Suspending downloads stops the
//   scheduled updates only: a forced update ("Update Now") is the user's explicit wish and
//   still runs.
// - A failed update (network, HTTP status, malformed or oversized feed) changes no stored
//   story; the channel's status says what went wrong.
// - A filtered channel keeps a new story only when one of its filter words occurs in the
//   headline, the summary or a category as a whole word, without regard to case. Alert rules
//   match headline or summary the same way; each matching rule raises one alert, once, when
//   the story first arrives.
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

#include "vantrel/core/model.h"
#include "vantrel/core/notify.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace vantrel
{

namespace feeds
{
class Fetcher;
}
class Store;
struct FeedMerge;
struct StoreContents;

// What a test or the first start gives to create a channel directly (no network).
struct ChannelSpec {
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
    void lock() { m_mutex.lock(); }
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
    void setUpdateIntervalSecs(int secs);

    // Stops background work and tells the callbacks that the engine shuts down.
    void shutdown();
    bool isShutDown() const { return m_shutDown.load(); }

    // --- Directory -----------------------------------------------------------------------
    std::vector<DirEntry> directoryEntries();
    bool isSubscribedEntry(uint32_t entryId);
    // Adds the channels of an OPML catalogue: a local file at once, an http(s) address on
    // the worker. False with a reason when a local catalogue cannot be read.
    bool addCatalogue(const QString& pathOrUrl, QString* error = nullptr);

    // --- Alert rules ---------------------------------------------------------------------
    uint32_t addAlertRule(const QString& name, const QStringList& words, const QString& category);
    bool removeAlertRule(uint32_t ruleId);
    std::vector<AlertRule> alertRules();

    // --- Direct content (tests, seeding): no network ------------------------------------
    // A directory entry; its id (0 on failure).
    uint32_t addDirectoryEntry(const DirEntry& entry);
    // Removes an entry that is not subscribed (a subscribed one stays: unsubscribe first).
    bool removeDirectoryEntry(uint32_t entryId);
    // A subscribed channel with its own directory entry; its id (0 on failure).
    uint32_t addChannel(const ChannelSpec& desc);
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
        enum Kind { Update, DownloadStory, Catalogue } kind = Update;
        uint32_t channelId = 0;
        uint32_t number = 0;
        QString source;
    };

    void takeContents(StoreContents& contents);
    bool commitNewChannel(std::unique_ptr<Channel> channel);
    Channel* findChannel(uint32_t id);
    std::vector<uint32_t> existingNumbers(Channel& c, const std::vector<uint32_t>& numbers);
    bool applyStoryChange(uint32_t channelId, const std::vector<uint32_t>& numbers,
                          const std::function<bool(Story&)>& change);
    void removeChannelFiles(uint32_t channelId);
    // The address a stored page is given out under; empty for a file outside the folder of
    // stored pages.
    QString storedPageAddress(const QString& localPath) const;
    bool mergeCatalogue(const QByteArray& data, const QUrl& base, const QString& catalogue,
                        QString* error);

    // Change reporting.
    void post(const char* name, uint32_t channelId, uintptr_t second = 0);
    void postStories(const char* name, uint32_t channelId, std::vector<uint32_t> numbers);
    void deliverPending();
    void fireEngineEvent(uint32_t channelId);

    // Worker.
    void enqueue(const Job& job);
    void wake();
    void workerMain();
    bool nextScheduled(uint32_t& channelId, qint64& nextDue);
    void runUpdate(uint32_t channelId);
    // What a committed merge changed, for the change reports.
    struct MergeOutcome {
        std::vector<uint32_t> created;
        std::vector<uint32_t> updated;
        std::vector<uint32_t> alerts;
        bool attributesChanged = false;
        bool committed = false; // the store took the merge
        QString logoUrl;        // a logo to fetch
    };
    // Stores a merge and applies it to the model once it committed (model lock held).
    MergeOutcome applyMerge(Channel& channel, FeedMerge merge, qint64 now);
    void runDownloadStory(uint32_t channelId, uint32_t number);
    void runCatalogue(const QString& source);
    void fetchLogo(uint32_t channelId, const QString& logoUrl);
    void stopWorker();

    Options m_options;
    QString m_dataDir;
    bool m_open = false;
    QString m_startNote;
    QString m_storeNote;
    std::unique_ptr<Store> m_store;

    mutable std::recursive_mutex m_mutex;
    std::vector<std::unique_ptr<Channel>> m_channels;
    std::unique_ptr<Channel> m_alerts;
    std::vector<DirEntry> m_entries;
    std::vector<AlertRule> m_rules;
    std::unique_ptr<Services> m_services;
    uint32_t m_nextChannelId = 1;
    uint32_t m_nextEntryId = 1;
    uint32_t m_nextRuleId = 1;
    QString m_placeFilesDir;

    std::atomic<bool> m_downloadEnabled{true};
    std::atomic<bool> m_autoplayEnabled{true};
    std::atomic<uint32_t> m_restrictions{0};
    std::atomic<int> m_intervalSecs{30 * 60};
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
    bool m_busy = false;
    uint64_t m_wakeups = 0; // counts wake() calls, so that none is lost
    std::thread m_worker;
    std::unique_ptr<feeds::Fetcher> m_fetcher;
};

} // namespace vantrel
