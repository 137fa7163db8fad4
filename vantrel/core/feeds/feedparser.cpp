// RSS, RDF, Atom and Channel Definition Format parsing over the prepared XML reader; JSON Feed
// is read in jsonfeed.cpp.

#include "vantrel/core/feeds/feeditem_p.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/feeds/feedtext_p.h"
#include "vantrel/core/feeds/xmlinput_p.h"

#include <QFileInfo>
#include <QHash>

namespace vantrel::feeds
{

namespace
{

// The vocabularies a feed's elements come from.
enum class Ns { None, Rss, Atom, Rdf, Dc, DcTerms, Content, Media, Itunes, Xhtml, Other };

const QString kXmlNs = QStringLiteral("http://www.w3.org/XML/1998/namespace");
const QString kRdfNs = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");

// The namespace names seen in the wild for each vocabulary, compared without regard to case
// and to a trailing "/".
Ns knownNamespace(QStringView uri)
{
    static const QHash<QString, Ns> table = [] {
        QHash<QString, Ns> t;
        const struct {
            const char* uri;
            Ns ns;
        } known[] = {
            {"http://purl.org/rss/1.0", Ns::Rss},
            {"http://purl.org/rss/2.0", Ns::Rss},
            {"http://purl.org/net/rss1.1#", Ns::Rss},
            {"http://my.netscape.com/rdf/simple/0.9", Ns::Rss},
            {"http://channel.netscape.com/rdf/simple/0.9", Ns::Rss},
            {"http://backend.userland.com/rss2", Ns::Rss},
            {"http://backend.userland.com/rss", Ns::Rss},
            {"http://blogs.law.harvard.edu/tech/rss", Ns::Rss},
            {"http://www.w3.org/2005/atom", Ns::Atom},
            {"http://purl.org/atom/ns#", Ns::Atom},
            {"http://example.com/newformat#", Ns::Atom},
            {"http://necronomicorp.com/ns/atom#", Ns::Atom},
            {"http://purl.org/echo", Ns::Atom},
            {"http://purl.org/pie", Ns::Atom},
            {"http://www.w3.org/1999/02/22-rdf-syntax-ns#", Ns::Rdf},
            {"http://purl.org/dc/elements/1.1", Ns::Dc},
            {"http://purl.org/dc/elements/1.0", Ns::Dc},
            {"http://purl.org/dc/terms", Ns::DcTerms},
            {"http://purl.org/rss/1.0/modules/content", Ns::Content},
            {"http://search.yahoo.com/mrss", Ns::Media},
            {"http://tools.search.yahoo.com/mrss", Ns::Media},
            {"http://video.search.yahoo.com/mrss", Ns::Media},
            {"http://www.itunes.com/dtds/podcast-1.0.dtd", Ns::Itunes},
            {"https://www.itunes.com/dtds/podcast-1.0.dtd", Ns::Itunes},
            {"http://www.w3.org/1999/xhtml", Ns::Xhtml},
        };
        for (const auto& k : known)
            t.insert(QString::fromLatin1(k.uri), k.ns);
        return t;
    }();
    QString key = uri.toString().toLower();
    while (key.endsWith(QLatin1Char('/')))
        key.chop(1);
    if (key.startsWith(QLatin1String("http://purl.org/atom/ns#")))
        return Ns::Atom;
    return table.value(key, Ns::Other);
}

bool isHtmlType(const QString& type)
{
    return type == QLatin1String("html") || type == QLatin1String("text/html");
}

bool isXhtmlType(const QString& type)
{
    return type == QLatin1String("xhtml") || type == QLatin1String("application/xhtml+xml");
}

// What Media RSS says about a story, gathered from media:content, media:group and the rest.
struct Media {
    Enclosure enclosure;
    int duration = 0;
    QString thumbnail;
    QString title;
    QString description;
    QStringList categories;
};

// What an RSS item says, before the fallbacks are chosen.
struct RssFields {
    QString title, altTitle;
    QString description, encoded, altSummary;
    QString guid, about;
    bool permaLink = false;
    QString link, altLink;
    QDateTime published, altPublished, updated;
    Enclosure enclosure;
    Enclosure atomEnclosure;
    Media media;
    QString itunesImage;
    int duration = 0;
    QString author, altAuthor;
    QStringList categories;
};

class FeedParser
{
public:
    FeedParser(const XmlInput& input, const ParseOptions& options)
        : m_input(input), m_xml(input, options.cancelled), m_r(m_xml.reader()),
          m_base(options.documentUrl), m_allowFiles(options.documentUrl.isLocalFile())
    {
    }

    ParseResult parse()
    {
        if (m_xml.nextStartElement())
            parseRoot();
        else if (!m_r.hasError())
            m_r.raiseError(QStringLiteral("the document has no root element"));
        // Read to the end so that a truncated or damaged tail is reported, not ignored.
        while (m_recognised && !m_r.atEnd() && !m_r.hasError())
            m_xml.next();
        return finish();
    }

private:
    // ---- Reading ----

    ParseResult finish()
    {
        ParseResult result;
        if (m_xml.cancelled()) {
            result.status = ParseStatus::Cancelled;
            result.error = QStringLiteral("cancelled");
            return result;
        }
        QString error;
        if (m_r.hasError()) {
            error = (m_r.error() == QXmlStreamReader::PrematureEndOfDocumentError &&
                     !m_input.fault.isEmpty())
                        ? m_input.fault
                        : m_xml.errorText();
        } else if (!m_input.fault.isEmpty()) {
            error = m_input.fault;
        }
        if (!m_recognised) {
            result.error = error;
            return result;
        }
        result.status = error.isEmpty() ? ParseStatus::Complete : ParseStatus::Partial;
        result.ok = error.isEmpty();
        result.error = error;
        result.feed = std::move(m_feed);
        return result;
    }

    Ns ns()
    {
        const QStringView uri = m_r.namespaceUri();
        if (uri == m_ownUri)
            return m_ownNs;
        if (uri.isEmpty())
            return m_emptyNs;
        if (uri != m_lastUri) {
            m_lastUri = uri.toString();
            m_lastNs = knownNamespace(uri);
        }
        return m_lastNs;
    }

    bool is(const char16_t* localName) const { return m_r.name() == QStringView(localName); }
    bool isCi(const char16_t* localName) const
    {
        return m_r.name().compare(QStringView(localName), Qt::CaseInsensitive) == 0;
    }

    QString attribute(const char* name) const
    {
        return m_r.attributes().value(QLatin1String(name)).toString();
    }
    // For Channel Definition Format, whose attribute names come in any case.
    QString attributeCi(const char* name) const
    {
        for (const QXmlStreamAttribute& a : m_r.attributes()) {
            if (a.namespaceUri().isEmpty() &&
                a.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return a.value().toString();
        }
        return QString();
    }

    QString link(const QUrl& base, const QString& reference) const
    {
        return resolveUrl(base, reference, m_allowFiles);
    }

    // A story's HTML with its relative links resolved where the feed says they are relative to.
    QString withAbsoluteLinks(const QUrl& base, const QString& html) const
    {
        return resolveHtmlLinks(html, base, m_allowFiles);
    }

    QUrl elementBase(const QUrl& parent) const
    {
        const QStringView xmlBase = m_r.attributes().value(kXmlNs, QLatin1String("base"));
        if (xmlBase.trimmed().isEmpty())
            return parent;
        // xml:base may not lead where the document itself could not.
        const QUrl resolved(link(parent, xmlBase.toString()));
        return resolved.isValid() && !resolved.isRelative() ? resolved : parent;
    }

    void skip() { m_xml.skipElement(); }

    void checkLength(QString& text, const QString& element)
    {
        if (text.size() > kMaxTextChars) {
            m_r.raiseError(QStringLiteral("the text of <%1> is longer than %2 characters")
                               .arg(element)
                               .arg(kMaxTextChars));
            text.clear();
        }
    }

    // The text of the current element, child elements' text included.
    QString readText()
    {
        const QString element = m_r.qualifiedName().toString();
        QString text;
        int depth = 0;
        while (!m_r.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.next();
            if (token == QXmlStreamReader::Characters ||
                token == QXmlStreamReader::EntityReference) {
                text += m_r.text();
                if (text.size() > kMaxTextChars) {
                    checkLength(text, element);
                    return QString();
                }
            } else if (token == QXmlStreamReader::StartElement) {
                ++depth;
            } else if (token == QXmlStreamReader::EndElement) {
                if (depth-- == 0)
                    break;
            } else if (token == QXmlStreamReader::Invalid) {
                return QString();
            }
        }
        return cleanFeedText(std::move(text));
    }

    // The HTML of an element whose text is HTML. Feeds usually escape it, but some put the
    // markup in unescaped (well-formed) as child elements: those are written back as tags, so
    // that "<description><p>Hi</p></description>" keeps its paragraph.
    QString readHtml() { return readMarkup(false); }

    // XHTML content: the markup with its text escaped back, without Atom's wrapping <div>.
    QString readXhtml() { return readMarkup(true); }

    QString readMarkup(bool xhtml)
    {
        const QString element = m_r.qualifiedName().toString();
        QString out;
        int depth = 0;
        int topElements = 0;
        bool topText = false;
        int wrapperInner = -1; // where the content of a top-level xhtml <div> starts
        int wrapperEnd = -1;   // where its end tag starts
        while (!m_r.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.next();
            if (token == QXmlStreamReader::StartElement) {
                if (depth == 0) {
                    ++topElements;
                    if (xhtml && topElements == 1 && is(u"div") &&
                        knownNamespace(m_r.namespaceUri()) == Ns::Xhtml) {
                        appendStartTag(out);
                        wrapperInner = out.size();
                        ++depth;
                        continue;
                    }
                }
                ++depth;
                appendStartTag(out);
            } else if (token == QXmlStreamReader::EndElement) {
                if (depth == 0)
                    break;
                --depth;
                if (depth == 0 && wrapperInner >= 0 && wrapperEnd < 0)
                    wrapperEnd = out.size();
                appendEndTag(out);
            } else if (token == QXmlStreamReader::Characters ||
                       token == QXmlStreamReader::EntityReference) {
                if (depth == 0 && !m_r.isWhitespace())
                    topText = true;
                if (xhtml)
                    out += m_r.text().toString().toHtmlEscaped();
                else
                    out += m_r.text();
            } else if (token == QXmlStreamReader::Invalid) {
                return QString();
            }
            if (out.size() > kMaxTextChars) {
                checkLength(out, element);
                return QString();
            }
        }
        if (topElements == 1 && !topText && wrapperInner >= 0 && wrapperEnd >= wrapperInner)
            out = out.mid(wrapperInner, wrapperEnd - wrapperInner);
        return cleanFeedText(std::move(out));
    }

    void appendStartTag(QString& out) const
    {
        out += QLatin1Char('<');
        out += m_r.name();
        for (const QXmlStreamAttribute& a : m_r.attributes()) {
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
        out += m_r.name();
        out += QLatin1Char('>');
    }

    bool roomForItem()
    {
        if (int(m_feed.items.size()) < kMaxItems)
            return true;
        m_r.raiseError(QStringLiteral("the feed has more than %1 stories").arg(kMaxItems));
        return false;
    }

    void addItem(Item&& item)
    {
        if (roomForItem())
            m_feed.items.push_back(std::move(item));
    }

    // ---- The root ----

    void parseRoot()
    {
        const QString rootUri = m_r.namespaceUri().toString();
        const Ns rootNs = rootUri.isEmpty() ? Ns::None : knownNamespace(rootUri);
        const QUrl base = elementBase(m_base);
        if (is(u"rss") || is(u"RSS")) {
            m_recognised = true;
            m_ownUri = rootUri;
            m_ownNs = Ns::Rss;
            m_emptyNs = Ns::Rss;
            parseRss(base);
        } else if (is(u"RDF") && rootNs == Ns::Rdf) {
            m_recognised = true;
            // RSS 1.0 and 0.90 elements sit in the default namespace, whatever its name.
            for (const QXmlStreamNamespaceDeclaration& d : m_r.namespaceDeclarations()) {
                if (d.prefix().isEmpty() && knownNamespace(d.namespaceUri()) == Ns::Other)
                    m_ownUri = d.namespaceUri().toString();
            }
            m_ownNs = Ns::Rss;
            m_emptyNs = Ns::Rss;
            parseRdf(base);
        } else if (is(u"feed") &&
                   (rootNs == Ns::Atom || ((rootNs == Ns::None || rootNs == Ns::Other) &&
                                           !attribute("version").isEmpty()))) {
            m_recognised = true;
            m_ownUri = rootUri;
            m_ownNs = Ns::Atom;
            m_emptyNs = rootUri.isEmpty() ? Ns::Atom : Ns::None;
            parseAtomFeed(base);
        } else if (rootUri.isEmpty() && isCi(u"channel")) {
            m_recognised = true;
            m_ownNs = Ns::Rss;
            m_emptyNs = Ns::Rss;
            std::vector<Item> items = parseCdfChannel(base, true, nullptr);
            for (Item& item : items)
                addItem(std::move(item));
        } else {
            m_r.raiseError(QStringLiteral("not a feed: the root element is <%1>, expected <rss>, "
                                          "RSS 1.0 <rdf:RDF> or Atom <feed>")
                               .arg(m_r.qualifiedName()));
        }
    }

    // ---- RSS ----

    void parseRss(const QUrl& base)
    {
        while (m_xml.nextStartElement()) {
            if (ns() == Ns::Rss && is(u"channel")) {
                parseRssChannel(elementBase(base), true);
            } else if (ns() == Ns::Rss && is(u"item")) {
                // Some generators close the channel before its items.
                if (!roomForItem())
                    return;
                parseRssItem(elementBase(base));
            } else {
                skip();
            }
        }
    }

    // RSS 1.0: channel, image and items are siblings under rdf:RDF.
    void parseRdf(const QUrl& base)
    {
        while (m_xml.nextStartElement()) {
            if (ns() == Ns::Rss && is(u"channel")) {
                parseRssChannel(elementBase(base), false);
            } else if (ns() == Ns::Rss && is(u"image")) {
                parseRssImage(elementBase(base));
            } else if (ns() == Ns::Rss && is(u"item")) {
                if (!roomForItem())
                    return;
                parseRssItem(elementBase(base));
            } else {
                skip();
            }
        }
    }

    // itunes:category nests: <itunes:category text="Technology"><itunes:category
    // text="Gadgets"/></itunes:category> is "Technology/Gadgets".
    void readItunesCategory(QStringList& categories)
    {
        const QString top = attribute("text").trimmed();
        bool nested = false;
        while (m_xml.nextStartElement()) {
            if (ns() == Ns::Itunes && is(u"category")) {
                const QString sub = attribute("text").trimmed();
                if (!sub.isEmpty()) {
                    addCategory(categories, top + QLatin1Char('/') + sub);
                    nested = true;
                }
            }
            skip();
        }
        if (!nested)
            addCategory(categories, top);
    }

    void parseRssChannel(const QUrl& base, bool itemsInside)
    {
        QString title, altTitle, description, altDescription, homePage, altHomePage;
        QString logo, altLogo, author, altAuthor;
        QDateTime updated, altUpdated;
        while (m_xml.nextStartElement()) {
            const QUrl here = elementBase(base);
            switch (ns()) {
            case Ns::Rss:
                if (is(u"title"))
                    fillIn(title, plainTextFromHtml(readText()));
                else if (is(u"link"))
                    fillIn(homePage, link(here, readText()));
                else if (is(u"description"))
                    fillIn(description, readHtml());
                else if (is(u"image"))
                    parseRssImage(here);
                else if (is(u"lastBuildDate"))
                    updated = parseFeedDate(readText());
                else if (is(u"pubDate"))
                    altUpdated = parseFeedDate(readText());
                else if (is(u"managingEditor"))
                    fillIn(author, personName(readText()));
                else if (is(u"category"))
                    addCategory(m_feed.categories, readText());
                else if (is(u"item") && itemsInside) {
                    if (roomForItem())
                        parseRssItem(here);
                } else
                    skip();
                break;
            case Ns::Dc:
                if (is(u"title"))
                    fillIn(altTitle, plainTextFromHtml(readText()));
                else if (is(u"description"))
                    fillIn(altDescription, readText().toHtmlEscaped());
                else if (is(u"date"))
                    altUpdated = parseFeedDate(readText());
                else if (is(u"creator") || is(u"publisher"))
                    fillIn(altAuthor, personName(readText()));
                else if (is(u"subject"))
                    addCategory(m_feed.categories, readText());
                else
                    skip();
                break;
            case Ns::DcTerms:
                if (is(u"modified") || is(u"date") || is(u"issued") || is(u"created"))
                    altUpdated = parseFeedDate(readText());
                else
                    skip();
                break;
            case Ns::Itunes:
                if (is(u"image")) {
                    fillIn(altLogo, link(here, attribute("href")));
                    skip();
                } else if (is(u"author")) {
                    fillIn(altAuthor, personName(readText()));
                } else if (is(u"summary") || is(u"subtitle")) {
                    fillIn(altDescription, readText().toHtmlEscaped());
                } else if (is(u"category")) {
                    readItunesCategory(m_feed.categories);
                } else {
                    skip();
                }
                break;
            case Ns::Atom:
                if (is(u"link") && (attribute("rel").isEmpty() ||
                                    attribute("rel").trimmed() == QLatin1String("alternate")))
                    fillIn(altHomePage, link(here, attribute("href")));
                skip();
                break;
            default:
                skip();
            }
        }
        // What was read counts even when the channel was cut short.
        fillIn(m_feed.title, title.isEmpty() ? altTitle : title);
        fillIn(m_feed.description, hasVisibleText(description) ? description : altDescription);
        fillIn(m_feed.homePage, homePage.isEmpty() ? altHomePage : homePage);
        fillIn(m_feed.logoUrl, altLogo);
        fillIn(m_feed.author, author.isEmpty() ? altAuthor : author);
        if (!m_feed.updated.isValid())
            m_feed.updated = updated.isValid() ? updated : altUpdated;
    }

    void parseRssImage(const QUrl& base)
    {
        while (m_xml.nextStartElement()) {
            if (ns() == Ns::Rss && is(u"url")) {
                const QString url = link(elementBase(base), readText());
                if (!url.isEmpty())
                    m_feed.logoUrl = url;
            } else {
                skip();
            }
        }
    }

    // ---- Media RSS ----

    void readMediaText(QString& field, bool html)
    {
        const QString type = attribute("type").trimmed().toLower();
        QString text = readText();
        if (html)
            text = type == QLatin1String("html") ? text : text.toHtmlEscaped();
        else
            text = type == QLatin1String("html") ? plainTextFromHtml(text) : text.simplified();
        fillIn(field, text);
    }

    // A Media RSS element at the reader (content, group, thumbnail, title, ...). False when it
    // is none of those.
    bool readMedia(Media& media, const QUrl& base)
    {
        if (is(u"content")) {
            const QString url = link(base, attribute("url"));
            if (media.enclosure.url.isEmpty() && !url.isEmpty()) {
                media.enclosure.url = url;
                media.enclosure.mimeType = attribute("type").trimmed();
                media.enclosure.length = qMax<qint64>(0, attribute("fileSize").toLongLong());
                if (media.enclosure.mimeType.isEmpty()) {
                    const QString medium = attribute("medium").trimmed();
                    if (medium == QLatin1String("image") || medium == QLatin1String("video") ||
                        medium == QLatin1String("audio"))
                        media.enclosure.mimeType = medium + QStringLiteral("/*");
                }
                media.duration = parseDuration(attribute("duration"));
            }
            // Its children describe it: the same elements as the group's.
            readMediaChildren(media, base);
        } else if (is(u"group")) {
            readMediaChildren(media, base);
        } else if (is(u"thumbnail")) {
            fillIn(media.thumbnail, link(base, attribute("url")));
            skip();
        } else if (is(u"title")) {
            readMediaText(media.title, false);
        } else if (is(u"description")) {
            readMediaText(media.description, true);
        } else if (is(u"category")) {
            addCategory(media.categories, readText());
        } else {
            return false;
        }
        return true;
    }

    void readMediaChildren(Media& media, const QUrl& base)
    {
        while (m_xml.nextStartElement()) {
            if (ns() != Ns::Media || !readMedia(media, elementBase(base)))
                skip();
        }
    }

    // ---- RSS items ----

    void parseRssItem(const QUrl& base)
    {
        RssFields f;
        f.about = m_r.attributes().value(kRdfNs, QLatin1String("about")).toString();
        while (m_xml.nextStartElement()) {
            const QUrl here = elementBase(base);
            switch (ns()) {
            case Ns::Rss:
                readRssElement(f, here);
                break;
            case Ns::Content:
                if (is(u"encoded"))
                    fillIn(f.encoded, withAbsoluteLinks(here, readHtml()));
                else
                    skip();
                break;
            case Ns::Dc:
                if (is(u"title"))
                    fillIn(f.altTitle, readText());
                else if (is(u"description"))
                    fillIn(f.altSummary, readText().toHtmlEscaped());
                else if (is(u"date"))
                    setDate(f.altPublished, readText());
                else if (is(u"creator"))
                    fillIn(f.altAuthor, personName(readText()));
                else if (is(u"subject"))
                    addCategory(f.categories, readText());
                else
                    skip();
                break;
            case Ns::DcTerms:
                if (is(u"modified"))
                    setDate(f.updated, readText());
                else if (is(u"issued") || is(u"created") || is(u"date"))
                    setDate(f.altPublished, readText());
                else
                    skip();
                break;
            case Ns::Media:
                if (!readMedia(f.media, here))
                    skip();
                break;
            case Ns::Itunes:
                if (is(u"duration"))
                    f.duration = parseDuration(readText());
                else if (is(u"image")) {
                    fillIn(f.itunesImage, link(here, attribute("href")));
                    skip();
                } else if (is(u"author"))
                    fillIn(f.altAuthor, personName(readText()));
                else if (is(u"summary"))
                    fillIn(f.altSummary, readText().toHtmlEscaped());
                else if (is(u"title"))
                    fillIn(f.altTitle, readText());
                else if (is(u"category"))
                    readItunesCategory(f.categories);
                else
                    skip();
                break;
            case Ns::Atom:
                if (is(u"link")) {
                    const QString rel = attribute("rel").trimmed();
                    const QString href = link(here, attribute("href"));
                    if (rel.isEmpty() || rel == QLatin1String("alternate"))
                        fillIn(f.altLink, href);
                    else if (rel == QLatin1String("enclosure") && f.atomEnclosure.url.isEmpty())
                        f.atomEnclosure = {href, attribute("type").trimmed(),
                                           qMax<qint64>(0, attribute("length").toLongLong())};
                    skip();
                } else if (is(u"updated")) {
                    setDate(f.updated, readText());
                } else {
                    skip();
                }
                break;
            default:
                skip();
            }
        }
        if (m_r.hasError())
            return; // an item cut short is not a story
        m_feed.items.push_back(buildRssItem(f));
    }

    static void setDate(QDateTime& field, const QString& text)
    {
        if (!field.isValid())
            field = parseFeedDate(text);
    }

    void readRssElement(RssFields& f, const QUrl& here)
    {
        if (is(u"title")) {
            fillIn(f.title, readText());
        } else if (is(u"link")) {
            fillIn(f.link, link(here, readText()));
        } else if (is(u"description")) {
            fillIn(f.description, withAbsoluteLinks(here, readHtml()));
        } else if (is(u"guid")) {
            f.permaLink = attribute("isPermaLink").trimmed().toLower() != QLatin1String("false");
            f.guid = readText().trimmed();
        } else if (is(u"pubDate")) {
            setDate(f.published, readText());
        } else if (is(u"category")) {
            addCategory(f.categories, readText());
        } else if (is(u"author")) {
            fillIn(f.author, personName(readText()));
        } else if (is(u"enclosure")) {
            // The first enclosure with a usable address: a refused or empty one is passed over.
            const QString url = link(here, attribute("url"));
            if (f.enclosure.url.isEmpty() && !url.isEmpty())
                f.enclosure = {url, attribute("type").trimmed(),
                               qMax<qint64>(0, attribute("length").trimmed().toLongLong())};
            skip();
        } else {
            skip();
        }
    }

    Item buildRssItem(RssFields& f)
    {
        Item item;
        item.headline = plainTextFromHtml(f.title);
        if (item.headline.isEmpty())
            item.headline = plainTextFromHtml(f.altTitle);
        if (item.headline.isEmpty())
            item.headline = f.media.title;
        if (hasVisibleText(f.description))
            item.summary = f.description;
        else if (hasVisibleText(f.encoded))
            item.summary = f.encoded;
        else if (!f.altSummary.trimmed().isEmpty())
            item.summary = f.altSummary;
        else
            item.summary = f.media.description;
        item.link = f.link.isEmpty() ? f.altLink : f.link;
        if (item.link.isEmpty() && f.permaLink) {
            const QUrl guidUrl(f.guid);
            if (guidUrl.scheme() == QLatin1String("http") ||
                guidUrl.scheme() == QLatin1String("https"))
                item.link = link(QUrl(), f.guid);
        }
        item.published = f.published.isValid() ? f.published : f.altPublished;
        item.updated = f.updated;
        if (!item.published.isValid())
            item.published = f.updated;
        item.categories = f.categories;
        for (const QString& c : std::as_const(f.media.categories))
            addCategory(item.categories, c);
        item.enclosure = !f.enclosure.url.isEmpty()         ? f.enclosure
                         : !f.media.enclosure.url.isEmpty() ? f.media.enclosure
                                                            : f.atomEnclosure;
        item.thumbnailUrl = f.media.thumbnail.isEmpty() ? f.itunesImage : f.media.thumbnail;
        item.durationSeconds = f.duration > 0 ? f.duration : f.media.duration;
        item.author = f.author.isEmpty() ? f.altAuthor : f.author;
        finishItem(item, f.guid.isEmpty() ? f.about.trimmed() : f.guid);
        return item;
    }

    // ---- Atom ----

    // An Atom text construct or content element as HTML: text is escaped, HTML kept, XHTML
    // rebuilt from its elements; base64 content (Atom 0.3's mode, or a media type) decoded.
    QString readAtomText()
    {
        const QString type = attribute("type").trimmed().toLower();
        const QString mode = attribute("mode").trimmed().toLower();
        if (isXhtmlType(type) || (mode == QLatin1String("xml") && isHtmlType(type)))
            return readXhtml();
        const bool mediaType = type.contains(QLatin1Char('/'));
        const bool textual = !mediaType || type.startsWith(QLatin1String("text/")) ||
                             type.endsWith(QLatin1String("+xml")) ||
                             type.endsWith(QLatin1String("/xml"));
        if (mode == QLatin1String("base64") || !textual) {
            QByteArray encoded = readText().toLatin1();
            encoded.replace('\n', QByteArray()).replace('\r', QByteArray());
            const QString decoded = QString::fromUtf8(QByteArray::fromBase64(encoded));
            if (isHtmlType(type))
                return cleanFeedText(decoded);
            if (!mediaType || type.startsWith(QLatin1String("text/")))
                return cleanFeedText(decoded).toHtmlEscaped();
            return QString(); // a picture or other file: nothing to show as text
        }
        const QString text = readText();
        if (isHtmlType(type) || (mode == QLatin1String("escaped") && type.isEmpty()))
            return text;
        return text.toHtmlEscaped();
    }

    QString readPerson()
    {
        QString name, email;
        while (m_xml.nextStartElement()) {
            if (ns() == Ns::Atom && is(u"name"))
                name = plainTextFromHtml(readText());
            else if (ns() == Ns::Atom && is(u"email"))
                email = readText().trimmed();
            else
                skip();
        }
        return name.isEmpty() ? email : name;
    }

    void parseAtomFeed(const QUrl& base)
    {
        const size_t firstEntry = m_feed.items.size();
        while (m_xml.nextStartElement()) {
            const QUrl here = elementBase(base);
            if (ns() == Ns::Atom) {
                if (is(u"title")) {
                    m_feed.title = plainTextFromHtml(readAtomText());
                } else if (is(u"subtitle") || is(u"tagline")) {
                    m_feed.description = readAtomText();
                } else if (is(u"link")) {
                    const QString rel = attribute("rel").trimmed();
                    if (rel.isEmpty() || rel == QLatin1String("alternate"))
                        fillIn(m_feed.homePage, link(here, attribute("href")));
                    skip();
                } else if (is(u"logo")) { // preferred to the icon, whichever comes first
                    const QString logo = link(here, readText());
                    if (!logo.isEmpty())
                        m_feed.logoUrl = logo;
                } else if (is(u"icon")) {
                    fillIn(m_feed.logoUrl, link(here, readText()));
                } else if (is(u"updated") || is(u"modified")) {
                    m_feed.updated = parseFeedDate(readText());
                } else if (is(u"author")) {
                    fillIn(m_feed.author, readPerson());
                } else if (is(u"category")) {
                    addAtomCategory(m_feed.categories);
                } else if (is(u"entry")) {
                    if (!roomForItem())
                        break;
                    parseAtomEntry(here);
                } else {
                    skip();
                }
            } else if (ns() == Ns::Itunes && is(u"image")) {
                fillIn(m_feed.logoUrl, link(here, attribute("href")));
                skip();
            } else {
                skip();
            }
        }
        // An entry without an author has the feed's.
        for (size_t i = firstEntry; i < m_feed.items.size(); ++i)
            fillIn(m_feed.items[i].author, m_feed.author);
    }

    void addAtomCategory(QStringList& categories)
    {
        QString label = attribute("label");
        if (label.trimmed().isEmpty())
            label = attribute("term");
        addCategory(categories, label);
        skip();
    }

    void parseAtomEntry(const QUrl& base)
    {
        Item item;
        QString id, title, summary, content, firstLink, altTitle, altSummary, altAuthor;
        QDateTime updated, altPublished;
        Enclosure enclosure;
        Media media;
        int duration = 0;
        QString itunesImage;
        while (m_xml.nextStartElement()) {
            const QUrl here = elementBase(base);
            const Ns n = ns();
            if (n == Ns::Media) {
                if (!readMedia(media, here))
                    skip();
                continue;
            }
            if (n == Ns::Itunes) {
                if (is(u"duration"))
                    duration = parseDuration(readText());
                else if (is(u"image")) {
                    fillIn(itunesImage, link(here, attribute("href")));
                    skip();
                } else
                    skip();
                continue;
            }
            if (n == Ns::Dc || n == Ns::DcTerms) {
                if (n == Ns::Dc && is(u"title"))
                    fillIn(altTitle, readText().toHtmlEscaped());
                else if (n == Ns::Dc && is(u"description"))
                    fillIn(altSummary, readText().toHtmlEscaped());
                else if (n == Ns::Dc && is(u"creator"))
                    fillIn(altAuthor, personName(readText()));
                else if (n == Ns::Dc && is(u"subject"))
                    addCategory(item.categories, readText());
                else if (is(u"date") || is(u"issued") || is(u"created"))
                    setDate(altPublished, readText());
                else if (n == Ns::DcTerms && is(u"modified"))
                    setDate(updated, readText());
                else
                    skip();
                continue;
            }
            if (n != Ns::Atom) {
                skip();
                continue;
            }
            if (is(u"id")) {
                id = readText();
            } else if (is(u"title")) {
                title = readAtomText();
            } else if (is(u"link")) {
                const QString rel = attribute("rel").trimmed();
                const QString href = link(here, attribute("href"));
                if (rel == QLatin1String("enclosure")) {
                    if (enclosure.url.isEmpty() && !href.isEmpty())
                        enclosure = {href, attribute("type").trimmed(),
                                     qMax<qint64>(0, attribute("length").toLongLong())};
                } else if (rel.isEmpty() || rel == QLatin1String("alternate")) {
                    fillIn(item.link, href);
                } else if (rel != QLatin1String("self")) {
                    fillIn(firstLink, href);
                }
                skip();
            } else if (is(u"summary")) {
                summary = withAbsoluteLinks(here, readAtomText());
            } else if (is(u"content")) {
                const QString src = attribute("src");
                if (src.trimmed().isEmpty()) {
                    content = withAbsoluteLinks(here, readAtomText());
                } else {
                    fillIn(firstLink, link(here, src));
                    skip();
                }
            } else if (is(u"published") || is(u"issued") || is(u"created")) {
                setDate(item.published, readText());
            } else if (is(u"updated") || is(u"modified")) {
                setDate(updated, readText());
            } else if (is(u"category")) {
                addAtomCategory(item.categories);
            } else if (is(u"author")) {
                fillIn(item.author, readPerson());
            } else {
                skip();
            }
        }
        if (m_r.hasError())
            return;
        item.headline = plainTextFromHtml(title);
        if (item.headline.isEmpty())
            item.headline = plainTextFromHtml(altTitle);
        if (item.headline.isEmpty())
            item.headline = media.title;
        if (hasVisibleText(summary))
            item.summary = summary;
        else if (hasVisibleText(content))
            item.summary = content;
        else if (!altSummary.isEmpty())
            item.summary = altSummary;
        else
            item.summary = media.description;
        fillIn(item.link, firstLink);
        if (!item.published.isValid())
            item.published = altPublished;
        if (!item.published.isValid())
            item.published = updated;
        item.updated = updated;
        fillIn(item.author, altAuthor);
        for (const QString& c : std::as_const(media.categories))
            addCategory(item.categories, c);
        item.enclosure = enclosure.url.isEmpty() ? media.enclosure : enclosure;
        item.thumbnailUrl = media.thumbnail.isEmpty() ? itunesImage : media.thumbnail;
        item.durationSeconds = duration > 0 ? duration : media.duration;
        finishItem(item, id);
        m_feed.items.push_back(std::move(item));
    }

    // ---- Channel Definition Format ----

    // A CDF text: the element's text, or its VALUE attribute.
    QString readCdfText()
    {
        const QString value = attributeCi("value");
        const QString text = readText();
        return plainTextFromHtml(text.trimmed().isEmpty() ? value : text);
    }

    // A channel and its sub-channels; the items of a sub-channel are in the category of its
    // title. Returns the items read, also when the document breaks off.
    std::vector<Item> parseCdfChannel(const QUrl& parent, bool root, QString* titleOut)
    {
        QUrl base = elementBase(parent);
        const QString baseAttribute = attributeCi("base");
        if (!baseAttribute.trimmed().isEmpty()) {
            const QUrl resolved(link(base, baseAttribute));
            if (resolved.isValid() && !resolved.isRelative())
                base = resolved;
        }
        if (root) {
            m_feed.homePage = link(base, attributeCi("href"));
            m_feed.updated = parseFeedDate(attributeCi("lastmod"));
        }
        QString title;
        std::vector<Item> items;
        while (m_xml.nextStartElement()) {
            if (!m_r.namespaceUri().isEmpty()) {
                skip();
            } else if (isCi(u"title")) {
                fillIn(title, readCdfText());
            } else if (isCi(u"abstract") && root) {
                fillIn(m_feed.description, readCdfText().toHtmlEscaped());
            } else if (isCi(u"logo") && root) {
                // The wide picture (STYLE="IMAGE") is preferred to icons.
                const QString logo = link(base, attributeCi("href"));
                const bool image =
                    attributeCi("style").trimmed().toLower() == QLatin1String("image");
                if (!logo.isEmpty() && (m_feed.logoUrl.isEmpty() || (image && !m_cdfLogoIsImage))) {
                    m_feed.logoUrl = logo;
                    m_cdfLogoIsImage = image;
                }
                skip();
            } else if (isCi(u"item")) {
                if (m_cdfItems++ >= kMaxItems) {
                    m_r.raiseError(
                        QStringLiteral("the feed has more than %1 stories").arg(kMaxItems));
                    break;
                }
                Item item = parseCdfItem(base);
                if (m_r.hasError())
                    break;
                items.push_back(std::move(item));
            } else if (isCi(u"channel")) {
                QString subTitle;
                std::vector<Item> inner = parseCdfChannel(base, false, &subTitle);
                for (Item& item : inner) {
                    QStringList paths;
                    if (item.categories.isEmpty()) {
                        addCategory(paths, subTitle);
                    } else {
                        for (const QString& p : std::as_const(item.categories))
                            addCategory(paths, subTitle + QLatin1Char('/') + p);
                    }
                    item.categories = paths;
                    items.push_back(std::move(item));
                }
            } else {
                skip();
            }
        }
        if (root)
            fillIn(m_feed.title, title);
        if (titleOut)
            *titleOut = title;
        return items;
    }

    Item parseCdfItem(const QUrl& base)
    {
        Item item;
        item.link = link(base, attributeCi("href"));
        item.published = parseFeedDate(attributeCi("lastmod"));
        while (m_xml.nextStartElement()) {
            if (!m_r.namespaceUri().isEmpty()) {
                skip();
            } else if (isCi(u"title")) {
                fillIn(item.headline, readCdfText());
            } else if (isCi(u"abstract")) {
                fillIn(item.summary, readCdfText().toHtmlEscaped());
            } else if (isCi(u"logo")) {
                fillIn(item.thumbnailUrl, link(base, attributeCi("href")));
                skip();
            } else {
                skip();
            }
        }
        finishItem(item, QString());
        return item;
    }

    const XmlInput& m_input;
    XmlReader m_xml;
    QXmlStreamReader& m_r;
    QUrl m_base;
    bool m_allowFiles;
    bool m_recognised = false;
    Feed m_feed;
    // The feed's own namespace (the root's) and what it and elements without one stand for.
    QString m_ownUri;
    Ns m_ownNs = Ns::None;
    Ns m_emptyNs = Ns::None;
    QString m_lastUri;
    Ns m_lastNs = Ns::None;
    int m_cdfItems = 0;
    bool m_cdfLogoIsImage = false;
};

} // namespace

ParseResult parseFeed(const QByteArray& data, const ParseOptions& options)
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
    if (looksLikeJson(data))
        return parseJsonFeed(data, options);
    const XmlInput input = prepareXml(data, options.contentType, options.cancelled);
    if (input.cancelled) {
        result.status = ParseStatus::Cancelled;
        result.error = QStringLiteral("cancelled");
        return result;
    }
    if (!input.fatal.isEmpty()) {
        result.error = input.fatal;
        return result;
    }
    return FeedParser(input, options).parse();
}

ParseResult parseFeed(const QByteArray& data, const QUrl& documentUrl)
{
    ParseOptions options;
    options.documentUrl = documentUrl;
    return parseFeed(data, options);
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
