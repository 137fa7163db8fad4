// Alert rules, and alerts raised directly on a story.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/store.h"

#include <algorithm>

namespace vantrel
{
using namespace detail;

uint32_t Engine::addAlertRule(const QString& name, const QStringList& words,
                              const QString& category)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    QStringList clean;
    for (const QString& w : words) {
        if (!w.trimmed().isEmpty())
            clean << w.trimmed();
    }
    if (name.trimmed().isEmpty() || clean.isEmpty() || !m_open)
        return 0;
    AlertRule r;
    r.id = m_nextRuleId;
    r.name = name.trimmed();
    r.words = clean;
    r.category = category.trimmed();
    Store::Transaction t(*m_store);
    m_store->saveRule(t, r);
    m_store->saveMeta(t, kMetaNextRule, QString::number(r.id + 1));
    if (!t.commit())
        return 0;
    m_nextRuleId = r.id + 1;
    m_rules.push_back(r);
    return r.id;
}

bool Engine::removeAlertRule(uint32_t ruleId)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = std::find_if(m_rules.begin(), m_rules.end(),
                           [&](const AlertRule& r) { return r.id == ruleId; });
    if (it == m_rules.end())
        return false;
    Store::Transaction t(*m_store);
    m_store->deleteRule(t, ruleId);
    if (!t.commit())
        return false;
    m_rules.erase(it);
    return true;
}

std::vector<AlertRule> Engine::alertRules()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_rules;
}

uint32_t Engine::addAlert(uint32_t channelId, uint32_t storyNumber, const QString& alertName,
                          const QString& category)
{
    Story alert;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        Channel* c = findChannel(channelId);
        const Story* s = c && channelId != VT_ALERTS_CHANNEL_ID ? c->story(storyNumber) : nullptr;
        if (!s)
            return 0;
        alert.headline = s->headline;
        alert.summary = c->GetStorySummary(c->indexOf(storyNumber));
        alert.link = s->link;
        alert.published = s->published;
        alert.category = category;
        alert.alertName = alertName;
        alert.alertChannelId = channelId;
        alert.alertStoryId = storyNumber;
    }
    const uint32_t number = addStory(VT_ALERTS_CHANNEL_ID, alert);
    if (number != 0) {
        applyStoryChange(channelId, {storyNumber}, [](Story& s) {
            if (s.alerted)
                return false;
            s.alerted = 1;
            return true;
        });
    }
    return number;
}

} // namespace vantrel
