// Engine speed: ingesting a large feed into the store, opening a large store, reading a
// channel's stories when first listed, the memory they take, reading a summary, finding text.

#include "vantrel/core/engine.h"
#include "vantrel/core/feedmerge.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>

namespace
{

// Bytes of the heap in use now.
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

QString writeFeed(const QString& path, int items, int firstItem = 0)
{
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>"
                     "<link>http://example.invalid/</link><description>d</description>";
    for (int i = firstItem; i < firstItem + items; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><guid>item-" + n + "</guid><title>Story number " + n +
               " about markets and weather</title><link>http://example.invalid/s/" + n +
               "</link><description>&lt;p&gt;Summary of story " + n +
               " with a few words of text to make it realistic.&lt;/p&gt;</description>"
               "<category>News/World</category>"
               "<pubDate>Sun, 06 Dec 2026 10:00:00 GMT</pubDate></item>";
    }
    xml += "</channel></rss>";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(xml);
    return QUrl::fromLocalFile(path).toString();
}

std::unique_ptr<vantrel::Engine> openEngine(const QString& dir)
{
    vantrel::Engine::Options options;
    options.dataDir = dir;
    options.seedDemo = false;
    options.startWorker = false;
    return std::make_unique<vantrel::Engine>(options);
}

uint32_t addChannel(vantrel::Engine& engine, const QString& url)
{
    vantrel::ChannelSeed desc;
    desc.name = "Big";
    desc.url = url;
    return engine.addChannel(desc);
}

// First download of a 10,000-item feed: fetch (file:), parse, store in one transaction.
void BM_IngestFeed10k(benchmark::State& state)
{
    QTemporaryDir feeds;
    const QString url = writeFeed(feeds.path() + "/big.xml", 10000);
    for (auto _ : state) {
        state.PauseTiming();
        auto dir = std::make_unique<QTemporaryDir>();
        auto engine = openEngine(dir->path());
        const uint32_t id = addChannel(*engine, url);
        state.ResumeTiming();
        engine->updateChannelNow(id);
        state.PauseTiming();
        engine->lock();
        if (engine->channelById(id)->GetNoStories() != 10000)
            state.SkipWithError("not every item was stored");
        engine->unlock();
        engine.reset();
        dir.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_IngestFeed10k)->Unit(benchmark::kMillisecond);

// The same 10,000-item feed downloaded again: every item is known, nothing is written.
void BM_RefreshUnchangedFeed10k(benchmark::State& state)
{
    QTemporaryDir feeds;
    const QString url = writeFeed(feeds.path() + "/big.xml", 10000);
    QTemporaryDir dir;
    auto engine = openEngine(dir.path());
    const uint32_t id = addChannel(*engine, url);
    engine->updateChannelNow(id);
    for (auto _ : state)
        engine->updateChannelNow(id);
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RefreshUnchangedFeed10k)->Unit(benchmark::kMillisecond);

// A store of 100,000 stories (ten channels of 10,000, downloaded from feeds), made once.
struct BigStore {
    QTemporaryDir feeds;
    QTemporaryDir dir;
    BigStore()
    {
        auto engine = openEngine(dir.path());
        for (int c = 0; c < 10; ++c) {
            const QString url =
                writeFeed(feeds.path() + QString("/feed%1.xml").arg(c), 10000, c * 10000);
            engine->updateChannelNow(addChannel(*engine, url));
        }
    }
    static BigStore& get()
    {
        static BigStore store;
        return store;
    }
};

std::vector<uint32_t> channelIds(vantrel::Engine& engine)
{
    std::vector<uint32_t> ids;
    engine.lock();
    for (int i = 0; i < engine.services()->GetNoServices(); ++i) {
        uint32_t id = 0;
        engine.services()->GetService(i)->GetServiceID(id);
        ids.push_back(id);
    }
    engine.unlock();
    return ids;
}

// Opening a store of 100,000 stories as the program starts: channels, directory and the
// counts the channel tree shows; no story is read.
void BM_OpenStore100k(benchmark::State& state)
{
    BigStore& store = BigStore::get();
    for (auto _ : state) {
        auto engine = openEngine(store.dir.path());
        engine->lock();
        long total = 0;
        for (int i = 0; i < engine->services()->GetNoServices(); ++i)
            total += engine->services()->GetService(i)->GetNumUnreadStories();
        engine->unlock();
        if (total != 100000)
            state.SkipWithError("the counts did not show 100,000 unread stories");
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenStore100k)->Unit(benchmark::kMillisecond);

// Reading the stories of one channel of 10,000 when it is first listed.
void BM_LoadChannel10k(benchmark::State& state)
{
    BigStore& store = BigStore::get();
    for (auto _ : state) {
        state.PauseTiming();
        auto engine = openEngine(store.dir.path());
        const uint32_t id = channelIds(*engine).front();
        state.ResumeTiming();
        engine->lock();
        const int n = engine->services()->GetServiceByID(id)->GetNoStories();
        engine->unlock();
        if (n != 10000)
            state.SkipWithError("the channel did not have 10,000 stories");
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_LoadChannel10k)->Unit(benchmark::kMillisecond);

// The heap that 100,000 loaded stories take (their records, texts and indexes), per story.
void BM_LoadedStoryMemory100k(benchmark::State& state)
{
    BigStore& store = BigStore::get();
    double mib = 0;
    for (auto _ : state) {
        auto engine = openEngine(store.dir.path());
        const std::vector<uint32_t> ids = channelIds(*engine);
        const size_t before = heapInUse();
        engine->lock();
        for (uint32_t id : ids)
            engine->services()->GetServiceByID(id)->GetNoStories();
        engine->unlock();
        mib = double(heapInUse() - before) / (1024.0 * 1024.0);
        engine.reset();
    }
    state.counters["MiB"] = mib;
    state.counters["bytes_per_story"] = mib * 1024 * 1024 / 100000;
}
BENCHMARK(BM_LoadedStoryMemory100k)->Unit(benchmark::kMillisecond)->Iterations(1);

// One summary read from the store (none kept): what a summary pop-up costs.
void BM_SummaryFromStore(benchmark::State& state)
{
    BigStore& store = BigStore::get();
    auto engine = openEngine(store.dir.path());
    engine->setStoryTextCacheLimit(0);
    const uint32_t id = channelIds(*engine).front();
    int index = 0;
    for (auto _ : state) {
        engine->lock();
        const QString summary = engine->services()->GetServiceByID(id)->GetStorySummary(index);
        engine->unlock();
        if (summary.isEmpty())
            state.SkipWithError("no summary");
        index = (index + 7919) % 10000;
    }
}
BENCHMARK(BM_SummaryFromStore)->Unit(benchmark::kMicrosecond);

// Finding a text in every channel of 100,000 stories: headlines and summaries (argument 0),
// headlines only (1). The headline index is made before the timing.
void BM_FindStories100k(benchmark::State& state)
{
    BigStore& store = BigStore::get();
    auto engine = openEngine(store.dir.path());
    const std::vector<uint32_t> ids = channelIds(*engine);
    const bool titleOnly = state.range(0) == 1;
    engine->findStories(ids, "warm", true);
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& channel : engine->findStories(ids, "number 1234", titleOnly))
            hits += channel.second.size();
    }
    // "Story number 1234x about ..." in headlines, "Summary of story 1234x" in summaries.
    if (hits != 11u)
        state.SkipWithError("the search did not find the eleven stories");
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_FindStories100k)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The merge alone (no fetch, parse or store) of a 10,000-item feed: into an empty channel
// (argument 0: every item is new) and into the channel that already has them all (1).
void BM_MergeFeed10k(benchmark::State& state)
{
    vantrel::feeds::Feed feed;
    for (int i = 0; i < 10000; ++i) {
        vantrel::feeds::Item item;
        item.identity = QString("item-%1").arg(i);
        item.headline = QString("Story number %1 about markets and weather").arg(i);
        item.summary = QString("<p>Summary of story %1 with a few words of text.</p>").arg(i);
        item.link = QString("http://example.invalid/s/%1").arg(i);
        item.categories = QStringList{"News/World"};
        feed.items.push_back(item);
    }
    vantrel::AlertRule storms;
    storms.id = 1;
    storms.name = "Storms";
    storms.words = {"storm", "flood"};
    storms.category = "Weather";
    const vantrel::RuleSet rules({storms}, {});
    const QUrl source("http://example.invalid/feed.xml");
    vantrel::Channel channel;
    channel.id = 1;
    if (state.range(0) == 1) {
        const vantrel::FeedMerge first = vantrel::mergeFeed(channel, feed, source, rules, 1, 0);
        channel.stories = first.created;
        channel.nextStory = first.nextStory;
        channel.reindex();
    }
    size_t changed = 0;
    for (auto _ : state) {
        const vantrel::FeedMerge m = vantrel::mergeFeed(channel, feed, source, rules, 1, 0);
        changed = m.created.size() + m.updated.size();
        benchmark::DoNotOptimize(changed);
    }
    if (changed != (state.range(0) == 1 ? 0u : 10000u))
        state.SkipWithError("the merge did not see what it should");
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_MergeFeed10k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The merge of a 10,000-item feed into an empty channel without rules (argument 0) and with 20
// alert rules and 20 filter rules (argument 1): the difference is what the rules add to a
// download. The rules mix the kinds a person writes: words and phrases in headlines or
// summaries, whole words or any text, and filters on text, regular expressions and age.
void BM_MergeFeed10kRules(benchmark::State& state)
{
    vantrel::feeds::Feed feed;
    for (int i = 0; i < 10000; ++i) {
        vantrel::feeds::Item item;
        item.identity = QString("item-%1").arg(i);
        item.headline = QString("Story number %1 about markets and weather").arg(i);
        item.summary = QString("<p>Summary of story %1 with a few <b>words</b> of text about "
                               "the harbour, %2.</p>")
                           .arg(i)
                           .arg(i % 97 == 0 ? "a storm warning" : "calm seas");
        item.author = i % 3 == 0 ? "Newsdesk" : "Ann Lee";
        item.link = QString("http://example.invalid/s/%1").arg(i);
        item.categories = QStringList{"News/World"};
        item.published = QDateTime::fromSecsSinceEpoch(1'700'000'000 - i * 600, Qt::UTC);
        feed.items.push_back(item);
    }
    std::vector<vantrel::AlertRule> alerts;
    std::vector<vantrel::FilterRule> filters;
    if (state.range(0) == 1) {
        using F = vantrel::FilterCondition;
        for (int i = 0; i < 20; ++i) {
            vantrel::AlertRule a;
            a.id = uint32_t(i + 1);
            a.name = QString("Alert %1").arg(i);
            a.words = {QString("word%1").arg(i), QString("high tide %1").arg(i),
                       i == 0 ? QString("storm") : QString("gale%1").arg(i)};
            a.headlinesOnly = i % 4 == 1;
            a.wholeWords = i % 3 != 2;
            a.matchCase = i % 5 == 4;
            alerts.push_back(a);

            vantrel::FilterRule f;
            f.name = QString("Filter %1").arg(i);
            f.matchAll = i % 2 == 0;
            switch (i % 4) {
            case 0:
                f.conditions = {{F::Field::Headline, F::Test::Contains, QString("zz%1").arg(i), 0},
                                {F::Field::Author, F::Test::NotContains, "desk", 0}};
                f.action = vantrel::FilterRule::Action::MarkRead;
                break;
            case 1:
                f.conditions = {{F::Field::Headline, F::Test::Matches,
                                 QString("^(ad|sponsored %1):").arg(i), 0}};
                f.action = vantrel::FilterRule::Action::Delete;
                break;
            case 2:
                f.conditions = {
                    {F::Field::Summary, F::Test::Matches, QString("\\bfire%1\\b").arg(i), 0},
                    {F::Field::Age, F::Test::OlderThan, {}, 3650}};
                f.action = vantrel::FilterRule::Action::Keep;
                break;
            default:
                f.conditions = {{F::Field::Link, F::Test::Contains, QString("/x%1/").arg(i), 0},
                                {F::Field::Category, F::Test::Contains, "sport", 0}};
                f.action = vantrel::FilterRule::Action::Alert;
                f.alertName = f.name;
                break;
            }
            filters.push_back(f);
        }
    }
    const vantrel::RuleSet rules(alerts, filters);
    const QUrl source("http://example.invalid/feed.xml");
    vantrel::Channel channel;
    channel.id = 1;
    size_t made = 0;
    for (auto _ : state) {
        const vantrel::FeedMerge m =
            vantrel::mergeFeed(channel, feed, source, rules, 1, 1'700'000'000);
        made = m.created.size() + m.alerts.size();
        benchmark::DoNotOptimize(made);
    }
    if (made != (state.range(0) == 1 ? 10000u + 104u : 10000u))
        state.SkipWithError("the rules did not do what they should");
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_MergeFeed10kRules)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("VANTREL_NO_DEMO", "1");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
