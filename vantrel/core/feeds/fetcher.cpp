// Synchronous downloads for the engine's worker thread.

#include "vantrel/core/feeds/feeds.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <mutex>

namespace vantrel::feeds
{

struct Fetcher::Private {
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    QPointer<QNetworkReply> reply; // the reply in progress, guarded by mutex
    NetworkSettings network;       // guarded by mutex
};

namespace
{

QString standardReason(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("Bad Request");
    case 401:
        return QStringLiteral("Unauthorized");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 405:
        return QStringLiteral("Method Not Allowed");
    case 408:
        return QStringLiteral("Request Timeout");
    case 410:
        return QStringLiteral("Gone");
    case 429:
        return QStringLiteral("Too Many Requests");
    case 500:
        return QStringLiteral("Internal Server Error");
    case 501:
        return QStringLiteral("Not Implemented");
    case 502:
        return QStringLiteral("Bad Gateway");
    case 503:
        return QStringLiteral("Service Unavailable");
    case 504:
        return QStringLiteral("Gateway Timeout");
    default:
        return QString();
    }
}

// After redirects the reply may carry the Content-Type of every hop joined by commas
// ("text/html, application/rss+xml; charset=utf-8"); the answer's own type is the last.
QString answerContentType(const QString& header)
{
    const QStringList types = header.split(QLatin1Char(','));
    for (auto it = types.crbegin(); it != types.crend(); ++it) {
        if (it->contains(QLatin1Char('/')))
            return it->trimmed();
    }
    return header.trimmed();
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("too large: more than %1 bytes").arg(maxBytes);
}

// Where the answer in hand sends the client, if it is a redirect.
QUrl redirectTarget(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 300 || status >= 400)
        return QUrl();
    const QByteArray location = reply->rawHeader("Location").trimmed();
    if (location.isEmpty())
        return QUrl();
    return reply->url().resolved(QUrl::fromEncoded(location));
}

QString networkErrorText(QNetworkReply* reply, const QUrl& url)
{
    const QString host = url.host();
    const QUrl target = redirectTarget(reply);
    if (target.isValid() &&
        target.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0 &&
        target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0) {
        // Qt names the scheme of the address it came from; say where it was sent instead.
        if (target.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("redirect to a local file refused");
        return QStringLiteral("redirect to an unsupported address scheme \"%1\" refused")
            .arg(target.scheme());
    }
    // Qt's decompression stops on an answer that unpacks far beyond its compressed size (a
    // compression bomb) and gives no reason of its own.
    if (reply->errorString().startsWith(QLatin1String("Decompression failed")))
        return QStringLiteral("the compressed answer unpacks beyond the size limit");
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("connection refused by %1").arg(host);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("%1 closed the connection").arg(host);
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("host %1 not found").arg(host);
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("timed out");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("secure connection to %1 failed: %2").arg(host, reply->errorString());
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("too many redirects");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("refused a redirect from a secure to an insecure address");
    case QNetworkReply::ProtocolUnknownError:
        return QStringLiteral("unsupported address scheme \"%1\"").arg(url.scheme());
    default:
        return reply->errorString();
    }
}

bool isLoopback(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

FetchResult fetchFile(const QUrl& url, qint64 maxBytes, const std::atomic<bool>& cancelled)
{
    FetchResult result;
    result.finalUrl = url;
    const QString path = url.toLocalFile();
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = QStringLiteral("file not found: %1").arg(path);
        return result;
    }
    if (info.isDir()) {
        result.error = QStringLiteral("%1 is a folder, not a file").arg(path);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    // Read in chunks: the file may grow while we read, and cancel must be seen.
    constexpr qint64 kChunk = 256 * 1024;
    while (!file.atEnd()) {
        if (cancelled.load()) {
            result.error = QStringLiteral("cancelled");
            result.body.clear();
            return result;
        }
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty() && file.error() != QFile::NoError) {
            result.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
            result.body.clear();
            return result;
        }
        if (chunk.isEmpty())
            break;
        if (result.body.size() + chunk.size() > maxBytes) {
            result.error = tooLarge(maxBytes);
            result.body.clear();
            return result;
        }
        result.body += chunk;
    }
    result.ok = true;
    return result;
}

QNetworkProxy proxyFor(const NetworkSettings& settings, const QUrl& url)
{
    if (isLoopback(url))
        return QNetworkProxy::NoProxy;
    switch (settings.proxyMode) {
    case NetworkSettings::ProxyMode::None:
        return QNetworkProxy::NoProxy;
    case NetworkSettings::ProxyMode::Manual: {
        QNetworkProxy proxy(settings.proxyKind == NetworkSettings::ProxyKind::Socks5
                                ? QNetworkProxy::Socks5Proxy
                                : QNetworkProxy::HttpProxy,
                            settings.proxyHost, settings.proxyPort);
        if (!settings.proxyUser.isEmpty()) {
            proxy.setUser(settings.proxyUser);
            proxy.setPassword(settings.proxyPassword);
        }
        return proxy;
    }
    case NetworkSettings::ProxyMode::System:
        break;
    }
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.first();
}

} // namespace

QString NetworkSettings::defaultUserAgent()
{
    return QStringLiteral("Readhall/5.0 (Vantrel feed reader)");
}

void Fetcher::setNetworkSettings(const NetworkSettings& settings)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->network = settings;
}

NetworkSettings Fetcher::networkSettings() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->network;
}

Fetcher::Fetcher() : d(std::make_unique<Private>()) {}
Fetcher::~Fetcher() = default;

void Fetcher::cancel()
{
    d->cancelled = true;
    std::lock_guard<std::mutex> lock(d->mutex);
    if (QNetworkReply* reply = d->reply.data()) {
        // The reply lives in the fetching thread: ask that thread to abort it. The queued
        // call is dropped if the reply is deleted before it runs.
        QMetaObject::invokeMethod(
            reply, [reply] { reply->abort(); }, Qt::QueuedConnection);
    }
}

void Fetcher::reset()
{
    d->cancelled = false;
}

bool Fetcher::isCancelled() const
{
    return d->cancelled.load();
}

FetchResult Fetcher::fetch(const QUrl& url, qint64 maxBytes, int timeoutMs)
{
    FetchResult result;
    result.finalUrl = url;
    if (maxBytes <= 0 || maxBytes > kMaxDocumentBytes)
        maxBytes = kMaxDocumentBytes;
    if (d->cancelled) {
        result.error = QStringLiteral("cancelled");
        return result;
    }
    if (!url.isValid() || url.isEmpty()) {
        result.error = QStringLiteral("not a valid address: \"%1\"").arg(url.toString());
        return result;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return fetchFile(url, maxBytes, d->cancelled);
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        result.error = QStringLiteral("unsupported address scheme \"%1\"").arg(url.scheme());
        return result;
    }

    const NetworkSettings network = networkSettings();
    QNetworkAccessManager manager;
    manager.setProxy(proxyFor(network, url));
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, network.userAgent.trimmed().isEmpty()
                                                            ? NetworkSettings::defaultUserAgent()
                                                            : network.userAgent.trimmed());
    request.setRawHeader("Accept", "application/rss+xml, application/atom+xml, text/x-opml, "
                                   "application/xml;q=0.9, text/xml;q=0.9, */*;q=0.5");

    QEventLoop loop;
    QNetworkReply* reply = manager.get(request);
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->reply = reply;
    }
    bool timedOut = false;
    bool overLimit = false;
    QByteArray body;

    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    if (timeoutMs > 0)
        timer.start(timeoutMs);

    auto checkDeclaredLength = [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // A redirect's own body does not count.
        if (status >= 300 && status < 400)
            return;
        if (length.isValid() && length.toLongLong() > maxBytes) {
            overLimit = true;
            reply->abort();
        }
    };
    bool headerTooLarge = false;
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        // Qt's network stack drops a header that is too long or has too many lines and goes
        // on as if none had come, then waits for the connection to close. Every real server
        // sends at least one header line, so an answer with a status and none is refused at once.
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 0 &&
            reply->rawHeaderList().isEmpty()) {
            headerTooLarge = true;
            reply->abort();
            return;
        }
        checkDeclaredLength();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        if (overLimit || headerTooLarge)
            return;
        const QByteArray chunk = reply->readAll();
        if (body.size() + chunk.size() > maxBytes) {
            overLimit = true;
            body.clear();
            reply->abort();
            return;
        }
        body += chunk;
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    // cancel() may have run between the check above and the reply being published.
    if (d->cancelled)
        reply->abort();
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->reply = nullptr;
    }

    if (!overLimit && !timedOut && !headerTooLarge && reply->error() == QNetworkReply::NoError) {
        const QByteArray rest = reply->readAll();
        if (body.size() + rest.size() > maxBytes)
            overLimit = true;
        else
            body += rest;
    }
    result.finalUrl = reply->url();
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType =
        answerContentType(reply->header(QNetworkRequest::ContentTypeHeader).toString());

    if (overLimit) {
        result.error = tooLarge(maxBytes);
    } else if (headerTooLarge) {
        result.error = QStringLiteral("the answer from %1 has a header too large to read (too "
                                      "long or too many lines)")
                           .arg(url.host());
    } else if (timedOut) {
        result.error = QStringLiteral("timed out after %1 ms").arg(timeoutMs);
    } else if (d->cancelled && reply->error() == QNetworkReply::OperationCanceledError) {
        result.error = QStringLiteral("cancelled");
    } else if (result.httpStatus >= 400) {
        QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
        if (reason.isEmpty())
            reason = standardReason(result.httpStatus);
        result.error = QStringLiteral("HTTP %1 %2").arg(result.httpStatus).arg(reason).trimmed();
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = networkErrorText(reply, reply->url());
    } else if (body.isEmpty() &&
               reply->rawHeader("Transfer-Encoding").toLower().contains("chunked")) {
        // Qt ends a chunked answer whose chunk sizes cannot be read as if it were complete;
        // a document sent in chunks that holds nothing is reported, not read as empty.
        result.error = QStringLiteral("the answer from %1 holds no document (its chunked "
                                      "encoding is broken or empty)")
                           .arg(url.host());
    } else {
        result.ok = true;
        result.body = std::move(body);
    }
    delete reply;
    return result;
}

} // namespace vantrel::feeds
