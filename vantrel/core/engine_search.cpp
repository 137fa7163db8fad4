// Finding stories by text: headlines in memory (their case-folded keys are kept with the
// stories), summaries in the store (they are not kept in memory).

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/store.h"

#include <algorithm>

namespace vantrel
{

FoundStories Engine::findStories(const std::vector<uint32_t>& channelIds, const QString& text,
                                 bool titleOnly)
{
    FoundStories found;
    const QString needle = text.toCaseFolded();
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (uint32_t id : channelIds) {
            Channel* c = findChannel(id);
            if (!c || !c->ensureLoaded())
                continue;
            std::vector<uint32_t> numbers;
            if (!needle.isEmpty()) {
                for (const Story& s : c->stories) {
                    const QString& key = s.headlineKey.isNull() ? s.headline : s.headlineKey;
                    if (key.contains(needle))
                        numbers.push_back(s.number);
                }
            }
            found.emplace_back(id, std::move(numbers));
        }
    }
    if (titleOnly || needle.isEmpty() || !m_open)
        return found;
    // Summaries are read from the store outside the model lock: the worker goes on meanwhile.
    // What the store has is at least as new as the model, so the stories found are then
    // checked against the model again.
    std::vector<std::vector<uint32_t>> inSummaries(found.size());
    for (size_t i = 0; i < found.size(); ++i)
        m_store->findInSummaries(found[i].first, needle, inSummaries[i]);
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (size_t i = 0; i < found.size(); ++i) {
        Channel* c = findChannel(found[i].first);
        if (!c)
            continue;
        std::vector<uint32_t>& numbers = found[i].second;
        for (uint32_t n : inSummaries[i]) {
            if (c->indexOf(n) >= 0)
                numbers.push_back(n);
        }
        // In the channel's order, each story once.
        std::sort(numbers.begin(), numbers.end(),
                  [c](uint32_t a, uint32_t b) { return c->indexOf(a) < c->indexOf(b); });
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    }
    return found;
}

void Engine::setStoryTextCacheLimit(qsizetype characters)
{
    if (m_store)
        m_store->setTextCacheLimit(characters);
}

} // namespace vantrel
