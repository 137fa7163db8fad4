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

QStringList tidyCategoryPaths(const QString& categories)
{
    QStringList paths;
    for (const QString& path : splitCategoryPaths(categories)) {
        QStringList levels;
        for (const QString& level : path.split(QLatin1Char('/'))) {
            const QString name = level.simplified();
            if (!name.isEmpty())
                levels << name;
        }
        const QString tidy = levels.join(QLatin1Char('/'));
        if (!tidy.isEmpty() && !paths.contains(tidy, Qt::CaseInsensitive))
            paths << tidy;
    }
    return paths;
}

QString tidyCategories(const QString& categories)
{
    return tidyCategoryPaths(categories).join(QLatin1Char(';'));
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
    // One pass, as every incoming story's summary goes through here: a tag becomes a blank (a
    // "<" that no ">" closes stays), and the common character entities become their
    // characters.
    static const struct {
        QLatin1String name;
        QChar character;
    } entities[] = {
        {QLatin1String("&nbsp;"), QLatin1Char(' ')}, {QLatin1String("&amp;"), QLatin1Char('&')},
        {QLatin1String("&lt;"), QLatin1Char('<')},   {QLatin1String("&gt;"), QLatin1Char('>')},
        {QLatin1String("&quot;"), QLatin1Char('"')},
    };
    const QStringView in(maybeHtml);
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size();) {
        const QChar c = in[i];
        if (c == QLatin1Char('<')) {
            const qsizetype close = in.indexOf(QLatin1Char('>'), i + 1);
            if (close >= 0) {
                out += QLatin1Char(' ');
                i = close + 1;
                continue;
            }
        } else if (c == QLatin1Char('&')) {
            bool replaced = false;
            for (const auto& e : entities) {
                if (in.mid(i).startsWith(e.name)) {
                    out += e.character;
                    i += e.name.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
        }
        out += c;
        ++i;
    }
    return out;
}

namespace
{

// A letter, digit, mark or joining punctuation ("_"): what a whole word may not touch.
bool isWordCharacter(char32_t c)
{
    return c != 0 && (QChar::isLetterOrNumber(c) || QChar::isMark(c) ||
                      QChar::category(c) == QChar::Punctuation_Connector);
}

// The character that ends right before index, and the one that starts at index (0 at the
// ends of the text); a surrogate pair counts as the one character it encodes.
char32_t characterBefore(const QString& s, qsizetype index)
{
    if (index <= 0)
        return 0;
    const QChar c = s.at(index - 1);
    if (c.isLowSurrogate() && index >= 2 && s.at(index - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(s.at(index - 2), c);
    return c.unicode();
}

char32_t characterAt(const QString& s, qsizetype index)
{
    if (index >= s.size())
        return 0;
    const QChar c = s.at(index);
    if (c.isHighSurrogate() && index + 1 < s.size() && s.at(index + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, s.at(index + 1));
    return c.unicode();
}

} // namespace

bool containsPhrase(const QString& plain, const QString& phrase, bool wholeWord,
                    Qt::CaseSensitivity cs)
{
    if (phrase.isEmpty())
        return false;
    // A plain search rather than a pattern: feeds bring thousands of stories, and every one is
    // checked against every alert rule and filter.
    for (qsizetype at = plain.indexOf(phrase, 0, cs); at >= 0;
         at = plain.indexOf(phrase, at + 1, cs)) {
        if (!wholeWord || (!isWordCharacter(characterBefore(plain, at)) &&
                           !isWordCharacter(characterAt(plain, at + phrase.size()))))
            return true;
    }
    return false;
}

bool matchesAnyWord(const QString& text, const QStringList& words)
{
    if (words.isEmpty() || text.isEmpty())
        return false;
    const QString plain = plainText(text);
    for (const QString& word : words) {
        if (containsPhrase(plain, word.trimmed(), true, Qt::CaseInsensitive))
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
