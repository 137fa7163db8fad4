#include "vantrel/core/model.h"

#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace vantrel
{

namespace
{

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

std::atomic<int> g_offsetGeneration{0};

// The local time zone's offset from UTC at a moment. Asking the C library for it re-reads the
// zone file on every call when TZ is unset, which made filling a list of 100,000 stories
// slow, so the answer is kept per quarter hour: zone transitions fall on whole quarter hours.
// The answers are forgotten after a minute, so a change of the computer's zone shows soon,
// and at once after forgetLocalTimeOffsets().
int localOffsetAt(qint64 secs)
{
    constexpr qint64 kSlot = 15 * 60;
    constexpr auto kKeepFor = std::chrono::minutes(1);
    thread_local QHash<qint64, int> offsets;
    thread_local int generation = -1;
    thread_local std::chrono::steady_clock::time_point filledAt;
    const auto now = std::chrono::steady_clock::now();
    const int current = g_offsetGeneration.load(std::memory_order_relaxed);
    if (generation != current || now - filledAt > kKeepFor || offsets.size() > 65536) {
        offsets.clear();
        generation = current;
        filledAt = now;
    }
    const qint64 slot = floorDiv(secs, kSlot);
    const auto found = offsets.constFind(slot);
    if (found != offsets.constEnd())
        return found.value();
    const int offset = QDateTime::fromSecsSinceEpoch(slot * kSlot).toLocalTime().offsetFromUtc();
    offsets.insert(slot, offset);
    return offset;
}

// The civil date of a day counted from 1970-01-01 (proleptic Gregorian calendar), without
// building a QDate: the lists format a time for every story they show.
void civilFromDays(qint64 days, qint64& year, int& month, int& day)
{
    days += 719468; // from 0000-03-01
    const qint64 era = floorDiv(days, 146097);
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153; // 0 is March
    day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// Writes value as exactly `width` decimal digits.
QChar* putDigits(QChar* out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QLatin1Char(char('0' + value % 10));
        value /= 10;
    }
    return out + width;
}

} // namespace

void forgetLocalTimeOffsets()
{
    g_offsetGeneration.fetch_add(1, std::memory_order_relaxed);
}

QString formatLocalTime(qint64 secs)
{
    const qint64 local = secs + localOffsetAt(secs);
    const qint64 days = floorDiv(local, 86400);
    const qint64 minutes = (local - days * 86400) / 60;
    qint64 year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    if (year < 1 || year > 9999) {
        // Outside four-digit years (and around the missing year 0) the date's own rules apply.
        const QDate date = QDate(1970, 1, 1).addDays(days);
        char text[40];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", date.year(), date.month(),
                      date.day(), int(minutes / 60), int(minutes % 60));
        return QString::fromLatin1(text);
    }
    // "yyyy-MM-dd hh:mm"
    QString text(16, Qt::Uninitialized);
    QChar* out = putDigits(text.data(), int(year), 4);
    *out++ = QLatin1Char('-');
    out = putDigits(out, month, 2);
    *out++ = QLatin1Char('-');
    out = putDigits(out, day, 2);
    *out++ = QLatin1Char(' ');
    out = putDigits(out, int(minutes / 60), 2);
    *out++ = QLatin1Char(':');
    putDigits(out, int(minutes % 60), 2);
    return text;
}

quint64 summaryDigest(QStringView text)
{
    quint64 h = 14695981039346656037ull;
    for (QChar c : text) {
        h ^= c.unicode();
        h *= 1099511628211ull;
    }
    return h == 0 ? 1 : h;
}

std::pair<uint8_t, quint64> Story::currentTextFacts() const
{
    uint8_t facts = textFacts;
    quint64 hash = summaryHash;
    const auto set = [&facts](uint8_t bit, bool on) {
        facts = uint8_t(on ? facts | bit : facts & ~bit);
    };
    if (held & SummaryPart) {
        set(SummaryPresent, !summary.isEmpty());
        set(SummaryNotBlank, !QStringView(summary).trimmed().isEmpty());
        hash = summaryDigest(summary);
    }
    if (held & HeaderPart)
        set(HeaderPresent, !header.isEmpty());
    if (held & FooterPart)
        set(FooterPresent, !footer.isEmpty());
    return {facts, hash};
}

void Story::dropTexts()
{
    noteTexts();
    held = 0;
    summary = QString();
    header = QString();
    footer = QString();
}

void Channel::attachStore(Store* store, StoryCounts counts)
{
    m_store = store;
    m_counts = std::move(counts);
    m_loaded = store == nullptr;
    if (!m_loaded) {
        stories.clear();
        tombstones.clear();
        reindex();
    }
}

bool Channel::ensureLoaded() const
{
    if (m_loaded)
        return true;
    // Loading fills what a reader sees as the channel's unchanging contents: the stories were
    // there all along, only not read yet.
    auto* self = const_cast<Channel*>(this);
    if (!m_store->loadStories(*self))
        return false;
    if (!leaving.isEmpty()) {
        for (auto it = leaving.cbegin(); it != leaving.cend(); ++it)
            self->nextStory = std::max(nextStory, it.key() + 1);
        auto& list = self->stories;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const Story& s) {
                                      const auto found = leaving.constFind(s.number);
                                      if (found == leaving.cend())
                                          return false;
                                      if (*found && !s.identity.isEmpty())
                                          self->tombstones.insert(s.identity);
                                      return true;
                                  }),
                   list.end());
    }
    for (Story& s : self->stories)
        self->settle(s);
    self->reindex();
    for (const Story& s : stories)
        self->nextStory = std::max(nextStory, s.number + 1);
    self->m_counts.clear();
    m_loaded = true;
    return true;
}

void Channel::settle(Story& s)
{
    if (m_store && s.held)
        s.dropTexts();
    if (!s.category.isEmpty()) {
        const auto found = m_shared.constFind(s.category);
        if (found != m_shared.constEnd())
            s.category = *found;
        else
            m_shared.insert(s.category);
    }
    s.headlineKey = s.headline.toCaseFolded();
    if (s.headlineKey == s.headline)
        s.headlineKey = s.headline;
    // Many feeds use the address as the identity: one text serves both.
    if (!s.identity.isEmpty() && s.identity == s.link)
        s.identity = s.link;
}

QStringList Story::madeFiles() const
{
    QStringList files;
    if (!localPath.isEmpty())
        files << localPath;
    const QString enclosure = extra.value(QStringLiteral("Enclosure File")).toString();
    if (!enclosure.isEmpty())
        files << enclosure;
    return files;
}

void Channel::reindex()
{
    m_byNumber.clear();
    m_byIdentity.clear();
    m_identitiesIndexed = false;
    m_inNumberOrder = true;
    for (size_t i = 1; i < stories.size() && m_inNumberOrder; ++i)
        m_inNumberOrder = stories[i - 1].number < stories[i].number;
    if (m_inNumberOrder)
        return;
    m_byNumber.reserve(int(stories.size()));
    for (size_t i = 0; i < stories.size(); ++i)
        m_byNumber.insert(stories[i].number, int(i));
}

int Channel::indexOf(uint32_t number) const
{
    ensureLoaded();
    if (!m_inNumberOrder)
        return m_byNumber.value(number, -1);
    const auto found =
        std::lower_bound(stories.begin(), stories.end(), number,
                         [](const Story& s, uint32_t wanted) { return s.number < wanted; });
    return found != stories.end() && found->number == number ? int(found - stories.begin()) : -1;
}

int Channel::indexOfIdentity(const QString& identity) const
{
    ensureLoaded();
    if (identity.isEmpty())
        return -1;
    if (!m_identitiesIndexed) {
        m_byIdentity.reserve(int(stories.size()));
        for (size_t i = 0; i < stories.size(); ++i) {
            if (!stories[i].identity.isEmpty())
                m_byIdentity.insert(stories[i].identity, int(i));
        }
        m_identitiesIndexed = true;
    }
    return m_byIdentity.value(identity, -1);
}

void Channel::appendStory(Story s)
{
    // A channel loaded just now may already have the story from the store.
    if (!m_loaded && ensureLoaded() && indexOf(s.number) >= 0) {
        replaceStory(std::move(s));
        return;
    }
    settle(s);
    stories.push_back(std::move(s));
    const Story& added = stories.back();
    const int i = int(stories.size() - 1);
    if (m_inNumberOrder && i > 0 && stories[size_t(i - 1)].number >= added.number) {
        // Out of number order from now on: numbers are found through the hash.
        m_inNumberOrder = false;
        m_byNumber.reserve(int(stories.size()));
        for (size_t k = 0; k < stories.size(); ++k)
            m_byNumber.insert(stories[k].number, int(k));
    } else if (!m_inNumberOrder) {
        m_byNumber.insert(added.number, i);
    }
    if (m_identitiesIndexed && !added.identity.isEmpty())
        m_byIdentity.insert(added.identity, i);
    if (added.number >= nextStory)
        nextStory = added.number + 1;
}

void Channel::replaceStory(Story s)
{
    const int i = indexOf(s.number);
    if (i < 0) {
        appendStory(std::move(s));
        return;
    }
    settle(s);
    Story& target = stories[size_t(i)];
    if (m_identitiesIndexed && target.identity != s.identity) {
        if (!target.identity.isEmpty())
            m_byIdentity.remove(target.identity);
        if (!s.identity.isEmpty())
            m_byIdentity.insert(s.identity, i);
    }
    target = std::move(s);
}

int Channel::unreadCount() const
{
    if (!m_loaded) {
        long n = 0;
        for (const StoryCount& c : m_counts)
            n += c.unread;
        return int(n);
    }
    int n = 0;
    for (const Story& s : stories)
        n += s.read ? 0 : 1;
    return n;
}

int Channel::storyCount() const
{
    if (!m_loaded) {
        long n = 0;
        for (const StoryCount& c : m_counts)
            n += c.total;
        return int(n);
    }
    return int(stories.size());
}

QString Channel::storyText(int index, Story::TextPart part) const
{
    const Story* s = at(index);
    if (!s)
        return QString();
    if (s->held & part)
        return part == Story::SummaryPart  ? s->summary
               : part == Story::HeaderPart ? s->header
                                           : s->footer;
    // Known to be empty: nothing to read.
    const uint8_t present = part == Story::SummaryPart  ? Story::SummaryPresent
                            : part == Story::HeaderPart ? Story::HeaderPresent
                                                        : Story::FooterPresent;
    if (!(s->textFacts & present) || !m_store)
        return QString();
    StoryTexts texts;
    if (!m_store->storyTexts(id, s->number, texts))
        return QString();
    return part == Story::SummaryPart  ? texts.summary
           : part == Story::HeaderPart ? texts.header
                                       : texts.footer;
}

int Channel::GetServiceID(uint32_t& out) const
{
    out = id;
    return 1;
}

int Channel::GetDirectoryEntryId(uint32_t& out) const
{
    out = entryId;
    return entryId != 0 ? 1 : 0;
}

int Channel::GetDisplayName(QString& out) const
{
    out = name;
    return 1;
}

int Channel::GetCategory(QString& text, int index) const
{
    text.clear();
    if (index < 0 || categories.isEmpty())
        return 0;
    const QStringList paths = splitCategoryPaths(categories);
    if (index >= paths.size())
        return 0;
    text = paths.at(index).trimmed();
    return text.isEmpty() ? 0 : 1;
}

int Channel::GetLogoBitmapFile(QString& path) const
{
    path = logoFile;
    return logoFile.isEmpty() ? 0 : 1;
}

int Channel::GetLastUpdatedDateTime(QString& text) const
{
    if (lastUpdated <= 0) {
        text.clear();
        return 0;
    }
    text = QStringLiteral("Last updated ") + formatLocalTime(lastUpdated);
    return 1;
}

int Channel::GetServiceDateData(QString& text) const
{
    if (contentDate <= 0) {
        text.clear();
        return 0;
    }
    const QDateTime when = QDateTime::fromSecsSinceEpoch(contentDate).toLocalTime();
    if (when.date() == QDate::currentDate())
        text = QStringLiteral("Updated ") + when.toString(QStringLiteral("hh:mm"));
    else
        text = QStringLiteral("Updated ") + formatLocalTime(contentDate);
    return 1;
}

int Channel::GetServiceInfo(const QString& key, QString& text) const
{
    text.clear();
    if (key.compare(QLatin1String("Home Page"), Qt::CaseInsensitive) == 0)
        text = homePage;
    else if (key.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0)
        text = description;
    else if (key.compare(QLatin1String("URL"), Qt::CaseInsensitive) == 0)
        text = url;
    else if (key.compare(QLatin1String("Status"), Qt::CaseInsensitive) == 0)
        text = status;
    else
        return 0;
    return text.isEmpty() ? 0 : 1;
}

uint32_t Channel::GetFlags() const
{
    // The state bit is set while the engine is bringing the channel up to date.
    return updating ? VTCHANNELFLAG_STATE : 0u;
}

int Channel::ContainsSubChannels() const
{
    if (!m_loaded) {
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
            if (!it.key().isEmpty() && it->total > 0)
                return 1;
        }
        return 0;
    }
    for (const Story& s : stories) {
        if (!s.category.isEmpty())
            return 1;
    }
    return 0;
}

int Channel::GetSubChannels(QStringList& names) const
{
    names.clear();
    QSet<QString> seen;
    if (!m_loaded) {
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
            if (it.key().isEmpty() || it->total <= 0)
                continue;
            const QString path = subChannelPathFromStoryCategory(it.key());
            if (!seen.contains(path)) {
                seen.insert(path);
                names << path;
            }
        }
        names.sort();
        return names.isEmpty() ? 0 : 1;
    }
    for (const Story& s : stories) {
        if (s.category.isEmpty())
            continue;
        const QString path = subChannelPathFromStoryCategory(s.category);
        if (!seen.contains(path)) {
            seen.insert(path);
            names << path;
        }
    }
    names.sort();
    return names.isEmpty() ? 0 : 1;
}

int Channel::GetSubChannelsCount(const QStringList& names, std::vector<long>& unread,
                                 std::vector<long>& total) const
{
    // Counts are per exact path: callers add up a path and everything below it themselves.
    QHash<QString, int> position;
    for (int i = 0; i < names.size(); ++i)
        position.insert(names.at(i), i);
    unread.assign(size_t(names.size()), 0);
    total.assign(size_t(names.size()), 0);
    if (!m_loaded) {
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
            if (it.key().isEmpty())
                continue;
            const int i = position.value(subChannelPathFromStoryCategory(it.key()), -1);
            if (i < 0)
                continue;
            total[size_t(i)] += it->total;
            unread[size_t(i)] += it->unread;
        }
        return 1;
    }
    for (const Story& s : stories) {
        if (s.category.isEmpty())
            continue;
        const int i = position.value(subChannelPathFromStoryCategory(s.category), -1);
        if (i < 0)
            continue;
        total[size_t(i)] += 1;
        if (!s.read)
            unread[size_t(i)] += 1;
    }
    return 1;
}

QString Channel::GetStoryID(int index) const
{
    const Story* s = at(index);
    return s ? MakeStoryID(id, s->number) : QString();
}

QString Channel::GetStoryHeadline(int index) const
{
    const Story* s = at(index);
    return s ? s->headline : QString();
}

QString Channel::GetStorySummary(int index) const
{
    return storyText(index, Story::SummaryPart);
}

int Channel::IsStorySummaryAvailable(int index) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    if (s->held & Story::SummaryPart)
        return !QStringView(s->summary).trimmed().isEmpty() ? 1 : 0;
    return s->textFacts & Story::SummaryNotBlank ? 1 : 0;
}

int Channel::GetStoryUpdatedTime(int index, uint32_t& time) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    time = uint32_t(s->shownTime());
    return 1;
}

int Channel::GetStoryUpdatedTime(int index, QString& text) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    text = formatLocalTime(s->shownTime());
    return 1;
}

namespace
{

enum class Attr {
    Read,
    Keep,
    BundletId,
    BundletType,
    BundletSigned,
    StoryLocal,
    Alerted,
    AlertChannelId,
    AlertStoryId,
    Accessed,
    Category,
    Header,
    Footer,
    AlertName,
    Headline,
    Summary,
    Url,
    Unknown
};

struct AttrName {
    QLatin1String text; // lower case
    Attr attr;
};

const AttrName kAttrNames[] = {
    {QLatin1String("read"), Attr::Read},
    {QLatin1String("keep"), Attr::Keep},
    {QLatin1String("bundlet id"), Attr::BundletId},
    {QLatin1String("bundlet type"), Attr::BundletType},
    {QLatin1String("bundlet signed"), Attr::BundletSigned},
    {QLatin1String("story local"), Attr::StoryLocal},
    {QLatin1String("alerted"), Attr::Alerted},
    {QLatin1String("alert channel id"), Attr::AlertChannelId},
    {QLatin1String("alert story id"), Attr::AlertStoryId},
    {QLatin1String("accessed"), Attr::Accessed},
    {QLatin1String("category"), Attr::Category},
    {QLatin1String("header"), Attr::Header},
    {QLatin1String("footer"), Attr::Footer},
    {QLatin1String("alert name"), Attr::AlertName},
    {QLatin1String("headline"), Attr::Headline},
    {QLatin1String("summary"), Attr::Summary},
    {QLatin1String("url"), Attr::Url},
};
constexpr qsizetype kLongestAttrName = 16; // "alert channel id"

Attr attrOf(const QString& name)
{
    // Lists read several attributes of every story they show, so this runs hundreds of
    // thousands of times per fill: a plain ASCII name is lower-cased into a small buffer and
    // compared byte by byte; anything else goes through full case folding, which also folds
    // a few other letters onto ASCII ones.
    QStringView key(name);
    if (!key.isEmpty() && (key.front().isSpace() || key.back().isSpace()))
        key = key.trimmed();
    if (key.isEmpty() || key.size() > kLongestAttrName)
        return Attr::Unknown;
    char lower[kLongestAttrName];
    char16_t seen = 0;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t c = key[i].unicode();
        seen |= c;
        lower[i] = char(c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c);
    }
    const bool ascii = seen < 0x80;
    for (const AttrName& entry : kAttrNames) {
        if (entry.text.size() != key.size())
            continue;
        if (ascii ? entry.text.data()[0] == lower[0] &&
                        std::memcmp(lower, entry.text.data(), size_t(key.size())) == 0
                  : key.compare(entry.text, Qt::CaseInsensitive) == 0)
            return entry.attr;
    }
    return Attr::Unknown;
}

// The number form of an attribute; false when the story has no such number.
bool numberAttr(const Story& s, bool alertsChannel, const QString& name, uint32_t& value)
{
    switch (attrOf(name)) {
    case Attr::Read:
        value = s.read;
        return true;
    case Attr::Keep:
        value = s.keep;
        return true;
    case Attr::BundletId:
        value = s.bundletId;
        return s.bundletId != 0;
    case Attr::BundletType:
        value = s.bundletType;
        return true;
    case Attr::BundletSigned:
        value = s.bundletSigned;
        return true;
    case Attr::StoryLocal:
        // A downloaded copy, or a story whose page is a file on this computer.
        value = !s.localPath.isEmpty() || s.link.startsWith(QLatin1String("file:")) ? 1u : 0u;
        return true;
    case Attr::Alerted:
        value = s.alerted;
        return true;
    case Attr::Accessed:
        value = s.accessed;
        return true;
    case Attr::AlertChannelId:
        value = s.alertChannelId;
        return alertsChannel;
    case Attr::AlertStoryId:
        value = s.alertStoryId;
        return alertsChannel;
    case Attr::Unknown: {
        for (auto it = s.extra.cbegin(); it != s.extra.cend(); ++it) {
            if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
                bool ok = false;
                const uint v = it.value().toString().toUInt(&ok);
                if (ok)
                    value = v;
                return ok;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace

int Channel::GetStoryAttribute(int index, const QString& attrName, uint32_t& value) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    return numberAttr(*s, id == VT_ALERTS_CHANNEL_ID, attrName, value) ? 1 : 0;
}

int Channel::GetStoryAttribute(int index, const QString& attrName, QString& value) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    switch (attrOf(attrName)) {
    case Attr::Category:
        value = s->category;
        return 1;
    case Attr::Header:
        value = storyText(index, Story::HeaderPart);
        return 1;
    case Attr::Footer:
        value = storyText(index, Story::FooterPart);
        return 1;
    case Attr::Headline:
        value = s->headline;
        return 1;
    case Attr::Summary:
        value = storyText(index, Story::SummaryPart);
        return 1;
    case Attr::Url:
        value = s->link;
        return 1;
    case Attr::AlertName:
        if (id != VT_ALERTS_CHANNEL_ID)
            return 0;
        value = s->alertName;
        return 1;
    case Attr::Unknown:
        for (auto it = s->extra.cbegin(); it != s->extra.cend(); ++it) {
            if (it.key().compare(attrName, Qt::CaseInsensitive) == 0) {
                value = it.value().toString();
                return 1;
            }
        }
        return 0;
    default: {
        uint32_t number = 0;
        if (!numberAttr(*s, id == VT_ALERTS_CHANNEL_ID, attrName, number))
            return 0;
        value = QString::number(number);
        return 1;
    }
    }
}

int Channel::GetStoryField(int index, const QString& fieldName, QString& text) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    const QString key = fieldName.trimmed().toLower();
    if (key == QLatin1String("url")) {
        text = s->link;
        return s->link.isEmpty() ? 0 : 1;
    }
    if (key == QLatin1String("headline")) {
        text = s->headline;
        return 1;
    }
    if (key == QLatin1String("summary")) {
        text = storyText(index, Story::SummaryPart);
        return 1;
    }
    if (key == QLatin1String("enclosure")) {
        text = s->enclosureUrl;
        return s->enclosureUrl.isEmpty() ? 0 : 1;
    }
    return 0;
}

int Channel::GetStoryListFacts(int index, StoryListFacts& facts) const
{
    const Story* s = at(index);
    if (!s)
        return 0;
    facts.number = s->number;
    facts.time = uint32_t(s->shownTime());
    facts.read = s->read;
    facts.keep = s->keep;
    facts.bundletType = s->bundletType;
    facts.bundletSigned = s->bundletSigned;
    // As "Story Local"; the first letter spares most links the text comparison.
    facts.local =
        !s->localPath.isEmpty() || (!s->link.isEmpty() && s->link.front() == QLatin1Char('f') &&
                                    s->link.startsWith(QLatin1String("file:")))
            ? 1u
            : 0u;
    facts.alerted = s->alerted;
    const bool alerts = id == VT_ALERTS_CHANNEL_ID;
    facts.alertChannelId = alerts ? s->alertChannelId : 0;
    // A record without its texts knows what they are; one with them looks at them.
    const uint8_t textFacts = s->held ? s->currentTextFacts().first : s->textFacts;
    facts.hasSummary =
        textFacts & (Story::SummaryNotBlank | Story::HeaderPresent | Story::FooterPresent);
    facts.headline = s->headline;
    facts.headlineKey = s->headlineKey.isNull() ? s->headline.toCaseFolded() : s->headlineKey;
    facts.category = s->category;
    facts.alertName = alerts ? s->alertName : QString();
    return 1;
}

} // namespace vantrel

int CService::GetStoryListFacts(int index, StoryListFacts& facts) const
{
    if (index < 0 || index >= GetNoStories())
        return 0;
    facts = StoryListFacts();
    uint32_t channelId = 0;
    GetServiceID(channelId);
    ParseStoryID(GetStoryID(index), channelId, facts.number);
    GetStoryUpdatedTime(index, facts.time);
    GetStoryAttribute(index, QStringLiteral("Read"), facts.read);
    GetStoryAttribute(index, QStringLiteral("Keep"), facts.keep);
    GetStoryAttribute(index, QStringLiteral("Bundlet Type"), facts.bundletType);
    GetStoryAttribute(index, QStringLiteral("BundLet Signed"), facts.bundletSigned);
    GetStoryAttribute(index, QStringLiteral("Story Local"), facts.local);
    GetStoryAttribute(index, QStringLiteral("Alerted"), facts.alerted);
    GetStoryAttribute(index, QStringLiteral("Alert Channel Id"), facts.alertChannelId);
    QString header;
    QString footer;
    GetStoryAttribute(index, QStringLiteral("Header"), header);
    GetStoryAttribute(index, QStringLiteral("Footer"), footer);
    facts.hasSummary = IsStorySummaryAvailable(index) || !header.isEmpty() || !footer.isEmpty();
    facts.headline = GetStoryHeadline(index);
    facts.headlineKey = facts.headline.toCaseFolded();
    GetStoryAttribute(index, QStringLiteral("Category"), facts.category);
    GetStoryAttribute(index, QStringLiteral("Alert Name"), facts.alertName);
    return 1;
}

int CServices::FindStories(const std::vector<uint32_t>&, const QString&, bool,
                           FoundStories& found) const
{
    found.clear();
    return 0;
}

// Story identifiers: "VT1-" followed by the channel id and the story number, each as exactly
// eight hexadecimal digits, joined by "-". Nothing else is accepted.
QString CService::MakeStoryID(uint32_t channelId, uint32_t storyNumber)
{
    // Written digit by digit: the lists make one for every story they show.
    static constexpr char kHex[] = "0123456789abcdef";
    QString id(21, Qt::Uninitialized);
    QChar* out = id.data();
    const auto putHex8 = [&out](uint32_t value) {
        for (int shift = 28; shift >= 0; shift -= 4)
            *out++ = QLatin1Char(kHex[(value >> shift) & 0xFu]);
    };
    *out++ = QLatin1Char('V');
    *out++ = QLatin1Char('T');
    *out++ = QLatin1Char('1');
    *out++ = QLatin1Char('-');
    putHex8(channelId);
    *out++ = QLatin1Char('-');
    putHex8(storyNumber);
    return id;
}

int CService::ParseStoryID(const QString& storyId, uint32_t& channelId, uint32_t& storyNumber)
{
    if (storyId.size() != 21 || !storyId.startsWith(QLatin1String("VT1-")) || storyId.at(12) != '-')
        return 0;
    auto hex8 = [&](int from, uint32_t& out) {
        uint32_t v = 0;
        for (int i = from; i < from + 8; ++i) {
            const QChar c = storyId.at(i);
            int d;
            if (c >= '0' && c <= '9')
                d = c.unicode() - '0';
            else if (c >= 'a' && c <= 'f')
                d = c.unicode() - 'a' + 10;
            else
                return false;
            v = (v << 4) | uint32_t(d);
        }
        out = v;
        return true;
    };
    uint32_t channel = 0;
    uint32_t number = 0;
    if (!hex8(4, channel) || !hex8(13, number) || channel == 0 || number == 0)
        return 0;
    channelId = channel;
    storyNumber = number;
    return 1;
}
