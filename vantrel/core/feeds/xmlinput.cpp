// Encoding detection, a bounding pre-scan and the entity-reading stream reader.

#include "vantrel/core/feeds/feedtext_p.h"
#include "vantrel/core/feeds/xmlinput_p.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <array>

namespace vantrel::feeds
{

namespace
{

// ---- Encodings ----

enum class Encoding { Unknown, Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

uchar byteAt(const QByteArray& data, int i)
{
    return i < data.size() ? uchar(data[i]) : 0xFF;
}

// A byte-order mark, and how many bytes it takes.
Encoding byteOrderMark(const QByteArray& data, int& length)
{
    const uchar b0 = byteAt(data, 0), b1 = byteAt(data, 1), b2 = byteAt(data, 2),
                b3 = byteAt(data, 3);
    length = 0;
    if (b0 == 0xEF && b1 == 0xBB && b2 == 0xBF) {
        length = 3;
        return Encoding::Utf8;
    }
    if (b0 == 0xFF && b1 == 0xFE && b2 == 0 && b3 == 0 && data.size() >= 4) {
        length = 4;
        return Encoding::Utf32LE;
    }
    if (b0 == 0 && b1 == 0 && b2 == 0xFE && b3 == 0xFF) {
        length = 4;
        return Encoding::Utf32BE;
    }
    if (b0 == 0xFF && b1 == 0xFE) {
        length = 2;
        return Encoding::Utf16LE;
    }
    if (b0 == 0xFE && b1 == 0xFF) {
        length = 2;
        return Encoding::Utf16BE;
    }
    return Encoding::Unknown;
}

// Without a mark, the zero bytes around the first character ("<" or white space) tell UTF-16
// and UTF-32 apart from the encodings that share ASCII's bytes.
Encoding sniffWideEncoding(const QByteArray& data)
{
    if (data.size() < 4)
        return Encoding::Unknown;
    const uchar b0 = byteAt(data, 0), b1 = byteAt(data, 1), b2 = byteAt(data, 2),
                b3 = byteAt(data, 3);
    if (b0 == 0 && b1 == 0 && b2 == 0 && b3 != 0)
        return Encoding::Utf32BE;
    if (b0 != 0 && b1 == 0 && b2 == 0 && b3 == 0)
        return Encoding::Utf32LE;
    if (b0 == 0 && b1 != 0 && b2 == 0)
        return Encoding::Utf16BE;
    if (b0 != 0 && b1 == 0 && b3 == 0)
        return Encoding::Utf16LE;
    return Encoding::Unknown;
}

QString decodeWide(const QByteArray& data, int skip, Encoding encoding)
{
    QStringConverter::Encoding e = QStringConverter::Utf16LE;
    switch (encoding) {
    case Encoding::Utf16BE:
        e = QStringConverter::Utf16BE;
        break;
    case Encoding::Utf32LE:
        e = QStringConverter::Utf32LE;
        break;
    case Encoding::Utf32BE:
        e = QStringConverter::Utf32BE;
        break;
    default:
        break;
    }
    QStringDecoder decoder(e, QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(data).sliced(skip));
}

// The encoding named by the XML declaration at the start of an ASCII-compatible document.
QString declaredEncoding(const QByteArray& data, int start)
{
    if (!QByteArrayView(data).sliced(start).startsWith("<?xml"))
        return QString();
    const int end = data.indexOf("?>", start);
    if (end < 0 || end - start > 512)
        return QString();
    static const QRegularExpression re(QStringLiteral(R"(encoding\s*=\s*["']([^"']{1,64})["'])"));
    const QRegularExpressionMatch m =
        re.match(QString::fromLatin1(data.constData() + start, end - start));
    return m.hasMatch() ? m.captured(1).trimmed().toLower() : QString();
}

QString transportCharset(const QString& contentType)
{
    static const QRegularExpression re(QStringLiteral(R"(charset\s*=\s*["']?([^"';\s]{1,64}))"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(contentType);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

bool isUtf8Label(const QString& label)
{
    return label == QLatin1String("utf-8") || label == QLatin1String("utf8") ||
           label == QLatin1String("unicode-1-1-utf-8");
}

bool isWideLabel(const QString& label)
{
    return label.startsWith(QLatin1String("utf-16")) || label.startsWith(QLatin1String("utf-32")) ||
           label.startsWith(QLatin1String("ucs-")) || label == QLatin1String("utf16") ||
           label == QLatin1String("utf32") || label == QLatin1String("unicode");
}

// Labels that browsers read as Windows-1252, whose printable characters are a superset of
// theirs: documents labelled Latin-1 or ASCII very often hold its quotes and dashes.
bool isWindows1252Label(const QString& label)
{
    static const char* const labels[] = {
        "windows-1252", "cp1252",     "x-cp1252",       "iso-8859-1",
        "iso8859-1",    "iso_8859-1", "latin1",         "latin-1",
        "l1",           "cp819",      "ibm819",         "us-ascii",
        "ascii",        "iso-ir-100", "ansi_x3.4-1968", "iso_8859-1:1987"};
    for (const char* l : labels) {
        if (label == QLatin1String(l))
            return true;
    }
    return false;
}

char16_t windows1252Char(uchar byte)
{
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F)
        return high[byte - 0x80];
    return byte;
}

QString decodeWindows1252(QByteArrayView data)
{
    QString out(data.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < data.size(); ++i)
        o[i] = QChar(windows1252Char(uchar(data[i])));
    return out;
}

// The length of the valid UTF-8 sequence at p[i], 0 when there is none.
int utf8SequenceLength(const uchar* p, qsizetype i, qsizetype n)
{
    const uchar c = p[i];
    if (c < 0x80)
        return 1;
    int length = 0;
    uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + length > n)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return length;
}

bool isValidUtf8(QByteArrayView data)
{
    const uchar* p = reinterpret_cast<const uchar*>(data.data());
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        // Plain ASCII eight bytes at a time.
        while (i + 8 <= n) {
            uint64_t word;
            memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const int length = utf8SequenceLength(p, i, n);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// UTF-8 where the bytes are UTF-8, Windows-1252 where they are not.
QString decodeUtf8Leniently(QByteArrayView data)
{
    const uchar* p = reinterpret_cast<const uchar*>(data.data());
    const qsizetype n = data.size();
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n) {
        qsizetype run = i;
        int length = 0;
        while (run < n && (length = utf8SequenceLength(p, run, n)) > 0)
            run += length;
        if (run > i)
            out += QString::fromUtf8(reinterpret_cast<const char*>(p + i), run - i);
        if (run < n) {
            out += QChar(windows1252Char(p[run]));
            ++run;
        }
        i = run;
    }
    return out;
}

// ---- The pre-scan ----

// '<', '&' and the control characters XML forbids: where the scan has something to do.
constexpr std::array<bool, 128> kSpecial = [] {
    std::array<bool, 128> t{};
    for (int c = 0; c < 0x20; ++c)
        t[size_t(c)] = c != '\t' && c != '\n' && c != '\r';
    t['<'] = true;
    t['&'] = true;
    return t;
}();

// Walks the document's markup without building anything: counts attributes and depth, and
// writes a mended copy only when something needs mending.
template <typename Unit, typename Text> class Scanner
{
public:
    Scanner(const Unit* p, qsizetype n, const CancelCheck& cancelled)
        : m_p(p), m_n(n), m_cancel(cancelled)
    {
    }

    // False when the scan stopped at a fault or a cancel.
    bool scan()
    {
        qsizetype i = 0;
        qsizetype nextCheck = kCheckEvery;
        while (i < m_n) {
            // Text runs between markup are most of a document: pass over them quickly.
            while (i < m_n && !isSpecial(m_p[i]))
                ++i;
            if (i >= m_n)
                break;
            if (i >= nextCheck) {
                nextCheck = i + kCheckEvery;
                if (m_cancel && m_cancel()) {
                    m_cancelled = true;
                    return false;
                }
            }
            const uint c = unit(i);
            if (c == '<') {
                if (!markup(i))
                    return false;
            } else if (c == '&') {
                i = reference(i);
            } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                replace(i, 1, " ");
                ++i;
            } else {
                ++i;
            }
        }
        return true;
    }

    bool changed() const { return m_changed; }
    // Prefixes that names use but that no xmlns: attribute declares.
    QStringList undeclaredPrefixes() const
    {
        QStringList missing;
        for (const QString& p : m_usedPrefixes) {
            if (p != QLatin1String("xml") && p != QLatin1String("xmlns") &&
                !m_declaredPrefixes.contains(p))
                missing << p;
        }
        return missing;
    }
    // Where the root element's name ends, in the mended document; -1 when there is none.
    qsizetype rootNameEnd() const { return m_rootNameEnd < 0 ? -1 : m_rootNameEndOut; }
    bool cancelled() const { return m_cancelled; }
    qsizetype faultAt() const { return m_faultAt; }
    const QString& fault() const { return m_fault; }

    // The mended document, cut at the fault when there is one.
    Text result()
    {
        const qsizetype end = m_faultAt >= 0 ? m_faultAt : m_n;
        if (m_copied < end)
            append(m_copied, end);
        return m_out;
    }
    qsizetype resultLength() const { return m_faultAt >= 0 ? m_faultAt : m_n; }

private:
    static constexpr qsizetype kCheckEvery = 1 << 20;

    static bool isSpecial(Unit u)
    {
        const auto c = std::make_unsigned_t<Unit>(u);
        return c < 128 && kSpecial[c];
    }

    uint unit(qsizetype i) const { return i < m_n ? uint(std::make_unsigned_t<Unit>(m_p[i])) : 0; }

    bool startsWith(qsizetype i, const char* s) const
    {
        for (; *s; ++s, ++i) {
            if (i >= m_n || unit(i) != uint(uchar(*s)))
                return false;
        }
        return true;
    }

    qsizetype find(qsizetype from, const char* s) const
    {
        const uint first = uchar(s[0]);
        for (qsizetype i = from; i < m_n; ++i) {
            if (unit(i) == first && startsWith(i, s))
                return i;
        }
        return -1;
    }

    static bool isNameStart(uint c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
               c >= 0x80;
    }
    static bool isNameChar(uint c)
    {
        return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
    }
    static bool isHex(uint c)
    {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    void append(qsizetype from, qsizetype to)
    {
        if constexpr (std::is_same_v<Text, QString>)
            m_out += QStringView(m_p + from, to - from);
        else
            m_out.append(m_p + from, to - from);
    }

    // Replaces m_p[i, i + length) with text in the copy.
    void replace(qsizetype i, qsizetype length, const char* text)
    {
        if (!m_changed) {
            m_changed = true;
            m_out.reserve(m_n + m_n / 64 + 16);
        }
        append(m_copied, i);
        if constexpr (std::is_same_v<Text, QString>)
            m_out += QLatin1String(text);
        else
            m_out += text;
        m_copied = i + length;
    }

    bool sameText(qsizetype from, qsizetype to, const char* text) const
    {
        return qsizetype(strlen(text)) == to - from && startsWith(from, text);
    }

    // Notes a namespace prefix used in a name, or declared by an xmlns: attribute.
    void notePrefix(qsizetype from, qsizetype to, bool declared)
    {
        if (to <= from || to - from > 64)
            return;
        QString prefix;
        if constexpr (std::is_same_v<Text, QString>)
            prefix = QString(reinterpret_cast<const QChar*>(m_p + from), to - from);
        else
            prefix = QString::fromUtf8(m_p + from, to - from);
        QStringList& list = declared ? m_declaredPrefixes : m_usedPrefixes;
        // Names repeat the same few prefixes: the last one is the likeliest.
        if (!declared && prefix == m_lastPrefix)
            return;
        if (!declared)
            m_lastPrefix = prefix;
        if (list.size() < 64 && !list.contains(prefix))
            list << prefix;
    }

    void setFault(qsizetype at, const QString& what)
    {
        m_faultAt = at;
        m_fault = what;
    }

    // An "&" at i: a well-formed reference is left alone, a bare "&" is escaped. Returns the
    // index after what was looked at.
    qsizetype reference(qsizetype i)
    {
        qsizetype k = i + 1;
        bool ok = false;
        if (unit(k) == '#') {
            ++k;
            const bool hex = unit(k) == 'x';
            if (hex)
                ++k;
            const qsizetype digits = k;
            while (k < m_n && k - digits < 16 &&
                   (hex ? isHex(unit(k)) : (unit(k) >= '0' && unit(k) <= '9')))
                ++k;
            ok = k > digits && unit(k) == ';';
        } else if (isNameStart(unit(k))) {
            while (k < m_n && k - i < 64 && isNameChar(unit(k)))
                ++k;
            ok = unit(k) == ';';
        }
        if (ok)
            return k + 1;
        replace(i, 1, "&amp;");
        return i + 1;
    }

    // The markup at m_p[i] == '<'; i moves past it. False at a fault.
    bool markup(qsizetype& i)
    {
        const uint next = unit(i + 1);
        if (next == '!') {
            if (startsWith(i, "<!--")) {
                const qsizetype end = find(i + 4, "-->");
                i = end < 0 ? m_n : end + 3;
            } else if (startsWith(i, "<![CDATA[")) {
                const qsizetype end = find(i + 9, "]]>");
                i = end < 0 ? m_n : end + 3;
            } else if (startsWith(i, "<!DOCTYPE")) {
                return doctype(i);
            } else {
                ++i;
            }
            return true;
        }
        if (next == '?') {
            const qsizetype end = find(i + 2, "?>");
            i = end < 0 ? m_n : end + 2;
            return true;
        }
        if (next == '/') {
            qsizetype k = i + 2;
            while (k < m_n && unit(k) != '>' && unit(k) != '<')
                ++k;
            if (m_depth > 0)
                --m_depth;
            i = k < m_n && unit(k) == '>' ? k + 1 : k;
            return true;
        }
        if (!isNameStart(next)) {
            // "a < b", "<3": text, not markup.
            replace(i, 1, "&lt;");
            ++i;
            return true;
        }
        return startTag(i);
    }

    bool startTag(qsizetype& i)
    {
        const qsizetype start = i;
        int attributes = 0;
        qsizetype k = i + 1;
        qsizetype colon = -1;
        while (k < m_n && isNameChar(unit(k))) {
            if (colon < 0 && unit(k) == ':')
                colon = k;
            ++k;
        }
        if (colon > start + 1)
            notePrefix(start + 1, colon, false);
        if (m_rootNameEnd < 0) {
            m_rootNameEnd = k;
            m_rootNameEndOut = m_changed ? m_out.size() + (k - m_copied) : k;
        }
        // The attribute name read last: [nameStart, nameEnd), its first colon at nameColon.
        qsizetype nameStart = -1, nameEnd = -1, nameColon = -1;
        while (k < m_n) {
            const uint c = unit(k);
            if (isNameChar(c)) {
                nameStart = k;
                nameColon = -1;
                while (k < m_n && isNameChar(unit(k))) {
                    if (nameColon < 0 && unit(k) == ':')
                        nameColon = k;
                    ++k;
                }
                nameEnd = k;
                continue;
            }
            if (c == '"' || c == '\'') {
                k = attributeValue(k + 1, c);
                continue;
            }
            if (c == '=') {
                if (++attributes > kMaxAttributes) {
                    setFault(start, QStringLiteral("an element has more than %1 attributes")
                                        .arg(kMaxAttributes));
                    return false;
                }
                if (nameColon > nameStart && nameStart >= 0) {
                    if (sameText(nameStart, nameColon, "xmlns"))
                        notePrefix(nameColon + 1, nameEnd, true);
                    else
                        notePrefix(nameStart, nameColon, false);
                }
                nameStart = -1;
            } else if (c == '>' || c == '<') {
                break;
            }
            ++k;
        }
        if (k >= m_n) {
            i = m_n;
            return true;
        }
        if (unit(k) == '<') { // a broken tag; the reader will say so
            i = k;
            return true;
        }
        if (unit(k - 1) != '/' && ++m_depth > kMaxDepth) {
            setFault(start,
                     QStringLiteral("elements are nested deeper than %1 levels").arg(kMaxDepth));
            return false;
        }
        i = k + 1;
        return true;
    }

    // Inside a quoted attribute value from k; returns the index after the closing quote.
    qsizetype attributeValue(qsizetype k, uint quote)
    {
        while (k < m_n) {
            const uint c = unit(k);
            if (c == quote)
                return k + 1;
            if (c == '&') {
                k = reference(k);
                continue;
            }
            if (c == '<')
                replace(k, 1, "&lt;");
            else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                replace(k, 1, " ");
            ++k;
        }
        return k;
    }

    // A document type declaration: skipped, its internal subset bounded.
    bool doctype(qsizetype& i)
    {
        const qsizetype start = i;
        qsizetype k = i + 9;
        int brackets = 0;
        uint quote = 0;
        while (k < m_n) {
            const uint c = unit(k);
            if (k - start > kMaxDoctypeBytes) {
                setFault(start, QStringLiteral("the document type declaration is longer than "
                                               "%1 bytes")
                                    .arg(kMaxDoctypeBytes));
                return false;
            }
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++brackets;
            } else if (c == ']') {
                --brackets;
            } else if (c == '>' && brackets <= 0) {
                break;
            }
            ++k;
        }
        i = k < m_n ? k + 1 : m_n;
        return true;
    }

    const Unit* m_p;
    qsizetype m_n;
    const CancelCheck& m_cancel;
    Text m_out;
    qsizetype m_copied = 0;
    bool m_changed = false;
    bool m_cancelled = false;
    int m_depth = 0;
    qsizetype m_faultAt = -1;
    QString m_fault;
    QStringList m_usedPrefixes;
    QStringList m_declaredPrefixes;
    QString m_lastPrefix;
    qsizetype m_rootNameEnd = -1;
    qsizetype m_rootNameEndOut = -1;
};

// The namespace a prefix stands for by custom, for feeds that use one without declaring it.
QString customaryNamespace(const QString& prefix)
{
    static const struct {
        const char* prefix;
        const char* uri;
    } known[] = {
        {"dc", "http://purl.org/dc/elements/1.1/"},
        {"dcterms", "http://purl.org/dc/terms/"},
        {"content", "http://purl.org/rss/1.0/modules/content/"},
        {"media", "http://search.yahoo.com/mrss/"},
        {"itunes", "http://www.itunes.com/dtds/podcast-1.0.dtd"},
        {"atom", "http://www.w3.org/2005/Atom"},
        {"rdf", "http://www.w3.org/1999/02/22-rdf-syntax-ns#"},
        {"rss", "http://purl.org/rss/1.0/"},
        {"xhtml", "http://www.w3.org/1999/xhtml"},
    };
    for (const auto& k : known) {
        if (prefix == QLatin1String(k.prefix))
            return QLatin1String(k.uri);
    }
    return QStringLiteral("urn:x-undeclared-prefix:") + prefix;
}

// The declarations of prefixes used but never declared, for the root element's start tag.
QString missingDeclarations(const QStringList& prefixes)
{
    QString text;
    for (const QString& prefix : prefixes) {
        QString escaped = customaryNamespace(prefix);
        escaped.replace(QLatin1Char('&'), QLatin1String("&amp;"))
            .replace(QLatin1Char('"'), QLatin1String("&quot;"))
            .replace(QLatin1Char('<'), QLatin1String("&lt;"));
        text += QStringLiteral(" xmlns:%1=\"%2\"").arg(prefix, escaped);
    }
    return text;
}

template <typename Unit> QString positionText(const Unit* p, qsizetype at)
{
    qsizetype line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < at; ++i) {
        if (p[i] == Unit('\n')) {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("line %1, column %2: ").arg(line).arg(at - lineStart + 1);
}

template <typename Unit, typename Text>
void scanInto(const Unit* p, qsizetype n, const CancelCheck& cancelled, Text& target,
              XmlInput& input)
{
    Scanner<Unit, Text> scanner(p, n, cancelled);
    if (!scanner.scan() && scanner.cancelled()) {
        input.cancelled = true;
        return;
    }
    if (scanner.faultAt() >= 0)
        input.fault = positionText(p, scanner.faultAt()) + scanner.fault();
    const QStringList undeclared = scanner.undeclaredPrefixes();
    if (scanner.changed() || scanner.faultAt() >= 0 || !undeclared.isEmpty())
        target = scanner.result();
    // Feeds often use dc:, itunes: or media: without declaring them; the XML reader would
    // refuse the whole document. The root declares them instead.
    const qsizetype at = scanner.rootNameEnd();
    if (!undeclared.isEmpty() && at >= 0 && at <= target.size()) {
        if constexpr (std::is_same_v<Text, QString>)
            target.insert(at, missingDeclarations(undeclared));
        else
            target.insert(at, missingDeclarations(undeclared).toUtf8());
    }
}

} // namespace

XmlInput prepareXml(const QByteArray& data, const QString& contentType,
                    const CancelCheck& cancelled)
{
    XmlInput input;
    int markLength = 0;
    Encoding encoding = byteOrderMark(data, markLength);
    if (encoding == Encoding::Unknown)
        encoding = sniffWideEncoding(data);

    if (encoding != Encoding::Unknown && encoding != Encoding::Utf8) {
        input.isText = true;
        input.text = decodeWide(data, markLength, encoding);
    } else {
        int start = markLength;
        while (start < data.size() && (data[start] == ' ' || data[start] == '\t' ||
                                       data[start] == '\r' || data[start] == '\n'))
            ++start;
        QString label;
        if (encoding != Encoding::Utf8) {
            label = declaredEncoding(data, start);
            // A document whose bytes are ASCII's cannot be UTF-16 or UTF-32, whatever it says.
            if (isWideLabel(label))
                label.clear();
            if (label.isEmpty())
                label = transportCharset(contentType);
            if (isWideLabel(label))
                label.clear();
        }
        const QByteArrayView body = QByteArrayView(data).sliced(start);
        if (label.isEmpty() || isUtf8Label(label)) {
            if (isValidUtf8(body)) {
                const QString declared = declaredEncoding(data, start);
                if (declared.isEmpty() || declared == QLatin1String("utf-8")) {
                    input.bytes = start == 0 ? data : body.toByteArray();
                } else {
                    input.isText = true;
                    input.text = QString::fromUtf8(body);
                }
            } else {
                input.isText = true;
                input.text = decodeUtf8Leniently(body);
            }
        } else if (isWindows1252Label(label)) {
            input.isText = true;
            input.text = decodeWindows1252(body);
        } else {
            QStringDecoder decoder(label.toLatin1().constData(), QStringConverter::Flag::Stateless);
            if (!decoder.isValid()) {
                input.fatal = QStringLiteral("line 1, column 1: the document's encoding \"%1\" "
                                             "is unknown")
                                  .arg(label);
                return input;
            }
            input.isText = true;
            input.text = decoder.decode(body);
        }
    }

    if (input.isText) {
        qsizetype start = 0;
        while (start < input.text.size() && input.text[start].isSpace())
            ++start;
        if (start > 0)
            input.text.remove(0, start);
        scanInto(reinterpret_cast<const char16_t*>(input.text.constData()), input.text.size(),
                 cancelled, input.text, input);
    } else {
        const QByteArray source = input.bytes;
        scanInto(source.constData(), source.size(), cancelled, input.bytes, input);
    }
    return input;
}

// ---- The reader ----

QString XmlReader::Resolver::resolveUndeclaredEntity(const QString& name)
{
    // The reader reads the replacement as markup: "<" and "&" go back as references.
    QString text;
    if (!resolveHtmlEntity(name, text))
        return QStringLiteral("&#38;") + name + QLatin1Char(';'); // unknown: kept as written
    QString escaped;
    for (const QChar c : std::as_const(text)) {
        if (c == '<')
            escaped += QLatin1String("&#60;");
        else if (c == '&')
            escaped += QLatin1String("&#38;");
        else
            escaped += c;
    }
    return escaped;
}

XmlReader::XmlReader(const XmlInput& input, const CancelCheck& cancelled) : m_cancel(cancelled)
{
    if (input.isText)
        m_reader.addData(input.text);
    else
        m_reader.addData(input.bytes);
    m_reader.setEntityResolver(&m_resolver);
    // Nested entity declarations can multiply a small document into gigabytes; feeds have no
    // honest use for more than a handful of expansions.
    m_reader.setEntityExpansionLimit(1024);
}

QXmlStreamReader::TokenType XmlReader::next()
{
    if (--m_untilCheck < 0) {
        m_untilCheck = 256;
        if (!m_cancelled && m_cancel && m_cancel()) {
            m_cancelled = true;
            m_reader.raiseError(QStringLiteral("cancelled"));
        }
    }
    return m_reader.readNext();
}

bool XmlReader::nextStartElement()
{
    while (!m_reader.atEnd()) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::StartElement)
            return true;
        if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::Invalid)
            return false;
    }
    return false;
}

void XmlReader::skipElement()
{
    int depth = 1;
    while (depth > 0 && !m_reader.atEnd()) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement)
            --depth;
        else if (token == QXmlStreamReader::Invalid)
            return;
    }
}

QString XmlReader::errorText() const
{
    return QStringLiteral("line %1, column %2: %3")
        .arg(m_reader.lineNumber())
        .arg(m_reader.columnNumber())
        .arg(m_reader.errorString());
}

} // namespace vantrel::feeds
