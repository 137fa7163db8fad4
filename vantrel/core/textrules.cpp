#include "vantrel/core/textrules.h"

#include <QRegularExpression>

namespace vantrel
{

QString storyCategoryFromFeed(const QString& feedCategory)
{
    const QStringList levels = feedCategory.split('/', Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString& level : levels) {
        QString trimmed = level.trimmed();
        // A slash inside a level name may come written as "&slash;"; stories write it "//".
        trimmed.replace(QLatin1String("&slash;"), QLatin1String("//"), Qt::CaseInsensitive);
        if (!trimmed.isEmpty())
            kept << trimmed;
    }
    return kept.join('/');
}

QString subChannelPathFromStoryCategory(const QString& category)
{
    QString path = category;
    path.replace(QLatin1String("//"), QLatin1String("&slash;"));
    return path;
}

QStringList splitCategoryPaths(const QString& categories)
{
    static const QLatin1String slashEntity("&slash;");
    const int entityLength = int(slashEntity.size());
    QStringList paths;
    int start = 0;
    for (int i = 0; i < categories.size(); ++i) {
        if (categories.at(i) != QLatin1Char(';'))
            continue;
        const int entityStart = i + 1 - entityLength;
        if (entityStart >= 0 && QStringView(categories)
                                        .mid(entityStart, entityLength)
                                        .compare(slashEntity, Qt::CaseInsensitive) == 0)
            continue;
        paths << categories.mid(start, i - start);
        start = i + 1;
    }
    paths << categories.mid(start);
    return paths;
}

QString categoryLevelName(const QString& level)
{
    QString name = level;
    name.replace(QLatin1String("&slash;"), QLatin1String("/"), Qt::CaseInsensitive);
    return name;
}

QStringList splitWords(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QString plainText(const QString& maybeHtml)
{
    if (!maybeHtml.contains('<') && !maybeHtml.contains('&'))
        return maybeHtml;
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = maybeHtml;
    text.replace(tags, QStringLiteral(" "));
    text.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    return text;
}

bool matchesAnyWord(const QString& text, const QStringList& words)
{
    if (words.isEmpty() || text.isEmpty())
        return false;
    const QString plain = plainText(text);
    for (const QString& word : words) {
        const QString w = word.trimmed();
        if (w.isEmpty())
            continue;
        // A whole word: no letter, digit or underscore directly before or after it.
        const QRegularExpression re(QStringLiteral("(?<![\\w])") + QRegularExpression::escape(w) +
                                        QStringLiteral("(?![\\w])"),
                                    QRegularExpression::CaseInsensitiveOption |
                                        QRegularExpression::UseUnicodePropertiesOption);
        if (re.match(plain).hasMatch())
            return true;
    }
    return false;
}

bool isTrueText(const QString& text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("yes") ||
           t == QLatin1String("on");
}

} // namespace vantrel
