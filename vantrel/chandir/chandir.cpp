// chandir: the read-only view of the engine's channels and stories, and its small helpers.

#include "vantrel/chandir.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/notify.h"
#include "vantrel/core/textrules.h"

#include <algorithm>

namespace
{

// How many times the current thread holds the directory; ReleaseCServices without a matching
// GetCServices does nothing instead of releasing a lock it does not hold.
thread_local int t_holds = 0;
thread_local const vantrel::Engine* t_holder = nullptr;

} // namespace

struct VTPalette {
    int token = 0;
};

int ChanDir_Initialize()
{
    return vantrel::Engine::instance() ? 1 : 0;
}

int ChanDir_Uninitialize()
{
    return 1;
}

HPALETTE CreateRainbowPalette()
{
    // True-colour displays need no palette; one shared token stands for it.
    static const VTPalette palette{1};
    return &palette;
}

void DeleteRainbowPalette(HPALETTE) {}

CServices* GetCServices()
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    if (!engine)
        return nullptr;
    if (t_holder != engine) {
        // Holds counted for an engine that is gone mean nothing for this one.
        t_holder = engine;
        t_holds = 0;
    }
    engine->lock();
    ++t_holds;
    return engine->services();
}

void ReleaseCServices()
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    if (!engine || t_holder != engine || t_holds <= 0)
        return;
    --t_holds;
    engine->unlock();
}

QString GetStoryTimeText(uint32_t time)
{
    return vantrel::formatLocalTime(qint64(time));
}

int GetStoryCaps(const QString& storyId, tagStoryCaps* caps)
{
    if (!caps)
        return 0;
    uint32_t channelId = 0;
    uint32_t number = 0;
    if (!CService::ParseStoryID(storyId, channelId, number))
        return 0;
    vantrel::Engine* engine = vantrel::Engine::instance();
    if (!engine)
        return 0;
    engine->lock();
    const vantrel::Channel* channel = engine->channelById(channelId);
    const vantrel::Story* story = channel ? channel->story(number) : nullptr;
    if (!story) {
        engine->unlock();
        return 0;
    }
    // An alert's content package is that of the story that raised it.
    const vantrel::Story* package = story;
    if (channelId == VT_ALERTS_CHANNEL_ID) {
        const vantrel::Channel* target = story->alertChannelId != VT_ALERTS_CHANNEL_ID
                                             ? engine->channelById(story->alertChannelId)
                                             : nullptr;
        package = target ? target->story(story->alertStoryId) : nullptr;
    }
    const bool hasPackage = package && !package->enclosureUrl.isEmpty();
    const QUrl link(story->link);
    const uint32_t mask = caps->requestMask;
    if (mask & VTCAPS_PLAY)
        caps->canPlay = hasPackage ? 1 : 0;
    if (mask & VTCAPS_FULL_STORY)
        caps->hasFullStory = !story->link.isEmpty() || !story->localPath.isEmpty() ? 1 : 0;
    if (mask & VTCAPS_SUMMARY)
        caps->hasSummary = story->currentTextFacts().first &
                                   (vantrel::Story::SummaryNotBlank |
                                    vantrel::Story::HeaderPresent | vantrel::Story::FooterPresent)
                               ? 1
                               : 0;
    if (mask & VTCAPS_DELETE)
        caps->canDelete = 1;
    if (mask & VTCAPS_DOWNLOAD)
        caps->canDownload = !story->link.isEmpty() && story->localPath.isEmpty() &&
                                    link.isValid() && !link.isLocalFile() &&
                                    (link.scheme() == QLatin1String("http") ||
                                     link.scheme() == QLatin1String("https"))
                                ? 1
                                : 0;
    if (mask & VTCAPS_KEEP) {
        caps->canKeep = story->bundletId != 0 ? 1 : 0;
        caps->kept = story->keep ? 1 : 0;
    }
    if (mask & VTCAPS_PROPERTIES)
        caps->hasProperties = hasPackage ? 1 : 0;
    if (mask & VTCAPS_RESERVED)
        caps->reserved = 0;
    if (mask & VTCAPS_PLACE_FILES) {
        const QUrl enclosure(package ? package->enclosureUrl : QString());
        caps->canPlaceFiles = hasPackage && enclosure.isLocalFile() ? 1 : 0;
    }
    engine->unlock();
    return 1;
}

void CStoryBucket::AddStory(uint32_t channelId, uint32_t storyNumber)
{
    for (auto& list : m_lists) {
        if (list.first == channelId) {
            if (std::find(list.second.begin(), list.second.end(), storyNumber) == list.second.end())
                list.second.push_back(storyNumber);
            return;
        }
    }
    m_lists.emplace_back(channelId, DATA_LIST{storyNumber});
}

int CStoryBucket::GetNumStoryLists() const
{
    return int(m_lists.size());
}

int CStoryBucket::GetStoryList(int index, uint32_t& channelId, DATA_LIST& stories) const
{
    if (index < 0 || size_t(index) >= m_lists.size())
        return 0;
    channelId = m_lists[size_t(index)].first;
    stories = m_lists[size_t(index)].second;
    return 1;
}

bool IsOneOf(uint32_t value, const std::vector<uint32_t>& values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Categories for the channel menu and the search scope: each subscribed channel counts under
// the top level of its first category (the name as shown: "&slash;" turned back into "/").
// Channels without a category are not listed; the alerts channel never is.
int GetCategoryList(QMap<QString, QString>& map, int, int)
{
    map.clear();
    CServices* services = GetCServices();
    if (!services)
        return 0;
    for (int i = 0; i < services->GetNoServices(); ++i) {
        CService* channel = services->GetService(i);
        uint32_t id = 0;
        QString category;
        if (!channel || !channel->GetServiceID(id) || !channel->GetCategory(category, 0))
            continue;
        const QString top = vantrel::categoryLevelName(
            category.section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty).trimmed());
        if (top.isEmpty())
            continue;
        QString& ids = map[top];
        if (!ids.isEmpty())
            ids += QLatin1Char(',');
        ids += QString::number(id);
    }
    ReleaseCServices();
    return map.size();
}

int ParseDelimitedString(const QString& text, const QString& delimiters, QStringList& parts)
{
    parts.clear();
    QString current;
    auto flush = [&]() {
        const QString piece = current.trimmed();
        if (!piece.isEmpty())
            parts << piece;
        current.clear();
    };
    for (const QChar c : text) {
        if (delimiters.contains(c))
            flush();
        else
            current += c;
    }
    flush();
    return parts.size();
}

void SortStringArray(QStringList& strings)
{
    // Alphabetical without regard to case; equal names keep a fixed order by case.
    std::stable_sort(strings.begin(), strings.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

void ChanDir_SetMessageSink(ChanDirMessageSink sink)
{
    vantrel::setMessageSink(sink);
}

int CServicesSubscribeNotifications(uint32_t window)
{
    return vantrel::subscribeWindow(window) ? 1 : 0;
}

int CServicesUnsubscribeNotifications(uint32_t window)
{
    return vantrel::unsubscribeWindow(window) ? 1 : 0;
}
