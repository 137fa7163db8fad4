#include "vantrel/core/store.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstdio>

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

// The prepared story writer of the current thread, kept for speed (a feed update writes many).
struct CachedStatements {
    QString connection;
    std::unique_ptr<QSqlQuery> saveStory;
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

// Columns later versions added. Each is added only when the store lacks it, so that adding
// them again (a store that another version of the engine migrated) changes nothing.
struct AddedColumn {
    const char* table;
    const char* column;
    const char* definition;
};
const AddedColumn kAddedColumns[] = {
    {"channels", "update_interval", "INTEGER NOT NULL DEFAULT 0"},
    {"channels", "keep_stories", "INTEGER NOT NULL DEFAULT 0"},
    {"channels", "last_error", "TEXT NOT NULL DEFAULT ''"},
    {"channels", "last_error_at", "INTEGER NOT NULL DEFAULT 0"},
};

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
    : m_path(path), m_lockWaitMs(std::max(0, lockWaitMs)), m_serial(++g_storeSerial)
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
    for (const char* pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=OFF"}) {
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
    if (t_cached.connection == name) {
        t_cached.saveStory.reset();
        t_cached.connection.clear();
    }
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
    for (const char* sql : kSchema) {
        if (!q.exec(QString::fromLatin1(sql)))
            return rollback();
    }
    for (const AddedColumn& added : kAddedColumns) {
        if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(added.table))))
            return rollback();
        bool present = false;
        while (q.next())
            present = present || q.value(1).toString() == QLatin1String(added.column);
        q.finish();
        if (!present && !q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                    .arg(QLatin1String(added.table), QLatin1String(added.column),
                                         QLatin1String(added.definition))))
            return rollback();
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)))
        return rollback();
    if (!q.exec(QStringLiteral("COMMIT")))
        return rollback();
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
    if (!q.exec(QStringLiteral(
            "SELECT channel_id, number, identity, headline, summary, link, published, received,"
            " category, read, keep, bundlet_id, bundlet_type, bundlet_signed, alerted, accessed,"
            " local_path, header, footer, enclosure_url, enclosure_type, enclosure_length,"
            " alert_name, alert_channel, alert_story, extra FROM stories"
            " ORDER BY channel_id, number")))
        return fail();
    Channel* current = nullptr;
    uint32_t currentId = 0;
    while (q.next()) {
        const uint32_t cid = q.value(0).toUInt();
        if (!current || cid != currentId) {
            current = byId.value(cid, nullptr);
            currentId = cid;
        }
        if (!current)
            continue; // a story of a channel that is gone: left alone
        Story s;
        s.number = q.value(1).toUInt();
        s.identity = q.value(2).toString();
        s.headline = q.value(3).toString();
        s.summary = q.value(4).toString();
        s.link = q.value(5).toString();
        s.published = q.value(6).toLongLong();
        s.received = q.value(7).toLongLong();
        s.category = q.value(8).toString();
        s.read = q.value(9).toUInt();
        s.keep = q.value(10).toUInt();
        s.bundletId = q.value(11).toUInt();
        s.bundletType = q.value(12).toUInt();
        s.bundletSigned = q.value(13).toUInt();
        s.alerted = q.value(14).toUInt();
        s.accessed = q.value(15).toUInt();
        s.localPath = q.value(16).toString();
        s.header = q.value(17).toString();
        s.footer = q.value(18).toString();
        s.enclosureUrl = q.value(19).toString();
        s.enclosureType = q.value(20).toString();
        s.enclosureLength = q.value(21).toLongLong();
        s.alertName = q.value(22).toString();
        s.alertChannelId = q.value(23).toUInt();
        s.alertStoryId = q.value(24).toUInt();
        const QString extra = q.value(25).toString();
        if (!extra.isEmpty())
            s.extra = QJsonDocument::fromJson(extra.toUtf8()).object().toVariantMap();
        current->stories.push_back(std::move(s));
    }
    if (rowsFailed())
        return fail();
    for (auto* c : byId) {
        c->reindex();
        for (const Story& s : c->stories)
            c->nextStory = std::max(c->nextStory, s.number + 1);
    }

    if (rowsFailed())
        return fail();
    if (!q.exec(QStringLiteral("SELECT channel_id, identity FROM tombstones")))
        return fail();
    while (q.next()) {
        if (Channel* c = byId.value(q.value(0).toUInt(), nullptr))
            c->tombstones.insert(q.value(1).toString());
    }

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
    if (!q.exec(QStringLiteral("SELECT id, name, words, category FROM alert_rules ORDER BY id")))
        return fail();
    while (q.next()) {
        AlertRule r;
        r.id = q.value(0).toUInt();
        r.name = q.value(1).toString();
        r.words = q.value(2).toString().split('\n', Qt::SkipEmptyParts);
        r.category = q.value(3).toString();
        out.rules.push_back(std::move(r));
    }
    if (rowsFailed())
        return fail();
    q.finish();
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail();
    return true;
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
}

bool Store::Transaction::commit()
{
    if (!m_open)
        return false;
    m_open = false;
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
    exec(t, QStringLiteral("DELETE FROM stories WHERE channel_id = ?"), {channelId});
    exec(t, QStringLiteral("DELETE FROM tombstones WHERE channel_id = ?"), {channelId});
    exec(t, QStringLiteral("DELETE FROM channels WHERE id = ?"), {channelId});
}

void Store::saveStory(Transaction& t, uint32_t channelId, const Story& s)
{
    if (!t.ok())
        return;
    const QString name = connectionName();
    if (t_cached.connection != name || !t_cached.saveStory) {
        t_cached.saveStory.reset();
        t_cached.connection = name;
        auto q = std::make_unique<QSqlQuery>(db());
        if (!q->prepare(QStringLiteral(
                "INSERT OR REPLACE INTO stories (channel_id, number, identity, headline, summary,"
                " link, published, received, category, read, keep, bundlet_id, bundlet_type,"
                " bundlet_signed, alerted, accessed, local_path, header, footer, enclosure_url,"
                " enclosure_type, enclosure_length, alert_name, alert_channel, alert_story, extra)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                " ?, ?)"))) {
            setError(q->lastError().text());
            t.fail();
            return;
        }
        t_cached.saveStory = std::move(q);
    }
    QSqlQuery& q = *t_cached.saveStory;
    const QVariantList values = {
        channelId,
        s.number,
        s.identity,
        s.headline,
        s.summary,
        s.link,
        s.published,
        s.received,
        s.category,
        s.read,
        s.keep,
        s.bundletId,
        s.bundletType,
        s.bundletSigned,
        s.alerted,
        s.accessed,
        s.localPath,
        s.header,
        s.footer,
        s.enclosureUrl,
        s.enclosureType,
        s.enclosureLength,
        s.alertName,
        s.alertChannelId,
        s.alertStoryId,
        s.extra.isEmpty() ? QString()
                          : QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(s.extra))
                                                  .toJson(QJsonDocument::Compact))};
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec()) {
        setError(q.lastError().text());
        t.fail();
    }
}

void Store::deleteStory(Transaction& t, uint32_t channelId, uint32_t number)
{
    exec(t, QStringLiteral("DELETE FROM stories WHERE channel_id = ? AND number = ?"),
         {channelId, number});
}

void Store::saveTombstone(Transaction& t, uint32_t channelId, const QString& identity)
{
    exec(t, QStringLiteral("INSERT OR IGNORE INTO tombstones (channel_id, identity) VALUES (?, ?)"),
         {channelId, identity});
}

void Store::deleteStories(Transaction& t, uint32_t channelId, const std::vector<uint32_t>& numbers,
                          bool leaveTombstones)
{
    // The numbers go into the statements' text, a few hundred at a time: they are numbers the
    // engine made, and one statement for many rows is far faster than one for each.
    constexpr size_t kChunk = 500;
    for (size_t i = 0; i < numbers.size() && t.ok(); i += kChunk) {
        QString list;
        for (size_t j = i; j < std::min(numbers.size(), i + kChunk); ++j) {
            if (j > i)
                list += QLatin1Char(',');
            list += QString::number(numbers[j]);
        }
        if (leaveTombstones)
            exec(t,
                 QStringLiteral("INSERT OR IGNORE INTO tombstones (channel_id, identity)"
                                " SELECT channel_id, identity FROM stories WHERE channel_id = ?"
                                " AND number IN (%1) AND identity IS NOT NULL AND identity <> ''")
                     .arg(list),
                 {channelId});
        exec(
            t,
            QStringLiteral("DELETE FROM stories WHERE channel_id = ? AND number IN (%1)").arg(list),
            {channelId});
    }
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
         QStringLiteral(
             "INSERT OR REPLACE INTO alert_rules (id, name, words, category) VALUES (?, ?, ?, ?)"),
         {r.id, r.name, r.words.join('\n'), r.category});
}

void Store::deleteRule(Transaction& t, uint32_t ruleId)
{
    exec(t, QStringLiteral("DELETE FROM alert_rules WHERE id = ?"), {ruleId});
}

} // namespace vantrel
