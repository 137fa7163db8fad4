#include "vantrel/core/rules.h"

#include "vantrel/core/textrules.h"

#include <algorithm>

namespace vantrel
{
namespace
{

const QString kAuthor = QStringLiteral("Author");
constexpr int kMaxDays = 36500;

// The text with every run of blanks and line breaks as one blank, and none at the ends, so that
// a phrase matches across markup and line breaks; the text itself when it is already so.
QString singleBlanks(const QString& text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isSpace() && (c != QLatin1Char(' ') || i == 0 || i == n - 1 || text[i - 1].isSpace()))
            return text.simplified();
    }
    return text;
}

// One text of a story as the rules read it: plain (markup removed from headlines and
// summaries), case-folded, and its pairs, each made at most once.
class ReadText
{
public:
    ReadText(const QString& raw, bool markup) : m_raw(raw), m_markup(markup) {}
    const QString& plain() const
    {
        if (!m_hasPlain) {
            m_plain = m_markup ? singleBlanks(plainText(m_raw)) : m_raw;
            m_hasPlain = true;
        }
        return m_plain;
    }
    // True when the needle is in the text: as a whole word or anywhere, matching case or not.
    bool contains(const Needle& n, bool wholeWord, bool matchCase) const
    {
        if (n.folded.isEmpty())
            return false;
        if (!m_hasFolded) {
            foldCase(plain(), m_folded, m_pairs);
            m_hasFolded = true;
        }
        if (n.folded.size() > 1 && !m_pairs.covers(n.pairs))
            return false;
        return matchCase ? containsPhrase(plain(), n.text, wholeWord, Qt::CaseSensitive)
                         : containsPhrase(m_folded, n.folded, wholeWord, Qt::CaseSensitive);
    }

private:
    QString m_raw; // shares the story's text
    bool m_markup;
    mutable QString m_plain;
    mutable QString m_folded;
    mutable PairBits m_pairs;
    mutable bool m_hasPlain = false;
    mutable bool m_hasFolded = false;
};

// A story's texts as the rules read them.
class StoryText
{
public:
    explicit StoryText(const Story& s)
        : m_story(s), m_texts{{s.headline, true},
                              {s.summary, true},
                              {s.category, false},
                              {storyAuthor(s), false},
                              {s.link, false}}
    {
    }
    const ReadText& headline() const { return m_texts[0]; }
    const ReadText& summary() const { return m_texts[1]; }
    const ReadText& field(FilterCondition::Field f) const
    {
        switch (f) {
        case FilterCondition::Field::Summary:
            return m_texts[1];
        case FilterCondition::Field::Category:
            return m_texts[2];
        case FilterCondition::Field::Author:
            return m_texts[3];
        case FilterCondition::Field::Link:
            return m_texts[4];
        default:
            return m_texts[0];
        }
    }
    const Story& story() const { return m_story; }

private:
    const Story& m_story;
    ReadText m_texts[5];
};

bool alertMatches(const AlertRule& rule, const std::vector<Needle>& phrases, const StoryText& text)
{
    for (const Needle& p : phrases) {
        if (text.headline().contains(p, rule.wholeWords, rule.matchCase))
            return true;
    }
    if (rule.headlinesOnly)
        return false;
    for (const Needle& p : phrases) {
        if (text.summary().contains(p, rule.wholeWords, rule.matchCase))
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
        return text.field(f.field).contains(c.needle, false, false);
    case FilterCondition::Test::NotContains:
        return !text.field(f.field).contains(c.needle, false, false);
    case FilterCondition::Test::Matches:
        return c.expression.match(text.field(f.field).plain()).hasMatch();
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

void foldCase(QStringView text, QString& folded, PairBits& pairs)
{
    pairs = PairBits();
    folded.resize(text.size());
    QChar* out = folded.data();
    char16_t before = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                c = char16_t(c + ('a' - 'A'));
        } else if (!QChar::isSurrogate(c)) {
            c = char16_t(QChar::toCaseFolded(char32_t(c)));
        }
        out[i] = QChar(c);
        if (i > 0)
            pairs.add(before, c);
        before = c;
    }
}

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
        if (!a.enabled || !alertRuleProblem(a).isEmpty())
            continue;
        CompiledAlert c;
        c.rule = a;
        for (const QString& p : phrasesOf(a))
            c.phrases.emplace_back(p);
        m_alerts.push_back(std::move(c));
    }
    for (const FilterRule& f : filters) {
        if (!f.enabled || !filterRuleProblem(f).isEmpty())
            continue;
        CompiledFilter c;
        c.rule = f;
        for (const FilterCondition& fc : f.conditions) {
            CompiledCondition cc;
            cc.condition = fc;
            cc.needle = Needle(fc.value);
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
