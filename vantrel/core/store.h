#pragma once
// The engine's store: one SQLite file (vantrel.db) in the data directory. Every change is one
// transaction; each thread that touches the store has its own named connection.

#include "vantrel/core/model.h"

#include <QCache>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QSqlQuery;
struct sqlite3;

namespace vantrel
{

// The long texts of a story, read when asked for.
struct StoryTexts {
    QString summary;
    QString header;
    QString footer;
};

// Everything the store holds, as loaded at start. Stories are not among it: each channel reads
// its own when they are first needed (Channel::ensureLoaded), and carries the store's counts
// until then.
struct StoreContents {
    std::vector<std::unique_ptr<Channel>> channels; // the alerts channel is not among them
    std::unique_ptr<Channel> alerts;
    std::vector<DirEntry> entries;
    std::vector<AlertRule> rules;
    std::vector<FilterRule> filters; // in their order
    QMap<QString, QString> meta;
};

class Store
{
public:
    // 1: the first store; 2: what is known of story texts, and story counts kept by triggers;
    // 3: channels' own settings and last error, the alert rules' options, the filter rules.
    static constexpr int kSchemaVersion = 3;
    // How long open() waits for a store that another connection or program holds locked.
    static constexpr int kDefaultLockWaitMs = 20000;
    // Journal pages past which a commit folds the journal into the file itself (about 40 MB).
    static constexpr int kAutoCheckpointPages = 10000;

    // Why the last open() failed.
    enum class Problem {
        None,
        Locked,  // another connection or program held the store locked for the whole wait
        Damaged, // the file is damaged and could not be moved aside
        Other,   // unreadable folder or file, a store of a newer engine, ...
    };

    explicit Store(const QString& path, int lockWaitMs = kDefaultLockWaitMs);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens the file, creating the schema in a new store (or bringing an older one up to
    // date), and reads everything in it but the stories.
    // - A store that another connection or program holds locked is waited for, up to the lock
    //   wait, and tried again; when it stays locked, open() fails and leaves it alone.
    // - Only a damaged store (SQLite finds it is not a database or is malformed, or the
    //   integrity check fails) is moved aside, as "vantrel.db.damaged-<time>" together with its
    //   "-wal" and "-shm" files, and a new empty store is made; damagedNote() then says so.
    // False when no usable store could be had: problem() and lastError() say why.
    bool open(StoreContents& out);
    QString damagedNote() const { return m_damagedNote; }
    Problem problem() const { return m_problem; }
    QString lastError() const;
    QString path() const { return m_path; }

    // The current thread's connection (opened on first use).
    QSqlDatabase db();
    // Closes the current thread's connection; worker threads call it before they end.
    void closeThreadConnection();

    // A transaction on the current thread's connection: commit() or it rolls back.
    class Transaction
    {
    public:
        explicit Transaction(Store& store);
        ~Transaction();
        bool commit();
        bool ok() const { return m_ok; }
        void fail() { m_ok = false; }

    private:
        friend class Store;
        Store& m_store;
        bool m_open = false;
        bool m_ok = true;
        std::vector<quint64> m_touched; // stories whose kept texts are forgotten at the end
    };

    // Writers; each must run inside a Transaction (they set it failed on error).
    void saveMeta(Transaction& t, const QString& key, const QString& value);
    void saveChannel(Transaction& t, const Channel& channel);
    void deleteChannel(Transaction& t, uint32_t channelId);
    void saveStory(Transaction& t, uint32_t channelId, const Story& story);
    void deleteStory(Transaction& t, uint32_t channelId, uint32_t number);
    void saveTombstone(Transaction& t, uint32_t channelId, const QString& identity);
    // Many stories at once (pruning removes thousands), with their identities remembered as
    // tombstones when asked.
    void deleteStories(Transaction& t, uint32_t channelId, const std::vector<uint32_t>& numbers,
                       bool leaveTombstones = false);
    // Pruning, read from the store so that channels whose stories are not in memory are
    // pruned too. The numbers of the channel's stories the person did not keep that are beyond
    // the newest `keepNewest` of those (0: no count limit) or were received before
    // `receivedBefore` (0: no age limit), oldest first.
    bool pruneCandidates(uint32_t channelId, int keepNewest, qint64 receivedBefore,
                         std::vector<uint32_t>& numbers);
    // Of the given numbers, those of stories that exist and are not kept, in order, with the
    // files the engine made for them (downloaded pages and enclosures) by number.
    bool unkeptStories(uint32_t channelId, const std::vector<uint32_t>& numbers,
                       std::vector<uint32_t>& out, QHash<uint32_t, QStringList>& files);
    // The alerts (in the alerts channel) the person did not keep that were raised on the given
    // stories of the channel.
    bool unkeptAlertsOn(uint32_t alertsChannelId, uint32_t channelId,
                        const std::vector<uint32_t>& numbers, std::vector<uint32_t>& out);
    // The channel's story counts as the store keeps them.
    bool storyCounts(uint32_t channelId, StoryCounts& out);
    // Folds the journal's committed changes into the file, without waiting for readers or
    // writers; called outside any transaction and any lock of the engine's, so that the time
    // it takes stalls no window.
    void checkpoint();
    // Rebuilds the file without its free pages (outside any transaction); false with
    // lastError() when it could not.
    bool compact();
    void saveEntry(Transaction& t, const DirEntry& entry);
    void deleteEntry(Transaction& t, uint32_t entryId);
    void saveRule(Transaction& t, const AlertRule& rule);
    void deleteRule(Transaction& t, uint32_t ruleId);
    void saveFilter(Transaction& t, const FilterRule& rule, int position);
    void deleteAllFilters(Transaction& t);

    // Readers on the current thread's connection.
    // The channel's stories (without their long texts) and its deleted identities.
    bool loadStories(Channel& channel);
    // The long texts of one story. The last texts read are kept (a bounded amount), so that a
    // list that asks again and again does not read the store each time.
    bool storyTexts(uint32_t channelId, uint32_t number, StoryTexts& out);
    // The number and headline of each of the channel's stories, in story order.
    bool readHeadlines(uint32_t channelId, std::vector<std::pair<uint32_t, QString>>& out);
    // The numbers of the stories of the channels whose summary is not blank and, changed to
    // upper case, contains the text changed to upper case: per channel with such stories, in
    // story order. With wholeTable the table is read in one pass (for most of its stories).
    bool findInSummaries(const std::vector<uint32_t>& channelIds, bool wholeTable,
                         const QString& text,
                         std::unordered_map<uint32_t, std::vector<uint32_t>>& found);
    // Each of the channel's stored stories in story order, with what rules look at: headline,
    // summary, link, times, category, attributes and the read, kept and alerted marks (not the
    // header, footer or page copy). False when they cannot be read (lastError() says why).
    bool forEachStory(uint32_t channelId, const std::function<void(const Story&)>& each);
    // The downloaded copy of a story page at that address; empty when there is none.
    QString localCopyOf(const QString& link);
    // How many texts are kept at most (in characters), for tests.
    void setTextCacheLimit(qsizetype characters);

private:
    bool openConnection(QSqlDatabase& db, QSqlError& error);
    // One attempt at open(); on failure, problem says what kind of failure it was.
    bool tryOpen(StoreContents& out, Problem& problem, QString& error);
    bool ensureSchema(QSqlDatabase& db, QSqlError& error, bool& newer);
    static bool migrate(QSqlQuery& q, int from);
    bool load(QSqlDatabase& db, StoreContents& out, QSqlError& error);
    // The integrity check: None when the store is whole, else Damaged (or what stopped it).
    Problem checkIntegrity(QSqlDatabase& db, QString& error);
    bool moveAside(const QString& why);
    void closeAllConnections();
    bool exec(Transaction& t, const QString& sql, const QVariantList& values);
    // A read with `values` bound in order, each row handed to `row`; false with the error set
    // when it fails.
    bool select(const QString& sql, const QVariantList& values,
                const std::function<void(const QSqlQuery&)>& row);
    // The same over many story numbers, bound as one value: `IN (%1)` in `sql` stands for them.
    bool selectNumbers(const QString& sql, const QVariantList& values,
                       const std::vector<uint32_t>& numbers,
                       const std::function<void(const QSqlQuery&)>& row);
    // SQLite's own handle of this thread's connection, for reads stepped without Qt; null,
    // with the error set to "<failing>: no store connection", when there is none.
    sqlite3* sqliteConnection(const QString& failing);
    QString connectionName() const;
    void setError(const QString& error);
    static Problem problemOf(const QSqlError& error);

    QString m_path;
    int m_lockWaitMs;
    QString m_damagedNote;
    Problem m_problem = Problem::None;
    mutable QMutex m_errorMutex; // the last error is set by any thread's writes
    QString m_lastError;
    int m_serial = 0;
    void forgetTexts(const std::vector<quint64>& keys);
    QMutex m_textsMutex;
    QCache<quint64, StoryTexts> m_texts;
};

} // namespace vantrel
