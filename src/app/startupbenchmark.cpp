#include "src/app/startupbenchmark.h"

#include "src/app/readhallapp.h"
#include "src/engine/messages.h"
#include "src/framework/mainframe.h"
#include "src/platform/messagewindow.h"
#include "src/shared/ids.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>

namespace
{

// The resident memory of the process in KiB (0 when it cannot be read).
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Drives a start-up benchmark run. It prints, one "readhall-benchmark: name=value" line each:
//   shown-ns        CLOCK_MONOTONIC when the main window was first exposed (the caller took
//                   the same clock before starting the process)
//   rss-kib         resident memory 5 s after that, the channel window open
//   stall-*-ms      the longest time the interface did not get to run a 5 ms timer: while
//                   starting (up to 5 s), listing the first channel, sorting it by each column
//                   both ways, and searching every channel (headlines, then with summaries)
// and then closes the program.
class StartupBenchmark : public QObject
{
public:
    explicit StartupBenchmark(CReadhallApp& app) : m_app(app)
    {
        qApp->installEventFilter(this);
        m_probe.setTimerType(Qt::PreciseTimer);
        m_probe.setInterval(5);
        connect(&m_probe, &QTimer::timeout, this, [this] { tick(); });
        // A non-interactive run answers no questions, from the start (Quick Setup on a first
        // start comes before the main window).
        m_dismiss.setInterval(50);
        connect(&m_dismiss, &QTimer::timeout, this, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else if (modal)
                modal->close();
        });
        m_dismiss.start();
    }

private:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_shown && event->type() == QEvent::Expose) {
            CMDIFrameWnd* frame = m_app.GetMainFrame();
            if (frame && watched == frame->windowHandle() && frame->isVisible()) {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                m_shown = true;
                report("shown-ns", QString::number(qint64(now.tv_sec) * 1000000000 + now.tv_nsec));
                m_sinceShown.start();
                m_lastTick.start();
                m_probe.start();
            }
        }
        return QObject::eventFilter(watched, event);
    }

    void report(const char* name, const QString& value)
    {
        std::printf("readhall-benchmark: %s=%s\n", name, qPrintable(value));
        std::fflush(stdout);
    }

    // The probe: the gap since the last tick is how long the interface was busy.
    void tick()
    {
        m_longest = std::max(m_longest, m_lastTick.restart());
        const qint64 at = m_sinceShown.elapsed();
        if (QApplication::activeModalWidget())
            return;
        CMDIFrameWnd* frame = m_app.GetMainFrame();
        if (!frame)
            return;
        switch (m_phase) {
        case 0: // starting: the channel window opens by itself or is asked for
            if (frame->GetChildFrames().empty() && at > 1000 && !m_askedForWindow) {
                m_askedForWindow = true;
                SendMessage(frame->hwnd(), WM_COMMAND, ID_VIEW_CHANNEL_CONTENT, 0);
            }
            if (at >= 5000) {
                report("stall-start-ms", QString::number(m_longest));
                report("rss-kib", QString::number(residentKiB()));
                nextPhase();
                if (CServices* services = GetCServices()) {
                    for (int i = 0; i < services->GetNoServices(); ++i) {
                        uint32_t id = 0;
                        services->GetService(i)->GetServiceID(id);
                        m_channels.push_back(id);
                    }
                    ReleaseCServices();
                }
                if (!m_channels.empty())
                    SendMessage(frame->hwnd(), WM_SHOW_CHANNEL, m_channels.front(), 0);
            }
            break;
        case 1: // listing the first channel
            if (m_sincePhase.elapsed() >= 1500) {
                report("stall-list-ms", QString::number(m_longest));
                nextPhase();
            }
            break;
        case 2: { // sorting: each column both ways, 300 ms apart
            const int step = int(m_sincePhase.elapsed() / 300);
            if (step > m_step && step <= 8) {
                m_step = step;
                auto* list = frame->findChild<QTreeView*>(QStringLiteral("HeadlineList"));
                if (list)
                    emit list->header()->sectionClicked((step - 1) / 2);
            }
            if (m_sincePhase.elapsed() >= 3000) {
                report("stall-sort-ms", QString::number(m_longest));
                report("listed-rows", QString::number(countListed(frame)));
                nextPhase();
            }
            break;
        }
        case 3: // searching every channel on a search thread: headlines, then summaries
        case 4:
            if (!m_search.joinable()) {
                m_searchDone = false;
                const bool titleOnly = m_phase == 3;
                m_search = std::thread([this, titleOnly] {
                    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> found;
                    VTFindStories(m_channels, QStringLiteral("story 12"), titleOnly ? 1 : 0, found);
                    size_t hits = 0;
                    for (const auto& channel : found)
                        hits += channel.second.size();
                    m_hits = hits;
                    m_searchDone = true;
                });
            } else if (m_searchDone) {
                m_search.join();
                report(m_phase == 3 ? "search-headlines-hits" : "search-summaries-hits",
                       QString::number(m_hits));
                nextPhase();
            }
            break;
        case 5:
            report("stall-search-ms", QString::number(m_longest));
            report("rss-end-kib", QString::number(residentKiB()));
            m_probe.stop();
            frame->OnClose();
            if (frame->isVisible())
                m_app.Quit(0);
            break;
        }
    }

    static int countListed(CMDIFrameWnd* frame)
    {
        auto* list = frame->findChild<QTreeView*>(QStringLiteral("HeadlineList"));
        return list && list->model() ? list->model()->rowCount() : -1;
    }

    void nextPhase()
    {
        ++m_phase;
        m_step = 0;
        if (m_phase != 4 && m_phase != 5)
            m_longest = 0;
        m_sincePhase.start();
    }

    CReadhallApp& m_app;
    QTimer m_probe;
    QTimer m_dismiss;
    QElapsedTimer m_sinceShown;
    QElapsedTimer m_sincePhase;
    QElapsedTimer m_lastTick;
    qint64 m_longest = 0;
    bool m_shown = false;
    bool m_askedForWindow = false;
    int m_phase = 0;
    int m_step = 0;
    std::vector<uint32_t> m_channels;
    std::thread m_search;
    std::atomic<bool> m_searchDone{false};
    std::atomic<size_t> m_hits{0};
};

} // namespace

int RunStartupBenchmark(CReadhallApp& app)
{
    StartupBenchmark benchmark(app);
    return app.Run();
}
