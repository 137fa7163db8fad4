#pragma once
// Alert rules and filter rules made ready to judge many stories: regular expressions are
// compiled once, watch lists resolved once per channel, and a story's plain text made at most
// once. Used by the merge of a download and by the commands that apply rules to the stored
// stories.

#include "vantrel/core/model.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace vantrel
{

// Why the rule cannot be used, in words for the person (the field it concerns first); empty
// when it can be.
QString alertRuleProblem(const AlertRule& rule);
QString filterRuleProblem(const FilterRule& rule);

// Words and phrases as a person types them: separated by commas or new lines, each trimmed,
// empty ones dropped ("storm, high tide" gives "storm" and "high tide").
QStringList splitPhrases(const QString& text);

// A story's author, kept as its "Author" attribute.
QString storyAuthor(const Story& story);
void setStoryAuthor(Story& story, const QString& author);

// The pairs of neighbouring characters a text holds, as bits: a phrase whose pairs are not
// all there cannot be in the text, which spares most searches.
struct PairBits {
    static constexpr int kWords = 8; // 512 bits
    uint64_t bits[kWords] = {};
    void add(char16_t a, char16_t b)
    {
        const unsigned h = (unsigned(a) * 31u + b) & 511u;
        bits[h >> 6] |= uint64_t(1) << (h & 63);
    }
    bool covers(const PairBits& needle) const
    {
        for (int i = 0; i < kWords; ++i) {
            if ((bits[i] & needle.bits[i]) != needle.bits[i])
                return false;
        }
        return true;
    }
};

// The text with its case folded (letters outside the basic plane stay as they are), and its
// pairs; one pass, fast for the ASCII most feeds are written in.
void foldCase(QStringView text, QString& folded, PairBits& pairs);

// A phrase or text to look for, ready: as given, case-folded, and the pairs of the folded form.
struct Needle {
    QString text;
    QString folded;
    PairBits pairs;
    Needle() = default;
    explicit Needle(const QString& t) : text(t) { foldCase(t, folded, pairs); }
};

// What the rules do to one story.
struct RuleVerdict {
    bool remove = false;
    bool markRead = false;
    bool keep = false;
    QStringList alertNames; // each name once, in the order of the rules
    QString alertCategory;  // the first category an alert rule that matched gives
    bool any() const { return remove || markRead || keep || !alertNames.isEmpty(); }
};

class RuleSet
{
public:
    RuleSet() = default;
    // Disabled rules and rules that cannot be used are left out.
    RuleSet(const std::vector<AlertRule>& alerts, const std::vector<FilterRule>& filters);

    bool isEmpty() const { return m_alerts.empty() && m_filters.empty(); }

    // The rules as they apply to the stories of one channel.
    class ForChannel
    {
    public:
        // What the rules do to the story; `now` is the time ages are measured from.
        RuleVerdict judge(const Story& story, qint64 now) const;

    private:
        friend class RuleSet;
        const RuleSet* m_set = nullptr;
        std::vector<size_t> m_alerts; // the alert rules that watch the channel
    };
    ForChannel forChannel(const Channel& channel) const;

    struct CompiledAlert {
        AlertRule rule;
        std::vector<Needle> phrases;
    };
    struct CompiledCondition {
        FilterCondition condition;
        Needle needle; // the text to look for, ready
        QRegularExpression expression;
    };
    struct CompiledFilter {
        FilterRule rule;
        std::vector<CompiledCondition> conditions;
    };

private:
    std::vector<CompiledAlert> m_alerts;
    std::vector<CompiledFilter> m_filters;
};

// True when the alert rule watches the channel.
bool alertRuleWatches(const AlertRule& rule, const Channel& channel);

} // namespace vantrel
