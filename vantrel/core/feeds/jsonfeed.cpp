// JSON Feed 1.0 and 1.1.

#include "vantrel/core/feeds/feeditem_p.h"
#include "vantrel/core/feeds/feedtext_p.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantrel::feeds
{

namespace
{

QString positionOf(const QByteArray& data, int offset)
{
    offset = qBound(0, offset, int(data.size()));
    int line = 1;
    int lineStart = 0;
    for (int i = 0; i < offset; ++i) {
        if (data[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("line %1, column %2: ").arg(line).arg(offset - lineStart + 1);
}

// A document cut short (or damaged) after some complete items: the part up to the end of the
// last complete item of the top-level "items" array, closed again. Empty when there is none.
QByteArray salvageItems(const QByteArray& data)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    int stringStart = -1;
    QByteArray lastKey;  // the last string read at depth 1 (a member name or value)
    int itemsDepth = -1; // depth inside the top-level items array
    int lastItemEnd = -1;
    for (int i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"') {
                inString = false;
                if (depth == 1)
                    lastKey = data.mid(stringStart, i - stringStart);
            }
            continue;
        }
        if (c == '"') {
            inString = true;
            stringStart = i + 1;
        } else if (c == '{' || c == '[') {
            ++depth;
            if (c == '[' && depth == 2 && lastKey == "items")
                itemsDepth = 2;
        } else if (c == '}' || c == ']') {
            --depth;
            if (itemsDepth == 2 && depth == 2 && c == '}')
                lastItemEnd = i + 1;
            if (itemsDepth == 2 && depth < 2)
                itemsDepth = -1;
        }
    }
    if (lastItemEnd < 0)
        return QByteArray();
    return data.left(lastItemEnd) + "]}";
}

class JsonFeedReader
{
public:
    explicit JsonFeedReader(const ParseOptions& options)
        : m_base(options.documentUrl), m_allowFiles(options.documentUrl.isLocalFile()),
          m_cancel(options.cancelled)
    {
    }

    static bool isJsonFeed(const QJsonObject& root)
    {
        const QString version = root.value(QLatin1String("version")).toString();
        return version.startsWith(QLatin1String("https://jsonfeed.org/version/")) ||
               version.startsWith(QLatin1String("http://jsonfeed.org/version/"));
    }

    // Reads the document's object into feed; false (with error) at a limit or a cancel.
    bool read(const QJsonObject& root, Feed& feed, QString& error, bool& cancelled)
    {
        feed.title = plainTextFromHtml(text(root, "title"));
        feed.homePage = link(text(root, "home_page_url"));
        feed.description = text(root, "description").toHtmlEscaped();
        feed.logoUrl = link(text(root, "icon"));
        fillIn(feed.logoUrl, link(text(root, "favicon")));
        feed.author = author(root);
        const QJsonArray items = root.value(QLatin1String("items")).toArray();
        for (const QJsonValue& value : items) {
            if (int(feed.items.size()) % 256 == 255 && m_cancel && m_cancel()) {
                cancelled = true;
                return false;
            }
            if (int(feed.items.size()) >= kMaxItems) {
                error = QStringLiteral("line 1, column 1: the feed has more than %1 stories")
                            .arg(kMaxItems);
                return false;
            }
            if (!value.isObject())
                continue;
            Item item = readItem(value.toObject());
            fillIn(item.author, feed.author);
            feed.items.push_back(std::move(item));
        }
        return true;
    }

private:
    // A string member, bounded in length.
    static QString text(const QJsonObject& object, const char* name)
    {
        const QString value = object.value(QLatin1String(name)).toString();
        return cleanFeedText(value.size() > kMaxTextChars ? value.left(kMaxTextChars) : value);
    }

    QString link(const QString& reference) const
    {
        return resolveUrl(m_base, reference, m_allowFiles);
    }

    // "author" (1.0) or the first of "authors" (1.1).
    static QString author(const QJsonObject& object)
    {
        QJsonObject person = object.value(QLatin1String("author")).toObject();
        const QJsonArray authors = object.value(QLatin1String("authors")).toArray();
        if (person.isEmpty() && !authors.isEmpty())
            person = authors.first().toObject();
        return plainTextFromHtml(text(person, "name"));
    }

    Item readItem(const QJsonObject& o)
    {
        Item item;
        item.headline = plainTextFromHtml(text(o, "title"));
        const QString html = text(o, "content_html");
        const QString plain = text(o, "content_text");
        const QString summary = text(o, "summary");
        if (hasVisibleText(html))
            item.summary = html;
        else if (!plain.trimmed().isEmpty())
            item.summary = plain.toHtmlEscaped();
        else
            item.summary = summary.toHtmlEscaped();
        item.link = link(text(o, "url"));
        fillIn(item.link, link(text(o, "external_url")));
        item.published = parseRfc3339Date(text(o, "date_published"));
        item.updated = parseRfc3339Date(text(o, "date_modified"));
        if (!item.published.isValid())
            item.published = item.updated;
        item.author = author(o);
        item.thumbnailUrl = link(text(o, "image"));
        fillIn(item.thumbnailUrl, link(text(o, "banner_image")));
        for (const QJsonValue& tag : o.value(QLatin1String("tags")).toArray())
            addCategory(item.categories, tag.toString());
        for (const QJsonValue& value : o.value(QLatin1String("attachments")).toArray()) {
            const QJsonObject a = value.toObject();
            const QString url = link(text(a, "url"));
            if (url.isEmpty())
                continue;
            item.enclosure.url = url;
            item.enclosure.mimeType = text(a, "mime_type").trimmed();
            item.enclosure.length = qMax<qint64>(0, qint64(a.value("size_in_bytes").toDouble()));
            item.durationSeconds =
                int(qBound(0.0, a.value(QLatin1String("duration_in_seconds")).toDouble(), 1e9));
            break;
        }
        // The id is a string in 1.1; 1.0 feeds sometimes give a number.
        const QJsonValue id = o.value(QLatin1String("id"));
        const QString identity =
            id.isDouble() ? QString::number(id.toDouble(), 'g', 17) : text(o, "id");
        finishItem(item, identity);
        return item;
    }

    QUrl m_base;
    bool m_allowFiles;
    const CancelCheck& m_cancel;
};

} // namespace

bool looksLikeJson(const QByteArray& data)
{
    int i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return i < data.size() && data[i] == '{';
}

ParseResult parseJsonFeed(const QByteArray& data, const ParseOptions& options)
{
    ParseResult result;
    const QByteArray body = data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
    QJsonParseError parseError;
    QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    QString fault;
    if (parseError.error != QJsonParseError::NoError) {
        fault = positionOf(body, parseError.offset) + parseError.errorString();
        // Keep the stories that were complete before the fault.
        const QByteArray salvaged = salvageItems(body.left(parseError.offset));
        document = QJsonDocument::fromJson(salvaged);
    }
    if (!document.isObject() || !JsonFeedReader::isJsonFeed(document.object())) {
        result.error = !fault.isEmpty() ? fault
                                        : QStringLiteral("line 1, column 1: not a feed: a JSON "
                                                         "document without a JSON Feed version");
        return result;
    }
    JsonFeedReader reader(options);
    QString error;
    bool cancelled = false;
    reader.read(document.object(), result.feed, error, cancelled);
    if (cancelled) {
        result = ParseResult();
        result.status = ParseStatus::Cancelled;
        result.error = QStringLiteral("cancelled");
        return result;
    }
    if (fault.isEmpty())
        fault = error;
    result.status = fault.isEmpty() ? ParseStatus::Complete : ParseStatus::Partial;
    result.ok = fault.isEmpty();
    result.error = fault;
    return result;
}

} // namespace vantrel::feeds
