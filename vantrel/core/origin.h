#pragma once
// Where a document came from decides what its addresses may make the engine read. A document
// fetched from the network (a feed, a catalogue) may only point at the network: a "file:"
// logo, enclosure or page in it would make the engine copy, open or read a file of this
// computer. Documents the person added as local files, and the engine's own data, may point
// at local files.

#include <QString>
#include <QUrl>

namespace vantrel
{

// True for http: and https: addresses.
bool isNetworkAddress(const QUrl& url);

// True when the source is on this computer (a local file) or is no document at all (content
// the engine made itself): its addresses may point anywhere.
bool isLocalSource(const QUrl& source);

// True when a document read from source may make the engine read target.
bool mayFollow(const QUrl& source, const QUrl& target);

// The address as a document from source may hand it on: unchanged when allowed, else empty.
QString followableAddress(const QUrl& source, const QString& address);

} // namespace vantrel
