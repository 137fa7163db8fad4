// Feed parsing speed: large RSS 2.0 and Atom documents, parsed from memory.

#include "vantrel/core/feeds/feeds.h"

#include <benchmark/benchmark.h>

namespace
{

QByteArray rssFeed(int items)
{
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>"
                     "<link>http://example.invalid/</link><description>d</description>";
    for (int i = 0; i < items; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><guid>item-" + n + "</guid><title>Story number " + n +
               " about markets and weather</title><link>http://example.invalid/s/" + n +
               "</link><description>&lt;p&gt;Summary of story " + n +
               " with a few words of text to make it realistic.&lt;/p&gt;</description>"
               "<category>News/World</category>"
               "<pubDate>Sun, 06 Dec 2026 10:00:00 GMT</pubDate></item>";
    }
    xml += "</channel></rss>";
    return xml;
}

QByteArray atomFeed(int entries)
{
    QByteArray xml = "<?xml version=\"1.0\"?><feed xmlns=\"http://www.w3.org/2005/Atom\">"
                     "<title>Big</title><link href=\"http://example.invalid/\"/>"
                     "<updated>2026-12-06T10:00:00Z</updated>";
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<entry><id>urn:item-" + n + "</id><title>Story number " + n +
               " about markets and weather</title><link href=\"/s/" + n +
               "\"/><summary type=\"html\">&lt;p&gt;Summary of story " + n +
               " with a few words of text to make it realistic.&lt;/p&gt;</summary>"
               "<category term=\"News/World\"/>"
               "<updated>2026-12-06T10:00:00Z</updated></entry>";
    }
    xml += "</feed>";
    return xml;
}

void parseBench(benchmark::State& state, const QByteArray& doc, int items)
{
    const QUrl base(QStringLiteral("http://example.invalid/feed.xml"));
    for (auto _ : state) {
        const vantrel::feeds::ParseResult result = vantrel::feeds::parseFeed(doc, base);
        if (!result.ok || int(result.feed.items.size()) != items)
            state.SkipWithError("the feed was not read in full");
        benchmark::DoNotOptimize(result.feed.items.data());
    }
    state.SetItemsProcessed(state.iterations() * items);
    state.SetBytesProcessed(state.iterations() * doc.size());
}

void BM_ParseRss10k(benchmark::State& state)
{
    parseBench(state, rssFeed(10000), 10000);
}
BENCHMARK(BM_ParseRss10k)->Unit(benchmark::kMillisecond);

void BM_ParseAtom10k(benchmark::State& state)
{
    parseBench(state, atomFeed(10000), 10000);
}
BENCHMARK(BM_ParseAtom10k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
