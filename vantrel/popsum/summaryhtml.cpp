// Cleaning of summary HTML and the placement rule of the pop-up.

#include "vantrel/core/feeds/feedtext_p.h"
#include "vantrel/popsum/popsum_p.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace popsum
{

namespace
{

using vantrel::feeds::decodeHtmlEntities;
using vantrel::feeds::htmlTagEnd;
using vantrel::feeds::htmlTagName;

bool isSafeLink(const QString& href)
{
    const QUrl url(href.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto");
}

// The value of one attribute of a tag's text ("<a href='x' title=y>"), entities decoded.
QString attributeValue(const QString& tag, const QString& name)
{
    static const QRegularExpression re(QStringLiteral(
        R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*(?:=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))?)re"));
    // Skip "<name" before looking at attributes.
    int start = 1;
    while (start < tag.size() && (tag[start].isLetterOrNumber() || tag[start] == '/'))
        ++start;
    auto it = re.globalMatch(tag, start);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) == 0) {
            for (int group = 2; group <= 4; ++group) {
                if (m.capturedStart(group) >= 0)
                    return decodeHtmlEntities(m.captured(group));
            }
            return QString();
        }
    }
    return QString();
}

// The visible text is emitted through this writer, which counts characters, turns plain
// addresses into links and stops at the limit.
class Writer
{
public:
    explicit Writer(int maxChars) : m_left(maxChars) {}

    bool full() const { return m_full; }
    QString& out() { return m_out; }

    void text(const QString& raw, bool insideLink, bool keepLineBreaks)
    {
        if (m_full)
            return;
        QString text = decodeHtmlEntities(raw);
        static const QRegularExpression runOfSpace(QStringLiteral("\\s+"));
        if (!keepLineBreaks)
            text.replace(runOfSpace, QStringLiteral(" "));
        if (text.size() > m_left) {
            text = elideText(text, m_left);
            m_full = true;
        }
        m_left -= text.size();
        if (insideLink) {
            m_out += escape(text, keepLineBreaks);
            return;
        }
        static const QRegularExpression address(
            QStringLiteral(R"re((?:https?://|ftp://|www\.)[^\s<>"']+)re"),
            QRegularExpression::CaseInsensitiveOption);
        int pos = 0;
        auto it = address.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            QString link = m.captured(0);
            // Punctuation that ends a sentence is not part of the address.
            while (!link.isEmpty() && QStringLiteral(".,;:!?)]}'\"").contains(link.back()))
                link.chop(1);
            if (link.endsWith(QLatin1String("...")))
                link.chop(3);
            if (link.size() <= 4)
                continue;
            const QString href = link.startsWith(QLatin1String("www."), Qt::CaseInsensitive)
                                     ? "http://" + link
                                     : link;
            m_out += escape(text.mid(pos, m.capturedStart(0) - pos), keepLineBreaks);
            if (isSafeLink(href)) {
                m_out += QStringLiteral("<a href=\"%1\">%2</a>")
                             .arg(QUrl(href).toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                  link.toHtmlEscaped());
            } else {
                m_out += link.toHtmlEscaped();
            }
            pos = m.capturedStart(0) + link.size();
        }
        m_out += escape(text.mid(pos), keepLineBreaks);
    }

    void raw(const QString& markup) { m_out += markup; }

private:
    static QString escape(const QString& text, bool keepLineBreaks)
    {
        QString escaped = text.toHtmlEscaped();
        if (keepLineBreaks)
            escaped.replace('\n', QLatin1String("<br>"));
        return escaped;
    }

    QString m_out;
    int m_left;
    bool m_full = false;
};

} // namespace

QString elideText(const QString& text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    const int keep = std::max(0, maxChars - 3);
    int cut = keep;
    // Prefer a word boundary within the last fifth of what is kept.
    const int space = text.lastIndexOf(' ', keep);
    if (space > keep * 4 / 5)
        cut = space;
    return text.left(cut).trimmed() + QStringLiteral("...");
}

QString sanitizeSummaryHtml(const QString& html, int maxChars)
{
    // Tags kept as they are (without attributes).
    static const QStringList kept = {"b",   "strong", "i",   "em",  "u",     "s",          "strike",
                                     "del", "ins",    "sub", "sup", "small", "code",       "tt",
                                     "kbd", "pre",    "p",   "div", "span",  "blockquote", "ul",
                                     "ol",  "li",     "dl",  "dt",  "dd"};
    // Tags dropped together with everything inside them.
    static const QStringList dropped = {"script",   "style",    "iframe", "object",   "embed",
                                        "noscript", "template", "head",   "title",    "svg",
                                        "math",     "applet",   "audio",  "video",    "canvas",
                                        "select",   "textarea", "button", "frameset", "frame"};
    static const QStringList breaks = {"br", "tr", "hr"};
    static const QStringList headings = {"h1", "h2", "h3", "h4", "h5", "h6"};

    bool hasTags = false;
    for (int i = html.indexOf('<'); i >= 0; i = html.indexOf('<', i + 1)) {
        if (htmlTagEnd(html, i) > i) {
            hasTags = true;
            break;
        }
    }

    Writer writer(maxChars);
    std::vector<QString> open; // the kept tags that are open, innermost last
    int linkDepth = 0;
    int preDepth = 0;
    const int n = html.size();
    int i = 0;
    // Markup without text (thousands of empty tags) would still make a slow document.
    const int maxMarkup = std::max(4096, maxChars * 16);
    while (i < n && !writer.full()) {
        if (writer.out().size() > maxMarkup) {
            writer.text(QStringLiteral("..."), true, false);
            break;
        }
        if (html[i] == '<') {
            const int end = htmlTagEnd(html, i);
            if (end > i) {
                const QString tag = html.mid(i, end - i);
                QString name = htmlTagName(html, i, end);
                const bool closing = name.startsWith('/');
                if (closing)
                    name.remove(0, 1);
                i = end;
                if (name.isEmpty())
                    continue; // comment, doctype, processing instruction
                if (dropped.contains(name)) {
                    if (!closing && !tag.endsWith(QLatin1String("/>"))) {
                        const int close =
                            html.indexOf(QLatin1String("</") + name, i, Qt::CaseInsensitive);
                        i = close < 0 ? n : std::max(i, htmlTagEnd(html, close));
                    }
                    continue;
                }
                QString element = name;
                if (headings.contains(name))
                    element = QStringLiteral("b"); // headings shout in a small window
                if (!closing && breaks.contains(name)) {
                    writer.raw(QStringLiteral("<br>"));
                    continue;
                }
                if (!closing && name == QLatin1String("img")) {
                    const QString alt = attributeValue(tag, QStringLiteral("alt")).simplified();
                    if (!alt.isEmpty())
                        writer.text(QStringLiteral("[%1]").arg(alt), linkDepth > 0, false);
                    continue;
                }
                if (name == QLatin1String("a")) {
                    if (closing) {
                        auto it = std::find(open.rbegin(), open.rend(), QStringLiteral("a"));
                        if (it != open.rend()) {
                            // Close everything opened inside the link, then the link.
                            while (open.back() != QLatin1String("a")) {
                                writer.raw("</" + open.back() + ">");
                                open.pop_back();
                            }
                            writer.raw(QStringLiteral("</a>"));
                            open.pop_back();
                            --linkDepth;
                        }
                    } else if (linkDepth == 0) {
                        const QString href = attributeValue(tag, QStringLiteral("href")).trimmed();
                        if (isSafeLink(href)) {
                            writer.raw(
                                QStringLiteral("<a href=\"%1\">")
                                    .arg(QUrl(href).toString(QUrl::FullyEncoded).toHtmlEscaped()));
                            open.push_back(QStringLiteral("a"));
                            ++linkDepth;
                        }
                    }
                    continue;
                }
                if (!kept.contains(element) && !headings.contains(name)) {
                    // Unknown or unwanted tag: its text stays, the tag goes. Block-like tags
                    // still separate words.
                    if (name == QLatin1String("td") || name == QLatin1String("th") ||
                        name == QLatin1String("table") || name == QLatin1String("section") ||
                        name == QLatin1String("article"))
                        writer.text(QStringLiteral(" "), true, false);
                    continue;
                }
                if (closing) {
                    auto it = std::find(open.rbegin(), open.rend(), element);
                    if (it == open.rend())
                        continue; // a stray closing tag
                    while (open.back() != element) {
                        if (open.back() == QLatin1String("a"))
                            --linkDepth;
                        if (open.back() == QLatin1String("pre"))
                            --preDepth;
                        writer.raw("</" + open.back() + ">");
                        open.pop_back();
                    }
                    writer.raw("</" + element + ">");
                    open.pop_back();
                    if (element == QLatin1String("pre"))
                        --preDepth;
                    if (headings.contains(name))
                        writer.raw(QStringLiteral("<br>"));
                } else if (!tag.endsWith(QLatin1String("/>"))) {
                    if (open.size() >= 64)
                        continue; // absurd nesting gains nothing
                    writer.raw("<" + element + ">");
                    open.push_back(element);
                    if (element == QLatin1String("pre"))
                        ++preDepth;
                }
                continue;
            }
        }
        const int next = html.indexOf('<', i + 1);
        const int stop = next < 0 ? n : next;
        writer.text(html.mid(i, stop - i), linkDepth > 0, !hasTags || preDepth > 0);
        i = stop;
    }
    while (!open.empty()) {
        writer.raw("</" + open.back() + ">");
        open.pop_back();
    }
    return writer.out().trimmed();
}

QPoint placePopup(const QSize& size, const QPoint& point, const QRect& exclude, const QRect& screen)
{
    const int w = size.width();
    const int h = size.height();
    auto clampX = [&](int x) {
        return std::max(screen.left(), std::min(x, screen.left() + screen.width() - w));
    };
    auto clampY = [&](int y) {
        return std::max(screen.top(), std::min(y, screen.top() + screen.height() - h));
    };
    QPoint at(clampX(point.x()), clampY(point.y()));
    if (exclude.isEmpty() || !QRect(at, size).intersects(exclude))
        return at;

    const int screenBottom = screen.top() + screen.height(); // first row below the screen
    const int screenRight = screen.left() + screen.width();
    const int excludeBottom = exclude.top() + exclude.height(); // first row below the rectangle
    const int excludeRight = exclude.left() + exclude.width();
    const int roomBelow = screenBottom - excludeBottom - kExcludeGap;
    const int roomAbove = exclude.top() - screen.top() - kExcludeGap;
    if (h <= roomBelow)
        return QPoint(at.x(), excludeBottom + kExcludeGap);
    if (h <= roomAbove)
        return QPoint(at.x(), exclude.top() - kExcludeGap - h);
    const int roomRight = screenRight - excludeRight - kExcludeGap;
    const int roomLeft = exclude.left() - screen.left() - kExcludeGap;
    if (w <= roomRight)
        return QPoint(excludeRight + kExcludeGap, at.y());
    if (w <= roomLeft)
        return QPoint(exclude.left() - kExcludeGap - w, at.y());
    // Nothing fits: take the roomier side and let the screen edge decide.
    if (roomBelow >= roomAbove)
        return QPoint(at.x(), clampY(excludeBottom + kExcludeGap));
    return QPoint(at.x(), clampY(exclude.top() - kExcludeGap - h));
}

} // namespace popsum
