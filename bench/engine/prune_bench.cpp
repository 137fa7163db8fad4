// Pruning 100,000 stories (ten channels of 10,000) to 10,000 (the newest 1,000 of each) on the
// engine's worker, with the
// user-interface thread reading the model all the while: how long the pruning takes and the
// longest the user-interface thread waited (for the model or for delivering change messages).

#include "vantrel/core/engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{

constexpr int kChannels = 10;
constexpr int kPerChannel = 10000;
constexpr int kKeepPerChannel = 1000;

QString writeFeed(const QString& path, int first, int items)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>"
            "<link>http://example.invalid/</link><description>d</description>");
    for (int i = first; i < first + items; ++i) {
        const QByteArray n = QByteArray::number(i);
        f.write("<item><guid>item-" + n + "</guid><title>Story number " + n +
                " about markets and weather</title><link>http://example.invalid/s/" + n +
                "</link><description>Summary of story " + n +
                " with a few words of text to make it realistic.</description></item>");
    }
    f.write("</channel></rss>");
    return QUrl::fromLocalFile(path).toString();
}

std::unique_ptr<vantrel::Engine> openEngine(const QString& dir, bool worker)
{
    vantrel::Engine::Options options;
    options.dataDir = dir;
    options.seedDemo = false;
    options.startWorker = worker;
    return std::make_unique<vantrel::Engine>(options);
}

// A store of kChannels channels of kPerChannel stories, made once and copied for every run.
const QString& templateStore()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QTemporaryDir feeds;
        auto engine = openEngine(dir.path(), false);
        for (int c = 0; c < kChannels; ++c) {
            vantrel::ChannelSeed desc;
            desc.name = QStringLiteral("Big %1").arg(c);
            desc.url = writeFeed(feeds.path() + QStringLiteral("/big%1.xml").arg(c),
                                 c * kPerChannel, kPerChannel);
            engine->updateChannelNow(engine->addChannel(desc));
        }
        made = true;
    }
    static const QString path = dir.path() + "/vantrel.db";
    return path;
}

void BM_Prune100kTo10kLongestStall(benchmark::State& state)
{
    const QString source = templateStore();
    double worstStall = 0;
    double worstPrune = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dir = std::make_unique<QTemporaryDir>();
        QFile::copy(source, dir->path() + "/vantrel.db");
        auto engine = openEngine(dir->path(), true);
        engine->waitForIdle(60000);
        int before = 0;
        engine->lock();
        for (int i = 0; i < engine->services()->GetNoServices(); ++i)
            before += engine->services()->GetService(i)->GetNoStories();
        engine->unlock();
        if (before != kChannels * kPerChannel) {
            state.SkipWithError("the store did not hold 100,000 stories");
            break;
        }
        vantrel::EngineOptions options = engine->options();
        options.keepPerChannel = kKeepPerChannel;
        state.ResumeTiming();

        QElapsedTimer clock;
        clock.start();
        engine->setOptions(options);
        qint64 last = clock.nsecsElapsed();
        qint64 longest = 0;
        int stories = 0;
        for (;;) {
            // What a window does: read the model, then take the change messages.
            engine->lock();
            stories = 0;
            for (int i = 0; i < engine->services()->GetNoServices(); ++i)
                stories += engine->services()->GetService(i)->GetNoStories();
            engine->unlock();
            QCoreApplication::processEvents();
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            if (engine->isIdle())
                break;
        }
        const double pruneMs = double(clock.nsecsElapsed()) / 1e6;

        state.PauseTiming();
        if (stories != kChannels * kKeepPerChannel)
            state.SkipWithError("the channels were not pruned to their limit");
        worstStall = std::max(worstStall, double(longest) / 1e6);
        worstPrune = std::max(worstPrune, pruneMs);
        engine.reset();
        dir.reset();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = worstStall;
    state.counters["prune_ms"] = worstPrune;
}
BENCHMARK(BM_Prune100kTo10kLongestStall)->Unit(benchmark::kMillisecond)->Iterations(3);

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
