// Finding stories by text: a story is found when its headline, or (unless only titles are
// searched) its summary, changed to upper case contains the text changed to upper case.
// Headlines: a compact index per channel of the upper-case headlines as UTF-8, one after the
// other, made on the first search and again after the channel's headlines changed; stories
// removed are only taken out of it.
// Summaries: searched in the store, never read into memory.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/store.h"

#include <QByteArrayView>
#include <QThread>
#include <algorithm>
#include <unordered_set>

namespace vantrel
{

struct Engine::HeadlineIndex {
    uint64_t generation = 0;
    // Upper-case headlines, each followed by the byte 0xFF, which UTF-8 never uses: no text
    // searched for can span two headlines.
    QByteArray text;
    std::vector<uint32_t> starts; // where each headline starts in `text`
    std::vector<uint32_t> numbers;

    void add(uint32_t number, const QString& upper)
    {
        starts.push_back(uint32_t(text.size()));
        numbers.push_back(number);
        text += upper.toUtf8();
        text += char(0xFF);
    }

    // A copy without the given stories' headlines.
    std::shared_ptr<HeadlineIndex> without(const std::unordered_set<uint32_t>& gone) const
    {
        auto left = std::make_shared<HeadlineIndex>();
        left->text.reserve(text.size());
        left->starts.reserve(starts.size());
        left->numbers.reserve(numbers.size());
        for (size_t i = 0; i < numbers.size(); ++i) {
            if (gone.count(numbers[i]))
                continue;
            const uint32_t end = i + 1 < starts.size() ? starts[i + 1] : uint32_t(text.size());
            left->starts.push_back(uint32_t(left->text.size()));
            left->numbers.push_back(numbers[i]);
            left->text.append(text.constData() + starts[i], qsizetype(end - starts[i]));
        }
        return left;
    }

    // The stories whose headline holds the upper-case text (UTF-8).
    void find(const QByteArray& needle, std::vector<uint32_t>& out) const
    {
        const QByteArrayView all(text);
        for (qsizetype at = all.indexOf(needle); at >= 0;) {
            const auto next = std::upper_bound(starts.begin(), starts.end(), uint32_t(at));
            const size_t story = size_t(next - starts.begin()) - 1;
            out.push_back(numbers[story]);
            if (next == starts.end())
                break;
            at = all.indexOf(needle, qsizetype(*next));
        }
    }
};

void Engine::headlinesChanged(uint32_t channelId)
{
    std::lock_guard<std::mutex> lock(m_searchMutex);
    ++m_headlineGeneration[channelId];
}

void Engine::headlinesRemoved(uint32_t channelId, const std::vector<uint32_t>& numbers)
{
    std::lock_guard<std::mutex> lock(m_searchMutex);
    uint64_t& generation = m_headlineGeneration[channelId];
    const auto kept = m_headlineIndex.find(channelId);
    const bool current = kept != m_headlineIndex.end() && kept->second->generation == generation;
    ++generation;
    if (!current)
        return;
    // A search may be reading the index: the one without the stories is a new one.
    auto left = kept->second->without({numbers.begin(), numbers.end()});
    left->generation = generation;
    kept->second = std::move(left);
}

FoundStories Engine::findStories(const std::vector<uint32_t>& channelIds, const QString& text,
                                 bool titleOnly)
{
    FoundStories found = searchStore(channelIds, text, titleOnly);
    // A search thread's connection to the store goes with the search: the next thread may be
    // given the same thread id, and a connection serves only the thread that opened it.
    if (QThread::currentThread() != thread() && m_store)
        m_store->closeThreadConnection();
    return found;
}

FoundStories Engine::searchStore(const std::vector<uint32_t>& channelIds, const QString& text,
                                 bool titleOnly)
{
    FoundStories found;
    const QByteArray needleUtf8 = text.toUpper().toUtf8();
    const bool searchable = !text.isEmpty();
    for (uint32_t id : channelIds) {
        std::shared_ptr<const HeadlineIndex> index;
        uint64_t generation = 0;
        {
            std::lock_guard<std::recursive_mutex> model(m_mutex);
            if (!findChannel(id) || !m_open)
                continue;
        }
        found.emplace_back(id, std::vector<uint32_t>());
        if (!searchable)
            continue;
        {
            std::lock_guard<std::mutex> lock(m_searchMutex);
            generation = m_headlineGeneration[id];
            const auto kept = m_headlineIndex.find(id);
            if (kept != m_headlineIndex.end() && kept->second->generation == generation)
                index = kept->second;
        }
        if (!index) {
            // Made without the model lock, on this thread's connection to the store.
            auto made = std::make_shared<HeadlineIndex>();
            made->generation = generation;
            std::vector<std::pair<uint32_t, QString>> headlines;
            if (!m_store->readHeadlines(id, headlines))
                continue;
            made->starts.reserve(headlines.size());
            made->numbers.reserve(headlines.size());
            for (const auto& [number, headline] : headlines)
                made->add(number, headline.toUpper());
            index = made;
            std::lock_guard<std::mutex> lock(m_searchMutex);
            if (m_headlineGeneration[id] == generation)
                m_headlineIndex[id] = made;
        }
        index->find(needleUtf8, found.back().second);
    }
    if (titleOnly || !searchable || found.empty())
        return found;
    std::vector<uint32_t> ids;
    bool wholeTable = false;
    {
        // The table is read in one pass when the channels searched hold most of its stories.
        std::lock_guard<std::recursive_mutex> model(m_mutex);
        long searched = 0;
        long all = 0;
        for (const auto& [id, numbers] : found) {
            ids.push_back(id);
            if (const Channel* c = findChannel(id))
                searched += c->storyCount();
        }
        for (const auto& c : m_channels)
            all += c->storyCount();
        wholeTable = searched * 2 >= all;
    }
    std::unordered_map<uint32_t, std::vector<uint32_t>> inSummaries;
    m_store->findInSummaries(ids, wholeTable, text, inSummaries);
    for (auto& [id, numbers] : found) {
        const auto more = inSummaries.find(id);
        if (more == inSummaries.end())
            continue;
        // Story numbers grow in the channel's order: both lists are in it.
        std::vector<uint32_t> merged;
        merged.reserve(numbers.size() + more->second.size());
        std::set_union(numbers.begin(), numbers.end(), more->second.begin(), more->second.end(),
                       std::back_inserter(merged));
        numbers.swap(merged);
    }
    return found;
}

void Engine::setStoryTextCacheLimit(qsizetype characters)
{
    if (m_store)
        m_store->setTextCacheLimit(characters);
}

} // namespace vantrel
