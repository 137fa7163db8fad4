#pragma once
// Web feeds and feed catalogues: parsing RSS (0.90 to 2.0, and 1.0), Atom (0.3 and 1.0),
// JSON Feed (1.0 and 1.1) and Channel Definition Format documents, and OPML catalogues; and
// fetching them over file:, http: and https:.
//
// Nothing here touches widgets; everything may run on a worker thread. Parsing never throws:
// a damaged or hostile document gives an error naming the line and column, and a damaged
// feed still gives every story that came before the damage.

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vantrel::feeds
{

// A file attached to a story (podcast episode, picture, download).
struct Enclosure {
    QString url;      // absolute; empty when the story has no enclosure
    QString mimeType; // as the feed declares it; may be empty
    qint64 length = 0;
};

// One story of a feed.
struct Item {
    // Stable identity of the story across fetches: the RSS guid, Atom id or JSON Feed id, else
    // RSS 1.0's rdf:about, else the link, else "hash:" followed by a SHA-1 of the headline and
    // the published date.
    QString identity;
    // Plain text: tags stripped, entities decoded, white space collapsed. A story without a
    // title gets the start of its summary (at most 80 characters, "..." when cut).
    QString headline;
    // An HTML fragment, as the feed gives it (RSS description, else content:encoded; Atom
    // summary, else content; then Dublin Core, iTunes or Media RSS descriptions). Plain text is
    // HTML-escaped, so the field is always HTML, and its relative href and src addresses are
    // made absolute. It is not sanitised here: whoever shows it must render it safely.
    QString summary;
    QString link;        // address of the full story (absolute when the feed's is known)
    QDateTime published; // UTC; invalid when the feed gives no usable date
    // Sub-channel paths: levels separated by "/", each level trimmed, empty levels dropped.
    // Duplicates removed, order kept.
    QStringList categories;
    // The first usable enclosure of those the story gives (RSS enclosure, then Media RSS
    // content, then Atom's enclosure link; JSON Feed attachments).
    Enclosure enclosure;
    QString author;          // plain text: the author's name, else address; may be empty
    QString thumbnailUrl;    // absolute: a picture for the story (Media RSS, iTunes, JSON Feed)
    int durationSeconds = 0; // the length of its audio or video; 0 when not given
    QDateTime updated;       // UTC: when the story last changed; invalid when not given
};

struct Feed {
    QString title;
    QString homePage;
    QString description;
    QString logoUrl;
    QDateTime updated;      // UTC; invalid when absent
    QString author;         // plain text; may be empty
    QStringList categories; // the channel's own categories (RSS, iTunes, Atom), as paths
    std::vector<Item> items;
};

enum class ParseStatus {
    Complete,  // the whole document was read
    Partial,   // a feed, damaged or cut short: what came before the fault was read
    Failed,    // nothing usable: empty, not a feed, unreadable from the start
    Cancelled, // the caller's cancel check stopped the reading
};

struct ParseResult {
    ParseStatus status = ParseStatus::Failed;
    bool ok = false; // status == Complete
    // Why the document was not read in full: "line L, column C: what went wrong"; empty when
    // Complete. For Partial it is meant for the channel's status text.
    QString error;
    // Complete: the feed. Partial: its channel fields and every story that was complete
    // before the fault. Otherwise empty.
    Feed feed;
};

// Polled now and then while a document is read; returning true stops the reading.
using CancelCheck = std::function<bool()>;

struct ParseOptions {
    // The document's own address. Relative links resolve against it (and against xml:base),
    // and links to local files are kept only when it is a local file itself.
    QUrl documentUrl;
    // The Content-Type it came with ("application/rss+xml; charset=windows-1252"): its
    // charset counts when neither a byte-order mark nor the XML declaration names one.
    QString contentType;
    CancelCheck cancelled;
};

// Limits that keep a hostile document from exhausting memory or time. A story list longer
// than kMaxItems or a text longer than kMaxTextChars ends the reading there (Partial).
constexpr int kMaxItems = 50000;
constexpr int kMaxTextChars = 4 * 1024 * 1024; // one element's text
constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;

// Parses a feed: RSS 0.90 to 2.0 and RSS 1.0 (RDF) in any namespace form, Atom 0.3 and 1.0,
// JSON Feed 1.0 and 1.1, or a Channel Definition Format document. Addresses in the feed are
// kept only in the schemes a reader follows (see ParseOptions); an item whose link is refused
// keeps its other fields.
ParseResult parseFeed(const QByteArray& data, const ParseOptions& options);
// The same with only the document's address.
ParseResult parseFeed(const QByteArray& data, const QUrl& documentUrl);

// The "Bundlet Type" bit for an enclosure: video 0x4, picture 0x10, audio 0x2, any other file
// 0x80, no enclosure 0x200. Decided by the MIME type, else by the address's file extension.
uint32_t bundletTypeFor(const Enclosure& e);

// Dates as feeds write them; both give UTC, or an invalid QDateTime when the text is not one.
QDateTime parseRfc822Date(const QString& text);  // "Sat, 07 Sep 2002 09:42:31 GMT", "+0200"
QDateTime parseRfc3339Date(const QString& text); // "2002-09-07T09:42:31.25+02:00", "2002-09"
// Any of the forms feeds use: the two above, RFC 850 and C's asctime.
QDateTime parseFeedDate(const QString& text);

// HTML helpers: entity decoding as HTML does it (every named reference of HTML, the legacy
// ones also without ";"; decimal and hexadecimal ones, those of 128 to 159 read as
// Windows-1252; unknown ones kept as written) and the plain text of an HTML fragment (tags and
// comments removed, entities decoded, white space collapsed). A "<" that starts no tag is
// kept as text.
QString decodeHtmlEntities(const QString& text);
QString plainTextFromHtml(const QString& html);

// One channel of a catalogue.
struct OpmlEntry {
    QString title;
    QString feedUrl; // absolute
    QString homePage;
    QString description;
    // Category paths in the category text form: levels joined by "/", a "/" inside a level
    // name written "&slash;". Empty for an entry outside any folder without a category
    // attribute. An entry listed in several folders appears once with every path.
    QStringList categoryPaths;
    QDateTime created; // UTC; invalid when absent
    // Every attribute of the outline as written, by qualified name ("text", "xmlUrl",
    // "vantrel:secure", ...); for an entry listed several times, those of its first outline.
    QMap<QString, QString> attributes;
};

// An outline of a catalogue that names a feed address a reader does not follow.
struct OpmlRefusal {
    QString title;
    QString address; // as written
    QString reason;  // in words for the person
};

struct OpmlResult {
    bool ok = false;
    bool cancelled = false;
    QString error;
    QString title; // the head's title
    std::vector<OpmlEntry> entries;
    std::vector<OpmlRefusal> refused; // in the order of the catalogue
};

// Parses an OPML 1.0 / 2.0 catalogue. Outlines with xmlUrl (or url) are entries; outlines
// without are folders, whose names form the category chain of what they contain. An outline
// whose feed address is in a scheme a reader does not follow (javascript:, data:, file: in a
// catalogue that is no local file) is no entry.
OpmlResult parseOpml(const QByteArray& data, const ParseOptions& options);
OpmlResult parseOpml(const QByteArray& data, const QUrl& documentUrl);

// A feed a web page names in its head (<link rel="alternate" type="application/rss+xml">,
// Atom, RSS 1.0 and JSON Feed types).
struct FeedLink {
    QString address; // absolute, in a scheme a reader follows from that page
    QString title;   // the link's title; may be empty
    QString type;    // "RSS", "Atom", "RSS 1.0" or "JSON Feed"
};

// The feeds the page at pageUrl links to, in the page's order, each address once. Relative
// links resolve against the page's address (or its <base href>); a page from the network
// never leads to a local file.
std::vector<FeedLink> discoverFeedLinks(const QByteArray& page, const QUrl& pageUrl,
                                        const QString& contentType = QString());
// Whether a response is a web page rather than a feed, by its type or its first bytes.
bool looksLikeHtml(const QByteArray& data, const QString& contentType);

struct FetchResult {
    bool ok = false;
    int httpStatus = 0; // 0 for file: and for failures before a response
    QString error;      // clear words: "HTTP 404 Not Found", "too large", "timed out", ...
    QByteArray body;
    QString contentType;
    QUrl finalUrl; // after redirects
};

// How downloads reach the network: the proxy and the user-agent text.
struct NetworkSettings {
    enum class ProxyMode {
        System, // the desktop's proxy settings (environment variables on Linux)
        None,   // straight to the network
        Manual, // the proxy below
    };
    enum class ProxyKind { Http, Socks5 };
    ProxyMode proxyMode = ProxyMode::System;
    ProxyKind proxyKind = ProxyKind::Http;
    QString proxyHost;
    quint16 proxyPort = 0;
    QString proxyUser; // empty: the proxy asks for no authentication
    QString proxyPassword;
    QString userAgent; // empty: defaultUserAgent()

    static QString defaultUserAgent();
};

// Synchronous download for a worker thread. Each fetch makes its own network access manager
// in the calling thread and runs a local event loop until the download ends, so it must not be
// called on the user-interface thread of a program that draws. One Fetcher serves one thread
// at a time; cancel() may be called from any thread.
class Fetcher
{
public:
    Fetcher();
    ~Fetcher();
    Fetcher(const Fetcher&) = delete;
    Fetcher& operator=(const Fetcher&) = delete;

    // Downloads url. More than maxBytes (<= 0: no limit beyond kMaxDocumentBytes) aborts with
    // "too large"; the whole fetch, redirects included, must end within timeoutMs (<= 0: no
    // limit). At most kMaxRedirects redirects are followed, never from https: to http:.
    FetchResult fetch(const QUrl& url, qint64 maxBytes, int timeoutMs);

    // Aborts the fetch in progress; the fetch returns ok = false with error "cancelled". The
    // Fetcher stays cancelled (later fetches return at once the same way) until reset().
    void cancel();
    void reset();
    bool isCancelled() const;

    // Used by the fetches that start after the call (any thread). Addresses on this computer
    // (localhost, loopback) never go through a proxy.
    void setNetworkSettings(const NetworkSettings& settings);
    NetworkSettings networkSettings() const;

    static constexpr int kMaxRedirects = 10;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vantrel::feeds
