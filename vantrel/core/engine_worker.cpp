// The worker thread: its queue of jobs, the update schedule and the idle state.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/store.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <limits>
#ifdef __linux__
#include <pthread.h>
#endif

namespace vantrel
{
using namespace detail;

void Engine::enqueue(const Job& job)
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        ++m_wakeups; // a worker about to rest reads the queue again
        // One pending update per channel is enough.
        if (job.kind == Job::Update) {
            for (const Job& j : m_jobs) {
                if (j.kind == Job::Update && j.channelId == job.channelId)
                    return;
            }
        }
        // A person waits for a probe: it goes before the downloads that wait.
        if (job.kind == Job::Probe) {
            const auto firstOther = std::find_if(m_jobs.begin(), m_jobs.end(),
                                                 [](const Job& j) { return j.kind != Job::Probe; });
            m_jobs.insert(firstOther, job);
        } else {
            m_jobs.push_back(job);
        }
    }
    m_workCv.notify_all();
}

void Engine::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        ++m_wakeups;
    }
    m_workCv.notify_all();
}

bool Engine::nextScheduled(uint32_t& channelId, qint64& nextDue, bool claim)
{
    channelId = 0;
    nextDue = std::numeric_limits<qint64>::max();
    // The switch is read under the model lock, where it is changed: a channel added after
    // downloads were suspended is then never taken for a scheduled update.
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_downloadEnabled || m_shutDown)
        return false;
    const qint64 now = nowSecs();
    const qint64 interval = m_intervalSecs.load();
    std::lock_guard<std::mutex> work(m_workMutex);
    for (const auto& c : m_channels) {
        if (!c->enabled || c->url.isEmpty() || m_claimed.count(c->id))
            continue;
        const qint64 own = c->updateIntervalSecs > 0 ? c->updateIntervalSecs : interval;
        const qint64 due = c->lastAttempt == 0 ? 0 : c->lastAttempt + own;
        if (due <= now) {
            channelId = c->id;
            if (claim)
                m_claimed.insert(c->id);
            return true;
        }
        nextDue = std::min(nextDue, due);
    }
    return false;
}

void Engine::releaseChannel(uint32_t channelId)
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        m_claimed.erase(channelId);
        ++m_wakeups;
    }
    // A job for the channel may have waited for it.
    m_workCv.notify_all();
}

void Engine::startWorkersLocked()
{
    if (!m_worker.joinable() || m_stopping)
        return;
    const int wanted = std::clamp(m_parallel.load(), 1, EngineOptions::kMaxParallel);
    while (int(m_moreWorkers.size()) + 1 < wanted) {
        auto f = std::make_unique<feeds::Fetcher>();
        f->setNetworkSettings(m_fetcher->networkSettings());
        m_moreFetchers.push_back(std::move(f));
        const int slot = int(m_moreWorkers.size()) + 1;
        m_moreWorkers.emplace_back([this, slot] { workerMain(slot); });
    }
}

namespace
{
thread_local feeds::Fetcher* t_fetcher = nullptr;
}

feeds::Fetcher& Engine::fetcher()
{
    return t_fetcher ? *t_fetcher : *m_fetcher;
}

bool Engine::takeJob(int slot, Job& job)
{
    // m_workMutex held. The first worker runs every kind of job; the others download only
    // (channel updates and offline copies), and only while the option wants that many.
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it) {
        const bool downloads = it->kind == Job::Update || it->kind == Job::DownloadStory ||
                               it->kind == Job::DownloadEnclosure;
        if (slot > 0 && !downloads)
            continue;
        if (it->kind == Job::Update) {
            // One worker per channel: the update waits while another worker has the channel.
            if (m_claimed.count(it->channelId))
                continue;
            m_claimed.insert(it->channelId);
        }
        job = std::move(*it);
        m_jobs.erase(it);
        return true;
    }
    return false;
}

void Engine::runJob(const Job& job)
{
    switch (job.kind) {
    case Job::Update:
        reportUpdateStarting(job.channelId);
        runUpdate(job.channelId);
        releaseChannel(job.channelId);
        break;
    case Job::DownloadStory:
        if (job.source.isEmpty() || offlineRoomFor(0))
            runDownloadStory(job.channelId, job.number);
        break;
    case Job::DownloadEnclosure:
        runDownloadEnclosure(job.channelId, job.number);
        break;
    case Job::Catalogue:
        runCatalogue(job.source);
        break;
    case Job::Probe:
        runProbe(job);
        break;
    case Job::Prune:
        pruneAll();
        break;
    case Job::Compact:
        runCompact(job);
        break;
    case Job::ApplyFilters: {
        const int changed = applyFiltersNow();
        if (job.applied)
            QMetaObject::invokeMethod(this, [done = job.applied, changed] { done(changed); });
        break;
    }
    }
}

void Engine::workerMain(int slot)
{
    const QString name =
        slot == 0 ? QStringLiteral("vantrel-worker") : QStringLiteral("vantrel-worker%1").arg(slot);
    QThread::currentThread()->setObjectName(name);
#ifdef __linux__
    pthread_setname_np(pthread_self(), name.toLatin1().constData());
#endif
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        t_fetcher = slot == 0 ? m_fetcher.get() : m_moreFetchers[size_t(slot - 1)].get();
    }
    for (;;) {
        Job job;
        bool haveJob = false;
        uint64_t wakeups = 0;
        bool active = true;
        {
            std::unique_lock<std::mutex> lock(m_workMutex);
            wakeups = m_wakeups;
            if (m_stopping)
                break;
            // A worker beyond the number of parallel downloads rests until the number grows.
            active = slot < m_parallel.load();
            if (active)
                haveJob = takeJob(slot, job);
            if (haveJob)
                ++m_busy;
        }
        if (!haveJob && active) {
            uint32_t due = 0;
            qint64 nextDue = 0;
            if (nextScheduled(due, nextDue, true)) {
                std::unique_lock<std::mutex> lock(m_workMutex);
                if (m_stopping) {
                    m_claimed.erase(due);
                    break;
                }
                ++m_busy;
                job.kind = Job::Update;
                job.channelId = due;
                haveJob = true;
            } else {
                std::unique_lock<std::mutex> lock(m_workMutex);
                if (m_stopping)
                    break;
                // Something changed while the schedule was being read: read it again.
                if (m_wakeups != wakeups)
                    continue;
                // The updates begun since the workers last rested are all done.
                if (m_updatesStarted > 0 && m_busy == 0) {
                    lock.unlock();
                    reportUpdatesDone();
                    continue;
                }
                const qint64 now = nowSecs();
                const qint64 waitSecs = nextDue == std::numeric_limits<qint64>::max()
                                            ? 60
                                            : std::max<qint64>(1, nextDue - now);
                m_workCv.wait_for(lock, std::chrono::seconds(std::min<qint64>(waitSecs, 60)));
                continue;
            }
        }
        if (!haveJob) {
            std::unique_lock<std::mutex> lock(m_workMutex);
            if (m_stopping)
                break;
            if (m_wakeups == wakeups)
                m_workCv.wait_for(lock, std::chrono::seconds(60));
            continue;
        }
        runJob(job);
        m_store->checkpoint(); // with no lock held: what the job wrote reaches the file
        {
            std::lock_guard<std::mutex> lock(m_workMutex);
            --m_busy;
            ++m_wakeups;
        }
        // Another worker may wait for what this one did (a channel it held).
        m_workCv.notify_all();
    }
    t_fetcher = nullptr;
    m_store->closeThreadConnection();
}

void Engine::reportUpdateStarting(uint32_t channelId)
{
    // The channels still to come: those queued and those the schedule takes next.
    std::set<uint32_t> waiting;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        for (const Job& j : m_jobs) {
            if (j.kind == Job::Update)
                waiting.insert(j.channelId);
        }
    }
    QString name;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const Channel* channel = findChannel(channelId);
        if (!channel || channel->url.isEmpty())
            return; // nothing to update
        // A feed names itself: one line, of a length a status bar can show.
        name = channel->name.simplified();
        if (name.isEmpty())
            name = channel->url;
        if (name.size() > 80)
            name = name.left(79) + QChar(0x2026);
        if (m_downloadEnabled && !m_shutDown) {
            const qint64 now = nowSecs();
            const qint64 interval = m_intervalSecs.load();
            for (const auto& c : m_channels) {
                if (!c->enabled || c->url.isEmpty())
                    continue;
                const qint64 own = c->updateIntervalSecs > 0 ? c->updateIntervalSecs : interval;
                if (c->lastAttempt == 0 || c->lastAttempt + own <= now)
                    waiting.insert(c->id);
            }
        }
    }
    waiting.erase(channelId);
    int position = 0;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        position = ++m_updatesStarted;
    }
    const int total = position + int(waiting.size());
    sendNotification(VTENGINE_NOTIFICATION_STATUS_TEXT,
                     QStringLiteral("Updating %1 of %2: %3").arg(position).arg(total).arg(name),
                     VTENGINE_STATUS_PROGRESS);
}

void Engine::reportUpdatesDone()
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        m_updatesStarted = 0;
    }
    sendNotification(VTENGINE_NOTIFICATION_STATUS_TEXT, QString(), VTENGINE_STATUS_READY);
}

void Engine::stopWorker()
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        m_stopping = true;
        m_jobs.clear();
        for (const auto& f : m_moreFetchers)
            f->cancel();
    }
    m_fetcher->cancel();
    m_probeFetcher->cancel();
    m_workCv.notify_all();
    m_worker.join();
    for (std::thread& t : m_moreWorkers)
        t.join();
    std::lock_guard<std::mutex> lock(m_workMutex);
    m_busy = 0;
}

bool Engine::isIdle()
{
    {
        // A claimed channel is about to be updated (or is): the schedule no longer lists it,
        // and the worker that claimed it may not have counted itself busy yet.
        std::lock_guard<std::mutex> lock(m_workMutex);
        if (m_worker.joinable() && (m_busy > 0 || !m_jobs.empty() || !m_claimed.empty()))
            return false;
    }
    if (m_worker.joinable()) {
        uint32_t due = 0;
        qint64 next = 0;
        if (nextScheduled(due, next))
            return false;
    }
    std::lock_guard<std::mutex> lock(m_refreshMutex);
    return m_pending.empty();
}

bool Engine::waitForIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (isIdle()) {
            // Deliver what the last step queued, then check once more.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (isIdle())
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
}

} // namespace vantrel
