#pragma once
// Feed addresses as a person types or pastes them, and when two addresses name the same feed.

#include <QString>
#include <QUrl>

namespace vantrel
{

struct FeedAddress {
    QUrl url;      // http, https or file; empty when the text is refused
    QString error; // why the text was refused, in words for the person
    bool ok() const { return !url.isEmpty(); }
};

// Reads the address of a feed or of a web page:
// - http:, https: and file: addresses as they are;
// - "feed://host/path" as http, "feeds://host/path" as https, "feed:https://host/path" and
//   "feed://https://host/path" as the address they wrap;
// - a host name without a scheme ("example.com/rss.xml") as http;
// - an absolute path ("/home/me/feed.xml", "~/feed.xml") as a local file.
// Every other scheme (javascript:, data:, ftp:, ...) and text that is no address is refused.
FeedAddress readFeedAddress(const QString& text);

// A text that is equal for two addresses of the same feed: the scheme of web addresses (a site
// serves its feed over http and https alike), the case of the host, a default port, a fragment
// and a trailing "/" do not count.
QString feedAddressKey(const QString& address);

} // namespace vantrel
