// Date formats of feeds: RFC 822 (RSS, OPML) and RFC 3339 (Atom), with the forms real feeds
// bend them into: missing weekdays, two-digit years, named zones, lower-case letters, dashes
// (RFC 850), partial W3C dates and C's asctime.

#include "vantrel/core/feeds/feeds.h"

#include <QRegularExpression>

namespace vantrel::feeds
{

namespace
{

// Offset in minutes of a zone name or number; false when the text is no zone.
bool zoneOffsetMinutes(QStringView zone, int& minutes)
{
    if (zone.isEmpty()) {
        minutes = 0; // no zone: UTC is the least surprising reading
        return true;
    }
    if (zone[0] == '+' || zone[0] == '-') {
        QString digits = zone.mid(1).toString();
        digits.remove(':');
        if (digits.size() == 2)
            digits += QLatin1String("00");
        if (digits.size() != 4)
            return false;
        bool ok = false;
        const int value = digits.toInt(&ok);
        if (!ok)
            return false;
        const int hours = value / 100;
        const int mins = value % 100;
        if (hours > 23 || mins > 59)
            return false;
        minutes = (hours * 60 + mins) * (zone[0] == '-' ? -1 : 1);
        return true;
    }
    static const struct {
        const char* name;
        int hours;
    } named[] = {{"UT", 0},    {"UTC", 0},   {"GMT", 0},  {"Z", 0},     {"EST", -5},  {"EDT", -4},
                 {"CST", -6},  {"CDT", -5},  {"MST", -7}, {"MDT", -6},  {"PST", -8},  {"PDT", -7},
                 {"BST", 1},   {"CET", 1},   {"CEST", 2}, {"MET", 1},   {"MEST", 2},  {"EET", 2},
                 {"EEST", 3},  {"WET", 0},   {"WEST", 1}, {"AST", -4},  {"ADT", -3},  {"HST", -10},
                 {"AKST", -9}, {"AKDT", -8}, {"JST", 9},  {"AEST", 10}, {"AEDT", 11}, {"NZST", 12},
                 {"NZDT", 13}};
    for (const auto& n : named) {
        if (zone.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            minutes = n.hours * 60;
            return true;
        }
    }
    // Single-letter military zones carry no reliable meaning in practice: read them as UTC.
    if (zone.size() == 1 && zone[0].isLetter() && zone[0].toUpper() != 'J') {
        minutes = 0;
        return true;
    }
    return false;
}

int monthNumber(QStringView name)
{
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    if (name.size() < 3)
        return 0;
    const QStringView first = name.left(3);
    for (int i = 0; i < 12; ++i) {
        if (first.compare(QLatin1String(months[i]), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

QDateTime makeUtc(int year, int month, int day, int hour, int minute, int second, int msec,
                  int offsetMinutes)
{
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, msec);
    if (!date.isValid() || !time.isValid())
        return {};
    QDateTime local(date, time, Qt::UTC);
    return local.addSecs(-qint64(offsetMinutes) * 60);
}

// Reads the fixed-width forms that nearly every feed writes, without a regular expression:
// "Sun, 06 Dec 2026 10:00:00 GMT" and "2026-12-06T10:00:00Z". Invalid when the text is in any
// other form; the general parsers then try.
class FastDate
{
public:
    explicit FastDate(QStringView text) : m_s(text.trimmed()) {}

    QDateTime rfc822()
    {
        // Optional weekday: letters and a comma.
        int i = 0;
        while (i < m_s.size() && isLetter(i))
            ++i;
        if (i > 0) {
            if (!expect(i, ',') || !expect(i, ' '))
                return {};
        }
        int day, year, hour, minute, second;
        if (!digits(i, 2, day) || !expect(i, ' ') || i + 4 > m_s.size())
            return {};
        const int month = monthNumber(m_s.mid(i, 3));
        i += 3;
        if (month == 0 || !expect(i, ' ') || !digits(i, 4, year) || !expect(i, ' ') ||
            !time(i, hour, minute, second) || !expect(i, ' '))
            return {};
        int offset = 0;
        if (!zoneOffsetMinutes(m_s.mid(i), offset))
            return {};
        return makeUtc(year, month, day, hour, minute, second, 0, offset);
    }

    QDateTime rfc3339()
    {
        int i = 0;
        int year, month, day, hour, minute, second;
        if (!digits(i, 4, year) || !expect(i, '-') || !digits(i, 2, month) || !expect(i, '-') ||
            !digits(i, 2, day) || !(expect(i, 'T') || expect(i, 't')) ||
            !time(i, hour, minute, second))
            return {};
        int offset = 0;
        if (!zoneOffsetMinutes(m_s.mid(i), offset))
            return {};
        return makeUtc(year, month, day, hour, minute, second, 0, offset);
    }

private:
    bool isLetter(int i) const
    {
        const char16_t c = m_s[i].unicode();
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    bool expect(int& i, char c)
    {
        if (i < m_s.size() && m_s[i] == QLatin1Char(c)) {
            ++i;
            return true;
        }
        return false;
    }
    bool digits(int& i, int count, int& value)
    {
        value = 0;
        for (int k = 0; k < count; ++k, ++i) {
            if (i >= m_s.size() || m_s[i] < QLatin1Char('0') || m_s[i] > QLatin1Char('9'))
                return false;
            value = value * 10 + (m_s[i].unicode() - '0');
        }
        return true;
    }
    bool time(int& i, int& hour, int& minute, int& second)
    {
        return digits(i, 2, hour) && expect(i, ':') && digits(i, 2, minute) && expect(i, ':') &&
               digits(i, 2, second) && second < 60;
    }

    QStringView m_s;
};

} // namespace

QDateTime parseRfc822Date(const QString& text)
{
    const QDateTime fast = FastDate(text).rfc822();
    if (fast.isValid())
        return fast;

    // [weekday,] day month year [hour:minute[:second][.fraction] [zone]] [(comment)], the
    // parts apart by spaces or dashes (RFC 850: "Sunday, 06-Nov-94 08:49:37 GMT").
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(?:[A-Za-z]+\.?\s*,?\s*)?(\d{1,2})[\s-]+([A-Za-z]+)\.?[\s-]+(\d{2,4}))"
        R"((?:(?:\s+|T)(\d{1,2}):(\d{2})(?::(\d{2}))?(?:\.\d+)?\s*([A-Za-z]+|[+-]\d{2}(?::?\d{2})?)?)?)"
        R"(\s*(?:\([^)]*\))?\s*$)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return {};
    const int day = m.captured(1).toInt();
    const int month = monthNumber(m.captured(2));
    int year = m.captured(3).toInt();
    if (month == 0)
        return {};
    if (m.captured(3).size() == 2)
        year += year < 50 ? 2000 : 1900;
    else if (m.captured(3).size() == 3)
        year += 1900;
    int offset = 0;
    if (!zoneOffsetMinutes(m.captured(7), offset))
        return {};
    int second = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
    if (second == 60)
        second = 59;
    return makeUtc(year, month, day, m.captured(4).isEmpty() ? 0 : m.captured(4).toInt(),
                   m.captured(5).isEmpty() ? 0 : m.captured(5).toInt(), second, 0, offset);
}

QDateTime parseRfc3339Date(const QString& text)
{
    const QDateTime fast = FastDate(text).rfc3339();
    if (fast.isValid())
        return fast;
    // Also the partial forms of W3C dates: "2003", "2003-12", "2003-12-31T10:14Z".
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{4})(?:-(\d{2})(?:-(\d{2})(?:[Tt ]\s*(\d{2}):(\d{2})(?::(\d{2}))?)"
                       R"((?:[.,](\d+))?\s*([Zz]|UTC|GMT|[+-]\d{2}(?::?\d{2})?)?)?)?)?\s*$)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return {};
    int msec = 0;
    if (!m.captured(7).isEmpty())
        msec = (m.captured(7) + QStringLiteral("00")).left(3).toInt();
    int offset = 0;
    if (!zoneOffsetMinutes(m.captured(8), offset))
        return {};
    int second = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
    if (second == 60)
        second = 59; // a leap second: close enough for ordering stories
    return makeUtc(m.captured(1).toInt(), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(),
                   m.captured(3).isEmpty() ? 1 : m.captured(3).toInt(),
                   m.captured(4).isEmpty() ? 0 : m.captured(4).toInt(),
                   m.captured(5).isEmpty() ? 0 : m.captured(5).toInt(), second, msec, offset);
}

QDateTime parseFeedDate(const QString& text)
{
    QDateTime date = parseRfc822Date(text);
    if (!date.isValid())
        date = parseRfc3339Date(text);
    if (!date.isValid()) {
        // C's asctime: "Sun Nov  6 08:49:37 1994", always UTC.
        static const QRegularExpression re(
            QStringLiteral(R"(^\s*[A-Za-z]{3}\s+([A-Za-z]{3})\s+(\d{1,2})\s+(\d{1,2}):(\d{2}))"
                           R"(:(\d{2})\s+(\d{4})\s*$)"));
        const QRegularExpressionMatch m = re.match(text);
        const int month = m.hasMatch() ? monthNumber(m.captured(1)) : 0;
        if (month > 0)
            date =
                makeUtc(m.captured(6).toInt(), month, m.captured(2).toInt(), m.captured(3).toInt(),
                        m.captured(4).toInt(), m.captured(5).toInt(), 0, 0);
    }
    return date;
}

} // namespace vantrel::feeds
