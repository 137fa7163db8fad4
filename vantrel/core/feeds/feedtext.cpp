// HTML text helpers shared by the feed parser and the summary pop-up.

#include "vantrel/core/feeds/feedtext_p.h"

#include <algorithm>
#include <cstring>

namespace vantrel::feeds
{

namespace
{

// The longest entity name of HTML has 31 characters; legacy ones (accepted without ";") 6.
constexpr int kMaxEntityName = 32;
constexpr int kMaxLegacyEntityName = 6;

void appendCodePoint(QString& out, char32_t cp)
{
    // Control characters other than white space, surrogates and out-of-range values would
    // only corrupt text: they become the replacement character.
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ||
        (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r'))
        cp = 0xFFFD;
    if (QChar::requiresSurrogates(cp)) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(char16_t(cp));
    }
}

void appendEntity(QString& out, const HtmlEntity& entity)
{
    appendCodePoint(out, entity.first);
    if (entity.second)
        appendCodePoint(out, entity.second);
}

// The Windows-1252 character of a byte or C1 control 0x80..0x9F; 0 for the five that have none.
char32_t windows1252(char32_t c)
{
    static const char16_t table[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    return table[c - 0x80];
}

// A numeric reference as HTML reads it: C1 numbers are the Windows-1252 characters that
// authors meant.
char32_t numericReference(char32_t value)
{
    if (value >= 0x80 && value <= 0x9F) {
        const char32_t mapped = windows1252(value);
        return mapped ? mapped : 0xFFFD;
    }
    return value;
}

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// Reads a numeric reference at text[i] (just past "&#"); false when no digits follow.
bool readNumeric(const QString& text, int& i, QString& out)
{
    const int n = text.size();
    int k = i;
    bool hex = false;
    if (k < n && (text[k] == 'x' || text[k] == 'X')) {
        hex = true;
        ++k;
    }
    const int digitsStart = k;
    char32_t value = 0;
    while (k < n) {
        const char16_t u = text[k].unicode();
        int digit = -1;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (hex && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (hex && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit < 0)
            break;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
        ++k;
    }
    if (k == digitsStart)
        return false;
    if (k < n && text[k] == ';')
        ++k;
    appendCodePoint(out, numericReference(value));
    i = k;
    return true;
}

// An absolute http or https address that QUrl gives back exactly as written: lower-case
// scheme and host, no port or user, and only characters that need no encoding. Most links in
// feeds are such, and checking is much cheaper than parsing.
bool isPlainWebAddress(QStringView s)
{
    int i;
    if (s.startsWith(QLatin1String("http://")))
        i = 7;
    else if (s.startsWith(QLatin1String("https://")))
        i = 8;
    else
        return false;
    const int n = s.size();
    const int hostStart = i;
    char16_t previous = '.';
    bool lastLabelLetter = false; // a host of numbers is an IPv4 address, which QUrl rewrites
    int labelLength = 0;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c == '/' || c == '?' || c == '#')
            break;
        if (previous == '.')
            lastLabelLetter = c >= 'a' && c <= 'z';
        // Longer labels and names are no host names; QUrl refuses them.
        labelLength = c == '.' ? 0 : labelLength + 1;
        if (labelLength > 63 || i - hostStart >= 253)
            return false;
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum && c != '.' && c != '-')
            return false;
        // Labels are not empty and do not begin or end with "-"; "--" may be an encoded
        // international name ("xn--"), which QUrl shows decoded.
        if ((c == '.' && (previous == '.' || previous == '-')) ||
            (c == '-' && (previous == '.' || previous == '-')))
            return false;
        previous = c;
    }
    if (i == hostStart || previous == '.' || previous == '-' || !lastLabelLetter)
        return false;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c <= ' ' || c >= 0x7F || c == '"' || c == '%' || c == '<' || c == '>' || c == '\\' ||
            c == '^' || c == '`' || c == '{' || c == '|' || c == '}')
            return false;
    }
    return true;
}

// Whether text holds word (lower-case ASCII) in any case.
bool containsAsciiWord(QStringView text, const char* word)
{
    const qsizetype length = qsizetype(strlen(word));
    for (qsizetype i = 0; i + length <= text.size(); ++i) {
        qsizetype k = 0;
        while (k < length && (text[i + k].unicode() | 0x20) == char16_t(word[k]))
            ++k;
        if (k == length)
            return true;
    }
    return false;
}

} // namespace

const HtmlEntity* findHtmlEntity(QStringView name)
{
    if (name.isEmpty() || name.size() > kMaxEntityName)
        return nullptr;
    char key[kMaxEntityName + 1];
    for (int i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u > 0x7F)
            return nullptr;
        key[i] = char(u);
    }
    key[name.size()] = '\0';
    const HtmlEntity* end = kHtmlEntities + kHtmlEntityCount;
    const HtmlEntity* it =
        std::lower_bound(kHtmlEntities, end, key, [](const HtmlEntity& e, const char* k) {
            return std::strcmp(e.name, k) < 0;
        });
    if (it != end && std::strcmp(it->name, key) == 0)
        return it;
    return nullptr;
}

bool resolveHtmlEntity(const QString& name, QString& text)
{
    if (name.isEmpty())
        return false;
    if (name[0] == '#') {
        QString out;
        int i = 1;
        if (!readNumeric(name, i, out) || i != name.size())
            return false;
        text = out;
        return true;
    }
    const HtmlEntity* entity = findHtmlEntity(name);
    if (!entity)
        return false;
    text.clear();
    appendEntity(text, *entity);
    return true;
}

QString decodeHtmlEntities(const QString& text)
{
    if (!text.contains('&'))
        return text;
    QString out;
    out.reserve(text.size());
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const int amp = text.indexOf('&', i);
        if (amp < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, amp - i);
        i = amp + 1;
        if (i < n && text[i] == '#') {
            int k = i + 1;
            if (readNumeric(text, k, out)) {
                i = k;
                continue;
            }
            out += '&';
            continue;
        }
        // Entity names are short: look no further than the longest, so that text full of "&"
        // stays linear.
        int end = i;
        while (end < n && end - i <= kMaxEntityName && isAsciiAlnum(text[end]))
            ++end;
        const QStringView name = QStringView(text).mid(i, end - i);
        if (end < n && text[end] == ';') {
            if (const HtmlEntity* entity = findHtmlEntity(name)) {
                appendEntity(out, *entity);
                i = end + 1;
                continue;
            }
        }
        // The legacy names are read without ";" too, the longest that matches ("&notit"
        // is "¬it").
        bool found = false;
        for (int len = std::min<int>(name.size(), kMaxLegacyEntityName); len >= 2; --len) {
            const HtmlEntity* entity = findHtmlEntity(name.left(len));
            if (entity && entity->legacy) {
                appendEntity(out, *entity);
                i += len;
                found = true;
                break;
            }
        }
        if (!found)
            out += '&';
    }
    return out;
}

int htmlTagEnd(const QString& html, int start)
{
    const int n = html.size();
    if (start + 1 >= n)
        return -1;
    if (QStringView(html).mid(start, 4) == QLatin1String("<!--")) {
        const int end = html.indexOf(QLatin1String("-->"), start + 4);
        return end < 0 ? n : end + 3;
    }
    const QChar next = html[start + 1];
    if (!(next.isLetter() || next == '/' || next == '!' || next == '?'))
        return -1;
    // Quoted attribute values may hold ">".
    QChar quote;
    int firstInQuote = -1; // the first ">" inside the open quoted value
    for (int i = start + 1; i < n; ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
                firstInQuote = -1;
            } else if (c == '>' && firstInQuote < 0) {
                firstInQuote = i;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    // A quote that never closes: the tag ends at the first ">" after it. Without one, an
    // unterminated tag runs to the end of the text.
    return firstInQuote >= 0 ? firstInQuote + 1 : n;
}

QString htmlTagName(const QString& html, int start, int end)
{
    int i = start + 1;
    QString name;
    if (i < end && html[i] == '/') {
        name += '/';
        ++i;
    }
    while (i < end && (html[i].isLetterOrNumber() || html[i] == ':' || html[i] == '-'))
        name += html[i++].toLower();
    return name;
}

QString plainTextFromHtml(const QString& html)
{
    QString out;
    out.reserve(html.size());
    int i = 0;
    const int n = html.size();
    while (i < n) {
        if (html[i] == '<') {
            const int end = htmlTagEnd(html, i);
            if (end > i) {
                const QString name = htmlTagName(html, i, end);
                if (name == QLatin1String("script") || name == QLatin1String("style")) {
                    // Their content is code, not text.
                    const int close =
                        html.indexOf(QLatin1String("</") + name, end, Qt::CaseInsensitive);
                    i = close < 0 ? n : htmlTagEnd(html, close);
                    if (i < 0)
                        i = n;
                    continue;
                }
                // Block tags separate words ("a<br>b" is two words); inline ones do not.
                static const QStringList blocks = {
                    "br", "p",  "div", "li", "ul",    "ol",         "h1",  "h2", "h3", "h4", "h5",
                    "h6", "tr", "td",  "th", "table", "blockquote", "pre", "hr", "dd", "dt"};
                QString bare = name;
                if (bare.startsWith('/'))
                    bare.remove(0, 1);
                if (blocks.contains(bare))
                    out += ' ';
                i = end;
                continue;
            }
        }
        const int next = html.indexOf('<', i + 1);
        const int stop = next < 0 ? n : next;
        out += QStringView(html).mid(i, stop - i);
        i = stop;
    }
    return cleanFeedText(decodeHtmlEntities(out)).simplified();
}

QString resolveUrl(const QUrl& base, const QString& reference, bool allowFiles)
{
    QString trimmed = reference.trimmed();
    if (trimmed.isEmpty())
        return QString();
    if (isPlainWebAddress(trimmed))
        return trimmed;
    // "feed:" wraps an http address ("feed://host/path", "feed:https://host/path").
    if (trimmed.startsWith(QLatin1String("feed:"), Qt::CaseInsensitive)) {
        trimmed.remove(0, 5);
        if (trimmed.startsWith(QLatin1String("//")))
            trimmed.prepend(QLatin1String("http:"));
    }
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (!url.isValid())
        return QString();
    const QUrl resolved =
        (url.isRelative() && base.isValid() && !base.isEmpty()) ? base.resolved(url) : url;
    const QString scheme = resolved.scheme().toLower();
    if (scheme.isEmpty())
        return resolved.toString();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (resolved.host().isEmpty())
            return QString();
        return resolved.toString();
    }
    if (scheme == QLatin1String("file") && allowFiles)
        return resolved.toString();
    return QString();
}

QString resolveHtmlLinks(const QString& html, const QUrl& base, bool allowFiles)
{
    // Most summaries have no attribute at all: a cheap look first.
    if (!base.isValid() || base.isEmpty() || !html.contains(QLatin1Char('=')) ||
        (!containsAsciiWord(html, "href") && !containsAsciiWord(html, "src")))
        return html;
    QString out;
    int copied = 0;
    const int n = html.size();
    for (int i = html.indexOf('<'); i >= 0 && i < n; i = html.indexOf('<', i + 1)) {
        const int end = htmlTagEnd(html, i);
        if (end <= i)
            continue;
        const QString name = htmlTagName(html, i, end);
        if (name.isEmpty() || name.startsWith('/')) {
            i = end - 1;
            continue;
        }
        int k = i + 1 + name.size();
        while (k < end) {
            while (k < end && (html[k].isSpace() || html[k] == '/'))
                ++k;
            const int nameStart = k;
            while (k < end && !html[k].isSpace() && html[k] != '=' && html[k] != '>' &&
                   html[k] != '/')
                ++k;
            const QStringView attribute = QStringView(html).mid(nameStart, k - nameStart);
            while (k < end && html[k].isSpace())
                ++k;
            if (k >= end || html[k] != '=') {
                if (k == nameStart)
                    ++k;
                continue;
            }
            ++k;
            while (k < end && html[k].isSpace())
                ++k;
            int valueStart = k;
            int valueEnd;
            int after;
            if (k < end && (html[k] == '"' || html[k] == '\'')) {
                int close = k + 1;
                while (close < end && html[close] != html[k])
                    ++close;
                if (close >= end)
                    break; // a quote that does not close within the tag: left as it is
                valueStart = k + 1;
                valueEnd = close;
                after = valueEnd + 1;
                k = valueStart - 1; // the opening quote
            } else {
                valueEnd = k;
                while (valueEnd < end && !html[valueEnd].isSpace() && html[valueEnd] != '>')
                    ++valueEnd;
                after = valueEnd;
            }
            const int replaceFrom = k; // the quote, or the value itself when unquoted
            const bool link = attribute.compare(QLatin1String("href"), Qt::CaseInsensitive) == 0 ||
                              attribute.compare(QLatin1String("src"), Qt::CaseInsensitive) == 0;
            if (link && valueEnd > valueStart) {
                const QString value =
                    decodeHtmlEntities(html.mid(valueStart, valueEnd - valueStart)).trimmed();
                if (!value.isEmpty() && !value.startsWith('#') &&
                    QUrl(value, QUrl::TolerantMode).isRelative()) {
                    const QString absolute = resolveUrl(base, value, allowFiles);
                    if (!absolute.isEmpty()) {
                        out += QStringView(html).mid(copied, replaceFrom - copied);
                        out += QLatin1Char('"') + absolute.toHtmlEscaped() + QLatin1Char('"');
                        copied = std::min(after, n);
                    }
                }
            }
            k = after;
        }
        i = end - 1;
    }
    if (copied == 0)
        return html;
    out += QStringView(html).mid(copied);
    return out;
}

QString categoryPath(const QString& text)
{
    // Most paths are tidy already ("News/World"): keep those without rebuilding them.
    bool tidy = !text.isEmpty() && !text.startsWith('/') && !text.endsWith('/');
    for (int i = 0; tidy && i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSpace())
            tidy = c == ' ' && i > 0 && text[i - 1] != ' ' && text[i - 1] != '/' &&
                   i + 1 < text.size() && text[i + 1] != ' ' && text[i + 1] != '/';
        else if (c == '/')
            tidy = text[i - 1] != '/';
    }
    if (tidy)
        return text;
    QStringList levels;
    for (const QString& level : text.split('/')) {
        const QString trimmed = level.simplified();
        if (!trimmed.isEmpty())
            levels << trimmed;
    }
    return levels.join('/');
}

bool hasVisibleText(const QString& html)
{
    const int n = html.size();
    int i = 0;
    while (i < n) {
        const QChar c = html[i];
        if (c == '<') {
            const int end = htmlTagEnd(html, i);
            if (end > i) {
                i = end;
                continue;
            }
            return true;
        }
        if (!c.isSpace())
            return true;
        ++i;
    }
    return false;
}

QString cleanFeedText(QString text)
{
    const int n = text.size();
    int i = 0;
    // Most text has no control characters: look before writing.
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    while (i < n) {
        const char16_t u = p[i];
        if (u < 0x20 ? (u != '\t' && u != '\n' && u != '\r') : char16_t(u - 0x7F) <= 0x20)
            break;
        ++i;
    }
    if (i == n)
        return text;
    QChar* data = text.data();
    for (; i < n; ++i) {
        const char16_t u = data[i].unicode();
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') {
            data[i] = QLatin1Char(' ');
        } else if (u == 0x7F) {
            data[i] = QLatin1Char(' ');
        } else if (u >= 0x80 && u <= 0x9F) {
            const char32_t mapped = windows1252(u);
            data[i] = mapped ? QChar(char16_t(mapped)) : QLatin1Char(' ');
        }
    }
    return text;
}

} // namespace vantrel::feeds
