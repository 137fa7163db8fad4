// The feed corpus: every document in tests/feeds/corpus is read, and what it gives is compared
// with the sidecar file next to it (see generate.py there for the sidecar's form).

#include "tests/feeds/qtprinters.h"
#include "vantrel/core/feeds/feeds.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

using namespace vantrel::feeds;

namespace
{

QString dateText(const QDateTime& date)
{
    if (!date.isValid())
        return QString();
    return date.toUTC().toString(date.time().msec() ? Qt::ISODateWithMs : Qt::ISODate);
}

QString statusText(ParseStatus status)
{
    switch (status) {
    case ParseStatus::Complete:
        return QStringLiteral("complete");
    case ParseStatus::Partial:
        return QStringLiteral("partial");
    case ParseStatus::Failed:
        return QStringLiteral("failed");
    case ParseStatus::Cancelled:
        return QStringLiteral("cancelled");
    }
    return QString();
}

QString itemField(const Item& item, const QString& name, bool& known)
{
    known = true;
    if (name == QLatin1String("identity"))
        return item.identity;
    if (name == QLatin1String("headline"))
        return item.headline;
    if (name == QLatin1String("summary"))
        return item.summary;
    if (name == QLatin1String("link"))
        return item.link;
    if (name == QLatin1String("published"))
        return dateText(item.published);
    if (name == QLatin1String("updated"))
        return dateText(item.updated);
    if (name == QLatin1String("categories"))
        return item.categories.join(QLatin1String(" | "));
    if (name == QLatin1String("author"))
        return item.author;
    if (name == QLatin1String("thumbnail"))
        return item.thumbnailUrl;
    if (name == QLatin1String("duration"))
        return QString::number(item.durationSeconds);
    if (name == QLatin1String("enclosure.url"))
        return item.enclosure.url;
    if (name == QLatin1String("enclosure.type"))
        return item.enclosure.mimeType;
    if (name == QLatin1String("enclosure.length"))
        return QString::number(item.enclosure.length);
    known = false;
    return QString();
}

// The value a sidecar key names; known is false for a key the corpus should not use.
QString field(const ParseResult& result, const QString& key, bool& known)
{
    known = true;
    const Feed& feed = result.feed;
    if (key == QLatin1String("status"))
        return statusText(result.status);
    if (key == QLatin1String("error"))
        return result.error;
    if (key == QLatin1String("title"))
        return feed.title;
    if (key == QLatin1String("homePage"))
        return feed.homePage;
    if (key == QLatin1String("description"))
        return feed.description;
    if (key == QLatin1String("logoUrl"))
        return feed.logoUrl;
    if (key == QLatin1String("updated"))
        return dateText(feed.updated);
    if (key == QLatin1String("author"))
        return feed.author;
    if (key == QLatin1String("categories"))
        return feed.categories.join(QLatin1String(" | "));
    if (key == QLatin1String("items"))
        return QString::number(feed.items.size());
    if (key.startsWith(QLatin1String("item"))) {
        const int dot = key.indexOf('.');
        bool isNumber = false;
        const int index = key.mid(4, dot - 4).toInt(&isNumber);
        if (dot > 4 && isNumber) {
            if (index >= int(feed.items.size()))
                return QStringLiteral("<no item %1>").arg(index);
            return itemField(feed.items[size_t(index)], key.mid(dot + 1), known);
        }
    }
    known = false;
    return QString();
}

QString unescape(const QString& value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar c = value[++i];
            out += c == 'n' ? QChar('\n') : c == 't' ? QChar('\t') : c == 's' ? QChar(' ') : c;
        } else {
            out += value[i];
        }
    }
    return out;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(FeedCorpus, EveryDocumentReadsAsItsSidecarSays)
{
    QStringList sidecars;
    QDirIterator it(QStringLiteral(FEEDS_CORPUS_DIR), {QStringLiteral("*.expect")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        sidecars << it.next();
    sidecars.sort();
    ASSERT_GE(sidecars.size(), 300) << "the corpus is missing";

    for (const QString& sidecar : std::as_const(sidecars)) {
        const QString document = sidecar.chopped(int(strlen(".expect")));
        SCOPED_TRACE(document.toStdString());
        ParseOptions options;
        options.documentUrl = QUrl(QStringLiteral("http://example.org/feeds/main.xml"));
        struct Check {
            int line;
            QString key, op, value;
        };
        std::vector<Check> checks;
        const QStringList lines = QString::fromUtf8(readFile(sidecar)).split('\n');
        for (int n = 0; n < lines.size(); ++n) {
            const QString line = lines[n].trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const int space = line.indexOf(' ');
            const int valueAt = line.indexOf(' ', space + 1);
            const QString key = line.left(space);
            const QString op =
                line.mid(space + 1, (valueAt < 0 ? line.size() : valueAt) - space - 1);
            const QString value =
                valueAt < 0 ? QString() : unescape(line.mid(valueAt + 1).trimmed());
            if (key == QLatin1String("@url"))
                options.documentUrl = QUrl(value);
            else if (key == QLatin1String("@content-type"))
                options.contentType = value;
            else
                checks.push_back({n + 1, key, op, value});
        }
        ASSERT_FALSE(checks.empty()) << "a sidecar without expectations";

        const ParseResult result = parseFeed(readFile(document), options);
        for (const Check& c : checks) {
            bool known = false;
            const QString actual = field(result, c.key, known);
            const std::string where = QStringLiteral("%1:%2 %3 %4 \"%5\"; actual \"%6\"; error %7")
                                          .arg(sidecar.section('/', -2))
                                          .arg(c.line)
                                          .arg(c.key, c.op, c.value, actual, result.error)
                                          .toStdString();
            ASSERT_TRUE(known) << "unknown key in " << where;
            if (c.op == QLatin1String("="))
                EXPECT_EQ(actual, c.value) << where;
            else if (c.op == QLatin1String("~"))
                EXPECT_TRUE(actual.contains(c.value)) << where;
            else if (c.op == QLatin1String("!~"))
                EXPECT_FALSE(actual.contains(c.value)) << where;
            else if (c.op == QLatin1String("^"))
                EXPECT_TRUE(actual.startsWith(c.value)) << where;
            else
                ADD_FAILURE() << "unknown operator in " << where;
        }
    }
}
