// The catalogue parser on arbitrary bytes: no crash, no hang, and only http and https feed
// addresses from a catalogue on the web.

#include "fuzz/fuzz_check.h"
#include "vantrel/core/feeds/feeds.h"

#include <cstddef>
#include <cstdint>

using namespace vantrel::feeds;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const OpmlResult result =
        parseOpml(bytes, QUrl(QStringLiteral("https://directory.example.org/channels.opml")));
    FUZZ_CHECK(!result.cancelled);
    FUZZ_CHECK(result.ok || !result.error.isEmpty());
    FUZZ_CHECK(result.ok || result.entries.empty());
    for (const OpmlEntry& entry : result.entries) {
        FUZZ_CHECK(entry.feedUrl.startsWith(QLatin1String("http://")) ||
                   entry.feedUrl.startsWith(QLatin1String("https://")));
        FUZZ_CHECK(entry.homePage.isEmpty() || entry.homePage.startsWith(QLatin1String("http")));
        FUZZ_CHECK(!entry.title.isEmpty());
    }
    return 0;
}
