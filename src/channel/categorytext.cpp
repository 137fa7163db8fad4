#include "src/channel/categorytext.h"

namespace
{
const QString kSlash = QStringLiteral("/");
const QString kSlashEntity = QStringLiteral("&slash;");
} // namespace

QString ReplaceNoCase(const QString& text, const QString& from, const QString& to)
{
    if (from.isEmpty())
        return text;
    QString result = text;
    result.replace(from, to, Qt::CaseInsensitive);
    return result;
}

QStringList SplitText(const QString& text, const QString& delimiter)
{
    if (delimiter.isEmpty())
        return QStringList{text};
    return text.split(delimiter, Qt::KeepEmptyParts);
}

QStringList SplitCategoryPaths(const QString& text)
{
    QStringList paths;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(';') &&
            !(i >= 6 && text.mid(i - 6, 7).compare(kSlashEntity, Qt::CaseInsensitive) == 0)) {
            paths << current;
            current.clear();
            continue;
        }
        current += c;
    }
    paths << current;
    return paths;
}

QStringList SplitPathLevels(const QString& path)
{
    return path.split(kSlash, Qt::SkipEmptyParts);
}

QString ToPathForm(const QString& name)
{
    return ReplaceNoCase(name, kSlash, kSlashEntity);
}

QString FromPathForm(const QString& level)
{
    return ReplaceNoCase(level, kSlashEntity, kSlash);
}

QString EscapeMenuText(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return result;
}
