#include "vantrel/core/origin.h"

namespace vantrel
{

bool isNetworkAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool isLocalSource(const QUrl& source)
{
    return source.isEmpty() || source.isLocalFile();
}

bool mayFollow(const QUrl& source, const QUrl& target)
{
    return isLocalSource(source) || isNetworkAddress(target);
}

QString followableAddress(const QUrl& source, const QString& address)
{
    if (address.isEmpty() || isLocalSource(source))
        return address;
    return isNetworkAddress(QUrl(address)) ? address : QString();
}

} // namespace vantrel
