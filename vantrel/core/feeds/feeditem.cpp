// Steps that every feed format shares when it turns what it read into stories.

#include "vantrel/core/feeds/feeditem_p.h"
#include "vantrel/core/feeds/feedtext_p.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace vantrel::feeds
{

namespace
{

// Longest headline made from the start of a summary, for stories without a title.
constexpr int kSummaryHeadlineChars = 80;

QString identityHash(const Item& item)
{
    const QByteArray source =
        (item.headline + QLatin1Char('\n') + item.published.toString(Qt::ISODateWithMs)).toUtf8();
    return QStringLiteral("hash:") +
           QString::fromLatin1(QCryptographicHash::hash(source, QCryptographicHash::Sha1).toHex());
}

} // namespace

void addCategory(QStringList& categories, const QString& text)
{
    const QString path = categoryPath(decodeHtmlEntities(cleanFeedText(text)));
    if (!path.isEmpty() && !categories.contains(path))
        categories << path;
}

QString personName(const QString& text)
{
    QString name = plainTextFromHtml(text);
    static const QRegularExpression inParens(QStringLiteral(R"(^\S+@\S+\s*\((.+)\)$)"));
    static const QRegularExpression beforeAddress(QStringLiteral(R"(^(.+?)\s*<\S+@\S+>$)"));
    QRegularExpressionMatch m = inParens.match(name);
    if (m.hasMatch())
        return m.captured(1).trimmed();
    m = beforeAddress.match(name);
    if (m.hasMatch())
        return m.captured(1).trimmed();
    return name;
}

int parseDuration(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.isEmpty() || parts.size() > 3)
        return 0;
    qint64 total = 0;
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        QString part = parts[i].trimmed();
        if (i == parts.size() - 1) {
            const int dot = part.indexOf(QLatin1Char('.'));
            if (dot >= 0) {
                const QString fraction = part.mid(dot + 1);
                bool digits = true;
                fraction.toUInt(&digits);
                if (!digits && !fraction.isEmpty())
                    return 0;
                part.truncate(dot);
            }
        }
        const qint64 value = part.toLongLong(&ok);
        if (!ok || value < 0 || (i > 0 && value > 59))
            return 0;
        total = total * 60 + value;
        if (total > 1'000'000'000)
            return 0;
    }
    return int(total);
}

QString headlineFromSummary(const QString& summaryHtml)
{
    QString text = plainTextFromHtml(summaryHtml);
    if (text.size() > kSummaryHeadlineChars) {
        int cut = text.lastIndexOf(' ', kSummaryHeadlineChars - 3);
        if (cut < kSummaryHeadlineChars / 2)
            cut = kSummaryHeadlineChars - 3;
        text = text.left(cut).trimmed() + QStringLiteral("...");
    }
    return text;
}

void finishItem(Item& item, const QString& guid)
{
    if (item.headline.isEmpty())
        item.headline = headlineFromSummary(item.summary);
    if (!guid.trimmed().isEmpty())
        item.identity = guid.trimmed();
    else if (!item.link.isEmpty())
        item.identity = item.link;
    else
        item.identity = identityHash(item);
}

} // namespace vantrel::feeds
