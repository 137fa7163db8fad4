// The feed parser on arbitrary bytes: it must neither crash nor hang, and what it gives must
// keep its promises (statuses, limits, only http and https links from a web document).

#include "fuzz/fuzz_check.h"
#include "vantrel/core/feeds/feeds.h"

#include <cstddef>
#include <cstdint>

using namespace vantrel::feeds;

namespace
{

bool webAddress(const QString& url)
{
    return url.isEmpty() || url.startsWith(QLatin1String("http://")) ||
           url.startsWith(QLatin1String("https://"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    ParseOptions options;
    options.documentUrl = QUrl(QStringLiteral("https://feeds.example.org/news/feed.xml"));
    // The last byte sometimes stands for a transport charset, to reach that path too.
    if (size > 0 && data[size - 1] == 0x01)
        options.contentType = QStringLiteral("text/xml; charset=windows-1252");
    const ParseResult result = parseFeed(bytes, options);

    FUZZ_CHECK(result.ok == (result.status == ParseStatus::Complete));
    FUZZ_CHECK(result.ok == result.error.isEmpty());
    FUZZ_CHECK(result.status != ParseStatus::Cancelled);
    FUZZ_CHECK(result.feed.items.size() <= size_t(kMaxItems));
    if (result.status == ParseStatus::Failed)
        FUZZ_CHECK(result.feed.items.empty());
    FUZZ_CHECK(webAddress(result.feed.homePage));
    FUZZ_CHECK(webAddress(result.feed.logoUrl));
    for (const Item& item : result.feed.items) {
        FUZZ_CHECK(!item.identity.isEmpty());
        FUZZ_CHECK(webAddress(item.link));
        FUZZ_CHECK(webAddress(item.enclosure.url));
        FUZZ_CHECK(webAddress(item.thumbnailUrl));
        FUZZ_CHECK(item.enclosure.length >= 0);
        FUZZ_CHECK(item.durationSeconds >= 0);
        FUZZ_CHECK(!item.headline.contains(QLatin1Char('\n')));
        FUZZ_CHECK(!item.published.isValid() || item.published.timeSpec() == Qt::UTC);
    }
    return 0;
}
