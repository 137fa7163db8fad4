// The user-interface thread while a channel is added: the longest time it does not get to its
// events (a stall), from typing the address of a 10,000-story feed in Add Using Address until
// every story is stored, with the channel status window open. Aim: under 50 ms.

#include "vantrel/core/engine.h"
#include "vantrel/dialogs/addchanneldialog.h"
#include "vantrel/dialogs/channelstatuswindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace
{

QString writeFeed(const QString& path, int items)
{
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>"
                     "<link>http://example.invalid/</link><description>d</description>";
    for (int i = 0; i < items; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><guid>item-" + n + "</guid><title>Story number " + n +
               " about markets and weather</title><link>http://example.invalid/s/" + n +
               "</link><description>&lt;p&gt;Summary of story " + n +
               " with a few words of text.&lt;/p&gt;</description>"
               "<pubDate>Sun, 06 Dec 2026 10:00:00 GMT</pubDate></item>";
    }
    xml += "</channel></rss>";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(xml);
    return QUrl::fromLocalFile(path).toString();
}

// Measures the longest gap between two turns of the event loop while it runs.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this,
                [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

bool runUntil(const std::function<bool()>& done, int timeoutMs = 120000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

void BM_AddFeed10kLongestStall(benchmark::State& state)
{
    QTemporaryDir feeds;
    const QString url = writeFeed(feeds.path() + "/big.xml", 10000);
    qint64 worst = 0;
    for (auto _ : state) {
        QTemporaryDir data;
        vantrel::Engine::Options options;
        options.dataDir = data.path();
        options.seedDemo = false;
        if (!vantrel::Engine::start(options)) {
            state.SkipWithError("the engine did not start");
            return;
        }
        vantrel::Engine* engine = vantrel::Engine::instance();
        {
            vantrel::dialogs::ChannelStatusWindow status;
            status.show();
            vantrel::dialogs::AddChannelDialog dialog;
            dialog.show();
            StallMeter meter;
            dialog.setAddress(url);
            if (!runUntil([&] { return !dialog.isFetching(); })) {
                state.SkipWithError("the fetch did not end");
                return;
            }
            dialog.accept();
            const bool stored = runUntil([&] {
                std::vector<vantrel::ChannelFacts> facts;
                return engine->tryAllChannelFacts(facts) && facts.size() == 1 &&
                       facts[0].stories == 10000 && engine->isIdle();
            });
            if (!stored || dialog.channelId() == 0) {
                state.SkipWithError("the channel was not added");
                return;
            }
            worst = std::max(worst, meter.longestMs());
        }
        vantrel::Engine::stop();
    }
    state.counters["longest_stall_ms"] = double(worst);
}
BENCHMARK(BM_AddFeed10kLongestStall)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTREL_NO_DEMO", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
