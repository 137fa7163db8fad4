// The summary cleaner on arbitrary text: no crash, no hang, and nothing active survives it:
// no script, no event handler, no link but to the web or mail.

#include "fuzz/fuzz_check.h"
#include "vantrel/popsum/popsum_p.h"

#include <QRegularExpression>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const QString clean = popsum::sanitizeSummaryHtml(html, 400);
    const QString lower = clean.toLower();
    FUZZ_CHECK(!lower.contains(QLatin1String("<script")));
    FUZZ_CHECK(!lower.contains(QLatin1String("<iframe")));
    FUZZ_CHECK(!lower.contains(QLatin1String("<img")));
    FUZZ_CHECK(!lower.contains(QLatin1String("<style")));
    // Every tag the cleaner writes carries no attribute but a link's address.
    static const QRegularExpression tag(QStringLiteral("<[a-z][^>]*\\s[^>]*>"));
    for (auto it = tag.globalMatch(lower); it.hasNext();) {
        const QString t = it.next().captured(0);
        FUZZ_CHECK(t.startsWith(QLatin1String("<a href=\"http:")) ||
                   t.startsWith(QLatin1String("<a href=\"https:")) ||
                   t.startsWith(QLatin1String("<a href=\"ftp:")) ||
                   t.startsWith(QLatin1String("<a href=\"mailto:")));
    }
    return 0;
}
