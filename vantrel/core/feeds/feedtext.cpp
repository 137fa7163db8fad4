// HTML text helpers shared by the feed parser and the summary pop-up.

#include "vantrel/core/feeds/feedtext_p.h"

#include <QHash>

namespace vantrel::feeds
{

namespace
{

const QHash<QString, char32_t>& namedEntities()
{
    static const QHash<QString, char32_t> table = {
        {"amp", '&'},       {"lt", '<'},        {"gt", '>'},       {"quot", '"'},
        {"apos", '\''},     {"nbsp", 0xA0},     {"iexcl", 0xA1},   {"cent", 0xA2},
        {"pound", 0xA3},    {"curren", 0xA4},   {"yen", 0xA5},     {"brvbar", 0xA6},
        {"sect", 0xA7},     {"uml", 0xA8},      {"copy", 0xA9},    {"ordf", 0xAA},
        {"laquo", 0xAB},    {"not", 0xAC},      {"shy", 0xAD},     {"reg", 0xAE},
        {"macr", 0xAF},     {"deg", 0xB0},      {"plusmn", 0xB1},  {"sup2", 0xB2},
        {"sup3", 0xB3},     {"acute", 0xB4},    {"micro", 0xB5},   {"para", 0xB6},
        {"middot", 0xB7},   {"cedil", 0xB8},    {"sup1", 0xB9},    {"ordm", 0xBA},
        {"raquo", 0xBB},    {"frac14", 0xBC},   {"frac12", 0xBD},  {"frac34", 0xBE},
        {"iquest", 0xBF},   {"Agrave", 0xC0},   {"Aacute", 0xC1},  {"Acirc", 0xC2},
        {"Atilde", 0xC3},   {"Auml", 0xC4},     {"Aring", 0xC5},   {"AElig", 0xC6},
        {"Ccedil", 0xC7},   {"Egrave", 0xC8},   {"Eacute", 0xC9},  {"Ecirc", 0xCA},
        {"Euml", 0xCB},     {"Igrave", 0xCC},   {"Iacute", 0xCD},  {"Icirc", 0xCE},
        {"Iuml", 0xCF},     {"ETH", 0xD0},      {"Ntilde", 0xD1},  {"Ograve", 0xD2},
        {"Oacute", 0xD3},   {"Ocirc", 0xD4},    {"Otilde", 0xD5},  {"Ouml", 0xD6},
        {"times", 0xD7},    {"Oslash", 0xD8},   {"Ugrave", 0xD9},  {"Uacute", 0xDA},
        {"Ucirc", 0xDB},    {"Uuml", 0xDC},     {"Yacute", 0xDD},  {"THORN", 0xDE},
        {"szlig", 0xDF},    {"agrave", 0xE0},   {"aacute", 0xE1},  {"acirc", 0xE2},
        {"atilde", 0xE3},   {"auml", 0xE4},     {"aring", 0xE5},   {"aelig", 0xE6},
        {"ccedil", 0xE7},   {"egrave", 0xE8},   {"eacute", 0xE9},  {"ecirc", 0xEA},
        {"euml", 0xEB},     {"igrave", 0xEC},   {"iacute", 0xED},  {"icirc", 0xEE},
        {"iuml", 0xEF},     {"eth", 0xF0},      {"ntilde", 0xF1},  {"ograve", 0xF2},
        {"oacute", 0xF3},   {"ocirc", 0xF4},    {"otilde", 0xF5},  {"ouml", 0xF6},
        {"divide", 0xF7},   {"oslash", 0xF8},   {"ugrave", 0xF9},  {"uacute", 0xFA},
        {"ucirc", 0xFB},    {"uuml", 0xFC},     {"yacute", 0xFD},  {"thorn", 0xFE},
        {"yuml", 0xFF},     {"OElig", 0x152},   {"oelig", 0x153},  {"Scaron", 0x160},
        {"scaron", 0x161},  {"Yuml", 0x178},    {"fnof", 0x192},   {"circ", 0x2C6},
        {"tilde", 0x2DC},   {"ensp", 0x2002},   {"emsp", 0x2003},  {"thinsp", 0x2009},
        {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},   {"rlm", 0x200F},
        {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018}, {"rsquo", 0x2019},
        {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D}, {"bdquo", 0x201E},
        {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022},  {"hellip", 0x2026},
        {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033}, {"lsaquo", 0x2039},
        {"rsaquo", 0x203A}, {"euro", 0x20AC},   {"trade", 0x2122}, {"larr", 0x2190},
        {"rarr", 0x2192},   {"uarr", 0x2191},   {"darr", 0x2193},  {"minus", 0x2212},
    };
    return table;
}

void appendCodePoint(QString& out, char32_t cp)
{
    // Control characters other than white space, surrogates and out-of-range values would
    // only corrupt text: they become the replacement character.
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ||
        (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r'))
        cp = 0xFFFD;
    const char32_t buffer[1] = {cp};
    out += QString::fromUcs4(buffer, 1);
}

} // namespace

bool resolveHtmlEntity(const QString& name, QString& text)
{
    if (name.isEmpty())
        return false;
    if (name[0] == '#') {
        bool ok = false;
        uint value = 0;
        if (name.size() > 1 && (name[1] == 'x' || name[1] == 'X'))
            value = name.mid(2).toUInt(&ok, 16);
        else
            value = name.mid(1).toUInt(&ok, 10);
        if (!ok || name.size() > 10)
            return false;
        text.clear();
        appendCodePoint(text, value);
        return true;
    }
    const auto it = namedEntities().constFind(name);
    if (it == namedEntities().constEnd())
        return false;
    text.clear();
    appendCodePoint(text, it.value());
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
        const QChar c = text[i];
        if (c == '&') {
            // Entity names are short: look no further than that, so that text full of "&"
            // stays linear.
            int semi = -1;
            for (int k = i + 1; k < n && k <= i + 12; ++k) {
                if (text[k] == ';') {
                    semi = k;
                    break;
                }
            }
            if (semi > i + 1) {
                QString replacement;
                if (resolveHtmlEntity(text.mid(i + 1, semi - i - 1), replacement)) {
                    out += replacement;
                    i = semi + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

int htmlTagEnd(const QString& html, int start)
{
    const int n = html.size();
    if (start + 1 >= n)
        return -1;
    if (html.mid(start, 4) == QLatin1String("<!--")) {
        const int end = html.indexOf(QLatin1String("-->"), start + 4);
        return end < 0 ? n : end + 3;
    }
    const QChar next = html[start + 1];
    if (!(next.isLetter() || next == '/' || next == '!' || next == '?'))
        return -1;
    // Quoted attribute values may hold ">".
    QChar quote;
    for (int i = start + 1; i < n; ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return n; // an unterminated tag runs to the end of the text
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
        out += html.mid(i, stop - i);
        i = stop;
    }
    return decodeHtmlEntities(out).simplified();
}

QString resolveUrl(const QUrl& base, const QString& reference)
{
    const QString trimmed = reference.trimmed();
    if (trimmed.isEmpty())
        return QString();
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (!url.isValid())
        return trimmed;
    if (!base.isValid() || base.isEmpty() || !url.isRelative())
        return url.toString();
    return base.resolved(url).toString();
}

QString categoryPath(const QString& text)
{
    QStringList levels;
    for (const QString& level : text.split('/')) {
        const QString trimmed = level.simplified();
        if (!trimmed.isEmpty())
            levels << trimmed;
    }
    return levels.join('/');
}

} // namespace vantrel::feeds
