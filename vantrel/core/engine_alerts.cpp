// Alert and filter rules, alerts raised directly on a story, and filters applied to the stored
// stories.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/rules.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QSet>
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

bool Engine::setAlertRules(const std::vector<AlertRule>& rules, QString* error)
{
    auto refuse = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QSet<QString> names;
    for (const AlertRule& r : rules) {
        const QString problem = alertRuleProblem(r);
        if (!problem.isEmpty())
            return refuse(r.name.trimmed().isEmpty()
                              ? problem
                              : QStringLiteral("Alert \"%1\": %2").arg(r.name.trimmed(), problem));
        const QString key = r.name.trimmed().toCaseFolded();
        if (names.contains(key))
            return refuse(QStringLiteral("Two alerts are named \"%1\": give each its own name.")
                              .arg(r.name.trimmed()));
        names.insert(key);
    }
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_open)
        return refuse(QStringLiteral("The engine's store is not open."));
    std::vector<AlertRule> next;
    uint32_t nextId = m_nextRuleId;
    QSet<uint32_t> known;
    for (const AlertRule& r : m_rules)
        known.insert(r.id);
    for (AlertRule r : rules) {
        if (r.id == 0 || !known.contains(r.id))
            r.id = nextId++;
        known.remove(r.id); // an id given twice is new the second time
        r.name = r.name.trimmed();
        r.words = splitPhrases(r.words.join(QLatin1Char('\n')));
        r.category = tidyCategories(r.category);
        next.push_back(std::move(r));
    }
    Store::Transaction t(*m_store);
    for (const AlertRule& r : m_rules)
        m_store->deleteRule(t, r.id);
    for (const AlertRule& r : next)
        m_store->saveRule(t, r);
    m_store->saveMeta(t, kMetaNextRule, QString::number(nextId));
    if (!t.commit())
        return refuse(QStringLiteral("The alerts cannot be stored: %1").arg(m_store->lastError()));
    m_rules = std::move(next);
    m_nextRuleId = nextId;
    return true;
}

bool Engine::judgeStoredStories(
    const RuleSet& set,
    const std::function<void(uint32_t channelId, const Story&, const RuleVerdict&)>& each,
    QString* error)
{
    struct ToRead {
        uint32_t channelId;
        RuleSet::ForChannel rules;
    };
    std::vector<ToRead> channels;
    const qint64 now = nowSecs();
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open) {
            if (error)
                *error = QStringLiteral("The engine's store is not open.");
            return false;
        }
        for (const auto& c : m_channels) {
            if (c->store()) {
                channels.push_back({c->id, set.forChannel(*c)});
                continue;
            }
            // A channel kept in memory only has its stories, texts and all, right here.
            const RuleSet::ForChannel rules = set.forChannel(*c);
            for (const Story& s : c->stories)
                each(c->id, s, rules.judge(s, now));
        }
    }
    // The store has every story, listed yet or not, with its summary; the model changes only
    // once the store has, so what it says is what the model says.
    for (const ToRead& c : channels) {
        const bool read = m_store->forEachStory(
            c.channelId, [&](const Story& s) { each(c.channelId, s, c.rules.judge(s, now)); });
        if (!read) {
            if (error)
                *error = m_store->lastError();
            return false;
        }
    }
    return true;
}

int Engine::countAlertMatches(const AlertRule& rule)
{
    AlertRule r = rule;
    r.enabled = true;
    const RuleSet set({r}, {});
    if (set.isEmpty())
        return 0;
    int count = 0;
    const bool read = judgeStoredStories(
        set,
        [&count](uint32_t, const Story&, const RuleVerdict& v) {
            count += v.alertNames.isEmpty() ? 0 : 1;
        },
        nullptr);
    return read ? count : -1;
}

std::vector<FilterRule> Engine::filterRules()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_filters;
}

bool Engine::setFilterRules(const std::vector<FilterRule>& rules, QString* error)
{
    for (const FilterRule& r : rules) {
        const QString problem = filterRuleProblem(r);
        if (!problem.isEmpty()) {
            if (error)
                *error = r.name.trimmed().isEmpty()
                             ? problem
                             : QStringLiteral("Filter \"%1\": %2").arg(r.name.trimmed(), problem);
            return false;
        }
    }
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_open) {
        if (error)
            *error = QStringLiteral("The engine's store is not open.");
        return false;
    }
    std::vector<FilterRule> next;
    uint32_t nextId = m_nextFilterId;
    QSet<uint32_t> used;
    for (FilterRule r : rules) {
        if (r.id == 0 || used.contains(r.id) || r.id >= nextId)
            r.id = nextId++;
        used.insert(r.id);
        r.name = r.name.trimmed();
        r.alertName = r.alertName.trimmed();
        next.push_back(std::move(r));
    }
    Store::Transaction t(*m_store);
    m_store->deleteAllFilters(t);
    for (size_t i = 0; i < next.size(); ++i)
        m_store->saveFilter(t, next[i], int(i));
    m_store->saveMeta(t, kMetaNextFilter, QString::number(nextId));
    if (!t.commit()) {
        if (error)
            *error = QStringLiteral("The filters cannot be stored: %1").arg(m_store->lastError());
        return false;
    }
    m_filters = std::move(next);
    m_nextFilterId = nextId;
    return true;
}

int Engine::countFilterMatches(const FilterRule& rule)
{
    FilterRule r = rule;
    r.enabled = true;
    const RuleSet set({}, {r});
    if (set.isEmpty())
        return 0;
    int count = 0;
    const bool read = judgeStoredStories(
        set, [&count](uint32_t, const Story&, const RuleVerdict& v) { count += v.any() ? 1 : 0; },
        nullptr);
    return read ? count : -1;
}

void Engine::applyFiltersToStored(std::function<void(int)> done)
{
    Job job;
    job.kind = Job::ApplyFilters;
    job.applied = std::move(done);
    enqueue(job);
}

int Engine::applyFiltersNow()
{
    // What to change is worked out from the stored stories first; the changes are then made
    // as the story commands make them (reading a channel's stories into memory when they are
    // not yet), each channel in one change, with the usual change messages.
    struct Plan {
        uint32_t channelId = 0;
        std::vector<uint32_t> remove;
        std::vector<uint32_t> marks; // read or kept
        QSet<uint32_t> read;
        QSet<uint32_t> keep;
        std::vector<std::pair<uint32_t, QString>> alerts;
    };
    std::vector<Plan> plans;
    int changed = 0;
    std::vector<FilterRule> filters;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        filters = m_filters;
    }
    const RuleSet set({}, filters);
    if (set.isEmpty())
        return 0;
    const bool read = judgeStoredStories(
        set,
        [&](uint32_t channelId, const Story& s, const RuleVerdict& v) {
            if (!v.any())
                return;
            if (plans.empty() || plans.back().channelId != channelId) {
                plans.emplace_back();
                plans.back().channelId = channelId;
            }
            Plan& p = plans.back();
            if (v.remove) {
                if (!s.keep) {
                    p.remove.push_back(s.number);
                    ++changed;
                }
                return;
            }
            bool any = false;
            if (v.markRead && !s.read) {
                p.read.insert(s.number);
                any = true;
            }
            if (v.keep && !s.keep) {
                p.keep.insert(s.number);
                any = true;
            }
            if (any)
                p.marks.push_back(s.number);
            if (!v.alertNames.isEmpty() && !s.alerted) {
                p.alerts.emplace_back(s.number, v.alertNames.join(QStringLiteral(", ")));
                any = true;
            }
            changed += any ? 1 : 0;
        },
        nullptr);
    if (!read)
        return -1;
    bool failed = false;
    for (const Plan& p : plans) {
        if (!p.remove.empty())
            failed = !deleteStories(p.channelId, p.remove) || failed;
        if (!p.marks.empty()) {
            failed = !applyStoryChange(p.channelId, p.marks, [&p](Story& s) {
                if (p.read.contains(s.number))
                    s.read = 1;
                if (p.keep.contains(s.number))
                    s.keep = 1;
                return true;
            }) || failed;
        }
        for (const auto& [number, name] : p.alerts)
            failed = addAlert(p.channelId, number, name, QString()) == 0 || failed;
    }
    // A change the store refused is not reported as made.
    if (failed)
        return -1;
    return changed;
}

} // namespace vantrel
