#pragma once
// The engine's store: one SQLite file (vantrel.db) in the data directory. Every change is one
// transaction; each thread that touches the store has its own named connection.

#include "vantrel/core/model.h"

#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <memory>
#include <vector>

namespace vantrel
{

// Everything the store holds, as loaded at start.
struct StoreContents {
    std::vector<std::unique_ptr<Channel>> channels; // the alerts channel is not among them
    std::unique_ptr<Channel> alerts;
    std::vector<DirEntry> entries;
    std::vector<AlertRule> rules;
    QMap<QString, QString> meta;
};

class Store
{
public:
    // 1: the first store; 2: channels have their own update interval, keep count and last
    // error (columns added to a store of version 1 when it is opened).
    static constexpr int kSchemaVersion = 2;
    // How long open() waits for a store that another connection or program holds locked.
    static constexpr int kDefaultLockWaitMs = 20000;

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

    // Opens the file, creating the schema in a new store, and reads everything in it.
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
        Store& m_store;
        bool m_open = false;
        bool m_ok = true;
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
    // Rebuilds the file without its free pages (outside any transaction); false with
    // lastError() when it could not.
    bool compact();
    void saveEntry(Transaction& t, const DirEntry& entry);
    void deleteEntry(Transaction& t, uint32_t entryId);
    void saveRule(Transaction& t, const AlertRule& rule);
    void deleteRule(Transaction& t, uint32_t ruleId);

private:
    bool openConnection(QSqlDatabase& db, QSqlError& error);
    // One attempt at open(); on failure, problem says what kind of failure it was.
    bool tryOpen(StoreContents& out, Problem& problem, QString& error);
    bool ensureSchema(QSqlDatabase& db, QSqlError& error, bool& newer);
    bool load(QSqlDatabase& db, StoreContents& out, QSqlError& error);
    // The integrity check: None when the store is whole, else Damaged (or what stopped it).
    Problem checkIntegrity(QSqlDatabase& db, QString& error);
    bool moveAside(const QString& why);
    void closeAllConnections();
    bool exec(Transaction& t, const QString& sql, const QVariantList& values);
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
};

} // namespace vantrel
