#include "vantrel/core/feedaddress.h"

#include <QDir>
#include <QRegularExpression>

namespace vantrel
{
namespace
{

QString schemeOf(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = scheme.match(text);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

FeedAddress refuse(const QString& why)
{
    FeedAddress a;
    a.error = why;
    return a;
}

FeedAddress notAnAddress(const QString& text)
{
    return refuse(QStringLiteral("\"%1\" is not a valid address.").arg(text));
}

FeedAddress webAddress(const QString& text)
{
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return notAnAddress(text);
    // A host is letters, digits, dots and dashes (or an IP address in brackets).
    static const QRegularExpression host(QStringLiteral("^[A-Za-z0-9.-]+$|^[0-9A-Fa-f:.]+$"));
    if (!host.match(url.host(QUrl::FullyEncoded)).hasMatch() || url.host().startsWith('.') ||
        url.host().contains(QLatin1String("..")))
        return notAnAddress(text);
    FeedAddress a;
    a.url = url.adjusted(QUrl::RemoveFragment);
    return a;
}

FeedAddress fileAddress(const QString& path)
{
    if (!QDir::isAbsolutePath(path))
        return refuse(QStringLiteral("\"%1\" is not a valid address: a file is named by its "
                                     "whole path.")
                          .arg(path));
    FeedAddress a;
    a.url = QUrl::fromLocalFile(QDir::cleanPath(path));
    return a;
}

} // namespace

FeedAddress readFeedAddress(const QString& typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return refuse(QStringLiteral("Type the address of a feed, or of a web page that links "
                                     "to its feeds."));
    if (text.startsWith(QLatin1Char('/')))
        return fileAddress(text);
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        return fileAddress(QDir::homePath() + text.mid(1));

    const QString scheme = schemeOf(text);
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return webAddress(text);
    if (scheme == QLatin1String("feed") || scheme == QLatin1String("feeds")) {
        // "feed:https://host/path" and "feed://https://host/path" wrap a whole address;
        // "feed://host/path" is the feed's own address over http ("feeds:" over https). A feed
        // link never leads to a local file.
        const QString rest = text.mid(scheme.size() + 1);
        const QString inner = rest.startsWith(QLatin1String("//")) ? rest.mid(2) : rest;
        const QString innerScheme = schemeOf(inner);
        if (innerScheme == QLatin1String("http") || innerScheme == QLatin1String("https"))
            return webAddress(inner);
        if (!rest.startsWith(QLatin1String("//")) || !innerScheme.isEmpty())
            return notAnAddress(text);
        return webAddress((scheme == QLatin1String("feeds") ? QStringLiteral("https:")
                                                            : QStringLiteral("http:")) +
                          rest);
    }
    if (scheme == QLatin1String("file")) {
        const QUrl url(text, QUrl::TolerantMode);
        if (!url.isValid() || !url.isLocalFile() || !url.host().isEmpty())
            return notAnAddress(text);
        return fileAddress(url.toLocalFile());
    }
    // "example.com/feed" and "localhost:8080/rss": a host without a scheme is a web address.
    static const QRegularExpression bareHost(
        QStringLiteral("^[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*(:[0-9]+)?([/?#].*)?$"));
    static const QRegularExpression hostEnd(QStringLiteral("[:/?#]"));
    if (bareHost.match(text).hasMatch() &&
        (text.section(hostEnd, 0, 0).contains('.') ||
         text.startsWith(QLatin1String("localhost"), Qt::CaseInsensitive)))
        return webAddress(QStringLiteral("http://") + text);
    if (!scheme.isEmpty())
        return refuse(QStringLiteral("Only web (http, https) and file addresses can be added "
                                     "as channels; \"%1:\" addresses are refused.")
                          .arg(scheme));
    return notAnAddress(text);
}

QString feedAddressKey(const QString& address)
{
    const QUrl url(address.trimmed(), QUrl::TolerantMode);
    if (!url.isValid())
        return address.trimmed();
    if (url.isLocalFile())
        return QStringLiteral("file:") + QDir::cleanPath(url.toLocalFile());
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    QString key = web ? QStringLiteral("web:") : scheme + QLatin1Char(':');
    key += url.host().toLower();
    if (url.port() != -1 && url.port() != defaultPort)
        key += QLatin1Char(':') + QString::number(url.port());
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    key += path;
    if (url.hasQuery())
        key += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
    return key;
}

} // namespace vantrel
