#include "vantrel/core/store.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <unordered_map>
#include <unordered_set>

namespace vantrel
{
namespace
{

std::atomic<int> g_storeSerial{0};

QMutex& namesMutex()
{
    static QMutex m;
    return m;
}
QSet<QString>& openNames()
{
    static QSet<QString> names;
    return names;
}

// The prepared story statements of the current thread, kept for speed (a feed update writes
// many; a list reads many texts). One writer per combination of long texts it writes, made
// with SQLite's own calls: binding two dozen values through QVariant cost two to three times
// what SQLite takes to write the row.
struct CachedStatements {
    QString connection;
    sqlite3_stmt* saveStory[Story::AllParts + 1] = {};
    std::unique_ptr<QSqlQuery> readTexts;
    void reset()
    {
        for (auto& q : saveStory) {
            sqlite3_finalize(q);
            q = nullptr;
        }
        readTexts.reset();
        connection.clear();
    }
    ~CachedStatements() { reset(); }
};
thread_local CachedStatements t_cached;

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE IF NOT EXISTS channels (id INTEGER PRIMARY KEY, entry_id INTEGER, name TEXT,"
    " url TEXT, categories TEXT, home_page TEXT, description TEXT, enabled INTEGER,"
    " secure INTEGER, filtered INTEGER, home_server INTEGER, filter_words TEXT, logo_file TEXT,"
    " logo_url TEXT, last_updated INTEGER, last_attempt INTEGER, content_date INTEGER,"
    " status TEXT, next_story INTEGER)",
    "CREATE TABLE IF NOT EXISTS stories (channel_id INTEGER NOT NULL, number INTEGER NOT NULL,"
    " identity TEXT, headline TEXT, summary TEXT, link TEXT, published INTEGER, received INTEGER,"
    " category TEXT, read INTEGER, keep INTEGER, bundlet_id INTEGER, bundlet_type INTEGER,"
    " bundlet_signed INTEGER, alerted INTEGER, accessed INTEGER, local_path TEXT, header TEXT,"
    " footer TEXT, enclosure_url TEXT, enclosure_type TEXT, enclosure_length INTEGER,"
    " alert_name TEXT, alert_channel INTEGER, alert_story INTEGER, extra TEXT,"
    " PRIMARY KEY (channel_id, number))",
    "CREATE TABLE IF NOT EXISTS tombstones (channel_id INTEGER NOT NULL, identity TEXT NOT NULL,"
    " PRIMARY KEY (channel_id, identity))",
    "CREATE TABLE IF NOT EXISTS directory (id INTEGER PRIMARY KEY, name TEXT, url TEXT,"
    " categories TEXT, description TEXT, home_page TEXT, flags INTEGER, visibility INTEGER,"
    " date INTEGER, catalogue TEXT, attributes TEXT)",
    "CREATE TABLE IF NOT EXISTS alert_rules (id INTEGER PRIMARY KEY, name TEXT, words TEXT,"
    " category TEXT)",
};

// What schema 2 adds: what is known of the long texts of each story (so that they need not be
// in memory), and per channel and story category the number of stories and of unread ones,
// kept by triggers in the same transaction as every change to the stories, so that the counts
// are there at start without reading a story.
const char* const kSchema2[] = {
    "ALTER TABLE stories ADD COLUMN text_flags INTEGER",
    "ALTER TABLE stories ADD COLUMN summary_hash INTEGER",
    // The same white space as QString::trimmed().
    "UPDATE stories SET text_flags ="
    " (trim(coalesce(summary, ''), ' ' || char(9, 10, 11, 12, 13, 133, 160, 5760, 8192, 8193,"
    " 8194, 8195, 8196, 8197, 8198, 8199, 8200, 8201, 8202, 8232, 8233, 8239, 8287, 12288)) <> '')"
    " | ((coalesce(header, '') <> '') << 1) | ((coalesce(footer, '') <> '') << 2)"
    " | ((coalesce(summary, '') <> '') << 3)",
    "CREATE TABLE IF NOT EXISTS story_counts (channel_id INTEGER NOT NULL,"
    " category TEXT NOT NULL, total INTEGER NOT NULL, unread INTEGER NOT NULL,"
    " PRIMARY KEY (channel_id, category))",
    "DELETE FROM story_counts",
    "INSERT INTO story_counts (channel_id, category, total, unread)"
    " SELECT channel_id, coalesce(category, ''), count(*), sum(coalesce(read, 0) = 0)"
    " FROM stories GROUP BY 1, 2",
    "CREATE TRIGGER IF NOT EXISTS stories_counted_insert AFTER INSERT ON stories BEGIN"
    " INSERT INTO story_counts (channel_id, category, total, unread)"
    " VALUES (new.channel_id, coalesce(new.category, ''), 1, coalesce(new.read, 0) = 0)"
    " ON CONFLICT (channel_id, category) DO UPDATE SET total = total + 1,"
    " unread = unread + excluded.unread; END",
    "CREATE TRIGGER IF NOT EXISTS stories_counted_delete AFTER DELETE ON stories BEGIN"
    " UPDATE story_counts SET total = total - 1, unread = unread - (coalesce(old.read, 0) = 0)"
    " WHERE channel_id = old.channel_id AND category = coalesce(old.category, '');"
    " DELETE FROM story_counts WHERE channel_id = old.channel_id"
    " AND category = coalesce(old.category, '') AND total <= 0; END",
    "CREATE TRIGGER IF NOT EXISTS stories_counted_update AFTER UPDATE OF channel_id, category,"
    " read ON stories WHEN old.channel_id IS NOT new.channel_id"
    " OR coalesce(old.category, '') IS NOT coalesce(new.category, '')"
    " OR (coalesce(old.read, 0) = 0) IS NOT (coalesce(new.read, 0) = 0) BEGIN"
    " UPDATE story_counts SET total = total - 1, unread = unread - (coalesce(old.read, 0) = 0)"
    " WHERE channel_id = old.channel_id AND category = coalesce(old.category, '');"
    " DELETE FROM story_counts WHERE channel_id = old.channel_id"
    " AND category = coalesce(old.category, '') AND total <= 0;"
    " INSERT INTO story_counts (channel_id, category, total, unread)"
    " VALUES (new.channel_id, coalesce(new.category, ''), 1, coalesce(new.read, 0) = 0)"
    " ON CONFLICT (channel_id, category) DO UPDATE SET total = total + 1,"
    " unread = unread + excluded.unread; END",
    // Downloaded pages by address, for the few stories that have one.
    "CREATE INDEX IF NOT EXISTS stories_local_copies ON stories (link) WHERE local_path <> ''",
};

constexpr qsizetype kDefaultTextCacheChars = 4 * 1024 * 1024;

quint64 storyKey(uint32_t channelId, uint32_t number)
{
    return (quint64(channelId) << 32) | number;
}

// Columns later versions added. Each is added only when the store lacks it, so that adding
// them again (a store that another version of the engine migrated) changes nothing.
struct AddedColumn {
    const char* table;
    const char* column;
    const char* definition;
};
// What schema 3 adds: a channel's own settings and last error, the alert rules' options and
// the filter rules. Each column is added only when the store lacks it, so that a store some
// version of the engine already gave one of them still takes the step.
const AddedColumn kAddedColumns[] = {
    {"channels", "update_interval", "INTEGER NOT NULL DEFAULT 0"},
    {"channels", "keep_stories", "INTEGER NOT NULL DEFAULT 0"},
    {"channels", "last_error", "TEXT NOT NULL DEFAULT ''"},
    {"channels", "last_error_at", "INTEGER NOT NULL DEFAULT 0"},
    {"alert_rules", "enabled", "INTEGER NOT NULL DEFAULT 1"},
    {"alert_rules", "headlines_only", "INTEGER NOT NULL DEFAULT 0"},
    {"alert_rules", "whole_words", "INTEGER NOT NULL DEFAULT 1"},
    {"alert_rules", "match_case", "INTEGER NOT NULL DEFAULT 0"},
    {"alert_rules", "watch_channels", "TEXT NOT NULL DEFAULT ''"},
    {"alert_rules", "watch_categories", "TEXT NOT NULL DEFAULT ''"},
};
const char kFilterTable[] =
    "CREATE TABLE IF NOT EXISTS filter_rules (id INTEGER PRIMARY KEY, position INTEGER NOT NULL,"
    " name TEXT, enabled INTEGER, match_all INTEGER, conditions TEXT, action INTEGER,"
    " alert_name TEXT)";

struct NamedValue {
    int value;
    const char* name;
};
const NamedValue kFields[] = {
    {int(FilterCondition::Field::Headline), "headline"},
    {int(FilterCondition::Field::Summary), "summary"},
    {int(FilterCondition::Field::Category), "category"},
    {int(FilterCondition::Field::Author), "author"},
    {int(FilterCondition::Field::Link), "link"},
    {int(FilterCondition::Field::Age), "age"},
};
const NamedValue kTests[] = {
    {int(FilterCondition::Test::Contains), "contains"},
    {int(FilterCondition::Test::NotContains), "not contains"},
    {int(FilterCondition::Test::Matches), "matches"},
    {int(FilterCondition::Test::OlderThan), "older than"},
};
template <size_t N> QString nameOf(const NamedValue (&table)[N], int value)
{
    for (const NamedValue& v : table) {
        if (v.value == value)
            return QLatin1String(v.name);
    }
    return QString();
}
template <size_t N> int valueOf(const NamedValue (&table)[N], const QString& name, bool& ok)
{
    for (const NamedValue& v : table) {
        if (name == QLatin1String(v.name)) {
            ok = true;
            return v.value;
        }
    }
    ok = false;
    return 0;
}

QString conditionsToJson(const std::vector<FilterCondition>& conditions)
{
    QJsonArray a;
    for (const FilterCondition& c : conditions) {
        QJsonObject o;
        o.insert(QStringLiteral("field"), nameOf(kFields, int(c.field)));
        o.insert(QStringLiteral("test"), nameOf(kTests, int(c.test)));
        o.insert(QStringLiteral("value"), c.value);
        o.insert(QStringLiteral("days"), c.days);
        a.append(o);
    }
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

// A condition this engine does not know makes the whole rule unusable: it is loaded disabled
// rather than acting on less than it says.
std::vector<FilterCondition> conditionsFromJson(const QString& text, bool& complete)
{
    complete = true;
    std::vector<FilterCondition> out;
    for (const QJsonValue& v : QJsonDocument::fromJson(text.toUtf8()).array()) {
        const QJsonObject o = v.toObject();
        FilterCondition c;
        bool fieldOk = false;
        bool testOk = false;
        c.field = FilterCondition::Field(
            valueOf(kFields, o.value(QStringLiteral("field")).toString(), fieldOk));
        c.test = FilterCondition::Test(
            valueOf(kTests, o.value(QStringLiteral("test")).toString(), testOk));
        c.value = o.value(QStringLiteral("value")).toString();
        c.days = o.value(QStringLiteral("days")).toInt();
        if (!fieldOk || !testOk) {
            complete = false;
            continue;
        }
        out.push_back(std::move(c));
    }
    return out;
}

QString idsToText(const std::vector<uint32_t>& ids)
{
    QStringList parts;
    for (uint32_t id : ids)
        parts << QString::number(id);
    return parts.join(QLatin1Char(' '));
}

std::vector<uint32_t> idsFromText(const QString& text)
{
    std::vector<uint32_t> ids;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint32_t id = part.toUInt(&ok);
        if (ok)
            ids.push_back(id);
    }
    return ids;
}

QString mapToJson(const QMap<QString, QString>& map)
{
    QJsonObject o;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        o.insert(it.key(), it.value());
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QMap<QString, QString> mapFromJson(const QString& text)
{
    QMap<QString, QString> map;
    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
    for (auto it = o.begin(); it != o.end(); ++it)
        map.insert(it.key(), it.value().toString());
    return map;
}

// SQLite's primary result codes that decide what a failure means.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

constexpr int kBusyTimeoutMs = 10000;

} // namespace

// What a failed statement says about the store: locked by someone else, damaged, or neither.
Store::Problem Store::problemOf(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff; // extended codes keep it low
    if (!ok)
        return error.type() == QSqlError::NoError ? Problem::None : Problem::Other;
    switch (code) {
    case kSqliteBusy:
    case kSqliteLocked:
        return Problem::Locked;
    case kSqliteCorrupt:
    case kSqliteNotADatabase:
        return Problem::Damaged;
    default:
        return Problem::Other;
    }
}

Store::Store(const QString& path, int lockWaitMs)
    : m_path(path), m_lockWaitMs(std::max(0, lockWaitMs)), m_serial(++g_storeSerial),
      m_texts(kDefaultTextCacheChars)
{
}

Store::~Store()
{
    closeAllConnections();
}

QString Store::connectionName() const
{
    return QStringLiteral("vantrel-store-%1-%2")
        .arg(m_serial)
        .arg(quintptr(QThread::currentThreadId()), 0, 16);
}

void Store::setError(const QString& error)
{
    QMutexLocker lock(&m_errorMutex);
    m_lastError = error;
}

QString Store::lastError() const
{
    QMutexLocker lock(&m_errorMutex);
    return m_lastError;
}

bool Store::openConnection(QSqlDatabase& db, QSqlError& error)
{
    const QString name = connectionName();
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(m_path);
    // A statement that meets a lock waits for it, but never longer than open() waits.
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(std::min(m_lockWaitMs, kBusyTimeoutMs)));
    {
        QMutexLocker lock(&namesMutex());
        openNames().insert(name);
    }
    if (!db.open()) {
        error = db.lastError();
        return false;
    }
    QSqlQuery q(db);
    // Full sync on commit: a committed change survives a crash or a power cut.
    // Recursive triggers make a row that INSERT OR REPLACE replaces count as deleted, so that
    // the story counts stay right whatever statement changes the stories.
    // The journal is folded back into the file by checkpoint(), which the engine's workers call
    // when they hold no lock; a commit folds it only past kAutoCheckpointPages (a safety net),
    // since folding it in a commit made under the model lock stalls every window for as long.
    static const QByteArray autoCheckpoint =
        "PRAGMA wal_autocheckpoint=" + QByteArray::number(kAutoCheckpointPages);
    for (const char* pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=OFF",
          "PRAGMA recursive_triggers=ON", autoCheckpoint.constData()}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            error = q.lastError();
            return false;
        }
    }
    return true;
}

QSqlDatabase Store::db()
{
    const QString name = connectionName();
    if (QSqlDatabase::contains(name))
        return QSqlDatabase::database(name);
    QSqlDatabase db;
    QSqlError error;
    if (!openConnection(db, error))
        setError(error.text());
    return db;
}

void Store::closeThreadConnection()
{
    const QString name = connectionName();
    if (t_cached.connection == name)
        t_cached.reset();
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    QMutexLocker lock(&namesMutex());
    openNames().remove(name);
}

void Store::closeAllConnections()
{
    closeThreadConnection();
    const QString prefix = QStringLiteral("vantrel-store-%1-").arg(m_serial);
    QStringList names;
    {
        QMutexLocker lock(&namesMutex());
        for (const QString& n : openNames()) {
            if (n.startsWith(prefix))
                names << n;
        }
        for (const QString& n : names)
            openNames().remove(n);
    }
    for (const QString& n : names) {
        {
            QSqlDatabase db = QSqlDatabase::database(n, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(n);
    }
}

bool Store::ensureSchema(QSqlDatabase& db, QSqlError& error, bool& newer)
{
    newer = false;
    // Read first: a store that has the schema is not written to at all, so that opening never
    // waits on a writer for nothing.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        error = q.lastError();
        return false;
    }
    const int version = q.value(0).toInt();
    q.finish();
    if (version == kSchemaVersion)
        return true;
    if (version > kSchemaVersion) {
        newer = true;
        error = QSqlError(QString(),
                          QStringLiteral("the store was written by a newer version of the engine "
                                         "(schema %1)")
                              .arg(version),
                          QSqlError::UnknownError);
        return false;
    }
    // Take the write lock at the start (waiting for it like any statement): a read turned into
    // a write inside one transaction would fail at once whenever another connection writes.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = q.lastError();
        return false;
    }
    auto rollback = [&] {
        error = q.lastError();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    // The first version's tables, made when missing (a new store, or an older one that lacks
    // one), so that every later step finds the tables it changes.
    for (const char* sql : kSchema) {
        if (!q.exec(QString::fromLatin1(sql)))
            return rollback();
    }
    if (!migrate(q, std::max(version, 1)))
        return rollback();
    if (!q.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)))
        return rollback();
    if (!q.exec(QStringLiteral("COMMIT")))
        return rollback();
    return true;
}

bool Store::migrate(QSqlQuery& q, int from)
{
    if (from < 2) {
        for (const char* sql : kSchema2) {
            if (!q.exec(QString::fromLatin1(sql)))
                return false;
        }
    }
    if (from < 3) {
        for (const AddedColumn& added : kAddedColumns) {
            if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(added.table))))
                return false;
            bool present = false;
            while (q.next())
                present = present || q.value(1).toString() == QLatin1String(added.column);
            q.finish();
            if (!present &&
                !q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                            .arg(QLatin1String(added.table), QLatin1String(added.column),
                                 QLatin1String(added.definition))))
                return false;
        }
        if (!q.exec(QLatin1String(kFilterTable)))
            return false;
    }
    return true;
}

Store::Problem Store::checkIntegrity(QSqlDatabase& db, QString& error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA quick_check"))) {
        error = q.lastError().text();
        const Problem p = problemOf(q.lastError());
        return p == Problem::None ? Problem::Other : p;
    }
    QStringList findings;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            findings << line;
    }
    if (findings.isEmpty())
        return Problem::None;
    error = QStringLiteral("the integrity check failed: %1").arg(findings.first());
    return Problem::Damaged;
}

bool Store::tryOpen(StoreContents& out, Problem& problem, QString& error)
{
    out = StoreContents();
    // A file that does not even start like a database is not handed to SQLite: reading it
    // would make SQLite take the journal files beside it for its own and delete them.
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(16);
        if (!head.isEmpty() && head != QByteArray("SQLite format 3\0", 16)) {
            problem = Problem::Damaged;
            error = QStringLiteral("file is not a database");
            return false;
        }
    }
    file.close();
    QSqlDatabase database;
    QSqlError sqlError;
    bool newer = false;
    if (!openConnection(database, sqlError) || !ensureSchema(database, sqlError, newer) ||
        !load(database, out, sqlError)) {
        error = sqlError.text();
        problem = newer ? Problem::Other : problemOf(sqlError);
        // A failure that names neither a lock nor damage: the integrity check decides whether
        // the store is damaged.
        if (problem == Problem::Other && !newer && database.isOpen()) {
            QString finding;
            const Problem checked = checkIntegrity(database, finding);
            if (checked == Problem::Damaged || checked == Problem::Locked) {
                problem = checked;
                error = finding;
            }
        }
        return false;
    }
    problem = Problem::None;
    return true;
}

bool Store::moveAside(const QString& why)
{
    closeAllConnections();
    const QString aside = m_path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    // The journal files hold committed changes of the damaged store: they go with it, never
    // away, so that whatever can be saved from it is still there.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QString from = m_path + QLatin1String(suffix);
        const QString to = aside + QLatin1String(suffix);
        if (!QFileInfo::exists(from))
            continue;
        QFile::remove(to);
        if (!QFile::rename(from, to)) {
            setError(QStringLiteral("the store %1 is damaged (%2) and cannot be moved aside")
                         .arg(from, why));
            return false;
        }
    }
    m_damagedNote = QStringLiteral("The engine store was damaged (%1); it was moved to %2 and "
                                   "the engine started empty.")
                        .arg(why, aside);
    std::fprintf(stderr, "vantrel: %s\n", qPrintable(m_damagedNote));
    return true;
}

bool Store::open(StoreContents& out)
{
    m_damagedNote.clear();
    m_problem = Problem::None;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        m_problem = Problem::Other;
        setError(
            QStringLiteral("the store %1 cannot be opened: its folder cannot be made").arg(m_path));
        return false;
    }
    QDeadlineTimer deadline(m_lockWaitMs);
    bool movedAside = false;
    for (;;) {
        Problem problem = Problem::None;
        QString error;
        if (tryOpen(out, problem, error))
            return true;
        closeAllConnections();
        if (problem == Problem::Locked && !deadline.hasExpired()) {
            QThread::msleep(50);
            continue;
        }
        if (problem == Problem::Damaged && !movedAside && QFileInfo::exists(m_path)) {
            if (!moveAside(error)) {
                m_problem = Problem::Damaged;
                std::fprintf(stderr, "vantrel: %s\n", qPrintable(lastError()));
                return false;
            }
            movedAside = true;
            continue;
        }
        m_problem = problem == Problem::None ? Problem::Other : problem;
        if (problem == Problem::Locked)
            setError(QStringLiteral("the store %1 is in use by another program and stayed locked "
                                    "for %2 seconds (%3)")
                         .arg(m_path)
                         .arg((m_lockWaitMs + 999) / 1000)
                         .arg(error));
        else
            setError(QStringLiteral("the store %1 cannot be opened: %2").arg(m_path, error));
        std::fprintf(stderr, "vantrel: %s\n", qPrintable(lastError()));
        return false;
    }
}

bool Store::load(QSqlDatabase& database, StoreContents& out, QSqlError& error)
{
    // One read transaction: everything is read as of one moment, even while another program
    // writes.
    QSqlQuery q(database);
    q.setForwardOnly(true);
    auto fail = [&]() {
        error = q.lastError();
        QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    // A row that cannot be read ends the rows as well: that is a failure, not the end.
    auto rowsFailed = [&]() { return q.lastError().type() != QSqlError::NoError; };
    if (!q.exec(QStringLiteral("BEGIN")))
        return fail();

    if (!q.exec(QStringLiteral("SELECT key, value FROM meta")))
        return fail();
    while (q.next())
        out.meta.insert(q.value(0).toString(), q.value(1).toString());

    QHash<uint32_t, Channel*> byId;
    out.alerts = std::make_unique<Channel>();
    out.alerts->id = VT_ALERTS_CHANNEL_ID;
    out.alerts->name = QStringLiteral("Alerts");
    byId.insert(VT_ALERTS_CHANNEL_ID, out.alerts.get());

    if (rowsFailed())
        return fail();
    if (!q.exec(QStringLiteral(
            "SELECT id, entry_id, name, url, categories, home_page, description, enabled, secure,"
            " filtered, home_server, filter_words, logo_file, logo_url, last_updated,"
            " last_attempt, content_date, status, next_story, update_interval, keep_stories,"
            " last_error, last_error_at FROM channels ORDER BY id")))
        return fail();
    while (q.next()) {
        const uint32_t id = q.value(0).toUInt();
        Channel* c;
        if (id == VT_ALERTS_CHANNEL_ID) {
            c = out.alerts.get();
        } else {
            out.channels.push_back(std::make_unique<Channel>());
            c = out.channels.back().get();
        }
        c->id = id;
        c->entryId = q.value(1).toUInt();
        c->name = q.value(2).toString();
        c->url = q.value(3).toString();
        c->categories = q.value(4).toString();
        c->homePage = q.value(5).toString();
        c->description = q.value(6).toString();
        c->enabled = q.value(7).toInt() != 0;
        c->secure = q.value(8).toInt() != 0;
        c->filtered = q.value(9).toInt() != 0;
        c->homeServer = q.value(10).toInt() != 0;
        c->filterWords = q.value(11).toString().split('\n', Qt::SkipEmptyParts);
        c->logoFile = q.value(12).toString();
        c->logoUrl = q.value(13).toString();
        c->lastUpdated = q.value(14).toLongLong();
        c->lastAttempt = q.value(15).toLongLong();
        c->contentDate = q.value(16).toLongLong();
        c->status = q.value(17).toString();
        c->nextStory = std::max<uint32_t>(1, q.value(18).toUInt());
        c->updateIntervalSecs = std::max(0, q.value(19).toInt());
        c->keepStories = std::max(0, q.value(20).toInt());
        c->lastError = q.value(21).toString();
        c->lastErrorAt = q.value(22).toLongLong();
        byId.insert(id, c);
    }

    if (rowsFailed())
        return fail();
    QHash<uint32_t, StoryCounts> counts;
    if (!q.exec(QStringLiteral("SELECT channel_id, category, total, unread FROM story_counts")))
        return fail();
    while (q.next()) {
        StoryCount& c = counts[q.value(0).toUInt()][q.value(1).toString()];
        c.total = long(q.value(2).toLongLong());
        c.unread = long(q.value(3).toLongLong());
    }
    for (auto it = byId.begin(); it != byId.end(); ++it)
        it.value()->attachStore(this, counts.value(it.key()));

    if (rowsFailed())
        return fail();
    if (!q.exec(QStringLiteral("SELECT id, name, url, categories, description, home_page, flags,"
                               " visibility, date, catalogue, attributes FROM directory"
                               " ORDER BY id")))
        return fail();
    while (q.next()) {
        DirEntry e;
        e.id = q.value(0).toUInt();
        e.name = q.value(1).toString();
        e.url = q.value(2).toString();
        e.categories = q.value(3).toString();
        e.description = q.value(4).toString();
        e.homePage = q.value(5).toString();
        e.flags = q.value(6).toUInt();
        e.visibility = q.value(7).toUInt();
        e.date = q.value(8).toUInt();
        e.catalogue = q.value(9).toString();
        e.attributes = mapFromJson(q.value(10).toString());
        out.entries.push_back(std::move(e));
    }

    if (rowsFailed())
        return fail();
    if (!q.exec(QStringLiteral("SELECT id, name, words, category, enabled, headlines_only,"
                               " whole_words, match_case, watch_channels, watch_categories"
                               " FROM alert_rules ORDER BY id")))
        return fail();
    while (q.next()) {
        AlertRule r;
        r.id = q.value(0).toUInt();
        r.name = q.value(1).toString();
        r.words = q.value(2).toString().split('\n', Qt::SkipEmptyParts);
        r.category = q.value(3).toString();
        r.enabled = q.value(4).toInt() != 0;
        r.headlinesOnly = q.value(5).toInt() != 0;
        r.wholeWords = q.value(6).toInt() != 0;
        r.matchCase = q.value(7).toInt() != 0;
        r.channels = idsFromText(q.value(8).toString());
        r.categories = q.value(9).toString().split('\n', Qt::SkipEmptyParts);
        out.rules.push_back(std::move(r));
    }
    if (rowsFailed())
        return fail();
    if (!q.exec(QStringLiteral("SELECT id, name, enabled, match_all, conditions, action,"
                               " alert_name FROM filter_rules ORDER BY position, id")))
        return fail();
    while (q.next()) {
        FilterRule f;
        f.id = q.value(0).toUInt();
        f.name = q.value(1).toString();
        f.enabled = q.value(2).toInt() != 0;
        f.matchAll = q.value(3).toInt() != 0;
        bool complete = true;
        f.conditions = conditionsFromJson(q.value(4).toString(), complete);
        const int action = q.value(5).toInt();
        if (action < int(FilterRule::Action::MarkRead) || action > int(FilterRule::Action::Alert))
            complete = false;
        else
            f.action = FilterRule::Action(action);
        f.alertName = q.value(6).toString();
        if (!complete)
            f.enabled = false;
        out.filters.push_back(std::move(f));
    }
    if (rowsFailed())
        return fail();
    q.finish();
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail();
    return true;
}

namespace
{

// The current thread's statement in that slot, prepared on first use.
QSqlQuery* cachedStatement(std::unique_ptr<QSqlQuery>& slot, QSqlDatabase db, const char* sql,
                           QString& error)
{
    if (!slot) {
        auto q = std::make_unique<QSqlQuery>(db);
        q->setForwardOnly(true);
        if (!q->prepare(QString::fromLatin1(sql))) {
            error = q->lastError().text();
            return nullptr;
        }
        slot = std::move(q);
    }
    return slot.get();
}

} // namespace

namespace
{

// SQLite's handle of a Qt connection; null when the driver is not SQLite's.
sqlite3* sqliteHandle(const QSqlDatabase& database)
{
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// A text column of the current row; null for SQL NULL.
QString textColumn(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (!text)
        return QString();
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

// A column of JSON text as the map it holds; empty for none.
QVariantMap jsonMapColumn(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    if (!text || size <= 0)
        return QVariantMap();
    return QJsonDocument::fromJson(QByteArray(text, size)).object().toVariantMap();
}

// Steps a statement whose one parameter is the channel id, handing each row to `row`; on
// failure false, with SQLite's message in `error`.
template <typename Row>
bool stepChannelRows(sqlite3* handle, const char* sql, uint32_t channelId, QString& error,
                     Row&& row)
{
    sqlite3_stmt* q = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql, -1, &q, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_int64(q, 1, channelId);
        while ((rc = sqlite3_step(q)) == SQLITE_ROW)
            row(q);
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok)
        error = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(q);
    return ok;
}

} // namespace

sqlite3* Store::sqliteConnection(const QString& failing)
{
    QSqlDatabase database = db();
    sqlite3* handle = database.isOpen() ? sqliteHandle(database) : nullptr;
    if (!handle)
        setError(failing + QStringLiteral(": no store connection"));
    return handle;
}

bool Store::loadStories(Channel& channel)
{
    // The rows are stepped with SQLite's own calls: going through QVariant for each of their
    // two dozen columns made reading a channel of 10,000 stories twice as slow, and this is
    // what the person waits for when a channel is first listed.
    const QString failing =
        QStringLiteral("the stories of channel %1 cannot be read").arg(channel.id);
    sqlite3* handle = sqliteConnection(failing);
    if (!handle)
        return false;
    static const char* const kStories =
        "SELECT number, identity, headline, link, published, received, category, read, keep,"
        " bundlet_id, bundlet_type, bundlet_signed, alerted, accessed, local_path,"
        " enclosure_url, enclosure_type, enclosure_length, alert_name, alert_channel,"
        " alert_story, extra, text_flags, summary_hash FROM stories WHERE channel_id = ?"
        " ORDER BY number";
    static const char* const kTombstones = "SELECT identity FROM tombstones WHERE channel_id = ?";
    std::vector<Story> stories;
    // As many as the store counted for the channel: no room wasted by growing.
    stories.reserve(size_t(std::max(0, channel.storyCount())));
    QSet<QString> tombstones;
    QString error;
    // Both reads in one read transaction: the stories and deleted identities of one moment.
    sqlite3_exec(handle, "SAVEPOINT load_stories", nullptr, nullptr, nullptr);
    bool ok = stepChannelRows(handle, kStories, channel.id, error, [&](sqlite3_stmt* q) {
        Story s;
        s.held = 0;
        s.number = uint32_t(sqlite3_column_int64(q, 0));
        s.identity = textColumn(q, 1);
        s.headline = textColumn(q, 2);
        s.link = textColumn(q, 3);
        s.published = sqlite3_column_int64(q, 4);
        s.received = sqlite3_column_int64(q, 5);
        s.category = textColumn(q, 6);
        s.read = uint32_t(sqlite3_column_int64(q, 7));
        s.keep = uint32_t(sqlite3_column_int64(q, 8));
        s.bundletId = uint32_t(sqlite3_column_int64(q, 9));
        s.bundletType = uint32_t(sqlite3_column_int64(q, 10));
        s.bundletSigned = uint32_t(sqlite3_column_int64(q, 11));
        s.alerted = uint32_t(sqlite3_column_int64(q, 12));
        s.accessed = uint32_t(sqlite3_column_int64(q, 13));
        s.localPath = textColumn(q, 14);
        s.enclosureUrl = textColumn(q, 15);
        s.enclosureType = textColumn(q, 16);
        s.enclosureLength = sqlite3_column_int64(q, 17);
        s.alertName = textColumn(q, 18);
        s.alertChannelId = uint32_t(sqlite3_column_int64(q, 19));
        s.alertStoryId = uint32_t(sqlite3_column_int64(q, 20));
        s.extra = jsonMapColumn(q, 21);
        s.textFacts = uint8_t(sqlite3_column_int64(q, 22));
        s.summaryHash = quint64(sqlite3_column_int64(q, 23));
        stories.push_back(std::move(s));
    });
    if (ok) {
        ok = stepChannelRows(handle, kTombstones, channel.id, error,
                             [&](sqlite3_stmt* q) { tombstones.insert(textColumn(q, 0)); });
    }
    sqlite3_exec(handle, "RELEASE load_stories", nullptr, nullptr, nullptr);
    if (!ok) {
        setError(failing + QStringLiteral(": ") + error);
        return false;
    }
    if (stories.capacity() > stories.size() + stories.size() / 8)
        stories.shrink_to_fit();
    channel.stories = std::move(stories);
    channel.tombstones = std::move(tombstones);
    return true;
}

bool Store::forEachStory(uint32_t channelId, const std::function<void(const Story&)>& each)
{
    const QString failing =
        QStringLiteral("the stories of channel %1 cannot be read").arg(channelId);
    sqlite3* handle = sqliteConnection(failing);
    if (!handle)
        return false;
    static const char* const kStories =
        "SELECT number, headline, summary, link, published, received, category, read, keep,"
        " alerted, extra FROM stories WHERE channel_id = ? ORDER BY number";
    Story s;
    s.held = Story::SummaryPart;
    QString error;
    const bool ok = stepChannelRows(handle, kStories, channelId, error, [&](sqlite3_stmt* q) {
        s.number = uint32_t(sqlite3_column_int64(q, 0));
        s.headline = textColumn(q, 1);
        s.summary = textColumn(q, 2);
        s.link = textColumn(q, 3);
        s.published = sqlite3_column_int64(q, 4);
        s.received = sqlite3_column_int64(q, 5);
        s.category = textColumn(q, 6);
        s.read = uint32_t(sqlite3_column_int64(q, 7));
        s.keep = uint32_t(sqlite3_column_int64(q, 8));
        s.alerted = uint32_t(sqlite3_column_int64(q, 9));
        s.extra = jsonMapColumn(q, 10);
        each(s);
    });
    if (!ok)
        setError(failing + QStringLiteral(": ") + error);
    return ok;
}

bool Store::storyTexts(uint32_t channelId, uint32_t number, StoryTexts& out)
{
    const quint64 key = storyKey(channelId, number);
    {
        QMutexLocker lock(&m_textsMutex);
        if (const StoryTexts* kept = m_texts.object(key)) {
            out = *kept;
            return true;
        }
    }
    QSqlDatabase database = db();
    const QString name = connectionName();
    if (t_cached.connection != name) {
        t_cached.reset();
        t_cached.connection = name;
    }
    QString error;
    QSqlQuery* q = cachedStatement(
        t_cached.readTexts, database,
        "SELECT summary, header, footer FROM stories WHERE channel_id = ? AND number = ?", error);
    if (!q) {
        setError(error);
        return false;
    }
    q->bindValue(0, channelId);
    q->bindValue(1, number);
    if (!q->exec() || !q->next()) {
        if (q->lastError().type() != QSqlError::NoError)
            setError(q->lastError().text());
        q->finish();
        return false;
    }
    out.summary = q->value(0).toString();
    out.header = q->value(1).toString();
    out.footer = q->value(2).toString();
    q->finish();
    QMutexLocker lock(&m_textsMutex);
    const qsizetype cost = out.summary.size() + out.header.size() + out.footer.size() + 16;
    if (cost <= m_texts.maxCost())
        m_texts.insert(key, new StoryTexts(out), cost);
    return true;
}

void Store::setTextCacheLimit(qsizetype characters)
{
    QMutexLocker lock(&m_textsMutex);
    m_texts.setMaxCost(characters);
}

void Store::forgetTexts(const std::vector<quint64>& keys)
{
    if (keys.empty())
        return;
    QMutexLocker lock(&m_textsMutex);
    for (quint64 key : keys)
        m_texts.remove(key);
}

bool Store::readHeadlines(uint32_t channelId, std::vector<std::pair<uint32_t, QString>>& out)
{
    // Stepped with SQLite's own calls: a search made after a channel changed waits on this.
    out.clear();
    sqlite3* handle = sqliteConnection(
        QStringLiteral("the headlines of channel %1 cannot be read").arg(channelId));
    if (!handle)
        return false;
    QString error;
    const bool ok = stepChannelRows(
        handle, "SELECT number, headline FROM stories WHERE channel_id = ? ORDER BY number",
        channelId, error, [&](sqlite3_stmt* q) {
            out.emplace_back(uint32_t(sqlite3_column_int64(q, 0)), textColumn(q, 1));
        });
    if (!ok)
        setError(error);
    return ok;
}

namespace
{

// The characters outside ASCII whose upper case holds an ASCII character ("\u0131" gives
// "I", "\u017F" gives "S", "\u00DF" gives "SS", "\uFB01" gives "FI"), one bit per character
// of the basic plane. Made once, from the string class's own upper-case conversion.
const std::vector<bool>& givesAsciiInUpperCase()
{
    static const std::vector<bool> table = [] {
        std::vector<bool> gives(0x10000, false);
        for (char32_t c = 0x80; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            for (QChar u : QString(QChar(char16_t(c))).toUpper())
                if (u.unicode() < 0x80)
                    gives[c] = true;
        }
        return gives;
    }();
    return table;
}

bool isAsciiBytes(const char* text, size_t size)
{
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < size; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

// Whether UTF-8 text has a character outside ASCII whose upper case holds an ASCII one
// (a character outside the basic plane counts as one: it is not worth the look).
bool hasAsciiGivingCharacter(const char* text, size_t size)
{
    const std::vector<bool>& gives = givesAsciiInUpperCase();
    for (size_t i = 0; i < size;) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            ++i;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < size) {
            if (gives[((b & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu)])
                return true;
            i += 2;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < size) {
            const char32_t c = ((b & 0x0Fu) << 12) |
                               ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                               (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            if (gives[c])
                return true;
            i += 3;
        } else {
            return true;
        }
    }
    return false;
}

bool isAscii(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Finds an upper-case ASCII text in ASCII letters of either case. The scan jumps from one
// place of the text's least common character to the next (memchr), in both cases.
class AsciiFinder
{
public:
    explicit AsciiFinder(QByteArray upper) : m_text(std::move(upper))
    {
        // The anchor: a character without case other than a space (digits, punctuation), else
        // the rarest letter in English, else a space.
        static const char kByRarity[] = "ZQXJKVBPYGFWMUCLDRHSNIOATE ";
        qsizetype anchor = -1;
        for (qsizetype i = 0; i < m_text.size() && anchor < 0; ++i) {
            const char c = m_text.at(i);
            if ((c < 'A' || c > 'Z') && c != ' ')
                anchor = i;
        }
        for (const char* letter = kByRarity; *letter && anchor < 0; ++letter)
            anchor = m_text.indexOf(*letter);
        m_anchor = anchor < 0 ? 0 : anchor;
        const char c = m_text.isEmpty() ? 0 : m_text.at(m_anchor);
        m_variants[0] = c;
        m_variantCount = 1;
        if (c >= 'A' && c <= 'Z')
            m_variants[m_variantCount++] = char(c - 'A' + 'a');
    }

    bool in(const char* text, size_t size) const
    {
        const size_t length = size_t(m_text.size());
        if (length == 0 || length > size)
            return length == 0;
        const size_t anchor = size_t(m_anchor);
        for (int v = 0; v < m_variantCount; ++v) {
            const char* from = text + anchor;
            const char* end = text + size - (length - anchor - 1);
            while (from < end) {
                const auto* at =
                    static_cast<const char*>(std::memchr(from, m_variants[v], size_t(end - from)));
                if (!at)
                    break;
                const char* start = at - anchor;
                size_t j = 0;
                while (j < length && asciiUpper(start[j]) == m_text.at(qsizetype(j)))
                    ++j;
                if (j == length)
                    return true;
                from = at + 1;
            }
        }
        return false;
    }

private:
    QByteArray m_text;
    qsizetype m_anchor = 0;
    char m_variants[2] = {0, 0};
    int m_variantCount = 0;
};

} // namespace

bool Store::findInSummaries(const std::vector<uint32_t>& channelIds, bool wholeTable,
                            const QString& text,
                            std::unordered_map<uint32_t, std::vector<uint32_t>>& found)
{
    found.clear();
    if (text.isEmpty() || channelIds.empty())
        return true;
    // The rows are stepped with SQLite's own calls and most summaries are looked at as the
    // bytes they are stored as: a summary of ASCII holds the text in upper case exactly when
    // it holds it in ASCII letters of either case, and so does any other summary that has no
    // character whose upper case holds an ASCII one. Only the rest are changed to upper case.
    sqlite3* handle = sqliteConnection(QStringLiteral("the summaries cannot be searched"));
    if (!handle)
        return false;
    // The pages are read through a mapping of the file rather than copied in one by one:
    // a search reads every summary of the channels.
    sqlite3_exec(handle, "PRAGMA mmap_size = 1073741824", nullptr, nullptr, nullptr);
    const QString upperText = text.toUpper();
    const bool upperIsAscii = isAscii(upperText);
    const AsciiFinder finder(upperIsAscii ? upperText.toLatin1() : QByteArray());
    const bool blankText = QStringView(text).trimmed().isEmpty();
    const auto matches = [&](const char* summary, size_t size) {
        if (!summary || size < size_t(upperIsAscii ? upperText.size() : 1))
            return false;
        bool in = false;
        if (upperIsAscii && finder.in(summary, size))
            in = true;
        else if (!isAsciiBytes(summary, size) &&
                 (!upperIsAscii || hasAsciiGivingCharacter(summary, size)))
            in = QString::fromUtf8(summary, qsizetype(size)).toUpper().contains(upperText);
        // A blank summary counts as none; a text with more than white space is in none.
        return in &&
               !(blankText &&
                 QStringView(QString::fromUtf8(summary, qsizetype(size))).trimmed().isEmpty());
    };
    // Every channel, or most stories: one pass over the table in its own order, which spares
    // a look-up of each row through the index.
    const std::unordered_set<uint32_t> wanted(channelIds.begin(), channelIds.end());
    sqlite3_stmt* q = nullptr;
    int rc = sqlite3_prepare_v2(handle,
                                wholeTable ? "SELECT channel_id, number, summary FROM stories"
                                           : "SELECT channel_id, number, summary FROM stories"
                                             " WHERE channel_id = ?",
                                -1, &q, nullptr);
    for (auto id = wanted.begin(); rc == SQLITE_OK && id != wanted.end(); ++id) {
        if (!wholeTable) {
            sqlite3_reset(q);
            sqlite3_bind_int64(q, 1, *id);
        }
        while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
            const auto channel = uint32_t(sqlite3_column_int64(q, 0));
            if (wholeTable && !wanted.count(channel))
                continue;
            // As bytes: asking for text would copy each summary to end it with a zero.
            const auto* summary = static_cast<const char*>(sqlite3_column_blob(q, 2));
            if (matches(summary, size_t(sqlite3_column_bytes(q, 2))))
                found[channel].push_back(uint32_t(sqlite3_column_int64(q, 1)));
        }
        if (rc == SQLITE_DONE)
            rc = wholeTable ? SQLITE_DONE : SQLITE_OK;
        if (wholeTable)
            break;
    }
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_OK;
    if (!ok)
        setError(QString::fromUtf8(sqlite3_errmsg(handle)));
    sqlite3_finalize(q);
    // Sorted here, not by SQLite: sorting the rows would copy every summary.
    for (auto& [channel, numbers] : found)
        std::sort(numbers.begin(), numbers.end());
    return ok;
}

QString Store::localCopyOf(const QString& link)
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT local_path FROM stories WHERE link = ? AND local_path <> '' LIMIT 1"));
    q.addBindValue(link);
    if (!q.exec() || !q.next())
        return QString();
    return q.value(0).toString();
}

Store::Transaction::Transaction(Store& store) : m_store(store)
{
    // The write lock is taken at the start, waiting for another writer like any statement.
    QSqlDatabase db = m_store.db();
    QSqlQuery q(db);
    m_open = db.isOpen() && q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_ok = m_open;
    if (!m_open)
        m_store.setError(db.isOpen() ? q.lastError().text() : db.lastError().text());
}

Store::Transaction::~Transaction()
{
    if (m_open)
        QSqlQuery(m_store.db()).exec(QStringLiteral("ROLLBACK"));
    m_store.forgetTexts(m_touched);
}

bool Store::Transaction::commit()
{
    if (!m_open)
        return false;
    m_open = false;
    // Texts read while the change was under way may be the old ones.
    m_store.forgetTexts(m_touched);
    m_touched.clear();
    QSqlQuery q(m_store.db());
    if (!m_ok) {
        q.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!q.exec(QStringLiteral("COMMIT"))) {
        m_store.setError(q.lastError().text());
        QSqlQuery(m_store.db()).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool Store::exec(Transaction& t, const QString& sql, const QVariantList& values)
{
    if (!t.ok())
        return false;
    QSqlQuery q(db());
    if (!q.prepare(sql)) {
        setError(q.lastError().text());
        t.fail();
        return false;
    }
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        setError(q.lastError().text());
        t.fail();
        return false;
    }
    return true;
}

void Store::saveMeta(Transaction& t, const QString& key, const QString& value)
{
    exec(t, QStringLiteral("INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?)"), {key, value});
}

void Store::saveChannel(Transaction& t, const Channel& c)
{
    QVariantList values = {c.id,
                           c.entryId,
                           c.name,
                           c.url,
                           c.categories,
                           c.homePage,
                           c.description,
                           int(c.enabled),
                           int(c.secure),
                           int(c.filtered),
                           int(c.homeServer),
                           c.filterWords.join('\n'),
                           c.logoFile,
                           c.logoUrl,
                           c.lastUpdated,
                           c.lastAttempt,
                           c.contentDate,
                           c.status,
                           c.nextStory};
    values << c.updateIntervalSecs << c.keepStories << c.lastError << c.lastErrorAt;
    exec(t,
         QStringLiteral(
             "INSERT OR REPLACE INTO channels (id, entry_id, name, url, categories, home_page,"
             " description, enabled, secure, filtered, home_server, filter_words, logo_file,"
             " logo_url, last_updated, last_attempt, content_date, status, next_story,"
             " update_interval, keep_stories, last_error, last_error_at)"
             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         values);
}

void Store::deleteChannel(Transaction& t, uint32_t channelId)
{
    {
        QMutexLocker lock(&m_textsMutex);
        m_texts.clear();
    }
    exec(t, QStringLiteral("DELETE FROM stories WHERE channel_id = ?"), {channelId});
    exec(t, QStringLiteral("DELETE FROM tombstones WHERE channel_id = ?"), {channelId});
    exec(t, QStringLiteral("DELETE FROM story_counts WHERE channel_id = ?"), {channelId});
    exec(t, QStringLiteral("DELETE FROM channels WHERE id = ?"), {channelId});
}

void Store::saveStory(Transaction& t, uint32_t channelId, const Story& s)
{
    if (!t.ok())
        return;
    t.m_touched.push_back(storyKey(channelId, s.number));
    // The long texts the record does not carry stay as stored.
    const int held = s.held & Story::AllParts;
    const QString name = connectionName();
    if (t_cached.connection != name) {
        t_cached.reset();
        t_cached.connection = name;
    }
    sqlite3* handle = sqliteConnection(QStringLiteral("a story cannot be stored"));
    if (!handle) {
        t.fail();
        return;
    }
    sqlite3_stmt*& q = t_cached.saveStory[held];
    if (!q) {
        QStringList columns = {"channel_id",
                               "number",
                               "identity",
                               "headline",
                               "link",
                               "published",
                               "received",
                               "category",
                               "read",
                               "keep",
                               "bundlet_id",
                               "bundlet_type",
                               "bundlet_signed",
                               "alerted",
                               "accessed",
                               "local_path",
                               "enclosure_url",
                               "enclosure_type",
                               "enclosure_length",
                               "alert_name",
                               "alert_channel",
                               "alert_story",
                               "extra",
                               "text_flags",
                               "summary_hash"};
        if (held & Story::SummaryPart)
            columns << QStringLiteral("summary");
        if (held & Story::HeaderPart)
            columns << QStringLiteral("header");
        if (held & Story::FooterPart)
            columns << QStringLiteral("footer");
        QStringList updates;
        for (int i = 2; i < columns.size(); ++i)
            updates << columns.at(i) + QStringLiteral(" = excluded.") + columns.at(i);
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        const QByteArray sql =
            QStringLiteral("INSERT INTO stories (%1) VALUES (%2) ON CONFLICT "
                           "(channel_id, number) DO UPDATE SET %3")
                .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")),
                     updates.join(QStringLiteral(", ")))
                .toUtf8();
        if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &q, nullptr) !=
            SQLITE_OK) {
            setError(QString::fromUtf8(sqlite3_errmsg(handle)));
            sqlite3_finalize(q);
            q = nullptr;
            t.fail();
            return;
        }
    }
    const auto [facts, hash] = s.currentTextFacts();
    const QString extra =
        s.extra.isEmpty() ? QString()
                          : QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(s.extra))
                                                  .toJson(QJsonDocument::Compact));
    int i = 0;
    // A null text is stored as NULL, an empty one as ''; the texts live until the row is
    // written.
    const auto text = [&](const QString& v) {
        ++i;
        if (v.isNull())
            sqlite3_bind_null(q, i);
        else
            sqlite3_bind_text16(q, i, v.utf16(), int(v.size() * 2), SQLITE_STATIC);
    };
    const auto number = [&](qint64 v) { sqlite3_bind_int64(q, ++i, v); };
    number(channelId);
    number(s.number);
    text(s.identity);
    text(s.headline);
    text(s.link);
    number(s.published);
    number(s.received);
    text(s.category);
    number(s.read);
    number(s.keep);
    number(s.bundletId);
    number(s.bundletType);
    number(s.bundletSigned);
    number(s.alerted);
    number(s.accessed);
    text(s.localPath);
    text(s.enclosureUrl);
    text(s.enclosureType);
    number(s.enclosureLength);
    text(s.alertName);
    number(s.alertChannelId);
    number(s.alertStoryId);
    text(extra);
    number(facts);
    if (hash == 0)
        sqlite3_bind_null(q, ++i);
    else
        number(qint64(hash));
    if (held & Story::SummaryPart)
        text(s.summary);
    if (held & Story::HeaderPart)
        text(s.header);
    if (held & Story::FooterPart)
        text(s.footer);
    const int rc = sqlite3_step(q);
    if (rc != SQLITE_DONE) {
        setError(QString::fromUtf8(sqlite3_errmsg(handle)));
        t.fail();
    }
    sqlite3_reset(q);
    sqlite3_clear_bindings(q);
}

void Store::deleteStory(Transaction& t, uint32_t channelId, uint32_t number)
{
    t.m_touched.push_back(storyKey(channelId, number));
    exec(t, QStringLiteral("DELETE FROM stories WHERE channel_id = ? AND number = ?"),
         {channelId, number});
}

void Store::saveTombstone(Transaction& t, uint32_t channelId, const QString& identity)
{
    exec(t, QStringLiteral("INSERT OR IGNORE INTO tombstones (channel_id, identity) VALUES (?, ?)"),
         {channelId, identity});
}

namespace
{
// Story numbers as one bound value that a statement reads as a table, `IN (%1)` standing for
// it: the statement's text stays the same whatever the count, so that it is parsed once and
// not thousands of numbers each time.
const QString kNumbersTable = QStringLiteral("SELECT value FROM json_each(?)");

QString numbersJson(const std::vector<uint32_t>& numbers)
{
    QString list;
    list.reserve(int(numbers.size()) * 7 + 2);
    list += QLatin1Char('[');
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i)
            list += QLatin1Char(',');
        list += QString::number(numbers[i]);
    }
    list += QLatin1Char(']');
    return list;
}

} // namespace

bool Store::select(const QString& sql, const QVariantList& values,
                   const std::function<void(const QSqlQuery&)>& row)
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        setError(q.lastError().text());
        return false;
    }
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        setError(q.lastError().text());
        return false;
    }
    while (q.next())
        row(q);
    return true;
}

bool Store::selectNumbers(const QString& sql, const QVariantList& values,
                          const std::vector<uint32_t>& numbers,
                          const std::function<void(const QSqlQuery&)>& row)
{
    if (numbers.empty())
        return true;
    return select(sql.arg(kNumbersTable), QVariantList(values) << numbersJson(numbers), row);
}

void Store::deleteStories(Transaction& t, uint32_t channelId, const std::vector<uint32_t>& numbers,
                          bool leaveTombstones)
{
    if (numbers.empty())
        return;
    for (uint32_t n : numbers)
        t.m_touched.push_back(storyKey(channelId, n));
    const QString list = numbersJson(numbers);
    if (leaveTombstones)
        exec(t,
             QStringLiteral("INSERT OR IGNORE INTO tombstones (channel_id, identity)"
                            " SELECT channel_id, identity FROM stories WHERE channel_id = ?"
                            " AND number IN (%1) AND identity IS NOT NULL AND identity <> ''")
                 .arg(kNumbersTable),
             {channelId, list});
    // The removed texts are overwritten in the pages the removal writes anyway, but the pages
    // it empties are left as they are instead of being written over with zeros too, which
    // made pruning write a third more. Compacting the store drops those pages.
    QSqlQuery secure(db());
    const int was = secure.exec(QStringLiteral("PRAGMA secure_delete")) && secure.next()
                        ? secure.value(0).toInt()
                        : -1;
    if (was == 1)
        secure.exec(QStringLiteral("PRAGMA secure_delete=FAST"));
    exec(t,
         QStringLiteral("DELETE FROM stories WHERE channel_id = ? AND number IN (%1)")
             .arg(kNumbersTable),
         {channelId, list});
    if (was == 1)
        secure.exec(QStringLiteral("PRAGMA secure_delete=ON"));
}

bool Store::pruneCandidates(uint32_t channelId, int keepNewest, qint64 receivedBefore,
                            std::vector<uint32_t>& numbers)
{
    numbers.clear();
    if (keepNewest <= 0 && receivedBefore <= 0)
        return true;
    // One pass over the channel's unkept stories, newest first: the first `keepNewest` stay
    // unless they are too old, every later one goes. The caller names the channel in its
    // message; the error says what failed.
    sqlite3* handle = sqliteConnection(QStringLiteral("reading them"));
    if (!handle)
        return false;
    int seen = 0;
    QString error;
    const bool ok = stepChannelRows(
        handle,
        "SELECT number, received FROM stories WHERE channel_id = ? AND coalesce(keep, 0) = 0"
        " ORDER BY received DESC, number DESC",
        channelId, error, [&](sqlite3_stmt* q) {
            const qint64 received = sqlite3_column_int64(q, 1);
            if ((keepNewest > 0 && seen >= keepNewest) ||
                (receivedBefore > 0 && received > 0 && received < receivedBefore))
                numbers.push_back(uint32_t(sqlite3_column_int64(q, 0)));
            ++seen;
        });
    if (!ok) {
        setError(error);
        numbers.clear();
        return false;
    }
    std::reverse(numbers.begin(), numbers.end()); // oldest first
    return true;
}

bool Store::unkeptStories(uint32_t channelId, const std::vector<uint32_t>& numbers,
                          std::vector<uint32_t>& out, QHash<uint32_t, QStringList>& files)
{
    out.clear();
    files.clear();
    return selectNumbers(
        QStringLiteral("SELECT number, local_path, extra FROM stories WHERE channel_id = ?"
                       " AND coalesce(keep, 0) = 0 AND number IN (%1) ORDER BY number"),
        {channelId}, numbers, [&](const QSqlQuery& q) {
            const uint32_t number = q.value(0).toUInt();
            out.push_back(number);
            Story s;
            s.localPath = q.value(1).toString();
            const QString extra = q.value(2).toString();
            if (!extra.isEmpty())
                s.extra = QJsonDocument::fromJson(extra.toUtf8()).object().toVariantMap();
            QStringList made = s.madeFiles();
            if (!made.isEmpty())
                files.insert(number, std::move(made));
        });
}

bool Store::unkeptAlertsOn(uint32_t alertsChannelId, uint32_t channelId,
                           const std::vector<uint32_t>& numbers, std::vector<uint32_t>& out)
{
    out.clear();
    return selectNumbers(QStringLiteral("SELECT number FROM stories WHERE channel_id = ?"
                                        " AND alert_channel = ? AND coalesce(keep, 0) = 0"
                                        " AND alert_story IN (%1) ORDER BY number"),
                         {alertsChannelId, channelId}, numbers,
                         [&](const QSqlQuery& q) { out.push_back(q.value(0).toUInt()); });
}

bool Store::storyCounts(uint32_t channelId, StoryCounts& out)
{
    out.clear();
    return select(
        QStringLiteral("SELECT category, total, unread FROM story_counts WHERE channel_id = ?"),
        {channelId}, [&](const QSqlQuery& q) {
            StoryCount& c = out[q.value(0).toString()];
            c.total = long(q.value(1).toLongLong());
            c.unread = long(q.value(2).toLongLong());
        });
}

void Store::checkpoint()
{
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")))
        std::fprintf(stderr, "vantrel: the store's journal cannot be folded into it: %s\n",
                     qPrintable(q.lastError().text()));
}

bool Store::compact()
{
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("VACUUM"))) {
        setError(q.lastError().text());
        return false;
    }
    // Fold the journal back into the file so that the size on disk shows the gain.
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}

void Store::saveEntry(Transaction& t, const DirEntry& e)
{
    exec(t,
         QStringLiteral("INSERT OR REPLACE INTO directory (id, name, url, categories, description,"
                        " home_page, flags, visibility, date, catalogue, attributes)"
                        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {e.id, e.name, e.url, e.categories, e.description, e.homePage, e.flags, e.visibility,
          e.date, e.catalogue, mapToJson(e.attributes)});
}

void Store::deleteEntry(Transaction& t, uint32_t entryId)
{
    exec(t, QStringLiteral("DELETE FROM directory WHERE id = ?"), {entryId});
}

void Store::saveRule(Transaction& t, const AlertRule& r)
{
    exec(t,
         QStringLiteral("INSERT OR REPLACE INTO alert_rules (id, name, words, category, enabled,"
                        " headlines_only, whole_words, match_case, watch_channels,"
                        " watch_categories) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {r.id, r.name, r.words.join('\n'), r.category, int(r.enabled), int(r.headlinesOnly),
          int(r.wholeWords), int(r.matchCase), idsToText(r.channels), r.categories.join('\n')});
}

void Store::saveFilter(Transaction& t, const FilterRule& f, int position)
{
    exec(t,
         QStringLiteral("INSERT OR REPLACE INTO filter_rules (id, position, name, enabled,"
                        " match_all, conditions, action, alert_name)"
                        " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
         {f.id, position, f.name, int(f.enabled), int(f.matchAll), conditionsToJson(f.conditions),
          int(f.action), f.alertName});
}

void Store::deleteAllFilters(Transaction& t)
{
    exec(t, QStringLiteral("DELETE FROM filter_rules"), {});
}

void Store::deleteRule(Transaction& t, uint32_t ruleId)
{
    exec(t, QStringLiteral("DELETE FROM alert_rules WHERE id = ?"), {ruleId});
}

} // namespace vantrel
