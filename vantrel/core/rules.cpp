#include "vantrel/core/rules.h"

#include "vantrel/core/textrules.h"

#include <algorithm>

namespace vantrel
{
namespace
{

const QString kAuthor = QStringLiteral("Author");
constexpr int kMaxDays = 36500;

// A story's texts as the rules read them, each made at most once.
class StoryText
{
public:
    explicit StoryText(const Story& s) : m_story(s) {}
    const QString& headline() const
    {
        if (!m_hasHeadline) {
            m_headline = plainText(m_story.headline);
            m_hasHeadline = true;
        }
        return m_headline;
    }
    const QString& summary() const
    {
        if (!m_hasSummary) {
            m_summary = plainText(m_story.summary);
            m_hasSummary = true;
        }
        return m_summary;
    }
    QString field(FilterCondition::Field f) const
    {
        switch (f) {
        case FilterCondition::Field::Headline:
            return headline();
        case FilterCondition::Field::Summary:
            return summary();
        case FilterCondition::Field::Category:
            return m_story.category;
        case FilterCondition::Field::Author:
            return storyAuthor(m_story);
        case FilterCondition::Field::Link:
            return m_story.link;
        case FilterCondition::Field::Age:
            break;
        }
        return QString();
    }
    const Story& story() const { return m_story; }

private:
    const Story& m_story;
    mutable QString m_headline;
    mutable QString m_summary;
    mutable bool m_hasHeadline = false;
    mutable bool m_hasSummary = false;
};

bool alertMatches(const AlertRule& rule, const std::vector<QString>& phrases, const StoryText& text)
{
    const Qt::CaseSensitivity cs = rule.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const QString& p : phrases) {
        if (containsPhrase(text.headline(), p, rule.wholeWords, cs))
            return true;
    }
    if (rule.headlinesOnly)
        return false;
    for (const QString& p : phrases) {
        if (containsPhrase(text.summary(), p, rule.wholeWords, cs))
            return true;
    }
    return false;
}

bool conditionHolds(const RuleSet::CompiledCondition& c, const StoryText& text, qint64 now)
{
    const FilterCondition& f = c.condition;
    switch (f.test) {
    case FilterCondition::Test::OlderThan: {
        const qint64 shown = text.story().shownTime();
        return shown > 0 && now - shown > qint64(f.days) * 86400;
    }
    case FilterCondition::Test::Contains:
        return text.field(f.field).contains(f.value, Qt::CaseInsensitive);
    case FilterCondition::Test::NotContains:
        return !text.field(f.field).contains(f.value, Qt::CaseInsensitive);
    case FilterCondition::Test::Matches:
        return c.expression.match(text.field(f.field)).hasMatch();
    }
    return false;
}

QRegularExpression expressionOf(const QString& pattern)
{
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}

std::vector<QString> phrasesOf(const AlertRule& rule)
{
    std::vector<QString> out;
    for (const QString& w : rule.words) {
        const QString t = w.trimmed();
        if (!t.isEmpty())
            out.push_back(t);
    }
    return out;
}

} // namespace

QString alertRuleProblem(const AlertRule& rule)
{
    if (rule.name.trimmed().isEmpty())
        return QStringLiteral("Name: give the alert a name.");
    if (phrasesOf(rule).empty())
        return QStringLiteral("Words or phrases: give at least one word or phrase to look for.");
    return QString();
}

QString filterRuleProblem(const FilterRule& rule)
{
    if (rule.name.trimmed().isEmpty())
        return QStringLiteral("Name: give the filter a name.");
    if (rule.conditions.empty())
        return QStringLiteral("Conditions: give at least one condition.");
    for (size_t i = 0; i < rule.conditions.size(); ++i) {
        const FilterCondition& c = rule.conditions[i];
        const QString which = QStringLiteral("Condition %1: ").arg(i + 1);
        const bool age = c.field == FilterCondition::Field::Age;
        if (age != (c.test == FilterCondition::Test::OlderThan))
            return which + QStringLiteral("only the age can be older than a number of days.");
        if (age) {
            if (c.days < 1 || c.days > kMaxDays)
                return which +
                       QStringLiteral("the age must be between 1 and %1 days.").arg(kMaxDays);
            continue;
        }
        if (c.value.isEmpty())
            return which + QStringLiteral("give the text to look for.");
        if (c.test == FilterCondition::Test::Matches) {
            const QRegularExpression e = expressionOf(c.value);
            if (!e.isValid())
                return which + QStringLiteral("the regular expression \"%1\" is not valid: %2 "
                                              "(at character %3).")
                                   .arg(c.value, e.errorString())
                                   .arg(e.patternErrorOffset() + 1);
        }
    }
    if (rule.action == FilterRule::Action::Alert && rule.alertName.trimmed().isEmpty())
        return QStringLiteral("Alert name: give the name its alerts are raised under.");
    return QString();
}

QStringList splitPhrases(const QString& text)
{
    QStringList out;
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1Char(','));
    for (const QString& piece : t.split(QLatin1Char(','))) {
        const QString p = piece.simplified();
        if (!p.isEmpty() && !out.contains(p))
            out << p;
    }
    return out;
}

QString storyAuthor(const Story& story)
{
    return story.extra.value(kAuthor).toString();
}

void setStoryAuthor(Story& story, const QString& author)
{
    if (author.isEmpty())
        story.extra.remove(kAuthor);
    else
        story.extra.insert(kAuthor, author);
}

RuleSet::RuleSet(const std::vector<AlertRule>& alerts, const std::vector<FilterRule>& filters)
{
    for (const AlertRule& a : alerts) {
        if (a.enabled && alertRuleProblem(a).isEmpty())
            m_alerts.push_back({a, phrasesOf(a)});
    }
    for (const FilterRule& f : filters) {
        if (!f.enabled || !filterRuleProblem(f).isEmpty())
            continue;
        CompiledFilter c;
        c.rule = f;
        for (const FilterCondition& fc : f.conditions) {
            CompiledCondition cc;
            cc.condition = fc;
            if (fc.test == FilterCondition::Test::Matches) {
                cc.expression = expressionOf(fc.value);
                cc.expression.optimize();
            }
            c.conditions.push_back(std::move(cc));
        }
        m_filters.push_back(std::move(c));
    }
}

bool alertRuleWatches(const AlertRule& rule, const Channel& channel)
{
    if (rule.channels.empty() && rule.categories.isEmpty())
        return true;
    if (std::find(rule.channels.begin(), rule.channels.end(), channel.id) != rule.channels.end())
        return true;
    if (rule.categories.isEmpty())
        return false;
    for (const QString& path : tidyCategoryPaths(channel.categories)) {
        for (const QString& watched : rule.categories) {
            if (path.compare(watched, Qt::CaseInsensitive) == 0 ||
                path.startsWith(watched + QLatin1Char('/'), Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

bool alertRuleMatches(const AlertRule& rule, const Story& story)
{
    return alertMatches(rule, phrasesOf(rule), StoryText(story));
}

RuleSet::ForChannel RuleSet::forChannel(const Channel& channel) const
{
    ForChannel f;
    f.m_set = this;
    for (size_t i = 0; i < m_alerts.size(); ++i) {
        if (alertRuleWatches(m_alerts[i].rule, channel))
            f.m_alerts.push_back(i);
    }
    return f;
}

RuleVerdict RuleSet::ForChannel::judge(const Story& story, qint64 now) const
{
    RuleVerdict v;
    if (!m_set)
        return v;
    const StoryText text(story);
    for (const CompiledFilter& f : m_set->m_filters) {
        bool holds = f.rule.matchAll;
        for (const CompiledCondition& c : f.conditions) {
            const bool one = conditionHolds(c, text, now);
            if (f.rule.matchAll ? !one : one) {
                holds = one;
                break;
            }
        }
        if (!holds)
            continue;
        switch (f.rule.action) {
        case FilterRule::Action::Delete:
            // A story the filters delete is not looked at any further.
            v.remove = true;
            v.markRead = v.keep = false;
            v.alertNames.clear();
            v.alertCategory.clear();
            return v;
        case FilterRule::Action::MarkRead:
            v.markRead = true;
            break;
        case FilterRule::Action::Keep:
            v.keep = true;
            break;
        case FilterRule::Action::Alert: {
            const QString name = f.rule.alertName.trimmed();
            if (!v.alertNames.contains(name))
                v.alertNames << name;
            break;
        }
        }
    }
    for (size_t i : m_alerts) {
        const CompiledAlert& a = m_set->m_alerts[i];
        if (!alertMatches(a.rule, a.phrases, text))
            continue;
        const QString name = a.rule.name.trimmed();
        if (!v.alertNames.contains(name))
            v.alertNames << name;
        if (v.alertCategory.isEmpty())
            v.alertCategory = a.rule.category;
    }
    return v;
}

} // namespace vantrel
