// Feed discovery: the feeds a web page names in its head, as <link rel="alternate"> elements
// of the feed types.

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/feeds/feedtext_p.h"

#include <QStringDecoder>
#include <algorithm>

namespace vantrel::feeds
{

namespace
{

// Pages larger than this are looked at only this far: the links are in the head.
constexpr int kMaxPageChars = 2 * 1024 * 1024;
constexpr int kMaxLinks = 100;

struct FeedType {
    const char* mimeType;
    const char* shown;
};
constexpr FeedType kFeedTypes[] = {
    {"application/rss+xml", "RSS"},
    {"application/atom+xml", "Atom"},
    {"application/rdf+xml", "RSS 1.0"},
    {"application/feed+json", "JSON Feed"},
};

// The attributes of one tag, names in lower case, values entity-decoded.
QMap<QString, QString> tagAttributes(const QString& html, int start, int end)
{
    QMap<QString, QString> attributes;
    int i = start + 1;
    while (i < end && !html[i].isSpace() && html[i] != '>' && html[i] != '/')
        ++i; // the tag name
    while (i < end) {
        while (i < end && (html[i].isSpace() || html[i] == '/'))
            ++i;
        const int nameStart = i;
        while (i < end && !html[i].isSpace() && html[i] != '=' && html[i] != '>' && html[i] != '/')
            ++i;
        const QString name = html.mid(nameStart, i - nameStart).toLower();
        if (name.isEmpty())
            break;
        while (i < end && html[i].isSpace())
            ++i;
        QString value;
        if (i < end && html[i] == '=') {
            ++i;
            while (i < end && html[i].isSpace())
                ++i;
            if (i < end && (html[i] == '"' || html[i] == '\'')) {
                const QChar quote = html[i++];
                const int valueStart = i;
                while (i < end && html[i] != quote)
                    ++i;
                value = html.mid(valueStart, i - valueStart);
                ++i;
            } else {
                const int valueStart = i;
                while (i < end && !html[i].isSpace() && html[i] != '>')
                    ++i;
                value = html.mid(valueStart, i - valueStart);
            }
        }
        if (!attributes.contains(name))
            attributes.insert(name, decodeHtmlEntities(value).trimmed());
    }
    return attributes;
}

bool hasToken(const QString& list, const char* token)
{
    const QStringList tokens = list.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& t : tokens) {
        if (t.compare(QLatin1String(token), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const FeedType* feedTypeOf(const QString& type)
{
    const QString bare = type.section(QLatin1Char(';'), 0, 0).trimmed();
    for (const FeedType& t : kFeedTypes) {
        if (bare.compare(QLatin1String(t.mimeType), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

QString pageText(const QByteArray& data, const QString& contentType)
{
    const QByteArray head = data.left(kMaxPageChars);
    QString charset = contentType.section(QLatin1String("charset="), 1).section(';', 0, 0);
    charset = charset.remove(QLatin1Char('"')).trimmed();
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(head);
    }
    // The links are ASCII in every page in practice; UTF-8 keeps non-ASCII titles readable.
    return QString::fromUtf8(head);
}

} // namespace

std::vector<FeedLink> discoverFeedLinks(const QByteArray& page, const QUrl& pageUrl,
                                        const QString& contentType)
{
    std::vector<FeedLink> links;
    const QString html = pageText(page, contentType);
    const bool allowFiles = pageUrl.isLocalFile();
    QUrl base = pageUrl;
    const int n = html.size();
    for (int i = html.indexOf('<'); i >= 0 && i < n; i = html.indexOf('<', i + 1)) {
        const int end = htmlTagEnd(html, i);
        if (end <= i)
            continue;
        const QString name = htmlTagName(html, i, end);
        if (name == QLatin1String("/head") || name == QLatin1String("body"))
            break; // feed links belong in the head
        if (name == QLatin1String("base")) {
            const QString href = tagAttributes(html, i, end).value(QStringLiteral("href"));
            const QString resolved = resolveUrl(pageUrl, href, allowFiles);
            if (!resolved.isEmpty())
                base = QUrl(resolved);
        } else if (name == QLatin1String("link")) {
            const QMap<QString, QString> a = tagAttributes(html, i, end);
            const FeedType* type = feedTypeOf(a.value(QStringLiteral("type")));
            const QString rel = a.value(QStringLiteral("rel"));
            if (type && (hasToken(rel, "alternate") || hasToken(rel, "feed"))) {
                const QString address =
                    resolveUrl(base, a.value(QStringLiteral("href")), allowFiles);
                const bool seen = std::any_of(links.begin(), links.end(), [&](const FeedLink& l) {
                    return l.address == address;
                });
                if (!address.isEmpty() && !QUrl(address).isRelative() && !seen) {
                    FeedLink link;
                    link.address = address;
                    link.title = plainTextFromHtml(a.value(QStringLiteral("title"))).simplified();
                    link.type = QLatin1String(type->shown);
                    links.push_back(std::move(link));
                    if (int(links.size()) >= kMaxLinks)
                        break;
                }
            }
        }
        i = end - 1;
    }
    return links;
}

bool looksLikeHtml(const QByteArray& data, const QString& contentType)
{
    const QString type = contentType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (type == QLatin1String("text/html") || type == QLatin1String("application/xhtml+xml"))
        return true;
    const QByteArray head = data.left(4096).toLower();
    return head.contains("<html") || head.contains("<!doctype html") || head.contains("<head");
}

} // namespace vantrel::feeds
