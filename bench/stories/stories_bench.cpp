// Headline list speed: filling the list with the 100,000 stories of a category, sorting them
// again by each column, and applying 1,000 story attribute changes.

#include "resources/readhall_resources.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/stories/headlineview.h"
#include "src/stories/storyids.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{

constexpr int kChannels = 10;
constexpr int kStoriesPerChannel = 10000;

QString writeFeed(const QString& path, int firstItem)
{
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>"
                     "<link>http://example.invalid/</link><description>d</description>";
    for (int i = firstItem; i < firstItem + kStoriesPerChannel; ++i) {
        const QByteArray n = QByteArray::number(i);
        // Headlines in a scrambled order, times spread over a few weeks.
        const QByteArray key = QByteArray::number((i * 7919) % 100000);
        const int day = 1 + (i * 31) % 28;
        xml += "<item><guid>item-" + n + "</guid><title>Story " + key +
               " about markets and weather</title><link>http://example.invalid/s/" + n +
               "</link><description>Summary of story " + n +
               ".</description><category>World/Region " + QByteArray::number(i % 17) +
               "</category><pubDate>Sun, " + QByteArray::number(day) + " Dec 2026 " +
               QByteArray::number(10 + i % 12) + ":" + QByteArray::number(10 + i % 50) +
               ":00 GMT</pubDate></item>";
    }
    xml += "</channel></rss>";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(xml);
    return QUrl::fromLocalFile(path).toString();
}

// The engine with a category of ten channels of 10,000 stories, and a headline list over it.
struct Fixture {
    QTemporaryDir feeds;
    QTemporaryDir data;
    std::vector<uint32_t> channels;
    std::unique_ptr<CChannelDoc> doc;
    std::unique_ptr<CHeadlineView> view;

    Fixture()
    {
        vantrel::Engine::Options options;
        options.dataDir = data.path();
        options.seedDemo = false;
        options.startWorker = false;
        vantrel::Engine::start(options);
        vantrel::Engine* engine = vantrel::Engine::instance();
        for (int c = 0; c < kChannels; ++c) {
            vantrel::ChannelSeed desc;
            desc.name = QStringLiteral("Channel %1").arg(c);
            desc.category = QStringLiteral("Big");
            desc.url = writeFeed(feeds.path() + QStringLiteral("/feed%1.xml").arg(c),
                                 c * kStoriesPerChannel);
            const uint32_t id = engine->addChannel(desc);
            engine->updateChannelNow(id);
            channels.push_back(id);
        }
        doc = std::make_unique<CChannelDoc>();
        doc->SetCategory(channels, QStringLiteral("Big"));
        view = std::make_unique<CHeadlineView>();
        doc->AddView(view.get());
        view->resize(900, 600);
        view->Create();
    }
    ~Fixture()
    {
        view.reset();
        doc.reset();
        vantrel::Engine::stop();
    }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

// What a fill reads of the engine, without the list: the engine's share of a fill.
void BM_ReadStoryAttributes100k(benchmark::State& state)
{
    Fixture& f = fixture();
    const QStringList numberNames = {"Read",         "Keep",        "BundLet Signed",
                                     "Bundlet Type", "Story Local", "Alerted"};
    const QStringList textNames = {"Category", "Header", "Footer"};
    for (auto _ : state) {
        CServices* services = GetCServices();
        for (uint32_t id : f.channels) {
            CService* channel = services->GetServiceByID(id);
            for (int i = 0; i < channel->GetNoStories(); ++i) {
                uint32_t value = 0;
                QString text;
                for (const QString& name : numberNames)
                    channel->GetStoryAttribute(i, name, value);
                for (const QString& name : textNames)
                    channel->GetStoryAttribute(i, name, text);
                channel->GetStoryUpdatedTime(i, value);
                channel->GetStoryUpdatedTime(i, text);
                benchmark::DoNotOptimize(channel->GetStoryHeadline(i));
                benchmark::DoNotOptimize(channel->GetStoryID(i));
                benchmark::DoNotOptimize(channel->IsStorySummaryAvailable(i));
            }
        }
        ReleaseCServices();
    }
    state.SetItemsProcessed(state.iterations() * kChannels * kStoriesPerChannel);
}
BENCHMARK(BM_ReadStoryAttributes100k)->Unit(benchmark::kMillisecond);

void BM_FillCategory100k(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        f.view->RefreshList();
    if (f.view->model()->rowCount() != kChannels * kStoriesPerChannel)
        state.SkipWithError("not every story was listed");
    state.SetItemsProcessed(state.iterations() * kChannels * kStoriesPerChannel);
}
BENCHMARK(BM_FillCategory100k)->Unit(benchmark::kMillisecond);

// The first sort by a column after a fill (the list sorts by Received as it fills): the
// column's texts are ranked, then the rows sorted.
void BM_FirstSortByColumn100k(benchmark::State& state)
{
    Fixture& f = fixture();
    const int column = static_cast<int>(state.range(0));
    bool ascending = false;
    for (auto _ : state) {
        state.PauseTiming();
        f.view->RefreshList();
        state.ResumeTiming();
        f.view->model()->SortRows(column, ascending);
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * kChannels * kStoriesPerChannel);
}
BENCHMARK(BM_FirstSortByColumn100k)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Sorting again by a column sorted before (a header clicked again, or after another column).
void BM_SortByColumn100k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view->RefreshList();
    const int column = static_cast<int>(state.range(0));
    // Each sort starts from the order of another column, as after a header click.
    const int from = (column + 1) % HEADLINE_COLUMN_COUNT;
    bool ascending = false;
    for (auto _ : state) {
        state.PauseTiming();
        f.view->model()->SortRows(from, true);
        state.ResumeTiming();
        f.view->model()->SortRows(column, ascending);
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * kChannels * kStoriesPerChannel);
}
BENCHMARK(BM_SortByColumn100k)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_AttributeChanges1000(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view->RefreshList();
    // 1,000 stories spread over the channels, told in hints of 100 stories.
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> hints;
    if (CServices* services = GetCServices()) {
        for (uint32_t id : f.channels) {
            CService* channel = services->GetServiceByID(id);
            std::vector<uint32_t> numbers;
            for (int i = 0; i < 100; ++i) {
                uint32_t c = 0;
                uint32_t n = 0;
                CService::ParseStoryID(channel->GetStoryID(i * 97), c, n);
                numbers.push_back(n);
            }
            hints.emplace_back(id, numbers);
        }
        ReleaseCServices();
    }
    for (auto _ : state) {
        for (const auto& [channel, numbers] : hints) {
            CUpdateHint hint(channel, numbers);
            f.view->OnUpdate(nullptr, HINT_STORIES_ATTRIBUTE_CHANGED, &hint);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_AttributeChanges1000)->Unit(benchmark::kMillisecond);

// The longest time the user-interface thread could not run while 16 channels of 10,000 items
// download on the engine's worker, with the first of them listed: each of its updates refills
// the list (as the channel window does) and every counter change is read (as the channel tree
// does). Measured with a 5 ms timer: the longest gap between two of its ticks.
struct DownloadWatch {
    static CHeadlineView* view;
    static uint32_t shown;
    static void sink(uint32_t, const char* name, uintptr_t first, intptr_t)
    {
        const QLatin1String message(name);
        if (message == QLatin1String("REFRESHCODE_CHANNEL_UPDATED") && first == shown && view)
            view->RefreshList();
        if (message == QLatin1String("REFRESHCODE_CHANNEL_COUNTER_CHANGED")) {
            if (CServices* services = GetCServices()) {
                if (CService* channel = services->GetServiceByID(uint32_t(first)))
                    benchmark::DoNotOptimize(channel->GetNumUnreadStories());
                ReleaseCServices();
            }
        }
    }
};
CHeadlineView* DownloadWatch::view = nullptr;
uint32_t DownloadWatch::shown = 0;

void BM_DownloadStall16x10k(benchmark::State& state)
{
    g_fixture.reset(); // the other benchmarks' engine has no worker
    double longest = 0;
    for (auto _ : state) {
        QTemporaryDir feeds;
        QTemporaryDir data;
        std::vector<QString> urls;
        for (int c = 0; c < 16; ++c)
            urls.push_back(writeFeed(feeds.path() + QStringLiteral("/feed%1.xml").arg(c),
                                     c * kStoriesPerChannel));
        vantrel::Engine::Options options;
        options.dataDir = data.path();
        options.seedDemo = false;
        vantrel::Engine::start(options);
        vantrel::Engine* engine = vantrel::Engine::instance();
        ChanDir_SetMessageSink(&DownloadWatch::sink);
        CServicesSubscribeNotifications(1);
        CChannelDoc doc;
        CHeadlineView view;
        doc.AddView(&view);
        view.resize(900, 600);
        view.Create();
        std::vector<uint32_t> ids;
        for (int c = 0; c < 16; ++c) {
            vantrel::ChannelSeed desc;
            desc.name = QStringLiteral("Download %1").arg(c);
            desc.url = urls[size_t(c)];
            ids.push_back(engine->addChannel(desc));
        }
        doc.SetCategory({ids.front()}, QStringLiteral("Download"));
        DownloadWatch::view = &view;
        DownloadWatch::shown = ids.front();
        view.RefreshList();

        QElapsedTimer sinceTick;
        qint64 gap = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout,
                         [&] { gap = std::max(gap, sinceTick.restart()); });
        QEventLoop loop;
        QTimer done;
        done.setInterval(50);
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (engine->isIdle() || clock.elapsed() > 300000)
                loop.quit();
        });
        sinceTick.start();
        probe.start();
        done.start();
        loop.exec();
        probe.stop();
        size_t stored = 0;
        if (CServices* services = GetCServices()) {
            for (uint32_t id : ids)
                stored += size_t(services->GetServiceByID(id)->GetNoStories());
            ReleaseCServices();
        }
        if (stored != 16u * kStoriesPerChannel)
            state.SkipWithError("not every story was downloaded");
        longest = std::max(longest, double(gap));
        DownloadWatch::view = nullptr;
        CServicesUnsubscribeNotifications(1);
        ChanDir_SetMessageSink(nullptr);
        vantrel::Engine::stop();
    }
    state.counters["stall_ms"] = longest;
}
BENCHMARK(BM_DownloadStall16x10k)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTREL_NO_DEMO", "1");
    // The list reads and writes its settings: keep them away from the user's own.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    QApplication app(argc, argv);
    readhallInitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture.reset();
    return 0;
}
