// Date formats of feeds: RFC 822 (RSS, OPML) and RFC 3339 (Atom). Parsed by hand because
// real feeds bend both: missing weekdays, two-digit years, named zones, lower-case letters.

#include "vantrel/core/feeds/feeds.h"

#include <QRegularExpression>

namespace vantrel::feeds
{

namespace
{

// Offset in minutes of a zone name or number; false when the text is no zone.
bool zoneOffsetMinutes(const QString& zone, int& minutes)
{
    if (zone.isEmpty()) {
        minutes = 0; // no zone: UTC is the least surprising reading
        return true;
    }
    if (zone[0] == '+' || zone[0] == '-') {
        QString digits = zone.mid(1);
        digits.remove(':');
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
    } named[] = {{"UT", 0},   {"UTC", 0},  {"GMT", 0},  {"Z", 0},    {"EST", -5}, {"EDT", -4},
                 {"CST", -6}, {"CDT", -5}, {"MST", -7}, {"MDT", -6}, {"PST", -8}, {"PDT", -7},
                 {"BST", 1},  {"CET", 1},  {"CEST", 2}, {"MET", 1},  {"MEST", 2}};
    const QString upper = zone.toUpper();
    for (const auto& n : named) {
        if (upper == QLatin1String(n.name)) {
            minutes = n.hours * 60;
            return true;
        }
    }
    // Single-letter military zones carry no reliable meaning in practice: read them as UTC.
    if (upper.size() == 1 && upper[0].isLetter() && upper[0] != 'J') {
        minutes = 0;
        return true;
    }
    return false;
}

int monthNumber(const QString& name)
{
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    const QString lower = name.left(3).toLower();
    for (int i = 0; i < 12; ++i) {
        if (lower == QLatin1String(months[i]))
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

} // namespace

QDateTime parseRfc822Date(const QString& text)
{
    // [weekday,] day month year hour:minute[:second] [zone]
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(?:[A-Za-z]+\s*,?\s*)?(\d{1,2})\s+([A-Za-z]+)\.?\s+(\d{2,4})\s+)"
                       R"((\d{1,2}):(\d{2})(?::(\d{2}))?\s*([A-Za-z]+|[+-]\d{2}:?\d{2})?\s*$)"));
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
    return makeUtc(year, month, day, m.captured(4).toInt(), m.captured(5).toInt(),
                   m.captured(6).isEmpty() ? 0 : m.captured(6).toInt(), 0, offset);
}

QDateTime parseRfc3339Date(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{4})-(\d{2})-(\d{2})(?:[Tt ](\d{2}):(\d{2})(?::(\d{2}))?)"
                       R"((?:[.,](\d+))?\s*([Zz]|[+-]\d{2}:?\d{2})?)?\s*$)"));
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
    return makeUtc(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                   m.captured(4).isEmpty() ? 0 : m.captured(4).toInt(),
                   m.captured(5).isEmpty() ? 0 : m.captured(5).toInt(), second, msec, offset);
}

} // namespace vantrel::feeds
