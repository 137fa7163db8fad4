#include "src/platform/settingsstore.h"

#include "src/platform/internal/regfile.h"
#include "src/platform/internal/testreset.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

using detail::RegKey;

// ---------------------------------------------------------------------------------------------
// SettingsValue

SettingsValue SettingsValue::fromNumber(DWORD value)
{
    SettingsValue v;
    v.type = REG_DWORD;
    v.number = value;
    return v;
}

SettingsValue SettingsValue::fromText(const QString& value)
{
    SettingsValue v;
    v.type = REG_SZ;
    v.text = value;
    return v;
}

SettingsValue SettingsValue::fromBinary(const QByteArray& value, DWORD type)
{
    SettingsValue v;
    v.type = type;
    v.data = value;
    return v;
}

bool SettingsValue::operator==(const SettingsValue& other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case REG_DWORD:
        return number == other.number;
    case REG_SZ:
    case REG_EXPAND_SZ:
        return text == other.text;
    default:
        return data == other.data;
    }
}

QString rootName(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                      : QStringLiteral("HKEY_CURRENT_USER");
}

// ---------------------------------------------------------------------------------------------
// The store

namespace
{

// What identifies one version of a file: a write always renames a new file into place, so the
// inode changes with every write; size and time catch editors that rewrite in place.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 mtimeNs = 0;

    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               mtimeNs == o.mtimeNs;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

FileStamp stampOf(const QString& path)
{
    FileStamp s;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        s.exists = true;
        s.device = st.st_dev;
        s.inode = st.st_ino;
        s.size = st.st_size;
        s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return s;
}

QString userFilePath()
{
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Vantrel/user.reg");
}

QString machineFilePath()
{
    const QString path = QFile::decodeName(qgetenv("READHALL_MACHINE_SETTINGS"));
    return path.isEmpty() ? QStringLiteral("/etc/vantrel/machine.reg") : path;
}

// Holds an exclusive flock on "<file>.lock" for the life of the object. Without wait, the
// lock is only taken when nobody holds it.
class FileLock
{
public:
    explicit FileLock(const QString& filePath, bool wait = true)
    {
        const QByteArray lockPath = QFile::encodeName(filePath + QStringLiteral(".lock"));
        m_fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        int rc;
        do {
            rc = ::flock(m_fd, LOCK_EX | (wait ? 0 : LOCK_NB));
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FileLock()
    {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_UN);
            ::close(m_fd);
        }
    }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

bool writeAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The name pattern of the temporary copies a write makes beside the file.
QString temporaryFilePattern(const QFileInfo& info)
{
    return QStringLiteral(".") + info.fileName() + QStringLiteral(".tmp-");
}

// Writes the file as a whole: a temporary file in the same folder, flushed to disk, then
// renamed over the old one, so a reader sees either the old or the new file, never a mix.
bool replaceFileAtomically(const QString& path, const QByteArray& contents, QString* error)
{
    const QFileInfo info(path);
    QByteArray tmpl = QFile::encodeName(info.absolutePath() + QLatin1Char('/') +
                                        temporaryFilePattern(info) + QStringLiteral("XXXXXX"));
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    bool ok = writeAll(fd, contents) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmpl.constData(), QFile::encodeName(path).constData()) != 0)
        ok = false;
    if (!ok) {
        *error = QString::fromLocal8Bit(std::strerror(errno ? errno : savedErrno));
        ::unlink(tmpl.constData());
        return false;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(QFile::encodeName(info.absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

QStringList splitPath(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

} // namespace

struct SettingsStore::Private {
    struct Root {
        HKEY id = HKEY_CURRENT_USER;
        QString path;
        bool loaded = false;
        FileStamp stamp;
        RegKey tree;
        // The file is damaged and could not be moved aside: it must not be overwritten.
        bool blocked = false;
        // Temporary copies left by killed writes were looked for.
        bool leftoversRemoved = false;
    };

    QMutex mutex;
    Root user;
    Root machine;
    bool machineWritable = false;

    Root& root(HKEY id) { return id == HKEY_LOCAL_MACHINE ? machine : user; }

    void resetPaths()
    {
        user = Root();
        user.id = HKEY_CURRENT_USER;
        user.path = userFilePath();
        machine = Root();
        machine.id = HKEY_LOCAL_MACHINE;
        machine.path = machineFilePath();
    }

    // Brings the cached tree up to date with the file. Under the write lock (lockHeld) a
    // damaged file is moved aside at once; without it the lock is taken for that step.
    void refresh(Root& r, bool lockHeld)
    {
        if (!r.leftoversRemoved && writable(r.id))
            removeLeftovers(r, lockHeld);
        const FileStamp now = stampOf(r.path);
        if (r.loaded && now == r.stamp)
            return;
        r.loaded = true;
        r.stamp = now;
        r.blocked = false;
        r.tree = RegKey();
        if (!now.exists)
            return;

        QFile file(r.path);
        if (!file.open(QIODevice::ReadOnly)) {
            setAside(r, now, QStringLiteral("it cannot be read: ") + file.errorString(), lockHeld);
            return;
        }
        const QByteArray bytes = file.readAll();
        file.close();
        detail::RegParseResult parsed = detail::parseRegFile(bytes, rootName(r.id));
        if (!parsed.ok) {
            setAside(r, now, parsed.error, lockHeld);
            return;
        }
        r.tree = std::move(parsed.root);
    }

    // A write that was killed half-way leaves its temporary copy (a whole copy of the
    // settings) behind. Every write makes and renames its copy while it holds the lock, so
    // the copies found while this process holds it belong to no live writer. When another
    // process holds the lock now, the next look tries again.
    void removeLeftovers(Root& r, bool lockHeld)
    {
        const QFileInfo info(r.path);
        QDir folder = info.absoluteDir();
        if (!folder.exists()) {
            r.leftoversRemoved = true;
            return;
        }
        std::unique_ptr<FileLock> lock;
        if (!lockHeld) {
            lock = std::make_unique<FileLock>(r.path, false);
            if (!lock->held())
                return;
        }
        r.leftoversRemoved = true;
        const QStringList leftovers =
            folder.entryList({temporaryFilePattern(info) + QLatin1Char('*')},
                             QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : leftovers)
            folder.remove(name);
    }

    // Moves a damaged file aside (never overwriting it) and starts the root empty.
    void setAside(Root& r, const FileStamp& seen, const QString& reason, bool lockHeld)
    {
        std::unique_ptr<FileLock> lock;
        if (!lockHeld) {
            lock = std::make_unique<FileLock>(r.path);
            if (!lock->held()) {
                std::fprintf(stderr,
                             "Readhall: the settings file %s is damaged (%s) and cannot be "
                             "locked to move it aside. The settings are empty and will not be "
                             "saved.\n",
                             qPrintable(r.path), qPrintable(reason));
                r.stamp = seen;
                r.blocked = true;
                r.tree = RegKey();
                r.loaded = true;
                return;
            }
        }
        // Another process may have replaced the file meanwhile: then read that one instead.
        if (stampOf(r.path) != seen) {
            r.loaded = false;
            refresh(r, true);
            return;
        }
        const QString aside =
            r.path + QStringLiteral(".damaged-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString target = aside;
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = aside + QLatin1Char('-') + QString::number(n);
        const bool moved = ::rename(QFile::encodeName(r.path).constData(),
                                    QFile::encodeName(target).constData()) == 0;
        const int renameErrno = errno;
        if (moved) {
            std::fprintf(stderr,
                         "Readhall: the settings file %s is damaged (%s). It was kept as %s; "
                         "the settings start empty.\n",
                         qPrintable(r.path), qPrintable(reason), qPrintable(target));
            r.stamp = stampOf(r.path);
            r.blocked = false;
        } else {
            std::fprintf(stderr,
                         "Readhall: the settings file %s is damaged (%s) and could not be moved "
                         "aside (%s). The settings are empty and will not be saved.\n",
                         qPrintable(r.path), qPrintable(reason), std::strerror(renameErrno));
            r.stamp = seen;
            r.blocked = true;
        }
        r.tree = RegKey();
        r.loaded = true;
    }

    bool writable(HKEY id) const { return id == HKEY_CURRENT_USER || machineWritable; }

    // The read-modify-write cycle of every change. change answers whether it changed the
    // tree (false: nothing to write, the call fails).
    template <typename Change> bool modify(HKEY id, Change change)
    {
        if (!writable(id))
            return false;
        Root& r = root(id);
        const QFileInfo info(r.path);
        if (!QDir().mkpath(info.absolutePath()))
            return false;
        FileLock lock(r.path);
        if (!lock.held()) {
            std::fprintf(stderr, "Readhall: cannot lock the settings file %s: %s\n",
                         qPrintable(r.path), std::strerror(errno));
            return false;
        }
        refresh(r, true);
        if (r.blocked)
            return false;
        if (!change(r.tree))
            return false;
        QString error;
        if (!replaceFileAtomically(r.path, detail::writeRegFile(r.tree, rootName(id)), &error)) {
            std::fprintf(stderr, "Readhall: cannot save the settings file %s: %s\n",
                         qPrintable(r.path), qPrintable(error));
            r.loaded = false; // the cache holds a change the file does not
            return false;
        }
        r.stamp = stampOf(r.path);
        return true;
    }

    const RegKey* findKey(HKEY id, const QString& path)
    {
        Root& r = root(id);
        refresh(r, false);
        return r.tree.find(splitPath(path));
    }
};

SettingsStore::SettingsStore() : d(std::make_unique<Private>())
{
    d->resetPaths();
}

SettingsStore::~SettingsStore() = default;

SettingsStore& SettingsStore::instance()
{
    // Never destroyed: objects of static lifetime save settings when they are destroyed.
    static SettingsStore* store = new SettingsStore;
    return *store;
}

QString SettingsStore::filePath(HKEY root) const
{
    QMutexLocker lock(&d->mutex);
    return d->root(root).path;
}

void SettingsStore::reset()
{
    QMutexLocker lock(&d->mutex);
    d->resetPaths();
    d->machineWritable = false;
}

void SettingsStore::setMachineRootWritable(bool writable)
{
    QMutexLocker lock(&d->mutex);
    d->machineWritable = writable;
}

bool SettingsStore::isWritable(HKEY root) const
{
    QMutexLocker lock(&d->mutex);
    return d->writable(root);
}

bool SettingsStore::keyExists(HKEY root, const QString& path)
{
    QMutexLocker lock(&d->mutex);
    return d->findKey(root, path) != nullptr;
}

bool SettingsStore::createKey(HKEY root, const QString& path)
{
    const QStringList parts = splitPath(path);
    if (parts.isEmpty() || !detail::validKeyPath(parts))
        return false;
    QMutexLocker lock(&d->mutex);
    if (!d->writable(root))
        return false;
    if (d->findKey(root, path))
        return true;
    return d->modify(root, [&](RegKey& tree) {
        tree.ensure(parts);
        return true;
    });
}

bool SettingsStore::deleteKeyTree(HKEY root, const QString& path)
{
    const QStringList parts = splitPath(path);
    if (parts.isEmpty())
        return false;
    QMutexLocker lock(&d->mutex);
    return d->modify(root, [&](RegKey& tree) { return tree.remove(parts); });
}

std::optional<SettingsValue> SettingsStore::readValue(HKEY root, const QString& path,
                                                      const QString& name)
{
    QMutexLocker lock(&d->mutex);
    const RegKey* key = d->findKey(root, path);
    if (!key)
        return std::nullopt;
    const SettingsValue* value = key->value(name);
    if (!value)
        return std::nullopt;
    return *value;
}

bool SettingsStore::writeValue(HKEY root, const QString& path, const QString& name,
                               const SettingsValue& value)
{
    const QStringList parts = splitPath(path);
    if (parts.isEmpty() || !detail::validKeyPath(parts) || !detail::validValueName(name))
        return false;
    if (value.type > 0xFFFF)
        return false;
    QMutexLocker lock(&d->mutex);
    return d->modify(root, [&](RegKey& tree) {
        tree.ensure(parts)->setValue(name, value);
        return true;
    });
}

bool SettingsStore::deleteValue(HKEY root, const QString& path, const QString& name)
{
    const QStringList parts = splitPath(path);
    QMutexLocker lock(&d->mutex);
    {
        const RegKey* key = d->findKey(root, path);
        if (!key || !key->value(name))
            return false;
    }
    return d->modify(root, [&](RegKey& tree) {
        RegKey* key = tree.find(parts);
        return key && key->removeValue(name);
    });
}

QStringList SettingsStore::subKeyNames(HKEY root, const QString& path)
{
    QMutexLocker lock(&d->mutex);
    const RegKey* key = d->findKey(root, path);
    return key ? key->childNames() : QStringList();
}

QStringList SettingsStore::valueNames(HKEY root, const QString& path)
{
    QMutexLocker lock(&d->mutex);
    const RegKey* key = d->findKey(root, path);
    return key ? key->valueNames() : QStringList();
}

// ---------------------------------------------------------------------------------------------
// SettingsKey

SettingsKey::SettingsKey(HKEY root, QString path, bool writable)
    : m_root(root), m_path(std::move(path)), m_writable(writable), m_valid(true)
{
}

SettingsKey SettingsKey::create(HKEY root, const QString& path)
{
    if (!SettingsStore::instance().createKey(root, path))
        return SettingsKey();
    return SettingsKey(root, path, true);
}

SettingsKey SettingsKey::open(HKEY root, const QString& path, bool writable)
{
    if (splitPath(path).isEmpty() || !SettingsStore::instance().keyExists(root, path))
        return SettingsKey();
    if (writable && !SettingsStore::instance().isWritable(root))
        return SettingsKey();
    return SettingsKey(root, path, writable);
}

std::optional<SettingsValue> SettingsKey::readValue(const QString& name) const
{
    if (!m_valid)
        return std::nullopt;
    return SettingsStore::instance().readValue(m_root, m_path, name);
}

bool SettingsKey::readNumber(const QString& name, DWORD& out) const
{
    const auto v = readValue(name);
    if (!v || v->type != REG_DWORD)
        return false;
    out = v->number;
    return true;
}

bool SettingsKey::readText(const QString& name, QString& out) const
{
    const auto v = readValue(name);
    if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ))
        return false;
    out = v->text;
    return true;
}

bool SettingsKey::readBinary(const QString& name, QByteArray& out) const
{
    const auto v = readValue(name);
    if (!v || v->type != REG_BINARY)
        return false;
    out = v->data;
    return true;
}

bool SettingsKey::hasValue(const QString& name) const
{
    return readValue(name).has_value();
}

DWORD SettingsKey::valueType(const QString& name) const
{
    const auto v = readValue(name);
    return v ? v->type : REG_NONE;
}

bool SettingsKey::writeValue(const QString& name, const SettingsValue& value)
{
    if (!m_valid || !m_writable)
        return false;
    return SettingsStore::instance().writeValue(m_root, m_path, name, value);
}

bool SettingsKey::writeNumber(const QString& name, DWORD value)
{
    return writeValue(name, SettingsValue::fromNumber(value));
}

bool SettingsKey::writeText(const QString& name, const QString& value)
{
    return writeValue(name, SettingsValue::fromText(value));
}

bool SettingsKey::writeBinary(const QString& name, const QByteArray& value)
{
    return writeValue(name, SettingsValue::fromBinary(value));
}

bool SettingsKey::deleteValue(const QString& name)
{
    if (!m_valid || !m_writable)
        return false;
    return SettingsStore::instance().deleteValue(m_root, m_path, name);
}

QStringList SettingsKey::subKeyNames() const
{
    return m_valid ? SettingsStore::instance().subKeyNames(m_root, m_path) : QStringList();
}

QStringList SettingsKey::valueNames() const
{
    return m_valid ? SettingsStore::instance().valueNames(m_root, m_path) : QStringList();
}

SettingsKey SettingsKey::createSubKey(const QString& relativePath) const
{
    if (!m_valid || !m_writable || splitPath(relativePath).isEmpty())
        return SettingsKey();
    return create(m_root, m_path + QLatin1Char('\\') + relativePath);
}

SettingsKey SettingsKey::openSubKey(const QString& relativePath, bool writable) const
{
    if (!m_valid || splitPath(relativePath).isEmpty())
        return SettingsKey();
    return open(m_root, m_path + QLatin1Char('\\') + relativePath, writable && m_writable);
}

bool SettingsKey::deleteSubKeyTree(const QString& relativePath)
{
    if (!m_valid || !m_writable || splitPath(relativePath).isEmpty())
        return false;
    return SettingsStore::instance().deleteKeyTree(m_root,
                                                   m_path + QLatin1Char('\\') + relativePath);
}

namespace
{
void resetStore()
{
    SettingsStore::instance().reset();
}
const detail::PerTestReset registerReset(&resetStore);
} // namespace

} // namespace platform
