// RSS and Atom parsing with QXmlStreamReader.

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/feeds/feedtext_p.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace vantrel::feeds
{

namespace
{

const QString kAtomNs = QStringLiteral("http://www.w3.org/2005/Atom");
const QString kAtom03Ns = QStringLiteral("http://purl.org/atom/ns#");
const QString kContentNs = QStringLiteral("http://purl.org/rss/1.0/modules/content/");
const QString kDcNs = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kMediaNs = QStringLiteral("http://search.yahoo.com/mrss/");
const QString kRdfNs = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QString kRss10Ns = QStringLiteral("http://purl.org/rss/1.0/");
const QString kRss09Ns = QStringLiteral("http://my.netscape.com/rdf/simple/0.9/");
const QString kXmlNs = QStringLiteral("http://www.w3.org/XML/1998/namespace");

// Feeds often use HTML entities (&nbsp;, &eacute;) without declaring them; read them as HTML
// would instead of rejecting the whole feed.
class HtmlEntityResolver : public QXmlStreamEntityResolver
{
public:
    QString resolveUndeclaredEntity(const QString& name) override
    {
        QString text;
        if (resolveHtmlEntity(name, text))
            return text;
        return QString();
    }
};

void addCategory(Item& item, const QString& text)
{
    const QString path = categoryPath(decodeHtmlEntities(text));
    if (!path.isEmpty() && !item.categories.contains(path))
        item.categories << path;
}

QDateTime parseAnyDate(const QString& text)
{
    QDateTime date = parseRfc822Date(text);
    if (!date.isValid())
        date = parseRfc3339Date(text);
    return date;
}

QString identityHash(const Item& item)
{
    const QByteArray source =
        (item.headline + QLatin1Char('\n') + item.published.toString(Qt::ISODateWithMs)).toUtf8();
    return QStringLiteral("hash:") +
           QString::fromLatin1(QCryptographicHash::hash(source, QCryptographicHash::Sha1).toHex());
}

// Longest headline made from the start of a summary, for stories without a title.
constexpr int kSummaryHeadlineChars = 80;

void finishItem(Item& item, const QString& guid)
{
    if (item.headline.isEmpty()) {
        // A story without a title is listed by the start of its summary.
        QString text = plainTextFromHtml(item.summary);
        if (text.size() > kSummaryHeadlineChars) {
            int cut = text.lastIndexOf(' ', kSummaryHeadlineChars - 3);
            if (cut < kSummaryHeadlineChars / 2)
                cut = kSummaryHeadlineChars - 3;
            text = text.left(cut).trimmed() + QStringLiteral("...");
        }
        item.headline = text;
    }
    if (!guid.trimmed().isEmpty())
        item.identity = guid.trimmed();
    else if (!item.link.isEmpty())
        item.identity = item.link;
    else
        item.identity = identityHash(item);
}

class FeedParser
{
public:
    FeedParser(const QByteArray& data, const QUrl& base) : m_reader(data), m_base(base)
    {
        m_reader.setEntityResolver(&m_resolver);
        // Nested entity declarations can multiply a small document into gigabytes; feeds
        // have no honest use for more than a handful of expansions.
        m_reader.setEntityExpansionLimit(1024);
    }

    ParseResult parse()
    {
        ParseResult result;
        if (!m_reader.readNextStartElement()) {
            if (!m_reader.hasError())
                m_reader.raiseError(QStringLiteral("the document has no root element"));
            return fail();
        }
        const QStringView name = m_reader.name();
        const QStringView ns = m_reader.namespaceUri();
        if (name == QLatin1String("rss") && ns.isEmpty()) {
            parseRss();
        } else if (name == QLatin1String("RDF") && ns == kRdfNs) {
            parseRdf();
        } else if (name == QLatin1String("feed") && (ns == kAtomNs || ns == kAtom03Ns)) {
            parseAtomFeed(elementBase(m_base));
        } else {
            m_reader.raiseError(QStringLiteral("not a feed: the root element is <%1>, "
                                               "expected <rss> or Atom <feed>")
                                    .arg(m_reader.qualifiedName()));
            return fail();
        }
        // Read to the end so that a truncated or damaged tail is reported, not ignored.
        while (!m_reader.atEnd() && !m_reader.hasError())
            m_reader.readNext();
        if (m_reader.hasError())
            return fail();
        result.ok = true;
        result.feed = std::move(m_feed);
        return result;
    }

private:
    ParseResult fail()
    {
        ParseResult result;
        result.error = QStringLiteral("line %1, column %2: %3")
                           .arg(m_reader.lineNumber())
                           .arg(m_reader.columnNumber())
                           .arg(m_reader.errorString());
        return result;
    }

    bool isRssNs() const
    {
        const QStringView ns = m_reader.namespaceUri();
        return ns.isEmpty() || ns == kRss10Ns || ns == kRss09Ns;
    }
    bool isAtomNs() const
    {
        const QStringView ns = m_reader.namespaceUri();
        return ns == kAtomNs || ns == kAtom03Ns;
    }
    bool is(const char* localName) const { return m_reader.name() == QLatin1String(localName); }
    QString attribute(const char* name) const
    {
        return m_reader.attributes().value(QLatin1String(name)).toString();
    }

    // The text of the current element, child elements' text included.
    QString readText()
    {
        const QString element = m_reader.qualifiedName().toString();
        QString text = m_reader.readElementText(QXmlStreamReader::IncludeChildElements);
        checkLength(text, element);
        return text;
    }

    // The HTML of an element whose text is HTML. Feeds usually escape it, but some put the
    // markup in unescaped (well-formed) as child elements: those are written back as tags, so
    // that "<description><p>Hi</p></description>" keeps its paragraph.
    QString readHtml() { return readMarkup(false); }
    QString readXhtml() { return readMarkup(true); }

    // Reads up to the current element's end tag, writing child elements back as tags. In
    // XHTML the text is text and is escaped back; in HTML it is markup already.
    QString readMarkup(bool escapeText)
    {
        const QString element = m_reader.qualifiedName().toString();
        QString out;
        int depth = 0;
        while (!m_reader.atEnd()) {
            const QXmlStreamReader::TokenType token = m_reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                appendStartTag(out);
            } else if (token == QXmlStreamReader::EndElement) {
                if (depth == 0)
                    break;
                --depth;
                appendEndTag(out);
            } else if (token == QXmlStreamReader::Characters ||
                       token == QXmlStreamReader::EntityReference) {
                if (escapeText)
                    out += m_reader.text().toString().toHtmlEscaped();
                else
                    out += m_reader.text();
            } else if (token == QXmlStreamReader::Invalid) {
                break;
            }
            if (out.size() > kMaxTextChars) {
                checkLength(out, element);
                break;
            }
        }
        return out;
    }

    void appendStartTag(QString& out) const
    {
        out += QLatin1Char('<');
        out += m_reader.name();
        for (const QXmlStreamAttribute& a : m_reader.attributes()) {
            if (!a.namespaceUri().isEmpty())
                continue;
            out += QLatin1Char(' ');
            out += a.name();
            out += QLatin1String("=\"") + a.value().toString().toHtmlEscaped() + QLatin1Char('"');
        }
        out += QLatin1Char('>');
    }

    void appendEndTag(QString& out) const
    {
        out += QLatin1String("</");
        out += m_reader.name();
        out += QLatin1Char('>');
    }

    void checkLength(QString& text, const QString& element)
    {
        if (text.size() > kMaxTextChars) {
            m_reader.raiseError(QStringLiteral("the text of <%1> is longer than %2 characters")
                                    .arg(element)
                                    .arg(kMaxTextChars));
            text.clear();
        }
    }

    bool roomForItem()
    {
        if (int(m_feed.items.size()) < kMaxItems)
            return true;
        m_reader.raiseError(QStringLiteral("the feed has more than %1 stories").arg(kMaxItems));
        return false;
    }

    QUrl elementBase(const QUrl& parent) const
    {
        const QString xmlBase =
            m_reader.attributes().value(kXmlNs, QLatin1String("base")).toString();
        if (xmlBase.trimmed().isEmpty())
            return parent;
        return QUrl(resolveUrl(parent, xmlBase));
    }

    // ---- RSS ----

    void parseRss()
    {
        while (m_reader.readNextStartElement()) {
            if (is("channel") && m_reader.namespaceUri().isEmpty()) {
                parseRssChannel(true);
            } else if (is("item") && m_reader.namespaceUri().isEmpty()) {
                // Some generators close the channel before its items.
                if (!roomForItem())
                    return;
                parseRssItem();
            } else {
                m_reader.skipCurrentElement();
            }
        }
    }

    // RSS 1.0: channel, image and items are siblings under rdf:RDF.
    void parseRdf()
    {
        while (m_reader.readNextStartElement()) {
            if (isRssNs() && is("channel")) {
                parseRssChannel(false);
            } else if (isRssNs() && is("image")) {
                parseRssImage();
            } else if (isRssNs() && is("item")) {
                if (!roomForItem())
                    return;
                parseRssItem();
            } else {
                m_reader.skipCurrentElement();
            }
        }
    }

    void parseRssChannel(bool itemsInside)
    {
        while (m_reader.readNextStartElement()) {
            if (isRssNs()) {
                if (is("title")) {
                    m_feed.title = plainTextFromHtml(readText());
                } else if (is("link")) {
                    m_feed.homePage = resolveUrl(m_base, readText());
                } else if (is("description")) {
                    m_feed.description = readHtml();
                } else if (is("image")) {
                    parseRssImage();
                } else if (is("lastBuildDate")) {
                    m_feed.updated = parseAnyDate(readText());
                } else if (is("pubDate")) {
                    const QDateTime date = parseAnyDate(readText());
                    if (!m_feed.updated.isValid())
                        m_feed.updated = date;
                } else if (is("item") && itemsInside) {
                    if (!roomForItem())
                        return;
                    parseRssItem();
                } else {
                    m_reader.skipCurrentElement();
                }
            } else if (m_reader.namespaceUri() == kDcNs && is("date")) {
                const QDateTime date = parseAnyDate(readText());
                if (!m_feed.updated.isValid())
                    m_feed.updated = date;
            } else {
                m_reader.skipCurrentElement();
            }
        }
    }

    void parseRssImage()
    {
        while (m_reader.readNextStartElement()) {
            if (isRssNs() && is("url"))
                m_feed.logoUrl = resolveUrl(m_base, readText());
            else
                m_reader.skipCurrentElement();
        }
    }

    void readMediaContent(Enclosure& media)
    {
        if (media.url.isEmpty()) {
            media.url = resolveUrl(m_base, attribute("url"));
            media.mimeType = attribute("type").trimmed();
            media.length = attribute("fileSize").toLongLong();
            if (media.mimeType.isEmpty()) {
                const QString medium = attribute("medium");
                if (medium == QLatin1String("image") || medium == QLatin1String("video") ||
                    medium == QLatin1String("audio"))
                    media.mimeType = medium + QStringLiteral("/*");
            }
        }
        m_reader.skipCurrentElement();
    }

    void parseRssItem()
    {
        Item item;
        QString title;
        QString description;
        QString encoded;
        QString guid;
        bool guidIsPermaLink = false;
        QDateTime dcDate;
        Enclosure media;
        while (m_reader.readNextStartElement()) {
            const QStringView ns = m_reader.namespaceUri();
            if (isRssNs()) {
                if (is("title")) {
                    title = readText();
                } else if (is("link")) {
                    item.link = resolveUrl(m_base, readText());
                } else if (is("description")) {
                    description = readHtml();
                } else if (is("guid")) {
                    guidIsPermaLink =
                        attribute("isPermaLink").trimmed().toLower() != QLatin1String("false");
                    guid = readText();
                } else if (is("pubDate")) {
                    item.published = parseAnyDate(readText());
                } else if (is("category")) {
                    addCategory(item, readText());
                } else if (is("enclosure")) {
                    if (item.enclosure.url.isEmpty()) {
                        item.enclosure.url = resolveUrl(m_base, attribute("url"));
                        item.enclosure.mimeType = attribute("type").trimmed();
                        item.enclosure.length = attribute("length").trimmed().toLongLong();
                        if (item.enclosure.length < 0)
                            item.enclosure.length = 0;
                    }
                    m_reader.skipCurrentElement();
                } else {
                    m_reader.skipCurrentElement();
                }
            } else if (ns == kContentNs && is("encoded")) {
                encoded = readHtml();
            } else if (ns == kDcNs && is("date")) {
                dcDate = parseAnyDate(readText());
            } else if (ns == kDcNs && is("subject")) {
                addCategory(item, readText());
            } else if (ns == kMediaNs && is("content")) {
                readMediaContent(media);
            } else if (ns == kMediaNs && is("group")) {
                while (m_reader.readNextStartElement()) {
                    if (m_reader.namespaceUri() == kMediaNs && is("content"))
                        readMediaContent(media);
                    else
                        m_reader.skipCurrentElement();
                }
            } else {
                m_reader.skipCurrentElement();
            }
        }
        if (m_reader.hasError())
            return;
        item.headline = plainTextFromHtml(title);
        item.summary = description.trimmed().isEmpty() ? encoded : description;
        if (!item.published.isValid())
            item.published = dcDate;
        if (item.enclosure.url.isEmpty() && !media.url.isEmpty())
            item.enclosure = media;
        if (item.link.isEmpty() && guidIsPermaLink) {
            const QUrl guidUrl(guid.trimmed());
            if (guidUrl.scheme() == QLatin1String("http") ||
                guidUrl.scheme() == QLatin1String("https"))
                item.link = guidUrl.toString();
        }
        finishItem(item, guid);
        m_feed.items.push_back(std::move(item));
    }

    // ---- Atom ----

    // An Atom text construct as HTML: type "text" is escaped, "html" kept, "xhtml" rebuilt
    // from its elements.
    QString readTextConstruct()
    {
        const QString type = attribute("type").trimmed().toLower();
        if (type == QLatin1String("xhtml"))
            return readXhtml();
        QString text = readText();
        if (type == QLatin1String("html") || type == QLatin1String("text/html") ||
            attribute("mode") == QLatin1String("escaped"))
            return text;
        return text.toHtmlEscaped();
    }

    void parseAtomFeed(const QUrl& base)
    {
        while (m_reader.readNextStartElement()) {
            if (!isAtomNs()) {
                m_reader.skipCurrentElement();
                continue;
            }
            const QUrl here = elementBase(base);
            if (is("title")) {
                m_feed.title = plainTextFromHtml(readTextConstruct());
            } else if (is("subtitle") || is("tagline")) {
                m_feed.description = readTextConstruct();
            } else if (is("link")) {
                const QString rel = attribute("rel").trimmed();
                if ((rel.isEmpty() || rel == QLatin1String("alternate")) &&
                    m_feed.homePage.isEmpty())
                    m_feed.homePage = resolveUrl(here, attribute("href"));
                m_reader.skipCurrentElement();
            } else if (is("logo")) { // preferred to the icon, whichever comes first
                m_feed.logoUrl = resolveUrl(here, readText());
            } else if (is("icon")) {
                const QString icon = resolveUrl(here, readText());
                if (m_feed.logoUrl.isEmpty())
                    m_feed.logoUrl = icon;
            } else if (is("updated") || is("modified")) {
                m_feed.updated = parseRfc3339Date(readText());
            } else if (is("entry")) {
                if (!roomForItem())
                    return;
                parseAtomEntry(here);
            } else {
                m_reader.skipCurrentElement();
            }
        }
    }

    void parseAtomEntry(const QUrl& base)
    {
        Item item;
        QString id;
        QString title;
        QString summary;
        QString content;
        QString firstLink;
        QDateTime updated;
        Enclosure media;
        while (m_reader.readNextStartElement()) {
            const QUrl here = elementBase(base);
            if (m_reader.namespaceUri() == kMediaNs && is("content")) {
                readMediaContent(media);
                continue;
            }
            if (!isAtomNs()) {
                m_reader.skipCurrentElement();
                continue;
            }
            if (is("id")) {
                id = readText();
            } else if (is("title")) {
                title = readTextConstruct();
            } else if (is("link")) {
                const QString rel = attribute("rel").trimmed();
                const QString href = resolveUrl(here, attribute("href"));
                if (rel == QLatin1String("enclosure")) {
                    if (item.enclosure.url.isEmpty() && !href.isEmpty()) {
                        item.enclosure.url = href;
                        item.enclosure.mimeType = attribute("type").trimmed();
                        item.enclosure.length = qMax<qint64>(0, attribute("length").toLongLong());
                    }
                } else if (rel.isEmpty() || rel == QLatin1String("alternate")) {
                    if (item.link.isEmpty())
                        item.link = href;
                } else if (firstLink.isEmpty() && rel != QLatin1String("self")) {
                    firstLink = href;
                }
                m_reader.skipCurrentElement();
            } else if (is("summary")) {
                summary = readTextConstruct();
            } else if (is("content")) {
                if (attribute("src").isEmpty()) {
                    content = readTextConstruct();
                } else {
                    if (firstLink.isEmpty())
                        firstLink = resolveUrl(here, attribute("src"));
                    m_reader.skipCurrentElement();
                }
            } else if (is("published") || is("issued")) {
                item.published = parseRfc3339Date(readText());
            } else if (is("updated") || is("modified")) {
                updated = parseRfc3339Date(readText());
            } else if (is("category")) {
                QString label = attribute("label");
                if (label.trimmed().isEmpty())
                    label = attribute("term");
                addCategory(item, label);
                m_reader.skipCurrentElement();
            } else {
                m_reader.skipCurrentElement();
            }
        }
        if (m_reader.hasError())
            return;
        item.headline = plainTextFromHtml(title);
        item.summary = plainTextFromHtml(summary).isEmpty() ? content : summary;
        if (item.link.isEmpty())
            item.link = firstLink;
        if (!item.published.isValid())
            item.published = updated;
        if (item.enclosure.url.isEmpty() && !media.url.isEmpty())
            item.enclosure = media;
        finishItem(item, id);
        m_feed.items.push_back(std::move(item));
    }

    QXmlStreamReader m_reader;
    HtmlEntityResolver m_resolver;
    QUrl m_base;
    Feed m_feed;
};

} // namespace

ParseResult parseFeed(const QByteArray& data, const QUrl& base)
{
    ParseResult result;
    if (data.size() > kMaxDocumentBytes) {
        result.error = QStringLiteral("line 1, column 1: the document is larger than %1 bytes")
                           .arg(kMaxDocumentBytes);
        return result;
    }
    if (data.trimmed().isEmpty()) {
        result.error = QStringLiteral("line 1, column 1: the document is empty");
        return result;
    }
    return FeedParser(data, base).parse();
}

uint32_t bundletTypeFor(const Enclosure& e)
{
    if (e.url.trimmed().isEmpty())
        return 0x200;
    const QString type = e.mimeType.trimmed().toLower();
    if (type.startsWith(QLatin1String("video/")))
        return 0x4;
    if (type.startsWith(QLatin1String("image/")))
        return 0x10;
    if (type.startsWith(QLatin1String("audio/")))
        return 0x2;
    if (type.isEmpty() || type == QLatin1String("application/octet-stream")) {
        const QString suffix = QFileInfo(QUrl(e.url).path()).suffix().toLower();
        static const QStringList video = {"mp4", "m4v",  "mov", "webm", "mkv", "avi",
                                          "mpg", "mpeg", "ogv", "wmv",  "flv"};
        static const QStringList picture = {"jpg",  "jpeg", "png", "gif", "bmp",
                                            "webp", "svg",  "tif", "tiff"};
        static const QStringList audio = {"mp3",  "m4a",  "aac", "ogg", "oga",
                                          "opus", "flac", "wav", "wma"};
        if (video.contains(suffix))
            return 0x4;
        if (picture.contains(suffix))
            return 0x10;
        if (audio.contains(suffix))
            return 0x2;
    }
    return 0x80;
}

} // namespace vantrel::feeds
