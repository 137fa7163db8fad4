#include "src/platform/resources.h"

#include "src/platform/internal/testreset.h"

#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <QtDebug>

namespace
{

const QString kStringTableResource = QStringLiteral(":/strings/strings.tsv");

struct StringTable {
    QMutex mutex;
    bool loaded = false;
    QHash<UINT, QString> strings;
};

StringTable& stringTable()
{
    // Never destroyed: windows and objects of static lifetime may use it during exit.
    static StringTable* t = new StringTable;
    return *t;
}

QString unescape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (next == QLatin1Char('t')) {
                out += QLatin1Char('\t');
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QHash<UINT, QString> parseTable(const QByteArray& data, const QString& source)
{
    QHash<UINT, QString> strings;
    const QStringList lines = QString::fromUtf8(data).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const UINT id = tab > 0 ? line.left(tab).toUInt(&ok, 10) : 0;
        if (!ok) {
            qWarning("String table %s, line %d: not \"<id><TAB><text>\"; skipped",
                     qPrintable(source), i + 1);
            continue;
        }
        strings.insert(id, unescape(line.mid(tab + 1)));
    }
    return strings;
}

void ensureLoaded(StringTable& t)
{
    if (t.loaded)
        return;
    // Until the program's resources are registered the table is not there yet: look again
    // at the next call rather than keeping an empty table.
    QFile file(kStringTableResource);
    if (!file.open(QIODevice::ReadOnly))
        return;
    t.strings = parseTable(file.readAll(), kStringTableResource);
    t.loaded = true;
}

} // namespace

QPixmap LoadBitmapResource(UINT id)
{
    return LoadPictureFile(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

QPixmap LoadPictureFile(const QString& path)
{
    if (path.isEmpty())
        return QPixmap();
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return QPixmap();
    return QPixmap::fromImage(image);
}

QSize GetBitmapSize(const QPixmap& picture)
{
    return picture.isNull() ? QSize() : picture.size();
}

QString LoadString(UINT id)
{
    StringTable& t = stringTable();
    QMutexLocker lock(&t.mutex);
    ensureLoaded(t);
    return t.strings.value(id);
}

QString LoadStringOr(UINT id, const char* fallback)
{
    const QString text = LoadString(id);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

namespace platform
{

int loadStringTable(const QByteArray& data)
{
    QHash<UINT, QString> strings = parseTable(data, QStringLiteral("(given)"));
    StringTable& t = stringTable();
    QMutexLocker lock(&t.mutex);
    t.strings = std::move(strings);
    t.loaded = true;
    return int(t.strings.size());
}

int loadStringTableFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("String table %s cannot be read: %s", qPrintable(path),
                 qPrintable(file.errorString()));
        return 0;
    }
    QHash<UINT, QString> strings = parseTable(file.readAll(), path);
    StringTable& t = stringTable();
    QMutexLocker lock(&t.mutex);
    t.strings = std::move(strings);
    t.loaded = true;
    return int(t.strings.size());
}

void resetStringTable()
{
    StringTable& t = stringTable();
    QMutexLocker lock(&t.mutex);
    t.strings.clear();
    t.loaded = false;
}

namespace
{
const detail::PerTestReset registerReset(&resetStringTable);
}

} // namespace platform
