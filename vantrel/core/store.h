#pragma once
// The engine's store: one SQLite file (vantrel.db) in the data directory. Every change is one
// transaction; each thread that touches the store has its own named connection.

#include "vantrel/core/model.h"

#include <QSqlDatabase>
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
    static constexpr int kSchemaVersion = 1;

    explicit Store(const QString& path);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens the file, creating or upgrading the schema. A file that is not a usable database
    // is moved aside as "vantrel.db.damaged-<time>" and a new empty store is made; then
    // damagedNote() says what happened. False only when no store could be made at all.
    bool open();
    QString damagedNote() const { return m_damagedNote; }
    QString lastError() const { return m_lastError; }
    QString path() const { return m_path; }

    bool load(StoreContents& out);

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
    void saveEntry(Transaction& t, const DirEntry& entry);
    void deleteEntry(Transaction& t, uint32_t entryId);
    void saveRule(Transaction& t, const AlertRule& rule);
    void deleteRule(Transaction& t, uint32_t ruleId);

private:
    bool openConnection(QSqlDatabase& db, QString& error);
    bool createSchema(QSqlDatabase& db, QString& error);
    bool checkReadable(QSqlDatabase& db, QString& error);
    void closeAllConnections();
    bool exec(Transaction& t, const QString& sql, const QVariantList& values);
    QString connectionName() const;

    QString m_path;
    QString m_damagedNote;
    QString m_lastError;
    int m_serial = 0;
};

} // namespace vantrel
