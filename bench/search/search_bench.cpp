// Search window speed: a query over 100,000 stored stories with summaries of about 500 bytes,
// from pressing Find Now to the filled results list, in every channel; headlines and
// summaries, headlines only, and the same query again after one story changed.

#include "resources/readhall_resources.h"
#include "src/search/searchdoc.h"
#include "src/search/searchids.h"
#include "src/search/searchresultsview.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{

constexpr int kChannels = 10;
constexpr int kStoriesPerChannel = 10000;

// Words of the summaries: every summary is different and about 500 bytes long.
const char* const kWords[] = {"markets", "weather",  "council", "harbour", "festival",
                              "railway", "election", "library", "orchard", "bridge",
                              "museum",  "forecast", "traffic", "season",  "report"};

QByteArray summaryOf(int item)
{
    QByteArray text = "Summary of story " + QByteArray::number(item) + ".";
    for (int w = 0; text.size() < 500; ++w)
        text += QByteArray(" ") + kWords[(item * 7 + w * 13) % std::size(kWords)];
    return text;
}

QString writeFeed(const QString& path, int firstItem)
{
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>"
                     "<link>http://example.invalid/</link><description>d</description>";
    for (int i = firstItem; i < firstItem + kStoriesPerChannel; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><guid>item-" + n + "</guid><title>Story number " + n +
               " about the day</title><link>http://example.invalid/s/" + n +
               "</link><description>" + summaryOf(i) +
               "</description><pubDate>Sun, 06 Dec 2026 10:00:00 GMT</pubDate></item>";
    }
    xml += "</channel></rss>";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(xml);
    return QUrl::fromLocalFile(path).toString();
}

// The engine with ten channels of 10,000 stories, and a search document over all of them
// with its results list.
struct Fixture {
    QTemporaryDir feeds;
    QTemporaryDir data;
    std::vector<uint32_t> channels;
    std::unique_ptr<CSearchDoc> doc;
    std::unique_ptr<CSearchResultsView> list;

    Fixture()
    {
        readhallInitResources();
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
        doc = std::make_unique<CSearchDoc>();
        list = std::make_unique<CSearchResultsView>();
        doc->AddView(list.get());
        list->resize(900, 600);
        list->OnInitialUpdate();
    }
    ~Fixture()
    {
        list.reset();
        doc.reset();
        vantrel::Engine::stop();
    }
    // The query as Find Now leaves it for "All Channels".
    void query(const QString& text, bool titleOnly)
    {
        doc->Reset();
        doc->m_searchText = text;
        doc->m_titleOnly = titleOnly ? 1 : 0;
        doc->m_channels = channels;
        doc->m_scopeText = QStringLiteral("All Channels");
    }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

// "number 1234" is in the headlines of stories 1234 and 12340 to 12349 (and, in other case,
// nowhere else). Argument 1: headlines only; 0: headlines and summaries.
void BM_SearchAllChannels100k(benchmark::State& state)
{
    Fixture& f = fixture();
    const bool titleOnly = state.range(0) == 1;
    f.query(QStringLiteral("NUMBER 1234"), titleOnly);
    f.doc->UpdateAllViews(nullptr, HINT_SEARCH_QUERY_CHANGED); // the first search reads it all
    for (auto _ : state)
        f.doc->UpdateAllViews(nullptr, HINT_SEARCH_QUERY_CHANGED);
    if (f.list->model()->rowCount() != 11)
        state.SkipWithError("the search did not list the eleven stories");
    state.SetItemsProcessed(state.iterations() * kChannels * kStoriesPerChannel);
}
BENCHMARK(BM_SearchAllChannels100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Many found: "story 12" opens 1,111 summaries (stories 12, 120 to 129, 1200 to 1299, 12000
// to 12999) and no headline.
void BM_SearchManyFound100k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.query(QStringLiteral("STORY 12"), false);
    f.doc->UpdateAllViews(nullptr, HINT_SEARCH_QUERY_CHANGED);
    for (auto _ : state)
        f.doc->UpdateAllViews(nullptr, HINT_SEARCH_QUERY_CHANGED);
    state.counters["rows"] = f.list->model()->rowCount();
    if (f.list->model()->rowCount() < 1000)
        state.SkipWithError("the search found too few stories");
}
BENCHMARK(BM_SearchManyFound100k)->Unit(benchmark::kMillisecond);

// The same query after one story of a channel was deleted: that channel's headlines are
// read again.
void BM_SearchAgainAfterOneChange100k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.query(QStringLiteral("number 1234"), false);
    f.doc->UpdateAllViews(nullptr, HINT_SEARCH_QUERY_CHANGED);
    uint32_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A story far from those found, a different one each time.
        uint32_t number = 0;
        if (CServices* services = GetCServices()) {
            CService* channel = services->GetServiceByID(f.channels.back());
            uint32_t id = 0;
            CService::ParseStoryID(channel->GetStoryID(int(next++ % 5000)), id, number);
            ReleaseCServices();
        }
        VTDeleteStories(f.channels.back(), {number});
        state.ResumeTiming();
        f.doc->UpdateAllViews(nullptr, HINT_SEARCH_QUERY_CHANGED);
    }
    if (f.list->model()->rowCount() != 11)
        state.SkipWithError("the search did not list the eleven stories");
}
BENCHMARK(BM_SearchAgainAfterOneChange100k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTREL_NO_DEMO", "1");
    // The list reads and writes its settings: keep them away from the user's own.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_fixture.reset();
    benchmark::Shutdown();
    return 0;
}
