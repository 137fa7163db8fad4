// Every document of tests/feeds/corpus reads as its sidecar says (see generate.py there).

#include "tests/feeds/qtprinters.h"
#include "vantrel/core/feeds/feeds.h"

#include <QDirIterator>
#include <QFile>
#include <map>

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

// The values a sidecar key names, for the feed and for each item ("item<n>.<field>").
using ItemField = QString (*)(const Item&);
const std::map<QString, ItemField> kItemFields = {
    {"identity", [](const Item& i) { return i.identity; }},
    {"headline", [](const Item& i) { return i.headline; }},
    {"summary", [](const Item& i) { return i.summary; }},
    {"link", [](const Item& i) { return i.link; }},
    {"published", [](const Item& i) { return dateText(i.published); }},
    {"updated", [](const Item& i) { return dateText(i.updated); }},
    {"categories", [](const Item& i) { return i.categories.join(" | "); }},
    {"author", [](const Item& i) { return i.author; }},
    {"thumbnail", [](const Item& i) { return i.thumbnailUrl; }},
    {"duration", [](const Item& i) { return QString::number(i.durationSeconds); }},
    {"enclosure.url", [](const Item& i) { return i.enclosure.url; }},
    {"enclosure.type", [](const Item& i) { return i.enclosure.mimeType; }},
    {"enclosure.length", [](const Item& i) { return QString::number(i.enclosure.length); }},
};
using FeedField = QString (*)(const ParseResult&);
const std::map<QString, FeedField> kFeedFields = {
    {"status",
     [](const ParseResult& r) {
         const std::map<ParseStatus, QString> names = {{ParseStatus::Complete, "complete"},
                                                       {ParseStatus::Partial, "partial"},
                                                       {ParseStatus::Failed, "failed"},
                                                       {ParseStatus::Cancelled, "cancelled"}};
         return names.at(r.status);
     }},
    {"error", [](const ParseResult& r) { return r.error; }},
    {"title", [](const ParseResult& r) { return r.feed.title; }},
    {"homePage", [](const ParseResult& r) { return r.feed.homePage; }},
    {"description", [](const ParseResult& r) { return r.feed.description; }},
    {"logoUrl", [](const ParseResult& r) { return r.feed.logoUrl; }},
    {"updated", [](const ParseResult& r) { return dateText(r.feed.updated); }},
    {"author", [](const ParseResult& r) { return r.feed.author; }},
    {"categories", [](const ParseResult& r) { return r.feed.categories.join(" | "); }},
    {"items", [](const ParseResult& r) { return QString::number(r.feed.items.size()); }},
};

// The value a sidecar key names; known is false for a key the corpus should not use.
QString field(const ParseResult& result, const QString& key, bool& known)
{
    const auto feedField = kFeedFields.find(key);
    known = feedField != kFeedFields.end();
    if (known)
        return feedField->second(result);
    const int dot = key.indexOf('.');
    bool isNumber = false;
    const int index = key.mid(4, dot - 4).toInt(&isNumber);
    const auto itemField = kItemFields.find(key.mid(dot + 1));
    known = key.startsWith("item") && dot > 4 && isNumber && itemField != kItemFields.end();
    if (!known)
        return QString();
    if (index >= int(result.feed.items.size()))
        return QStringLiteral("<no item %1>").arg(index);
    return itemField->second(result.feed.items[size_t(index)]);
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
            const QString key = line.section(' ', 0, 0), op = line.section(' ', 1, 1);
            const QString value = unescape(line.section(' ', 2).trimmed());
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
